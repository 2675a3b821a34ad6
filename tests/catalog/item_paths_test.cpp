#include "catalog/item_paths.h"

#include <gtest/gtest.h>

#include "fixtures/qstring_print.h"

#include "catalog/catalog_items.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"

namespace tidora::catalog {
namespace {

using platform::RegValue;
using testing::PrefixBuilder;

struct Definition {
    QString mask = QStringLiteral("*.*");
    QStringList except;
    QStringList list;
    bool result = false;
};

Definition define(platform::Machine& machine, TCleanPaths_DM* paths, int catId, int id) {
    Definition d;
    d.result = DefineItemPaths(machine, paths, 1, catId, id, d.mask, d.except, d.list);
    return d;
}

QStringList latNames(const TCleanItemsTable& table) {
    QStringList names;
    for (const TCleanItemParams& row : table.rows()) {
        names.append(row.LAT_NAME);
    }
    return names;
}

std::vector<TCleanPathRow> rowsOf(const TCleanPaths_DM& paths, int id) {
    std::vector<TCleanPathRow> rows;
    for (const TCleanPathRow& row : paths.Rows()) {
        if (row.CLEAN_ID == id) {
            rows.push_back(row);
        }
    }
    return rows;
}

TEST(CatalogItems, RowsPerWindowsVersion) {
    struct Case {
        int major, minor, code;
        int rows;
        QStringList missing;
    };
    const Case cases[] = {
        {5, 1, 5, 30, {"ErrorReports", "CacheEsc", "Favorites"}},
        {6, 1, 7, 33, {}},
        {6, 3, 8, 31, {"Prefetch", "IIS"}},
        {10, 0, 10, 31, {"Prefetch", "IIS"}},
    };
    for (const Case& c : cases) {
        SetCatalogOS(true, c.major, c.minor, c.code);
        TCleanItemsTable table;
        table.append(TCleanItemParams{});
        EXPECT_TRUE(FillDefaultItems(table));
        EXPECT_EQ(table.size(), c.rows) << c.code;
        for (const QString& name : c.missing) {
            EXPECT_EQ(table.indexOfLatName(name), -1) << name.toStdString();
        }
    }
    SetCatalogOS(false, 6, 1, 7);
    TCleanItemsTable table;
    FillDefaultItems(table);
    EXPECT_EQ(CatalogOS().OSArchText, "x32");
    EXPECT_EQ(latNames(table).first(), "Recycled");
    EXPECT_EQ(latNames(table).last(), "RegServices");
    const TCleanItemParams& addresses = table.rows()[table.indexOfId(4)];
    EXPECT_EQ(addresses, (TCleanItemParams{1, 2, 4, 2, "IEAddressHistory", true,
                                           "Список введенных адресов", "", 1}));
    EXPECT_FALSE(table.rows()[table.indexOfId(10)].ACTIVE);
    EXPECT_EQ(table.rows()[table.indexOfLatName("RunMRU")].TYPE, 3);
}

TEST(CatalogPaths, WindowsXP) {
    testing::TempDir tmp;
    PrefixBuilder b(tmp / "prefix");
    b.win64(false).windowsVersion(5, 1, 2600, "Microsoft Windows XP").fresh();
    b.folder("C:\\windows\\system32\\wbem\\Logs")
        .folder("C:\\windows\\Debug")
        .folder("C:\\windows\\security\\logs")
        .value("HKCU\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache",
               RegValue::fromString("x", "y"))
        .value(
            "HKCU\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\"
            "MuiCache",
            RegValue::fromString("x", "y"));
    const auto machine = b.openMachine();
    SetCatalogOS(false, 5, 1, 5);

    TCleanPaths_DM paths;
    const Definition logs = define(*machine, &paths, 1, 14);
    EXPECT_TRUE(logs.result);
    EXPECT_EQ(logs.mask, "*.log");
    EXPECT_EQ(logs.list, (QStringList{"C:\\windows\\system32\\wbem\\Logs", "C:\\windows",
                                      "C:\\windows\\Debug", "C:\\windows\\security\\logs"}));
    // Only the sub-folders of Windows that exist are excluded, by their bare names.
    EXPECT_TRUE(logs.except.contains("System32"));
    EXPECT_TRUE(logs.except.contains("security"));
    EXPECT_FALSE(logs.except.contains("winsxs"));
    EXPECT_FALSE(logs.except.contains("SysWOW64"));
    const auto missing = std::find_if(paths.Rows().begin(), paths.Rows().end(),
                                      [](const auto& r) { return r.VALUE == "winsxs"; });
    ASSERT_NE(missing, paths.Rows().end());
    EXPECT_TRUE(missing->EX_FLAG);
    EXPECT_EQ(missing->STATE, 2);

    const Definition mui = define(*machine, &paths, 1, 112);
    EXPECT_EQ(mui.list,
              (QStringList{"HKCU\\Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\"
                           "Shell\\MuiCache",
                           "HKCU\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache"}));
}

TEST(CatalogPaths, VersionCodeAboveSevenSearchesTheINetCacheSubFolders) {
    testing::TempDir tmp;
    PrefixBuilder b(tmp / "prefix");
    b.windowsVersion(10, 0, 19045, "Windows 10 Pro").fresh();
    const std::string local = "C:\\users\\anna\\AppData\\Local";
    b.folder(local + "\\Microsoft\\Windows\\INetCache\\IE")
        .folder(local + "\\Microsoft\\Windows\\INetCache\\Low")
        .folder(local + "\\Microsoft\\Feeds Cache");
    const auto machine = b.openMachine();
    SetCatalogOS(true, 10, 0, 10);

    TCleanPaths_DM paths;
    const Definition ie = define(*machine, &paths, 2, 1);
    const QString cache = QString::fromStdString(local) + "\\Microsoft\\Windows\\INetCache";
    EXPECT_EQ(ie.list, (QStringList{cache + "\\IE", cache + "\\Low",
                                    QString::fromStdString(local) + "\\Microsoft\\Feeds Cache"}));
    EXPECT_EQ(ie.except, (QStringList{"container.dat", "counters.dat", "MSIMGS*"}));
    // The cache root stays on record as found, though it is no longer searched.
    const auto rows = rowsOf(paths, 1);
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[1].VALUE, cache);
    EXPECT_EQ(rows[1].STATE, 1);

