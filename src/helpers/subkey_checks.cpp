// The checks that judge each subkey of a search key as a whole.
#include <functional>

#include "helpers/missing_file.h"
#include "helpers/path_vars.h"
#include "helpers/program_lookup.h"
#include "helpers/registry_check_support.h"
#include "helpers/registry_checks.h"

namespace tidora::helpers {
namespace {

// Whether the subkey (open in reg) is invalid; value receives what the report names.
using SubkeyTest = std::function<bool(const TRegistry& reg, const QString& name, QString& value)>;

// Reports an invalid subkey by its own path, so that cleaning can remove it.
bool checkSubkeys(platform::Machine& machine, int pID, const QString& key, const TFoundCallback& cb,
                  const SubkeyTest& isInvalid) {
    CheckReporter reporter(cb);
    if (!reporter.enabled()) {
        return true;
    }
    auto opened = OpenCheckKey(machine, key);
    if (!opened) {
        return true;
    }
    TRegistry& reg = *opened->reg;
    for (const QString& name : reg.GetKeyNames()) {
        if (!reporter.heartbeat()) {
            return false;
        }
        const QString path = SubkeyPath(opened->path, name);
        if (!reg.OpenKeyReadOnly(path)) {
            continue;
        }
        QString value;
        if (isInvalid(reg, name, value) && !reporter.report(pID, opened->rootIndex, path, value)) {
            return false;
        }
    }
    return true;
}

// The folder part and the file name of a path are both there.
bool hasFolderAndName(const QString& path) {
    const qsizetype nameStart = FileNameStart(path);
    return nameStart > 0 && nameStart < path.size();
}

}  // namespace

bool CheckAppPaths(platform::Machine& machine, const QString& key, const TFoundCallback& cb) {
    return checkSubkeys(
        machine, 1, key, cb, [&](const TRegistry& reg, const QString& name, QString& value) {
            const QString target =
                ExpandPathVars(machine, ReadRegValueText(reg, QString(), QString()).remove('"'));
            value = name;
            return HasFolderPart(target) && !target.contains("\\\\") &&
                   IsMissingFile(machine, target);
        });
}

bool CheckUninstall(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb) {
    return checkSubkeys(
        machine, pID, key, cb, [&](const TRegistry& reg, const QString& name, QString& value) {
            // Products of the Windows installer, registered under their GUID, are its business.
            if (name.startsWith('{')) {
                return false;
            }
            const QString program =
                ExtractCommandPath(machine, ReadRegValueText(reg, "UninstallString", QString()));
            if (!hasFolderAndName(program) || program.contains("\\\\") ||
                program.contains("MSIEXEC", Qt::CaseInsensitive) ||
                program.contains("RUNDLL", Qt::CaseInsensitive)) {
                return false;
            }
            value = program;
            return IsProgramMissing(machine, program);
        });
}

bool CheckEmptyKeys(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb) {
    return checkSubkeys(machine, pID, key, cb,
                        [&](const TRegistry& reg, const QString&, QString& value) {
                            value = reg.CurrentPath();
                            return reg.GetValueNames().isEmpty() && reg.GetKeyNames().isEmpty();
                        });
}

}  // namespace tidora::helpers
