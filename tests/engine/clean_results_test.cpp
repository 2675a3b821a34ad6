#include <QCoreApplication>
#include <QDate>
#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "catalog/catalog_items.h"
#include "diagnostics/date_time.h"
#include "engine/clean_group.h"
#include "engine/duration_text.h"
#include "engine_fixture.h"
#include "fixtures/core_application.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"

namespace tidora::engine {
namespace {

const std::string kTemp = "C:\\users\\anna\\Temp";
constexpr int32_t kTempFiles = 11;
constexpr int32_t kClipboard = 12;
constexpr int32_t kCrashDumps = 13;
constexpr int32_t kRunMru = 51;
constexpr int32_t kRegistryDll = 100;

constexpr int kMarked = 1;
constexpr int kDeleted = 2;
constexpr int kFailed = 3;
constexpr int kAccessDenied = 4;

class FakeHistory : public stores::CleanHistorySink {
public:
    int32_t AddNewLine(const stores::TCleanHistoryRecord& aHistoryRec) override {
        records.push_back(aHistoryRec);
        return 41;
    }
    std::vector<stores::TCleanHistoryRecord> records;
};

struct AfterEvent {
    bool runFlag = false;
    QString state;
    QString size;
    QString counts;
    QString deltaTime;
};

const QString kDate = QStringLiteral("<date>");
const QString kRussianShortDate = QStringLiteral("dd.MM.yyyy");

QString dashes(int n) {
    return QStringLiteral(" ") + QString(n, u'-');
}

// A loaded group over a fresh prefix whose working tables the tests mostly fill themselves, with a
// Russian locale for the number and date texts.
class CleanResults : public ::testing::Test {
protected:
    CleanResults() : b(f.tmp / "prefix") {
        ::tidora::testing::ensureCoreApplication();
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        const std::string kilobyte(1000, 'x');
        b.fresh()
            .file(kTemp + "\\a.tmp", kilobyte)
            .file(kTemp + "\\b.tmp", kilobyte)
            .file(kTemp + "\\c.tmp", kilobyte);
        machine = b.openMachine();
        catalog::SetCatalogOS(*machine);
        startGroup(&history);
    }
    ~CleanResults() override {
        group.reset();
        QLocale::setDefault(previousLocale);
    }

    void startGroup(stores::CleanHistorySink* sink) {
        group.reset();
        group = std::make_unique<TCleanGroup>(
            TCleanGroupContext{*machine, f.db, f.dialogs, nullptr, nullptr, sink},
            QString::fromStdString(f.tmp / "group.wcd"), 1, "Group1");
        group->LoadItems();
        group->CollectData().cEvalRegime = 0;
        group->DoAfterEvent = [this](TCleanGroup*, bool runFlag, const QString& state,
                                     const QString& size, const QString& counts,
                                     const QString& deltaTime) {
            events.push_back({runFlag, state, size, counts, deltaTime});
        };
        group->SetConnectedDataBase(true);
    }

    // Exactly these items active, also the rows of items this machine does not offer.
    void select(const QString& ids) {
        group->ResetItemsState(ids, ",");
        const QStringList list = ids.split(u',');
        for (catalog::TCleanItemParams& row : f.db.FDMemTable_Items.rows()) {
            row.ACTIVE = list.contains(QString::number(row.ID));
        }
    }

    void addFile(int64_t id, int32_t cleanId, int64_t size, int state, int active = 1) {
        const auto lock = f.db.LockConnection();
        auto s = lock.db().prepare(
            "insert into Files_T (ID, CLEAN_ID, NAME, SIZE, STATE, ACTIVE) values (?, ?, ?, ?, ?, "
            "?)");
        s.bindInt64(1, id);
        s.bindInt64(2, cleanId);
        s.bindText(3, QStringLiteral("C:\\users\\anna\\Temp\\f%1.tmp").arg(id));
        s.bindInt64(4, size);
        s.bindInt64(5, state);
        s.bindInt64(6, active);
        s.step();
    }

    void addReg(int64_t id, int32_t cleanId, int state) {
        const auto lock = f.db.LockConnection();
        auto s = lock.db().prepare(
            "insert into Regs_T (ID, CLEAN_ID, HOMEKEY, NAME, STATE, ACTIVE) values (?, ?, 2, ?, "
            "?, 1)");
        s.bindInt64(1, id);
        s.bindInt64(2, cleanId);
        s.bindText(3, QStringLiteral("Software\\Classes\\CLSID\\k%1").arg(id));
        s.bindInt64(4, state);
        s.step();
    }