    // Before Windows 8 the root itself is searched.
    SetCatalogOS(true, 6, 1, 7);
    EXPECT_EQ(define(*machine, nullptr, 2, 1).list, QStringList{cache});
}

TEST(CatalogPaths, Wow6432NodeKeysOnlyOnSixtyFourBitWindows) {
    testing::TempDir tmp;
    PrefixBuilder b(tmp / "prefix");
    b.fresh();
    const char* const keys[] = {
        "Microsoft\\Windows\\CurrentVersion\\SharedDlls",
        "Microsoft\\Windows\\CurrentVersion\\Uninstall\\app",
        "Microsoft\\Windows\\CurrentVersion\\Run",
        "Microsoft\\Windows\\CurrentVersion\\RunOnce",
        "Microsoft\\Windows\\Help",
    };
    for (const char* key : keys) {
        for (const std::string root : {"HKLM\\Software\\", "HKLM\\Software\\Wow6432Node\\"}) {
            b.value(root + key, RegValue::fromString("v", "C:\\x.dll"));
        }
    }
    const auto machine = b.openMachine();

    struct Case {
        int id;
        int keys32, keys64;
    };
    // 107 always tries its Wow6432Node keys; 110 finds both Run and RunOnce of each view.
    const Case cases[] = {{100, 1, 2}, {107, 2, 2}, {108, 1, 2}, {109, 2, 3}, {110, 3, 5}};
    for (const Case& c : cases) {
        SetCatalogOS(false, 6, 1, 7);
        const Definition on32 = define(*machine, nullptr, 1, c.id);
        EXPECT_EQ(on32.list.size(), c.keys32)
            << c.id << ": " << on32.list.join(" | ").toStdString();
        EXPECT_EQ(on32.list.filter("Wow6432Node").isEmpty(), c.id != 107) << c.id;
        SetCatalogOS(true, 6, 1, 7);
        const Definition on64 = define(*machine, nullptr, 1, c.id);
        EXPECT_EQ(on64.list.size(), c.keys64)
            << c.id << ": " << on64.list.join(" | ").toStdString();
    }
}

TEST(CatalogPaths, SameFolderInAnotherCaseIsListedAndRecordedOnce) {
    testing::TempDir tmp;
    PrefixBuilder b(tmp / "prefix");
    b.fresh().value("HKCU\\Environment", RegValue::fromString("TMP", "C:\\USERS\\ANNA\\temp"));
    const auto machine = b.openMachine();
    SetCatalogOS(true, 6, 1, 7);

    TCleanPaths_DM paths;
    const Definition temp = define(*machine, &paths, 1, 11);
    EXPECT_EQ(temp.list, (QStringList{"C:\\users\\anna\\Temp", "C:\\windows\\TEMP"}));
    const auto rows = rowsOf(paths, 11);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].STATE, 1);
    RegisterItemName(&paths, 1, 11, "TempFiles");
    EXPECT_EQ(paths.Rows()[0].NAME, "TempFiles");
    EXPECT_TRUE(RegisterItemName(nullptr, 1, 11, "TempFiles"));
}

