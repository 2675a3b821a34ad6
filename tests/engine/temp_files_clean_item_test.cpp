#include "engine/temp_files_clean_item.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "catalog/catalog_items.h"
#include "engine/imitation_mode.h"
#include "engine_fixture.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"
#include "fixtures/shell_link_bytes.h"

namespace tidora::engine {
namespace {

using Rows = std::vector<std::pair<QString, int>>;

const std::string kTemp = "C:\\users\\anna\\Temp";

// A temp folder with junk and with what must stay: a read-only file and a link out of the tree.
struct TempPrefix {
    explicit TempPrefix(const ::tidora::testing::TempDir& tmp) : b(tmp / "prefix") {
        b.fresh()
            .file(kTemp + "\\a.tmp", "aaaa")
            .file(kTemp + "\\sub\\b.log", "bb")
            .file(kTemp + "\\ro.txt", "keep")
            .file("C:\\outside\\precious.txt", "precious")
            .link(kTemp + "\\out", "../../../drive_c/outside");
        machine = b.openMachine();
        chmod(b.unixPath(kTemp + "\\ro.txt").c_str(), 0444);
        catalog::SetCatalogOS(true, 6, 1, 7);
    }
    bool exists(const std::string& windowsPath) const {
        return std::filesystem::exists(std::filesystem::symlink_status(b.unixPath(windowsPath)));
    }
    ::tidora::testing::PrefixBuilder b;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine;
};

TEST(TempFilesItem, AnalysesAndCleansExactlyTheJunk) {
    testing::EngineFixture f;
    TempPrefix p(f.tmp);
    TtempFilesCleanItem item(*p.machine, nullptr, 1, 1, 11, "TempFiles");
    item.VarList = QStringList{QString::fromStdString(kTemp)};
    f.attach(item);

    ASSERT_TRUE(item.AnalysisRun(0));
    EXPECT_EQ(item.StateID(), kStateAnalysed);
    Rows rows = f.rows("Files_T", "NAME", 11);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (Rows{{"C:\\users\\anna\\Temp\\a.tmp", 1},
                          {"C:\\users\\anna\\Temp\\sub\\b.log", 1}}));
    EXPECT_EQ(item.RealCount(), 2);
    EXPECT_TRUE(f.sawOperation(kOpAnalysisEnd));
    EXPECT_EQ(f.run.cFilesID, 3);

    ASSERT_FALSE(item.Run(0));
    EXPECT_EQ(item.StateID(), kStateCleaned);
    for (const auto& [name, state] : f.rows("Files_T", "NAME", 11)) {
        EXPECT_EQ(state, 2) << name.toStdString();
    }
    EXPECT_FALSE(p.exists(kTemp + "\\a.tmp"));
    EXPECT_FALSE(p.exists(kTemp + "\\sub\\b.log"));
    EXPECT_TRUE(p.exists(kTemp + "\\ro.txt"));
    EXPECT_TRUE(p.exists(kTemp + "\\out"));
    EXPECT_TRUE(p.exists("C:\\outside\\precious.txt"));
    EXPECT_TRUE(f.sawOperation(kOpCleaningEnd));
}

TEST(TempFilesItem, ExclusionsInAnyCaseAndShortcutItems) {
    testing::EngineFixture f;
    ::tidora::testing::PrefixBuilder b(f.tmp / "prefix");
    const std::string history = "C:\\users\\anna\\AppData\\Local\\Microsoft\\Windows\\History";
    const std::string desktop = "C:\\users\\anna\\Desktop";
    b.hostHome("")
        .fresh()
        .file(history + "\\DESKTOP.INI", "x")
        .file(history + "\\visit.dat", "x")
        .file(history + "\\Container.DAT", "x")
        .file("C:\\Program Files\\app\\app.exe", "MZ")
        .file(desktop + "\\broken.lnk", ::tidora::testing::shellLinkBytes("C:\\gone\\x.exe"))
        .file(desktop + "\\good.lnk",
              ::tidora::testing::shellLinkBytes("C:\\Program Files\\app\\app.exe"))
        .file(desktop + "\\net.lnk", ::tidora::testing::shellLinkBytes("N:\\share\\x.exe"))
        .drive('n', f.tmp.path(), "network");
    const auto machine = b.openMachine();
    catalog::SetCatalogOS(true, 6, 1, 7);

    TtempFilesCleanItem recovery(*machine, nullptr, 1, 2, 2, "IERecovery");
    f.attach(recovery);
    recovery.AnalysisRun(0);
    EXPECT_EQ(f.rows("Files_T", "NAME", 2),
              (Rows{{QString::fromStdString(history) + "\\visit.dat", 1}}));
}

TEST(TempFilesItem, ImitationChangesNothing) {
    testing::EngineFixture f;
    TempPrefix p(f.tmp);
    TtempFilesCleanItem item(*p.machine, nullptr, 1, 1, 11, "TempFiles");
    item.VarList = QStringList{QString::fromStdString(kTemp)};
    f.attach(item);
    item.AnalysisRun(0);
    SetImitationMode(true);
    item.Run(0);
    SetImitationMode(false);
    const Rows rows = f.rows("Files_T", "NAME", 11);
    ASSERT_EQ(rows.size(), 2u);
    for (const auto& [name, state] : rows) {
        EXPECT_EQ(state, 2) << name.toStdString();
    }
    EXPECT_TRUE(p.exists(kTemp + "\\a.tmp"));
    EXPECT_TRUE(p.exists(kTemp + "\\sub\\b.log"));
}

TEST(TempFilesItem, CancelKeepsEveryOutcome) {
    testing::EngineFixture f;
    TempPrefix p(f.tmp);
    for (int i = 0; i < 5; ++i) {
        p.b.file(kTemp + "\\many\\f" + std::to_string(i) + ".tmp", "x");
    }
    p.b.write();
    TtempFilesCleanItem item(*p.machine, nullptr, 1, 1, 11, "TempFiles");
    item.VarList = QStringList{QString::fromStdString(kTemp)};
    f.attach(item);

    f.cancelAfter(kOpFound, 3);
    item.AnalysisRun(0);
    EXPECT_EQ(item.StateID(), kStateAnalysisCancelled);
    EXPECT_FALSE(f.sawOperation(kOpAnalysisEnd));
    EXPECT_EQ(f.rows("Files_T", "NAME", 11).size(), 3u);

    // A full analysis, then a cancel after the second deletion: both deletions are on record.
    f.run.cExitFlag = false;
    f.onOperation = nullptr;
    item.ClearQueryData("Files_T");
    item.AnalysisRun(0);
    const size_t total = f.rows("Files_T", "NAME", 11).size();
    ASSERT_EQ(total, 7u);
    f.cancelAfter(kOpProcessed, 2);
    item.Run(0);
    EXPECT_EQ(item.StateID(), kStateCleaningCancelled);
    int deleted = 0;
    for (const auto& [name, state] : f.rows("Files_T", "NAME", 11)) {
        const bool gone = !p.machine->exists(name.toStdString());
        EXPECT_EQ(state == 2, gone) << name.toStdString();
        deleted += state == 2;
    }
    EXPECT_EQ(deleted, 2);
}

TEST(TempFilesItem, VanishedAndUndeletableFiles) {
    testing::EngineFixture f;
    TempPrefix p(f.tmp);
    TtempFilesCleanItem item(*p.machine, nullptr, 1, 1, 11, "TempFiles");
    item.VarList = QStringList{QString::fromStdString(kTemp)};
    f.attach(item);
    item.AnalysisRun(0);
    // One file is gone already, the other became a folder, which a file deletion cannot remove.
    std::filesystem::remove(p.b.unixPath(kTemp + "\\a.tmp"));
    std::filesystem::remove(p.b.unixPath(kTemp + "\\sub\\b.log"));
    std::filesystem::create_directory(p.b.unixPath(kTemp + "\\sub") + "/b.log");
    item.Run(0);
    Rows rows = f.rows("Files_T", "NAME", 11);
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (Rows{{"C:\\users\\anna\\Temp\\a.tmp", 2},
                          {"C:\\users\\anna\\Temp\\sub\\b.log", 3}}));
    EXPECT_EQ(item.StateID(), kStateCleaned);
}

