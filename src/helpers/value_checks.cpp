// The checks that judge the values of one key by their names or data.
#include <functional>

#include "helpers/missing_file.h"
#include "helpers/path_vars.h"
#include "helpers/program_lookup.h"
#include "helpers/registry_check_support.h"
#include "helpers/registry_checks.h"
#include "helpers/system_facts.h"

namespace tidora::helpers {
namespace {

// Windows keeps keys at most 512 levels deep; a link key looping back ends there too.
constexpr int kMaxKeyDepth = 512;

// Whether the named value is invalid; desc receives a remark for the report.
using ValueTest = std::function<bool(const TRegistry& reg, const QString& name, QString& desc)>;

bool checkValues(platform::Machine& machine, int pID, const QString& key, const TFoundCallback& cb,
                 const ValueTest& isInvalid) {
    CheckReporter reporter(cb);
    if (!reporter.enabled()) {
        return true;
    }
    auto opened = OpenCheckKey(machine, key);
    if (!opened) {
        return true;
    }
    for (const QString& name : opened->reg->GetValueNames()) {
        if (name.isEmpty()) {
            continue;
        }
        if (!reporter.heartbeat()) {
            return false;
        }
        QString desc;
        if (isInvalid(*opened->reg, name, desc) &&
            !reporter.report(pID, opened->rootIndex, opened->path, name, 0, desc)) {
            return false;
        }
    }
    return true;
}

bool keyValues(platform::Machine& machine, CheckReporter& reporter, TRegistry& reg, int mode,
               int pID, int rootIndex, const QString& path, int depth) {
    if (!reg.OpenKeyReadOnly(path)) {
        return true;
    }
    const QStringList values = reg.GetValueNames();
    const QStringList subkeys = reg.GetKeyNames();
    for (const QString& name : values) {
        if (name.isEmpty()) {
            continue;
        }
        if (!reporter.heartbeat()) {
            return false;
        }
        if ((mode == 0 || IsMissingFile(machine, name)) &&
            !reporter.report(pID, rootIndex, path, name)) {
            return false;
        }
    }
    if (depth >= kMaxKeyDepth) {
        return true;
    }
    for (const QString& sub : subkeys) {
        if (!reporter.heartbeat()) {
            return false;
        }
        if (!keyValues(machine, reporter, reg, mode, pID, rootIndex, SubkeyPath(path, sub),
                       depth + 1)) {
            return false;
        }
    }
    return true;
}

bool isInteger(const QString& text) {
    bool ok = false;
    text.trimmed().toLongLong(&ok);
    return ok;
}

}  // namespace

bool CheckKeyValues(platform::Machine& machine, int mode, int pID, const QString& key,
                    const TFoundCallback& cb) {
    CheckReporter reporter(cb);
    if (!reporter.enabled() || (mode != 0 && mode != 2)) {
        return true;
    }
    auto opened = OpenCheckKey(machine, key);
    if (!opened) {
        return true;
    }
    return keyValues(machine, reporter, *opened->reg, mode, pID, opened->rootIndex, opened->path,
                     0);
}

bool CheckFonts(platform::Machine& machine, const QString& key, const TFoundCallback& cb) {
    const auto folders = machine.fontFolders();
    return checkValues(
        machine, 1, key, cb, [&](const TRegistry& reg, const QString& name, QString&) {
            const QString data = ReadRegValueText(reg, name, QString());
            if (HasFolderPart(data)) {
                return IsMissingFile(machine, data);
            }
            // A bare file name is missing only when no folder the system loads fonts from has it.
            if (!folders || data.isEmpty()) {
                return false;
            }
            for (const std::string& folder : *folders) {
                if (!IsMissingFile(machine, QString::fromStdString(folder) + '\\' + data)) {
                    return false;
                }
            }
            return true;
        });
}

bool CheckAppCompat(platform::Machine& machine, const QString& key, const TFoundCallback& cb) {
    return checkValues(machine, 2, key, cb, [&](const TRegistry&, const QString& name, QString&) {
        return HasFolderPart(name) && !name.contains("\\\\") && !name.contains('=') &&
               IsMissingFile(machine, name);
    });
}

bool CheckHelpFiles(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb) {
    return checkValues(
        machine, pID, key, cb, [&](const TRegistry& reg, const QString& name, QString&) {
            QString folder =
                ExpandPathVars(machine, ReadRegValueText(reg, name, QString()).remove('"'));
            if (folder.isEmpty()) {
                return false;
            }
            if (!folder.endsWith('\\')) {
                folder += '\\';
            }
            return !folder.contains("\\\\") && IsMissingFile(machine, folder + name);
        });
}

bool CheckInstallerFolders(platform::Machine& machine, int pID, const QString& key,
                           const TFoundCallback& cb) {
    return checkValues(machine, pID, key, cb, [&](const TRegistry&, const QString& name, QString&) {
        QString folder = ExpandPathVars(machine, name);
        if (folder.endsWith('\\')) {
            folder.chop(1);
        }
        return !folder.isEmpty() && folder != "\\" && !folder.contains("\\\\") &&
               IsMissingFile(machine, folder);
    });
}

bool CheckAutoRun(platform::Machine& machine, int pID, const QString& key,
                  const TFoundCallback& cb) {
    return checkValues(machine, pID, key, cb,
                       [&](const TRegistry& reg, const QString& name, QString& desc) {
                           const QString command = ReadRegValueText(reg, name, QString());
                           if (command.isEmpty() || isInteger(command)) {
                               return false;
                           }
                           desc = command;
                           return IsProgramMissing(machine, ExtractCommandPath(machine, command));
                       });
}

bool CheckMuiCache(platform::Machine& machine, bool skipAt, int pID, const QString& key,
                   const TFoundCallback& cb) {
    return checkValues(machine, pID, key, cb, [&](const TRegistry&, const QString& name, QString&) {
        if ((skipAt && name.startsWith('@')) || name.contains("\\\\") || !name.contains(':')) {
            return false;
        }
        return IsProgramMissing(machine, ExtractCommandPath(machine, name));
    });
}

}  // namespace tidora::helpers