TEST(CatalogPaths, SysnativeExclusionsMissingFoldersAndKeys) {
    testing::TempDir tmp;
    PrefixBuilder b(tmp / "prefix");
    b.fresh()
        .folder("C:\\windows\\Sysnative\\Config")
        .key("HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu");
    const auto machine = b.openMachine();
    SetCatalogOS(true, 6, 1, 7);

    TCleanPaths_DM paths;
    const Definition start = define(*machine, &paths, 1, 17);
    EXPECT_EQ(start.mask, "*.lnk");
    EXPECT_EQ(start.except, QStringList{"C:\\windows\\Sysnative"});
    const Definition recent = define(*machine, &paths, 3, 50);
    EXPECT_EQ(recent.except, QStringList{"C:\\windows\\Sysnative"});
    EXPECT_TRUE(rowsOf(paths, 17).back().EX_FLAG);
    EXPECT_FALSE(rowsOf(paths, 50).back().EX_FLAG);

    // With Sysnative present the 64-bit event logs are looked for through it.
    const Definition events = define(*machine, &paths, 4, 70);
    EXPECT_EQ(events.list, QStringList{"C:\\windows\\Sysnative\\Config"});
    EXPECT_TRUE(events.except.startsWith("APPEVENT.EVT"));
    EXPECT_TRUE(events.except.contains("Media Center*"));

    // Missing folders are on record as such but never searched.
    const Definition dumps = define(*machine, &paths, 1, 13);
    EXPECT_EQ(dumps.list, QStringList{"C:\\windows"});
    const auto dumpRows = rowsOf(paths, 13);
    ASSERT_EQ(dumpRows.size(), 3u);
    EXPECT_EQ(dumpRows[0].STATE, 2);
    EXPECT_EQ(dumpRows[2].STATE, 1);

    // The key with its trailing backslash is found; a missing key is neither listed nor recorded.
    EXPECT_EQ(define(*machine, &paths, 1, 111).list.size(), 1);
    EXPECT_FALSE(define(*machine, &paths, 1, 105).result);
    EXPECT_TRUE(rowsOf(paths, 105).empty());

    // Keys added without a test, in category 2 and 3 only; other categories define no files.
    EXPECT_EQ(define(*machine, &paths, 2, 4).list.size(), 1);
    EXPECT_EQ(define(*machine, &paths, 3, 51).list.size(), 2);
    EXPECT_FALSE(define(*machine, &paths, 1, 51).result);
    EXPECT_FALSE(define(*machine, &paths, 3, 12).result);
    EXPECT_EQ(define(*machine, &paths, 1, 10).list, QStringList{"dummy recycled path"});
}

}  // namespace
}  // namespace tidora::catalog
