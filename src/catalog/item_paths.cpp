#include "catalog/item_paths.h"

#include "catalog/catalog_items.h"
#include "helpers/file_checks.h"
#include "helpers/registry_access.h"
#include "helpers/system_facts.h"

namespace tidora::catalog {

namespace {

using platform::Machine;

constexpr int kCsidlPrograms = 2;
constexpr int kCsidlRecent = 8;
constexpr int kCsidlDesktop = 16;
constexpr int kCsidlCommonPrograms = 23;
constexpr int kCsidlCommonDesktop = 25;
constexpr int kCsidlAppData = 26;
constexpr int kCsidlLocalAppData = 28;
constexpr int kCsidlCookies = 33;
constexpr int kCsidlHistory = 34;
constexpr int kCsidlWindows = 36;
constexpr int kCsidlSystem = 37;
constexpr int kCsidlProfile = 40;
constexpr int kCsidlSystemX86 = 41;

const char* const kHklmShellFolders =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";
const char* const kHkcuShellFolders =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders\\";

QString text(const char* latin) {
    return QString::fromLatin1(latin);
}

// Adds entries to one item's lists and records each in the paths table.
class DefinitionBuilder {
public:
    DefinitionBuilder(Machine& machine, TCleanPaths_DM* paths, int catId, int id, QString& mask,
                      QStringList& except, QStringList& list)
        : mask(mask),
          except(except),
          list(list),
          localAppData(helpers::GetSpecialFolder(machine, kCsidlLocalAppData)),
          windows(helpers::GetSpecialFolder(machine, kCsidlWindows)),
          machine_(machine),
          paths_(paths),
          catId_(catId),
          id_(id) {}

    QString special(int csidl) const { return helpers::GetSpecialFolder(machine_, csidl); }
    bool exists(const QString& path) const { return helpers::PathExistsNoRedirect(machine_, path); }
    bool sysnativePresent() const { return exists(windows + text("\\Sysnative")); }

    // The value of a Shell Folders key: expanded, "-" when blank, empty when missing.
    QString shellFolderValue(const char* key, const char* valueName) const {
        return helpers::ReadRegText(machine_, text(key), text(valueName), false);
    }

    // Joins the target only when it exists (a name ending in "*" always joins). With a base,
    // the name is looked for below it and only the name joins.
    void folder(QStringList& target, const QString& base, const QString& name, bool exclusion) {
        if (name.isEmpty() || target.contains(name, Qt::CaseInsensitive)) {
            return;
        }
        QString full = name;
        if (!base.isEmpty()) {
            full = base.endsWith(QLatin1Char('\\')) ? base + name : base + u'\\' + name;
        }
        record(exclusion, name);
        if (name.endsWith(QLatin1Char('*')) || exists(full)) {
            setLastState(1);
            target.append(name);
        } else {
            setLastState(2);
        }
    }

    void searchFolder(const QString& path) { folder(list, QString(), path, false); }

    void searchShellFolder(const char* key, const char* valueName) {
        const QString path = shellFolderValue(key, valueName);
        if (!path.isEmpty()) {
            searchFolder(path);
        }
    }

    void excludeSysnative(bool recordedAsExclusion) {
        folder(except, QString(), windows + text("\\Sysnative"), recordedAsExclusion);
    }

    void plain(QStringList& target, const QString& entry, bool exclusion) {
        record(exclusion, entry);
        target.append(entry);
    }

    void excludeNames(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            plain(except, text(name), true);
        }
    }

    void searchKey(const char* key) {
        const QString k = text(key);
        if (list.contains(k, Qt::CaseInsensitive)) {
            return;
        }
        if (!k.endsWith(QLatin1Char('*')) && !helpers::RegKeyExists(machine_, k, true)) {
            return;
        }
        record(false, k);
        list.append(k);
    }

    QString& mask;
    QStringList& except;
    QStringList& list;
    const QString localAppData;
    const QString windows;

private:
    void record(bool exclusion, const QString& entry) {
        if (paths_) {
            paths_->SetPathToDataset(0, 0, catId_, id_, exclusion, entry);
        }
    }

