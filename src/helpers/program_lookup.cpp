#include "helpers/program_lookup.h"

#include <QStringList>

#include <optional>

#include "helpers/missing_file.h"
#include "helpers/path_vars.h"
#include "helpers/registry_access.h"
#include "helpers/system_facts.h"

namespace tidora::helpers {
namespace {

constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;
const QString kAppPathsKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\");
const QString kDefaultPathExt = QStringLiteral(".COM;.EXE;.BAT;.CMD");

bool hasExtension(const QString& path) {
    return path.indexOf('.', FileNameStart(path)) >= 0;
}

QStringList splitList(const QString& text) {
    QStringList items;
    for (const QString& raw : text.split(';', Qt::SkipEmptyParts)) {
        const QString item = QString(raw).remove('"').trimmed();
        if (!item.isEmpty()) {
            items << item;
        }
    }
    return items;
}

// Where Windows looks for a program, read from the machine when first needed.
class Search {
public:
    explicit Search(platform::Machine& machine) : machine_(machine) {}

    // The file and, without an extension, the file with each PATHEXT extension.
    bool allMissing(const QString& file) {
        if (!IsMissingFile(machine_, file)) {
            return false;
        }
        if (hasExtension(file)) {
            return true;
        }
        for (const QString& ext : extensions()) {
            if (!IsMissingFile(machine_, file + ext)) {
                return false;
            }
        }
        return true;
    }

    bool registeredInAppPaths(const QString& name) const {
        QStringList names{name};
        if (!hasExtension(name)) {
            names << name + ".exe";
        }
        for (const auto root : {platform::RegRoot::CurrentUser, platform::RegRoot::LocalMachine}) {
            for (const QString& n : names) {
                const auto v = machine_.value(root, (kAppPathsKey + n).toStdString(), "");
                if (!v || !v->isString()) {
                    continue;
                }
                const QString target = ExpandPathVars(
                    machine_, QString::fromStdString(v->text()).remove('"').trimmed());
                if (!target.isEmpty() && !IsMissingFile(machine_, target)) {
                    return true;
                }
            }
        }
        return false;
    }

    bool bareNameMissing(const QString& name) {
        if (registeredInAppPaths(name)) {
            return false;
        }
        for (const QString& folder : folders()) {
            const QString dir = folder.endsWith('\\') ? folder : folder + '\\';
            if (!allMissing(dir + name)) {
                return false;
            }
        }
        return true;
    }

private:
    const QStringList& extensions() {
        if (!extensions_) {
            const auto pathExt = machine_.environmentVariable("PATHEXT");
            extensions_.emplace();
            for (const QString& ext :
                 splitList(pathExt ? QString::fromStdString(*pathExt) : kDefaultPathExt)) {
                if (ext.startsWith('.')) {
                    *extensions_ << ext;
                }
            }
        }
        return *extensions_;
    }

    // The system folder, the Windows folder, then the folders of PATH.
    const QStringList& folders() {
        if (!folders_) {
            folders_.emplace();
            for (const int csidl : {kCsidlSystem, kCsidlWindows}) {
                const QString folder = GetSpecialFolder(machine_, csidl);
                if (!folder.isEmpty()) {
                    *folders_ << folder;
                }
            }
            if (const auto path = machine_.environmentVariable("PATH")) {
                *folders_ << splitList(QString::fromStdString(machine_.expandEnvironment(*path)));
            }
        }
        return *folders_;
    }

    platform::Machine& machine_;
    std::optional<QStringList> extensions_;
    std::optional<QStringList> folders_;
};

}  // namespace

bool IsProgramMissing(platform::Machine& machine, const QString& aProgram) {
    const QString program = aProgram.trimmed();
    if (program.isEmpty()) {
        return false;
    }
    QStringList candidates;
    for (qsizetype i = 1; i < program.size(); ++i) {
        if (program[i].isSpace() && !program[i - 1].isSpace()) {
            candidates << program.left(i);
        }
    }
    candidates << program;
    Search search(machine);
    for (const QString& candidate : candidates) {
        const bool missing = HasFolderPart(candidate) ? search.allMissing(candidate)
                                                      : search.bareNameMissing(candidate);
        if (!missing) {
            return false;
        }
    }
    return true;
}

}  // namespace tidora::helpers