    void setState(const char* table, int64_t id, int state) {
        const auto lock = f.db.LockConnection();
        auto s = lock.db().prepare(
            QStringLiteral("update %1 set STATE=? where ID=?").arg(QLatin1String(table)));
        s.bindInt64(1, state);
        s.bindInt64(2, id);
        s.step();
    }

    // Three files of 1000 bytes for the temporary files and two registry entries, as an analysis
    // leaves them, with the analysis totals computed as between the halves of a cleaning.
    void analysed() {
        select("11,12,13,100");
        for (int64_t id = 1; id <= 3; ++id) {
            addFile(id, kTempFiles, 1000, kMarked);
        }
        addFile(4, kTempFiles, 5000, kMarked, 0);  // switched off in the grid: not counted
        addReg(1, kRegistryDll, kMarked);
        addReg(2, kRegistryDll, kMarked);
        ASSERT_TRUE(group->inner_CalcResult(false, 0));
    }

    // The cleaning of analysed(): one file and one registry entry could not be deleted.
    void cleaned() {
        analysed();
        setState("Files_T", 1, kDeleted);
        setState("Files_T", 2, kFailed);
        setState("Files_T", 3, kDeleted);
        setState("Regs_T", 1, kAccessDenied);
        setState("Regs_T", 2, kDeleted);
    }

    void waitForWorker() {
        while (!group->IsWorkerDone()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        group->trKill(0);
    }

    // kDate in a line stands for the report's date, the day it was made: the test may cross
    // midnight.
    static void expectLines(const QString& text, const QStringList& expected, QDate before) {
        const QStringList lines = text.split(u'\n');
        ASSERT_EQ(lines.size(), expected.size()) << text.toStdString();
        const QDate after = QDate::currentDate();
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString want = expected[i];
            want.replace(kDate, before.toString(kRussianShortDate));
            if (lines[i] != want) {
                want = QString(expected[i]).replace(kDate, after.toString(kRussianShortDate));
            }
            EXPECT_EQ(lines[i], want) << "line " << i;
        }
    }

    testing::EngineFixture f;
    ::tidora::testing::PrefixBuilder b;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine;
    FakeHistory history;
    std::unique_ptr<TCleanGroup> group;
    std::vector<AfterEvent> events;
    QLocale previousLocale;
};

TEST_F(CleanResults, AnalysisTotalsAndEndTexts) {
    analysed();
    const TCleanResultRecord& r = group->AnalyzeResult();
    EXPECT_EQ(r.FilesCount, 3);
    EXPECT_EQ(r.FilesSize, 3000);
    EXPECT_EQ(r.FilesSizeStr, "2,93 Kb");
    EXPECT_EQ(r.RegCount, 2);
    EXPECT_EQ(r.RegSize, 0);
    EXPECT_EQ(r.RegSizeStr, "0");

    EXPECT_TRUE(group->Calc_AfterProcess(false, 0));
    EXPECT_EQ(r.State, kStateAnalysed);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].runFlag);
    EXPECT_EQ(events[0].state, "завершен");
    EXPECT_EQ(events[0].size, "Файлов: 2,93 Kb ");
    EXPECT_EQ(events[0].counts, "Файлов: 3 шт. - Переменных реестра: 2 шт.");
    EXPECT_EQ(events[0].deltaTime, "");  // no background operation has started
    EXPECT_EQ(group->DeltaTimeMSec(), 0);
}