TEST(TempFilesItem, CountsAndTexts) {
    testing::EngineFixture f;
    TempPrefix p(f.tmp);
    TtempFilesCleanItem item(*p.machine, nullptr, 1, 1, 11, "TempFiles");
    EXPECT_EQ(item.GetNameStr(), "1:11(TempFiles)[1]");
    EXPECT_TRUE(item.VarList.contains(QString::fromStdString(kTemp)));
    EXPECT_TRUE(item.EvaluateCount(1));
    EXPECT_EQ(item.Count(), 2);  // the read-only file is not counted
    EXPECT_EQ(item.GetInfo(0), "1|1|11|TempFiles|2|0");
    f.attach(item);
    item.AnalysisRun(0);
    item.Run(0);
    EXPECT_FALSE(item.EvaluateCount(1));
    EXPECT_EQ(item.Count(), 0);
}

}  // namespace
}  // namespace tidora::engine

namespace tidora::engine {
namespace {

TEST(TempFilesItem, RecycleBinIsListedThenEmptiedAsAWhole) {
    testing::EngineFixture f;
    ::tidora::testing::PrefixBuilder b(f.tmp / "prefix");
    b.fresh();
    const auto machine = b.openMachine();
    const std::string data = f.tmp / "data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    ::tidora::testing::writeFile(data + "/Trash/files/old.txt", "12345");
    ::tidora::testing::writeFile(data + "/Trash/info/old.txt.trashinfo",
                                 "[Trash Info]\nPath=" + b.unixPath("C:\\users\\anna") +
                                     "/old.txt\nDeletionDate=2025-12-31T23:59:00\n");
    TtempFilesCleanItem bin(*machine, nullptr, 1, 1, 10, "Recycled");
    f.attach(bin);
    bin.AnalysisRun(0);
    EXPECT_EQ(f.rows("Files_T", "NAME", 10), (Rows{{"C:\\users\\anna\\old.txt", 1}}));
    EXPECT_EQ(bin.Count(), 1);

    SetImitationMode(true);
    bin.Run(0);
    SetImitationMode(false);
    EXPECT_TRUE(std::filesystem::exists(data + "/Trash/files/old.txt"));
    EXPECT_EQ(f.rows("Files_T", "NAME", 10), (Rows{{"C:\\users\\anna\\old.txt", 2}}));

    bin.Run(0);
    EXPECT_FALSE(std::filesystem::exists(data + "/Trash/files/old.txt"));
    EXPECT_EQ(f.rows("Files_T", "NAME", 10), (Rows{{"C:\\users\\anna\\old.txt", 2}}));
    EXPECT_EQ(bin.Count(), 0);
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tidora::engine
