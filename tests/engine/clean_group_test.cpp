#include "engine/clean_group.h"

#include <QCoreApplication>
#include <QMap>

#include <gtest/gtest.h>

#include "catalog/catalog_items.h"
#include "catalog/catalog_texts.h"
#include "engine_fixture.h"
#include "fixtures/core_application.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"

namespace tidora::engine {
namespace {

const std::string kTemp = "C:\\users\\anna\\Temp";
const std::string kLocal = "C:\\users\\anna\\AppData\\Local";

// A machine with junk for the temporary files (11), the crash dumps (13) and the logs (14), and
// a group loaded over it with item settings kept in memory.
struct GroupFixture {
    GroupFixture() : b(f.tmp / "prefix") {
        ::tidora::testing::ensureCoreApplication();
        b.fresh()
            .file(kTemp + "\\a.tmp", "aaaa")
            .file(kTemp + "\\b.tmp", "bb")
            .file(kLocal + "\\CrashDumps\\app.dmp", "dump")
            .file("C:\\windows\\setup.log", "log");
        machine = b.openMachine();
        catalog::SetCatalogOS(*machine);
        f.db.OnLoadItemRecord = [this](int32_t, const QString& name, QString& value,
                                       const QString& def) { value = stored.value(name, def); };
        f.db.OnSaveItemRecord = [this](int32_t, const QString& name, QString& value,
                                       const QString&) { stored[name] = value; };
        group = std::make_unique<TCleanGroup>(
            TCleanGroupContext{*machine, f.db, f.dialogs, nullptr, nullptr, nullptr},
            QString::fromStdString(f.tmp / "group.wcd"), 1, "Group1");
        group->LoadItems();
        group->CollectData().cEvalRegime = 0;
        group->DoOperationEvent = [this](TCleanGroup*, TbaseCleanItem* item, int32_t code,
                                         const QString&, double) {
            operations.push_back({item ? item->iD : 0, code});
            if (onOperation) {
                onOperation(item, code);
            }
        };
        group->DoAfterEvent = [this](TCleanGroup*, bool runFlag, const QString& state,
                                     const QString&, const QString&, const QString&) {
            afterEvents.push_back({runFlag, state});
        };
        f.db.ReconnectToBase(1);
    }

    void select(const QString& ids) { group->ResetItemsState(ids, ","); }
    void waitForWorker() {
        while (!group->IsWorkerDone()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        group->trKill(0);
    }
    bool fileExists(const std::string& path) const { return machine->exists(path); }
    int rowCount(const char* table) {
        const auto lock = f.db.LockConnection();
        auto s = lock.db().prepare(QStringLiteral("select count(*) from %1").arg(table));
        s.step();
        return static_cast<int>(s.columnInt64(0));
    }

    testing::EngineFixture f;
    ::tidora::testing::PrefixBuilder b;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine;
    QMap<QString, QString> stored;
    std::unique_ptr<TCleanGroup> group;
    std::vector<std::pair<int, int32_t>> operations;  // item ID (0: the group), code
    std::function<void(TbaseCleanItem*, int32_t)> onOperation;
    std::vector<std::pair<bool, QString>> afterEvents;
};

TEST(CleanGroup, LoadsOfferedItemsAndAppliesRegimes) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    EXPECT_NE(group.FindParamFromName("tempfiles"), nullptr);
    EXPECT_EQ(group.FindParamFromID(0, 100), nullptr);  // nothing to search: not offered
    EXPECT_NE(group.FindParamFromID(1, 12), nullptr);   // other items always are

    g.select("1,2,11");
    EXPECT_EQ(group.GetActiveItemsState(","), "11,1,2");  // in catalog order
    EXPECT_TRUE(
        g.f.db.FDMemTable_Items.rows()[static_cast<size_t>(g.f.db.FDMemTable_Items.indexOfId(11))]
            .ACTIVE);

    // Regime 4 without a stored selection: the catalog's list; after regime 0 stored the
    // present selection, 4 brings it back.
    group.RenewActiveStatesFromRegime(4);
    QStringList own;
    catalog::GetRegimeItemsList(4, own);
    for (const auto& item : group.Items()) {
        EXPECT_EQ(item->GetActiveFlag(), own.contains(QString::number(item->iD))) << item->iD;
    }
    g.select("11,13");
    group.RenewActiveStatesFromRegime(0);
    group.RenewActiveStatesFromRegime(2);
    EXPECT_EQ(group.GetCommRegimeDesc(0), "Оптимальная очистка");
    group.RenewActiveStatesFromRegime(4);
    EXPECT_EQ(group.GetActiveItemsState(","), "11,13");

    // A single change that matches no regime.
    group.FindParamFromID(0, 14)->SetActiveFlag(true);
    EXPECT_EQ(group.CommRegime(), 0);
    EXPECT_EQ(group.GetCommRegimeDesc(0), "Очистка по настройкам пользователя");
    group.RenewActiveStatesFromRegime(7);
    EXPECT_EQ(group.GetActiveItemsState(","), "");
    EXPECT_EQ(group.GetCommRegimeDesc(0), "");
}

TEST(CleanGroup, PassesWithoutActiveItemsAndSwitchedOffItems) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    g.select("11,13");
    EXPECT_EQ(group.Analyze(0), 1);
    EXPECT_EQ(g.rowCount("Files_T"), 3);