TEST_F(CleanResults, AnalysisReportInFormat1) {
    analysed();
    group->Calc_AfterProcess(false, 0);
    QStringList list{QStringLiteral("kept")};
    const QDate before = QDate::currentDate();
    const QString text = group->FormatCalcResult(1, false, "2.0.1", &list, 1);
    const QStringList expected{
        "kept",
        " ",
        "  Дата отчета: " + kDate,
        "  Длительность операции: ",
        dashes(44),
        "  Анализ ",
        " ",
        " Файлы: ",
        "1. Временные файлы (файлы: 3шт.: 2,93 Kb)",
        "2. Дампы памяти (файлы: 0шт.: 0)",
        " ",
        " Реестр: ",
        "1. Некорретные dll-библиотеки (переменные: 2шт.)",
        " ",
        "  ИТОГО Обнаружено: ",
        "         Файлов: 3",
        "         Общий размер: 2,93 Kb",
        "         Переменных реестра: 2",
        "         Примерная оценка размера: 0",
        dashes(43),
        "  Очистка не проводилась",
        " ",
        "  ",
        " ***",
        "  ",
        dashes(58),
        " --- отчет  Tidora v.2.0.1 ---",
        dashes(58),
    };
    expectLines(text, expected, before);
    EXPECT_EQ(list.join(u'\n'), text);
}

TEST_F(CleanResults, CleaningTotalsCountOnlyDeletedRows) {
    cleaned();
    EXPECT_TRUE(group->Calc_AfterProcess(true, 0));
    const TCleanResultRecord& r = group->RunResult();
    EXPECT_EQ(r.FilesCount, 2);
    EXPECT_EQ(r.FilesSize, 2000);
    EXPECT_EQ(r.FilesSizeStr, "1,95 Kb");
    EXPECT_EQ(r.RegCount, 1);
    EXPECT_EQ(r.State, kStateCleaned);
    EXPECT_EQ(group->AnalyzeResult().FilesCount, 3);  // what was found stays as found
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].runFlag);
    EXPECT_EQ(events[0].state, "выполнена");
    EXPECT_EQ(events[0].size, "Файлов: 1,95 Kb");
    EXPECT_EQ(events[0].counts, "Файлов: 2 шт. - Переменных реестра: 1 шт.");

    // Analysis figures count every active row, cleaning figures the deleted ones; both count the
    // failures. A selected item without rows and the other item get a row of zeros.
    auto row = [](int32_t id, int32_t type) {
        stores::TCleanResultRow r;
        r.ID = id;
        r.TYPE = type;
        return r;
    };
    auto files = row(kTempFiles, 1);
    files.A_COUNT = 3;
    files.A_SIZE = 3000;
    files.A_ERRORS = 1;
    files.A_ERRSIZE = 1000;
    auto regs = row(kRegistryDll, 2);
    regs.A_COUNT = 2;
    regs.A_ERRORS = 1;
    ASSERT_TRUE(group->inner_FillResultDataFromDB(1));
    EXPECT_EQ(f.db.FDMemTable_Result.rows(),
              (std::vector{files, row(kClipboard, 3), row(kCrashDumps, 1), regs}));

    files = row(kTempFiles, 1);
    files.R_COUNT = 2;
    files.R_SIZE = 2000;
    files.R_ERRORS = 1;
    files.R_ERRSIZE = 1000;
    regs = row(kRegistryDll, 2);
    regs.R_COUNT = 1;
    regs.R_ERRORS = 1;
    ASSERT_TRUE(group->inner_FillResultDataFromDB(2));
    EXPECT_EQ(f.db.FDMemTable_Result.rows(),
              (std::vector{files, row(kClipboard, 3), row(kCrashDumps, 1), regs}));
}

TEST_F(CleanResults, CleaningReportInFormat2) {
    cleaned();
    group->Calc_AfterProcess(true, 0);
    const QDate before = QDate::currentDate();
    const QString text = group->FormatCalcResult(2, true, "2.0.1", nullptr, 1);
    const QStringList expected{
        " <br>",
        "  Дата отчета: " + kDate + "<br>",
        "  Длительность операции: <br>",
        dashes(44) + "<br>",
        "  Анализ <br>",
        " <br>",
        " Файлы: <br>",
        "1. Временные файлы (файлы: 3шт.: 2,93 Kb)",
        "2. Дампы памяти (файлы: 0шт.: 0)",
        " <br>",
        " Реестр: <br>",
        "1. Некорретные dll-библиотеки (переменные: 2шт.)",
        " <br>",
        "  ИТОГО Обнаружено: <br>",
        "         Файлов: 3<br>",
        "         Общий размер: 2,93 Kb<br>",
        "         Переменных реестра: 2<br>",
        "         Примерная оценка размера: 0<br>",
        " <br>",
        dashes(43) + "<br>",
        "  Очистка<br>",
        "  <br>",
        " Файлы: <br>",
        "1. Временные файлы (файлы: 2шт.: 1,95 Kb ошибки: 1шт.:  1000)",
        "2. Дампы памяти (файлы: 0шт.: 0)",
        " <br>",
        " Реестр: <br>",
        "1. Некорретные dll-библиотеки (переменные: 1шт. ошибки: 1шт.)",
        " <br>",
        "   ИТОГО Удалось очистить: <br>",
        "  Файлов: 2<br>",
        "  Общий размер: 1,95 Kb<br>",
        "  Переменных реестра: 1<br>",
        "  Примерная оценка размера: 0<br>",
        "  <br>",
        " ***<br>",
        "  <br>",
        dashes(58) + "<br>",
        " --- отчет  Tidora v.2.0.1 ---<br>",
        dashes(58) + "<br>",
    };
    expectLines(text, expected, before);
}

