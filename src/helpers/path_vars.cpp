#include "helpers/path_vars.h"

namespace tidora::helpers {
namespace {

QString folder(const platform::Machine& machine, int csidl) {
    return QString::fromStdString(machine.specialFolder(csidl));
}

void replaceToken(QString& text, const char* token, const QString& value) {
    text.replace(QLatin1String(token), value, Qt::CaseInsensitive);
}

}  // namespace

QString ExpandPathVars(const platform::Machine& machine, const QString& s) {
    const QString upper = s.toUpper();
    const bool profile = upper.contains("%USERPROFILE%");
    const bool systemRoot = upper.contains("%SYSTEMROOT%");
    const bool windir = upper.contains("%WINDIR%");
    const bool allUsers = upper.contains("%ALLUSERSPROFILE%");
    const bool programFiles = upper.contains("%PROGRAMFILES%");
    if (!profile && !systemRoot && !windir && !allUsers && !programFiles) {
        return QString::fromStdString(machine.expandEnvironment(s.toStdString()));
    }
    QString result = s;
    if (profile) {
        replaceToken(result, "%USERPROFILE%", folder(machine, 40));
    }
    if (systemRoot) {
        replaceToken(result, "%SYSTEMROOT%", folder(machine, 36));
    } else if (windir) {
        replaceToken(result, "%WINDIR%", folder(machine, 36));
    }
    if (allUsers) {
        // Since Vista the common templates no longer sit below the all-users profile; the
        // machine's own variable is the right value.
        replaceToken(result, "%ALLUSERSPROFILE%",
                     QString::fromStdString(
                         machine.environmentVariable("ALLUSERSPROFILE").value_or(std::string())));
    }
    if (programFiles) {
        replaceToken(result, "%PROGRAMFILES%", folder(machine, 38));
    }
    return result;
}

QString ExtractCommandPath(const platform::Machine& machine, const QString& aCommand) {
    QString collected;
    bool quoted = false;
    for (const QChar c : aCommand) {
        if (c == '"') {
            if (quoted) {
                break;
            }
            quoted = true;
            continue;
        }
        // Inside quotes "," and ";" belong to the path.
        if (!quoted && (c == ',' || c == ';')) {
            break;
        }
        if (quoted) {
            collected += c;
        }
    }
    if (collected.isEmpty()) {
        const qsizetype exe = aCommand.indexOf(".exe", 0, Qt::CaseInsensitive);
        const QString head = exe < 0 ? aCommand : aCommand.left(exe + 4);
        for (const QChar c : head) {
            if (c == ',' || c == ';') {
                break;
            }
            collected += c;
        }
    }
    return ExpandPathVars(machine, collected);
}

}  // namespace tidora::helpers