    g.select("");
    EXPECT_EQ(group.Analyze(0), 1);
    EXPECT_EQ(g.rowCount("Files_T"), 0);
    EXPECT_EQ(group.Run(0), -1);

    // Item 13 analysed, then switched off: its rows go before the cleaning, its file stays.
    g.select("11,13");
    group.Analyze(0);
    group.FindParamFromID(0, 13)->SetActiveFlag(false);
    EXPECT_EQ(group.Run(0), 0);
    EXPECT_EQ(g.rowCount("Files_T"), 2);
    EXPECT_FALSE(g.fileExists(kTemp + "\\a.tmp"));
    EXPECT_TRUE(g.fileExists(kLocal + "\\CrashDumps\\app.dmp"));
}

TEST(CleanGroup, CancelDuringTheThirdItemOfAnAnalysis) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    g.select("11,13,14");
    g.onOperation = [&](TbaseCleanItem* item, int32_t code) {
        if (item && item->iD == 14 && code == kOpSearchStart) {
            group.Cancel();
        }
    };
    EXPECT_EQ(group.Analyze(0), 0);
    EXPECT_EQ(group.FindParamFromID(0, 14)->StateID(), kStateAnalysisCancelled);
    EXPECT_EQ(group.CurrItemCount(), 3);
    const std::pair<int, int32_t> doneThird{14, 9};
    EXPECT_EQ(std::count(g.operations.begin(), g.operations.end(), doneThird), 0);
}

TEST(CleanGroup, WorkerRunsACleaningAndReportsItsEnd) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    g.select("11");
    group.trRun(0);
    g.waitForWorker();
    ASSERT_EQ(g.afterEvents.size(), 1u);
    EXPECT_TRUE(g.afterEvents[0].first);
    EXPECT_FALSE(g.fileExists(kTemp + "\\a.tmp"));
    EXPECT_EQ(group.RunProcessFlag(), 4);
    EXPECT_EQ(group.ProcessThreadCount(), 0);
    EXPECT_TRUE(group.ProcessEnabled());
}

TEST(CleanGroup, ACancelBetweenTheHalvesOfACleaningDeletesNothing) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    g.select("11,13");
    // The cancel arrives after the last item of the analysis half is done.
    g.onOperation = [&](TbaseCleanItem* item, int32_t code) {
        if (item && item->iD == 13 && code == 9) {
            group.CollectData().cExitFlag = true;
        }
    };
    group.trRun(0);
    g.waitForWorker();
    EXPECT_TRUE(g.fileExists(kTemp + "\\a.tmp"));
    EXPECT_TRUE(g.fileExists(kLocal + "\\CrashDumps\\app.dmp"));
    EXPECT_NE(group.RunProcessFlag(), 4);

    // The next run starts with the cancel cleared.
    g.onOperation = nullptr;
    group.trRun(0);
    g.waitForWorker();
    EXPECT_FALSE(g.fileExists(kTemp + "\\a.tmp"));
}

TEST(CleanGroup, StepModeCancelStopsThePass) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    g.select("11,13");
    group.StepModeFlag = true;
    g.f.dialogs.answer = false;
    group.trRun(0);
    g.waitForWorker();
    ASSERT_EQ(g.f.dialogs.questions.size(), 1);
    EXPECT_EQ(g.f.dialogs.questions[0], "11: A Временные файлы TempFiles");
    EXPECT_EQ(group.FindParamFromID(0, 11)->StateID(), kStateAnalysisCancelled);
    EXPECT_TRUE(g.fileExists(kTemp + "\\a.tmp"));
}

TEST(CleanGroup, TrCancelStopsTheWorkerAndItsItem) {
    GroupFixture g;
    TCleanGroup& group = *g.group;
    for (int i = 0; i < 200; ++i) {
        g.b.file(kTemp + "\\many\\f" + std::to_string(i) + ".tmp", "x");
    }
    g.b.write();
    g.select("11,13");
    std::atomic<bool> started = false;
    g.onOperation = [&](TbaseCleanItem*, int32_t code) {
        if (code == kOpProcessed) {
            started = true;
        }
    };
    group.trRun(0);
    while (!started && !group.IsWorkerDone()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    group.trCancel(1);
    EXPECT_TRUE(group.IsWorkerDone());
    EXPECT_TRUE(group.ProcessEnabled());
    EXPECT_EQ(group.ProcessThreadCount(), 0);
    EXPECT_TRUE(g.afterEvents.empty());
    // Every row has its true outcome: deleted rows are gone from disk, the others are not.
    const auto lock = g.f.db.LockConnection();
    auto s = lock.db().prepare("select NAME, STATE from Files_T");
    while (s.step()) {
        EXPECT_EQ(s.columnInt64(1) == 2, !g.machine->exists(s.columnText(0).toStdString()))
            << s.columnText(0).toStdString();
    }
}

}  // namespace
}  // namespace tidora::engine