TEST_F(CleanResults, ItemLinesOfEveryTypeWithTheirIds) {
    cleaned();
    group->inner_FillResultDataFromDB(2);
    EXPECT_EQ(group->GetItemsResultdata(true, 0, u';', 0),
              "1. Временные файлы (файлы: 2шт.: 1,95 Kb ошибки: 1шт.:  1000), id(11);"
              "2. Буфер обмена, id(12);"
              "3. Дампы памяти (файлы: 0шт.: 0), id(13);"
              "4. Некорретные dll-библиотеки (переменные: 1шт. ошибки: 1шт.), id(100)");
    // Without the run flag the same table shows its analysis columns, which are empty now.
    EXPECT_EQ(group->GetItemsResultdata(false, 2, u';', 1),
              "1. Некорретные dll-библиотеки (переменные: 0шт.)");

    select("");
    group->inner_FillResultDataFromDB(1);
    EXPECT_EQ(group->GetItemsResultdata(false, 0, u';', 0), "");
}

TEST_F(CleanResults, FailedQueriesShowInTotalsStateAndReport) {
    analysed();
    {
        const auto lock = f.db.LockConnection();
        lock.db().exec("drop table Files_T;");
    }
    EXPECT_TRUE(group->Calc_AfterProcess(false, 0));  // the analysis itself did finish
    const TCleanResultRecord& r = group->AnalyzeResult();
    EXPECT_EQ(r.FilesCount, 0);
    EXPECT_EQ(r.FilesSize, -1);
    EXPECT_EQ(r.FilesSizeStr, "-");
    EXPECT_EQ(r.RegCount, 2);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].state, "завершен с ошибк.");
    EXPECT_EQ(events[0].size, "");

    // The registry rows are still filled; the report says the figures are incomplete.
    EXPECT_FALSE(group->inner_FillResultDataFromDB(1));
    const auto& rows = f.db.FDMemTable_Result.rows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].A_COUNT, 0);
    EXPECT_EQ(rows[3].A_COUNT, 2);
    const QStringList lines = group->FormatCalcResult(1, false, "2.0.1", nullptr, 1).split(u'\n');
    const qsizetype totals = lines.indexOf("  ИТОГО Обнаружено: ");
    ASSERT_GE(totals, 0);
    EXPECT_EQ(lines.mid(totals + 1, 4),
              (QStringList{"         Файлов: 0", "         Переменных реестра: 2",
                           "         Примерная оценка размера: 0",
                           "     (При подведении итогов возникли ошибки получения данных)"}));
}

TEST_F(CleanResults, UnreachableDatabaseLeavesOnlyTheOtherItems) {
    analysed();
    group->CollectData().cDataRegime = 1;
    EXPECT_FALSE(group->inner_CalcResult(false, 0));
    EXPECT_EQ(group->AnalyzeResult().FilesCount, 0);
    EXPECT_EQ(group->AnalyzeResult().FilesSize, 0);
    EXPECT_EQ(group->AnalyzeResult().RegCount, 0);
    EXPECT_FALSE(group->inner_FillResultDataFromDB(1));
    for (const stores::TCleanResultRow& row : f.db.FDMemTable_Result.rows()) {
        EXPECT_EQ(row.A_COUNT, 0) << row.ID;
    }
    EXPECT_EQ(f.db.FDMemTable_Result.size(), 4);
}

