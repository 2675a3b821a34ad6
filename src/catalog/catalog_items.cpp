#include "catalog/catalog_items.h"

#include <array>

#include "frame/service_info.h"

namespace tidora::catalog {

namespace {

CatalogOSVariables& osVariables() {
    static CatalogOSVariables variables;
    return variables;
}

enum class Presence { Always, AfterXP, UpToWindows7 };

struct CatalogRow {
    int32_t actionId;
    int32_t catId;
    int32_t id;
    int32_t type;
    const char* latName;
    bool active;
    const char* caption;
    Presence presence;
};

constexpr std::array<CatalogRow, 33> kCatalog{{
    {1, 1, 10, 1, "Recycled", false, "Очистка корзины", Presence::Always},
    {1, 1, 11, 1, "TempFiles", true, "Временные файлы", Presence::Always},
    {1, 1, 12, 3, "ClipBoard", true, "Буфер обмена", Presence::Always},
    {1, 1, 13, 1, "CrashDamps", true, "Дампы памяти", Presence::Always},
    {1, 1, 14, 1, "Logs", true, "Файлы журналов", Presence::Always},
    {1, 1, 15, 1, "ErrorReports", true, "Отчеты об ошибках", Presence::AfterXP},
    {1, 1, 17, 1, "StartMenuLinks", true, "Ярлыки в меню 'Пуск'", Presence::Always},
    {1, 1, 18, 1, "DesktopLinks", true, "Ярлыки в меню на рабочем столе", Presence::Always},
    {1, 2, 1, 1, "IETempFiles", true, "Временные файлы браузера", Presence::Always},
    {1, 2, 2, 1, "IERecovery", true, "Журнал посещений", Presence::Always},
    {1, 2, 3, 1, "IECookie", true, "Cookie-файлы", Presence::Always},
    {1, 2, 4, 2, "IEAddressHistory", true, "Список введенных адресов", Presence::Always},
    {1, 2, 5, 1, "IEHistory", true, "История", Presence::Always},
    {1, 3, 50, 1, "RecentDocs", true, "Недавние документы", Presence::Always},
    {1, 3, 51, 3, "RunMRU", true, "Выполнить (в меню'Пуск')", Presence::Always},
    {1, 3, 52, 3, "HistoryObjects", true, "Прочие недавние объекты", Presence::Always},
    {1, 3, 53, 1, "CacheEsc", true, "Кэш эскизов", Presence::AfterXP},
    {1, 3, 54, 1, "Favorites", true, "Списки быстрого доступа", Presence::AfterXP},
    {1, 4, 70, 1, "EventLogs", true, "Журналы событий", Presence::Always},
    {1, 4, 71, 1, "Prefetch", true, "Устаревшие выборки", Presence::UpToWindows7},
    {1, 4, 76, 1, "IIS", true, "Файлы журналов IIS", Presence::UpToWindows7},
    {2, 1, 100, 2, "RegistryDll", false, "Некорретные dll-библиотеки", Presence::Always},
    {2, 1, 101, 2, "RegInvalidExt", false, "Неверные расширения файлов", Presence::Always},
    {2, 1, 102, 2, "RegClasses", false, "Ошибки ActiveX и Class", Presence::Always},
    {2, 1, 105, 2, "RegFonts", false, "Шрифты", Presence::Always},
    {2, 1, 106, 2, "RegAppPaths", false, "Пути приложений", Presence::Always},
    {2, 1, 107, 2, "RegHelpFiles", false, "Файлы справки", Presence::Always},
    {2, 1, 108, 2, "RegInstalls", false, "Неверные записи установщика", Presence::Always},
    {2, 1, 109, 2, "RegNotApps", false, "Отсутствующие приложения", Presence::Always},
    {2, 1, 110, 2, "RegAutoRun", false, "Автозагрузка", Presence::Always},
    {2, 1, 111, 2, "RegOrderStartMenu", false, "Упорядочивание меню 'Пуск'", Presence::Always},
    {2, 1, 112, 2, "RegTempMUI", false, "Временные файлы MUI", Presence::Always},
    {2, 1, 114, 2, "RegServices", false, "Службы Windows", Presence::Always},
}};

bool isPresent(Presence presence, const CatalogOSVariables& os) {
    switch (presence) {
        case Presence::AfterXP:
            return os.OSMajorVersion > 5;
        case Presence::UpToWindows7:
            return os.WinVersionCode <= 7;
        case Presence::Always:
            break;
    }
    return true;
}

}  // namespace

const CatalogOSVariables& CatalogOS() {
    return osVariables();
}

void SetCatalogOS(bool is64Bit, int majorVersion, int minorVersion, int winVersionCode) {
    CatalogOSVariables& os = osVariables();
    os.Is64BitOS = is64Bit;
    os.OSArchText = is64Bit ? QStringLiteral("x64") : QStringLiteral("x32");
    os.OSMajorVersion = majorVersion;
    os.OSMinorVersion = minorVersion;
    os.WinVersionCode = winVersionCode;
}

void SetCatalogOS(const platform::Machine& machine) {
    const platform::WindowsVersion version = machine.windowsVersion();
    SetCatalogOS(machine.is64Bit(), static_cast<int>(version.major),
                 static_cast<int>(version.minor), frame::GetWindowsVersionCode(machine));
}

bool FillDefaultItems(TCleanItemsTable& ADS) {
    ADS.clear();
    const CatalogOSVariables& os = CatalogOS();
    for (const CatalogRow& row : kCatalog) {
        if (!isPresent(row.presence, os)) {
            continue;
        }
        ADS.append(TCleanItemParams{row.actionId, row.catId, row.id, row.type,
                                    QString::fromUtf8(row.latName), row.active,
                                    QString::fromUtf8(row.caption), QString(), 1});
    }
    return true;
}

}  // namespace tidora::catalog
