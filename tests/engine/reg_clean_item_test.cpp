#include "engine/reg_clean_item.h"

#include <gtest/gtest.h>

#include "catalog/catalog_items.h"
#include "engine/imitation_mode.h"
#include "engine_fixture.h"
#include "fixtures/fake_wineserver.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::engine {
namespace {

using platform::RegRoot;
using platform::RegValue;
using Rows = std::vector<std::pair<QString, int>>;

const std::string kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kAppPaths = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

// Junk next to valid look-alikes: a Run value for a program that is gone, and ones that start a
// program that exists, one found by its bare name, one on a network drive; an App Paths entry
// for a missing program next to a valid one; an empty vendor key next to a used one.
struct RegistryPrefix {
    explicit RegistryPrefix(const ::tidora::testing::TempDir& tmp) : b(tmp / "prefix") {
        b.fresh()
            .file("C:\\Program Files\\app\\app.exe", "MZ")
            .file("C:\\windows\\system32\\tool.exe", "MZ")
            .drive('n', tmp.path(), "network")
            .value(kRun,
                   RegValue::fromString("Gone", "\"C:\\Program Files\\gone\\gone.exe\" /tray"))
            .value(kRun, RegValue::fromString("App", "\"C:\\Program Files\\app\\app.exe\" -min"))
            .value(kRun, RegValue::fromString("Bare", "tool.exe /quiet"))
            .value(kRun, RegValue::fromString("Net", "N:\\share\\agent.exe"))
            .value(kAppPaths + "\\gone.exe", RegValue::fromString("", "C:\\gone\\gone.exe"))
            .value(kAppPaths + "\\app.exe",
                   RegValue::fromString("", "C:\\Program Files\\app\\app.exe"))
            .key("HKCU\\Software\\EmptyVendor")
            .value("HKCU\\Software\\UsedVendor", RegValue::fromDword("x", 1));
        b.write();
        std::string error;
        machine = platform::winepfx::WinePrefixMachine::open(
            b.prefixDir(), &error, platform::winepfx::WinePrefixOptions{{tmp / "servers"}});
        catalog::SetCatalogOS(true, 6, 1, 7);
    }
    std::string hives() const {
        return ::tidora::testing::readFile(b.prefixDir() + "/user.reg") +
               ::tidora::testing::readFile(b.prefixDir() + "/system.reg");
    }
    ::tidora::testing::PrefixBuilder b;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine;
};

TEST(RegItem, FindsAndRemovesOnlyTheInvalidEntries) {
    testing::EngineFixture f;
    RegistryPrefix p(f.tmp);
    ASSERT_TRUE(p.machine);

    TRegCleanItem autorun(*p.machine, nullptr, 2, 1, 110, "RegAutoRun");
    TRegCleanItem appPaths(*p.machine, nullptr, 2, 1, 106, "RegAppPaths");
    TRegCleanItem empty(*p.machine, nullptr, 2, 1, 109, "RegNotApps");
    for (TRegCleanItem* item : {&autorun, &appPaths, &empty}) {
        f.attach(*item);
        ASSERT_TRUE(item->AnalysisRun(0));
        EXPECT_EQ(item->StateID(), kStateAnalysed);
    }
    EXPECT_EQ(f.rows("Regs_T", "VALUE", 110), (Rows{{"Gone", 1}}));
    EXPECT_EQ(f.rows("Regs_T", "NAME", 106),
              (Rows{{"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\gone.exe", 1}}));
    const Rows emptyRows = f.rows("Regs_T", "NAME", 109);
    ASSERT_FALSE(emptyRows.empty());
    EXPECT_NE(std::find(emptyRows.begin(), emptyRows.end(),
                        std::pair<QString, int>{"Software\\EmptyVendor", 1}),
              emptyRows.end());

    for (TRegCleanItem* item : {&autorun, &appPaths, &empty}) {
        item->Run(0);
        EXPECT_EQ(item->StateID(), kStateCleaned);
        for (const auto& [name, state] : f.rows("Regs_T", "NAME", item->iD)) {
            EXPECT_EQ(state, 2) << name.toStdString();
        }
    }
    const std::string run = kRun.substr(5);
    EXPECT_FALSE(p.machine->value(RegRoot::CurrentUser, run, "Gone"));
    for (const char* kept : {"App", "Bare", "Net"}) {
        EXPECT_TRUE(p.machine->value(RegRoot::CurrentUser, run, kept)) << kept;
    }
    const std::string appPathsKey = kAppPaths.substr(5);
    EXPECT_FALSE(p.machine->keyExists(RegRoot::LocalMachine, appPathsKey + "\\gone.exe"));
    EXPECT_TRUE(p.machine->keyExists(RegRoot::LocalMachine, appPathsKey + "\\app.exe"));
    EXPECT_FALSE(p.machine->keyExists(RegRoot::CurrentUser, "Software\\EmptyVendor"));
    EXPECT_TRUE(p.machine->keyExists(RegRoot::CurrentUser, "Software\\UsedVendor"));
}

TEST(RegItem, ImitationAndALockedRegistryChangeNoHiveByte) {
    testing::EngineFixture f;
    RegistryPrefix p(f.tmp);
    ASSERT_TRUE(p.machine);
    TRegCleanItem autorun(*p.machine, nullptr, 2, 1, 110, "RegAutoRun");
    TRegCleanItem appPaths(*p.machine, nullptr, 2, 1, 106, "RegAppPaths");
    std::vector<QString> messages;
    f.run.cErrorMsgProc = [&](const QString& text) { messages.push_back(text); };
    for (TRegCleanItem* item : {&autorun, &appPaths}) {
        f.attach(*item);
        item->AnalysisRun(0);
    }
    const std::string before = p.hives();

    SetImitationMode(true);
    autorun.Run(0);
    SetImitationMode(false);
    EXPECT_EQ(f.rows("Regs_T", "VALUE", 110), (Rows{{"Gone", 2}}));
    EXPECT_TRUE(p.hives() == before);

    {
        ::tidora::testing::FakeWineserver server(p.b.prefixDir(), f.tmp / "servers");
        f.db.connectToSQLite(1, QString::fromStdString(f.tmp / "work.wcd"), false);
        for (TRegCleanItem* item : {&autorun, &appPaths}) {
            item->AnalysisRun(0);
            item->Run(0);
            EXPECT_EQ(item->StateID(), kStateCleaned);
            for (const auto& [name, state] : f.rows("Regs_T", "NAME", item->iD)) {
                EXPECT_EQ(state, 3) << name.toStdString();
            }
        }
    }
    EXPECT_TRUE(p.hives() == before);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].indexOf("wineserver"), -1) << messages[0].toStdString();
}

TEST(RegItem, ItemsWithoutACheckAndCancel) {
    testing::EngineFixture f;
    RegistryPrefix p(f.tmp);
    ASSERT_TRUE(p.machine);
    p.b.key("HKLM\\SYSTEM\\CurrentControlSet\\services\\x").write();
    TRegCleanItem services(*p.machine, nullptr, 2, 1, 114, "RegServices");
    f.attach(services);
    ASSERT_EQ(services.VarList.size(), 1);
    services.AnalysisRun(0);
    EXPECT_EQ(services.StateID(), kStateAnalysed);
    EXPECT_TRUE(f.rows("Regs_T", "NAME", 114).empty());

    // A cancel during the search: the item stops with what it stored so far.
    TRegCleanItem empty(*p.machine, nullptr, 2, 1, 109, "RegNotApps");
    f.attach(empty);
    f.operations.clear();
    f.cancelAfter(kOpFound, 1);
    empty.AnalysisRun(0);
    EXPECT_EQ(empty.StateID(), kStateAnalysisCancelled);
    EXPECT_EQ(f.rows("Regs_T", "NAME", 109).size(), 1u);
    EXPECT_FALSE(f.sawOperation(kOpAnalysisEnd));
}

}  // namespace
}  // namespace tidora::engine
