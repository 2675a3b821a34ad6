// The checks over the classes root and the per-user file extensions.
#include <QSet>

#include "helpers/missing_file.h"
#include "helpers/path_vars.h"
#include "helpers/program_lookup.h"
#include "helpers/reg_paths.h"
#include "helpers/registry_check_support.h"
#include "helpers/registry_checks.h"
#include "helpers/system_facts.h"

namespace tidora::helpers {
namespace {

constexpr int kCsidlSystem = 37;
constexpr auto kClassesRoot = platform::RegRoot::ClassesRoot;

bool skippedClass(const QString& name) {
    return name.isEmpty() || name == "*" || name.startsWith('.') ||
           name.compare("Folder", Qt::CaseInsensitive) == 0 ||
           name.compare("Application.Manifest", Qt::CaseInsensitive) == 0;
}

// Whether an extension key still holds the user's choice or a list of programs. date receives
// the last write time of the last subkey looked at, or of the key itself when it has none.
bool extensionInUse(const platform::Machine& machine, TRegistry& reg, const QString& path,
                    double& date) {
    date = KeyDate(machine, reg.RootKey(), path);
    if (!reg.OpenKeyReadOnly(path)) {
        return true;
    }
    for (const QString& sub : reg.GetKeyNames()) {
        const QString subPath = SubkeyPath(path, sub);
        date = KeyDate(machine, reg.RootKey(), subPath);
        if (sub.compare("UserChoice", Qt::CaseInsensitive) == 0) {
            return true;
        }
        if (reg.OpenKeyReadOnly(subPath) &&
            (!reg.GetValueNames().isEmpty() || !reg.GetKeyNames().isEmpty())) {
            return true;
        }
    }
    return false;
}

bool emptyClass(const TRegistry& reg) {
    if (!reg.GetKeyNames().isEmpty()) {
        return false;
    }
    const QStringList values = reg.GetValueNames();
    if (values.isEmpty()) {
        return true;
    }
    if (values.size() != 1 || !values.front().isEmpty()) {
        return false;
    }
    const auto v = reg.ReadValue(QString());
    return v && v->data.size() <= 2;
}

// Reports the handler key when the program its default value names is missing; false when the
// callee asked to stop.
bool checkHandler(platform::Machine& machine, CheckReporter& reporter, TRegistry& reg,
                  const QString& path, bool icon) {
    if (!reg.OpenKeyReadOnly(path)) {
        return true;
    }
    const QString data = ReadRegValueText(reg, QString(), QString());
    if (data.isEmpty()) {
        return true;
    }
    const QString program = ExtractCommandPath(machine, data);
    // "%1" and the like are filled in by the shell; "@" marks a resource reference.
    if (program.isEmpty() || program.startsWith('%') || (icon && program.startsWith('@'))) {
        return true;
    }
    if (!IsProgramMissing(machine, program)) {
        return true;
    }
    const QString shown =
        HasFolderPart(program) ? program : GetSpecialFolder(machine, kCsidlSystem) + '\\' + program;
    return reporter.report(icon ? 2 : 3, RootKeyToIndex(kClassesRoot), path, shown);
}

}  // namespace

bool CheckFileExts(platform::Machine& machine, const QString& key, const TFoundCallback& cb) {
    CheckReporter reporter(cb);
    if (!reporter.enabled()) {
        return true;
    }
    QStringList registeredList;
    GetRegisteredExtensions(machine, registeredList);
    QSet<QString> registered;
    for (const QString& ext : registeredList) {
        registered.insert(ext.toLower());
    }
    auto opened = OpenCheckKey(machine, key);
    if (!opened) {
        return true;
    }
    TRegistry& reg = *opened->reg;
    for (const QString& name : reg.GetKeyNames()) {
        if (!name.startsWith('.') || registered.contains(name.toLower())) {
            continue;
        }
        if (!reporter.heartbeat()) {
            return false;
        }
        double date = 0;
        if (!extensionInUse(machine, reg, SubkeyPath(opened->path, name), date) &&
            !reporter.report(1, opened->rootIndex, opened->path, name, date)) {
            return false;
        }
    }
    return true;
}

bool CheckEmptyClasses(platform::Machine& machine, const TFoundCallback& cb) {
    CheckReporter reporter(cb);
    if (!reporter.enabled()) {
        return true;
    }
    const CheckKey classes = OpenClassesRoot(machine);
    TRegistry& reg = *classes.reg;
    for (const QString& name : reg.GetKeyNames()) {
        if (!reporter.heartbeat()) {
            return false;
        }
        if (reg.OpenKeyReadOnly(name) && emptyClass(reg) &&
            !reporter.report(2, classes.rootIndex, QString(), name,
                             KeyDate(machine, kClassesRoot, name))) {
            return false;
        }
    }
    return true;
}

bool CheckClassHandlers(platform::Machine& machine, const TFoundCallback& cb) {
    CheckReporter reporter(cb);
    if (!reporter.enabled()) {
        return true;
    }
    const CheckKey classes = OpenClassesRoot(machine);
    TRegistry& reg = *classes.reg;
    for (const QString& name : reg.GetKeyNames()) {
        if (!reporter.heartbeat()) {
            return false;
        }
        if (skippedClass(name) || !reg.OpenKeyReadOnly(name)) {
            continue;
        }
        // "shell", "shellex", "ShellNew"... all lead to the same command, looked at once.
        bool commandDone = false;
        for (const QString& sub : reg.GetKeyNames()) {
            if (!reporter.heartbeat()) {
                return false;
            }
            if (sub.compare("DefaultIcon", Qt::CaseInsensitive) == 0) {
                if (!checkHandler(machine, reporter, reg, name + "\\DefaultIcon", true)) {
                    return false;
                }
            } else if (!commandDone && sub.toLower().startsWith("shell")) {
                commandDone = true;
                if (!checkHandler(machine, reporter, reg, name + "\\shell\\open\\command", false)) {
                    return false;
                }
            }
        }
    }
    return true;
}

}  // namespace tidora::helpers