    void setLastState(int state) {
        if (paths_) {
            paths_->SetPathStateLast(0, state);
        }
    }

    Machine& machine_;
    TCleanPaths_DM* paths_;
    int catId_;
    int id_;
};

void defineSystemJunk(DefinitionBuilder& b, Machine& machine, int id) {
    const CatalogOSVariables& os = CatalogOS();
    switch (id) {
        case 10:
            // The recycle bin item empties the bin itself; the entry only keeps its list filled.
            b.plain(b.list, text("dummy recycled path"), false);
            break;
        case 11: {
            for (const char* name : {"TEMP", "TMP"}) {
                const auto value = machine.environmentVariable(name);
                b.searchFolder(value ? QString::fromStdString(*value) : QString());
            }
            QString temp = helpers::GetTempFolder(machine);
            if (temp.endsWith(QLatin1Char('\\'))) {
                temp.chop(1);
            }
            b.searchFolder(temp);
            b.searchFolder(b.windows + text("\\TEMP"));
            break;
        }
        case 13:
            b.mask = text("*.dmp");
            b.searchFolder(b.localAppData + text("\\CrashDumps"));
            b.searchFolder(b.windows + text("\\MiniDump"));
            b.searchFolder(b.windows);
            break;
        case 14:
            b.mask = text("*.log");
            if (os.OSMajorVersion < 6) {
                b.searchFolder(b.special(kCsidlSystem) + text("\\wbem\\Logs"));
            } else {
                b.searchFolder(b.localAppData + text("\\Microsoft\\Windows\\WebCache"));
            }
            b.searchFolder(b.windows);
            if (os.OSMajorVersion <= 5) {
                b.searchFolder(b.windows + text("\\Debug"));
                b.searchFolder(b.windows + text("\\security\\logs"));
            }
            for (const char* name :
                 {"winsxs", "tracing", "System32", "SysWOW64", "System", "Temp", "ServiceProfiles",
                  "security", "Prefetch", "PCHEALTH", "Registration"}) {
                b.folder(b.except, b.windows, text(name), true);
            }
            break;
        case 15: {
            QStringList bases;
            const QString common = b.shellFolderValue(kHklmShellFolders, "Common AppData");
            if (!common.isEmpty()) {
                bases.append(common);
            }
            bases.append(b.localAppData);
            for (const QString& base : bases) {
                b.searchFolder(base + text("\\Microsoft\\Windows\\WER\\ReportQueue"));
                b.searchFolder(base + text("\\Microsoft\\Windows\\WER\\ReportArchive"));
            }
            break;
        }
        case 17:
            b.mask = text("*.lnk");
            b.searchShellFolder(kHklmShellFolders, "Common Programs");
            b.searchFolder(b.special(kCsidlCommonPrograms));
            b.searchFolder(b.special(kCsidlPrograms));
            b.excludeSysnative(true);
            break;
        case 18:
            b.mask = text("*.lnk");
            b.searchShellFolder(kHkcuShellFolders, "Desktop");
            b.searchFolder(b.special(kCsidlDesktop));
            b.searchFolder(b.special(kCsidlCommonDesktop));
            b.excludeSysnative(true);
            break;
        default:
            break;
    }
}

void defineBrowser(DefinitionBuilder& b, int id) {
    const CatalogOSVariables& os = CatalogOS();
    switch (id) {
        case 1: {
            b.searchFolder(b.localAppData +
                           text("\\Microsoft\\Windows\\Temporary Internet Files\\Content.IE5"));
            b.searchShellFolder(kHkcuShellFolders, "Cache");
            if (os.WinVersionCode >= 8) {
                // From Windows 8 on the cache root holds only sub-folders worth searching.
                const QString inetCache = b.localAppData + text("\\Microsoft\\Windows\\INetCache");
                b.list.removeIf([&](const QString& entry) {
                    return entry.compare(inetCache, Qt::CaseInsensitive) == 0;
                });
                for (const char* sub : {"\\IE", "\\Low", "\\Sqm", "\\Virtualized"}) {
                    b.searchFolder(inetCache + text(sub));
                }
                b.searchFolder(b.localAppData + text("\\Microsoft\\Feeds Cache"));
            }
            b.excludeNames({"container.dat", "counters.dat", "MSIMGS*"});
            break;
        }
        case 2:
            b.searchFolder(b.special(kCsidlHistory));
            b.searchFolder(b.localAppData + text("\\Microsoft\\Internet Explorer\\Recovery"));
            b.excludeNames({"container.dat", "desktop.ini"});
            break;
        case 3: {
            b.searchFolder(b.special(kCsidlCookies));
            b.searchFolder(b.localAppData + text("\\Microsoft\\Internet Explorer\\DOMStore"));
            QString localLow = b.localAppData;
            const qsizetype at = localLow.indexOf(text("\\Local"), 0, Qt::CaseInsensitive);
            if (at >= 0) {
                localLow.replace(at, 6, text("\\LocalLow"));
            }
            b.searchFolder(localLow + text("\\Microsoft\\Internet Explorer\\DOMStore"));
            b.excludeNames({"container.dat"});
            break;
        }
        case 4:
            b.plain(b.list, text("HKCU\\SOFTWARE\\Microsoft\\Internet Explorer\\TypedURLs"), false);
            break;
        case 5:
            b.searchFolder(b.special(kCsidlHistory));
            b.excludeNames({"container.dat", "desktop.ini"});
            break;
        default:
            break;
    }
}

void defineShellTraces(DefinitionBuilder& b, int id) {
    switch (id) {
        case 50:
            b.mask = text("*.lnk");
            b.searchFolder(b.special(kCsidlAppData) + text("\\Microsoft\\Windows\\Recent"));
            b.searchFolder(b.special(kCsidlRecent));
            b.excludeSysnative(false);
            break;
        case 51:
            b.plain(b.list,
                    text("HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"),
                    false);
            b.plain(b.list,
                    text("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU"),
                    false);
            break;
        case 53:
            b.mask = text("thumbcache_*.db");
            b.searchFolder(b.localAppData + text("\\Microsoft\\Windows\\Explorer"));
            b.excludeNames({"thumbcache_16.db", "thumbcache_32.db", "thumbcache_48.db",
                            "thumbcache_96.db", "thumbcache_256.db", "thumbcache_1024.db",
                            "thumbcache_idx.db", "thumbcache_sr.db"});
            break;
        case 54:
            b.mask = text("*.lnk");
            b.searchFolder(b.special(kCsidlProfile) + text("\\Links"));
            b.excludeSysnative(true);
            break;
        default:
            break;
    }
}

void defineSystemLogs(DefinitionBuilder& b, int id) {
    const bool is64 = CatalogOS().Is64BitOS;
    const QString system = b.special(kCsidlSystem);
    switch (id) {
        case 70: {
            b.mask = text("*.evt*");
            const bool sysnative = b.sysnativePresent();
            if (sysnative) {
                b.searchFolder(is64 ? b.windows + text("\\Sysnative\\Config")
                                    : system + text("\\Config"));
            } else {
                b.searchFolder(is64 ? b.windows + text("\\system32\\config")
                                    : system + text("\\config"));
            }
            b.searchFolder(is64 ? b.special(kCsidlSystemX86) + text("\\Config")
                                : system + text("\\Config"));
            if (!b.list.isEmpty()) {
                b.excludeNames({"APPEVENT.EVT", "SECEVENT.EVT", "SYSEVENT.EVT"});
            }
            if (is64) {
                b.searchFolder(b.windows + (sysnative ? text("\\Sysnative\\winevt")
                                                      : text("\\system32\\winevt")));
            } else {
                b.searchFolder(system + text("\\winevt"));
            }
            b.excludeNames({"System*", "Security*", "Application*", "OAlerts*", "Setup*",
                            "Windows*", "Microsoft*", "HardwareEvents*", "Internet Explorer*",
                            "Key management Service*", "Media Center*"});
            break;
        }
        case 71:
            b.mask = text("*.pf");
            b.searchFolder(b.windows + text("\\Prefetch"));
            break;
        case 76: {
            b.mask = text("*.etl*");
            const bool sysnative = b.sysnativePresent();
            QString logFiles = system + text("\\LogFiles");
            if (is64) {
                logFiles = b.windows + (sysnative ? text("\\Sysnative\\LogFiles")
                                                  : text("\\System32\\LogFiles"));
            }
            b.searchFolder(logFiles);
            if (is64) {
                b.searchFolder(sysnative ? b.special(kCsidlSystemX86) + text("\\LogFiles")
                                         : b.windows + text("\\SysWOW64\\LogFiles"));
            }
            b.folder(b.except, logFiles, text("WUDF"), true);
            break;
        }
        default:
            break;
    }
}

void defineRegistry(DefinitionBuilder& b, int id) {
    const CatalogOSVariables& os = CatalogOS();
    switch (id) {
        case 100:
            b.searchKey("HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
            if (os.Is64BitOS) {
                b.searchKey(
                    "HKLM\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\SharedDlls");
            }
            break;
        case 101:
            b.searchKey("HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
            break;
        case 102:
            b.searchKey("HKCU\\Software\\Classes");
            break;
        case 105:
            b.searchKey("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
            break;
        case 106:
            b.searchKey(
                "HKCU\\Software\\Microsoft\\Windows "
                "NT\\CurrentVersion\\AppCompatFlags\\Compatibility "
                "Assistant\\Persisted");
            b.searchKey(
                "HKCU\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers");
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");
            b.searchKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths");
            break;
        case 107:
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\Help");
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\HTML Help");
            b.searchKey("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\Help");
            b.searchKey("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\HTML Help");
            break;
        case 108:
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders");
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
            if (os.Is64BitOS) {
                b.searchKey(
                    "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
            }
            break;
        case 109:
            b.searchKey("HKCU\\Software");
            b.searchKey("HKLM\\Software");
            if (os.Is64BitOS) {
                b.searchKey("HKLM\\Software\\Wow6432Node");
            }
            break;
        case 110:
            b.searchKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
            b.searchKey("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
            b.searchKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
            if (os.Is64BitOS) {
                b.searchKey("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");
                b.searchKey(
                    "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
            }
            break;
        case 111:
            b.searchKey(
                "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\");
            break;
        case 112:
            b.searchKey(
                "HKCU\\Software\\Classes\\Local "
                "Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache");
            if (os.OSMajorVersion <= 5) {
                b.searchKey("HKCU\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache");
            }
            break;
        case 114:
            b.searchKey("HKLM\\SYSTEM\\CurrentControlSet\\services");
            break;
        default:
            break;
    }
}

}  // namespace

bool DefineItemPaths(Machine& machine, TCleanPaths_DM* paths, int, int acatID, int aID,
                     QString& aMask, QStringList& aExcept, QStringList& aList) {
    aList.clear();
    DefinitionBuilder builder(machine, paths, acatID, aID, aMask, aExcept, aList);
    switch (acatID) {
        case 1:
            defineSystemJunk(builder, machine, aID);
            break;
        case 2:
            defineBrowser(builder, aID);
            break;
        case 3:
            defineShellTraces(builder, aID);
            break;
        case 4:
            defineSystemLogs(builder, aID);
            break;
        default:
            break;
    }
    defineRegistry(builder, aID);
    return !aList.isEmpty();
}

bool RegisterItemName(TCleanPaths_DM* paths, int acatID, int aID, const QString& aname) {
    if (!paths) {
        return true;
    }
    return paths->SetNametoDataset(acatID, aID, aname);
}

}  // namespace tidora::catalog