TEST_F(CleanResults, OtherItemsCountAfterTheirFirstCleaning) {
    select("12,51");
    EXPECT_EQ(group->Run(0), 0);
    // Item 51 counts from its cleaning on, also in later analyses; the clipboard never counts;
    // neither belongs to the registry action.
    const struct {
        bool runFlag;
        int32_t actID;
        int64_t files;
    } cases[] = {{true, 0, 1}, {false, 0, 1}, {false, 1, 1}, {false, 2, 0}};
    for (const auto& c : cases) {
        EXPECT_TRUE(group->inner_CalcResult(c.runFlag, c.actID));
        const TCleanResultRecord& r = c.runFlag ? group->RunResult() : group->AnalyzeResult();
        EXPECT_EQ(r.FilesCount, c.files) << c.runFlag << " " << c.actID;
        EXPECT_EQ(r.FilesSize, 0);
        EXPECT_EQ(r.FilesSizeStr, "0");
    }
    EXPECT_EQ(group->FindParamFromID(0, kRunMru)->Count(), 1);
}

// The last item decides how an operation ended; the history entry follows the cleaning's state.
TEST_F(CleanResults, EndStateAndHistoryEntry) {
    enum class Pass { None, Analyze, Run };
    const struct {
        Pass pass;
        bool cancel;
        bool runFlag;
        QString state;
        int32_t stateCode;
        bool finished;
        QString resDesc;
    } cases[] = {
        {Pass::None, false, false, "завершен", kStateAnalysed, true, ""},
        {Pass::Analyze, true, false, "прерван", kStateAnalysisCancelled, false, ""},
        {Pass::None, false, true, "выполнена", kStateCleaned, true, "проведена"},
        {Pass::Run, true, true, "прервана", kStateCleaningCancelled, false, "прервана"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state.toStdString());
        startGroup(&history);
        events.clear();
        history.records.clear();
        select("12");
        if (c.pass == Pass::Analyze) {
            group->Analyze(0);
        } else if (c.pass == Pass::Run) {
            group->Run(0);
        }
        if (c.cancel) {
            group->Cancel();
        }
        EXPECT_EQ(group->Calc_AfterProcess(c.runFlag, 0), c.finished);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].runFlag, c.runFlag);
        EXPECT_EQ(events[0].state, c.state);
        const TCleanResultRecord& r = c.runFlag ? group->RunResult() : group->AnalyzeResult();
        EXPECT_EQ(r.State, c.stateCode);

        const double before = diagnostics::nowAsDays();
        const int32_t id = group->SetCalcResultToHistory(c.runFlag, 2, 7.5, "2.0.1");
        const double after = diagnostics::nowAsDays();
        if (!c.runFlag) {
            EXPECT_EQ(id, -1);
            EXPECT_TRUE(history.records.empty());
            continue;
        }
        EXPECT_EQ(id, 41);
        ASSERT_EQ(history.records.size(), 1u);
        const stores::TCleanHistoryRecord& h = history.records[0];
        EXPECT_EQ(h.resSign, c.stateCode);
        EXPECT_EQ(h.resDesc, c.resDesc);
        EXPECT_GE(h.Dt, before);
        EXPECT_LE(h.Dt, after);
        EXPECT_NEAR(h.Tm, h.Dt - std::floor(h.Dt), 1e-6);
    }
}

TEST_F(CleanResults, HistoryEntryOfACleaning) {
    cleaned();
    group->Calc_AfterProcess(true, 0);
    EXPECT_EQ(group->SetCalcResultToHistory(true, 2, 7.5, "2.0.1"), 41);
    ASSERT_EQ(history.records.size(), 1u);
    const stores::TCleanHistoryRecord& h = history.records[0];
    EXPECT_EQ(h.HID, 0);
    EXPECT_EQ(h.FilesCount, 2);
    EXPECT_EQ(h.RegsCount, 1);
    EXPECT_EQ(h.FilesErrs, 0);
    EXPECT_EQ(h.RegsErrs, 0);
    EXPECT_EQ(h.FilesErrSize, 0);
    EXPECT_EQ(h.FilesSize, 2000);
    EXPECT_EQ(h.FilesSizeStr, "1,95 Kb");
    EXPECT_EQ(h.FilesErrSizeStr, "");
    EXPECT_EQ(h.DelayStr, group->DeltaTimeStr());
    EXPECT_EQ(h.actSign, 0);
    EXPECT_EQ(h.actDesc, "Очистка");
    EXPECT_EQ(h.resSign, kStateCleaned);
    EXPECT_EQ(h.resDesc, "проведена");
    EXPECT_EQ(h.cleanRegime, 2);
    EXPECT_EQ(h.cleanRegimeDesc, "Оптимальная очистка");
    EXPECT_EQ(h.AllS, 7.5);
    EXPECT_EQ(h.appVersion, "2.0.1");

    // Totals computed but the operation's end not yet reached: no state to describe.
    group->inner_CalcResult(true, 0);
    group->SetCalcResultToHistory(true, 0, -1, "2.0.1");
    ASSERT_EQ(history.records.size(), 2u);
    EXPECT_EQ(history.records[1].resDesc, " не указано");
    EXPECT_EQ(history.records[1].AllS, -1);
    EXPECT_EQ(history.records[1].cleanRegimeDesc, "Настройки пользователя");

    startGroup(nullptr);
    cleaned();
    group->Calc_AfterProcess(true, 0);
    EXPECT_EQ(group->SetCalcResultToHistory(true, 2, 7.5, "2.0.1"), -1);
    EXPECT_EQ(history.records.size(), 2u);
}

TEST_F(CleanResults, WorkerCleaningReportsWhatWasDeleted) {
    select("11");
    group->trRun(0);
    waitForWorker();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_TRUE(events[0].runFlag);
    EXPECT_EQ(events[0].state, "выполнена");
    EXPECT_EQ(events[0].size, "Файлов: 2,93 Kb");
    EXPECT_EQ(events[0].counts, "Файлов: 3 шт. - Переменных реестра: 0 шт.");
    EXPECT_FALSE(events[0].deltaTime.isEmpty());
    EXPECT_EQ(events[0].deltaTime, DeltaTimeText(group->DeltaTimeMSec()));
    EXPECT_EQ(group->DeltaTimeStr(), events[0].deltaTime);
    EXPECT_EQ(group->AnalyzeResult().FilesCount, 3);

    const QStringList lines = group->FormatCalcResult(1, true, "2.0.1", nullptr, 1).split(u'\n');
    EXPECT_EQ(lines[2], "  Длительность операции: " + events[0].deltaTime);
    const qsizetype cleaning = lines.indexOf("  Очистка");
    ASSERT_GE(cleaning, 0);
    EXPECT_EQ(lines.mid(cleaning + 2, 2),
              (QStringList{" Файлы: ", "1. Временные файлы (файлы: 3шт.: 2,93 Kb)"}));
}

// A cleaning whose analysis half the user stopped in step mode is reported as that analysis,
// with figures of this run: not the totals, nor the finished state, of an earlier one.
TEST_F(CleanResults, CleaningStoppedInItsAnalysisHalfReportsThatAnalysis) {
    cleaned();
    group->Calc_AfterProcess(true, 0);  // an earlier cleaning that finished
    events.clear();
    select("12");
    group->StepModeFlag = true;
    f.dialogs.answer = false;
    group->trRun(0);
    waitForWorker();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_FALSE(events[0].runFlag);
    EXPECT_EQ(events[0].state, "прерван");
    EXPECT_EQ(events[0].counts, "Файлов: 0 шт. - Переменных реестра: 0 шт.");
    EXPECT_EQ(group->AnalyzeResult().State, kStateAnalysisCancelled);
    EXPECT_EQ(group->AnalyzeResult().FilesCount, 0);
    EXPECT_NE(group->RunResult().State, kStateCleaned);
}

TEST(DeltaTimeText, WholeSecondsAsHoursMinutesSeconds) {
    const struct {
        int64_t msec;
        const char* text;
    } cases[] = {
        {125400, "0:2:5"}, {10860200, "3:1:0"}, {300, "0:0:1"},     {0, "0:0:0"},
        {-20, "0:0:0"},    {500, "0:0:1"},      {1500, "0:0:2"},    {2500, "0:0:2"},
        {2501, "0:0:3"},   {59600, "0:1:0"},    {3599500, "1:0:0"}, {360000000, "100:0:0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DeltaTimeText(c.msec), QString::fromLatin1(c.text)) << c.msec;
    }
}

}  // namespace
}  // namespace tidora::engine
