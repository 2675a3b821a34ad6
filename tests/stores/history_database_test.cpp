#include "stores/history_database.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QTime>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>

#include "diagnostics/date_time.h"
#include "fixtures/qstring_print.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/scoped_default_locale.h"
#include "fixtures/sqlite_probe.h"
#include "fixtures/temp_dir.h"
#include "stores/history_texts.h"
#include "stores/sqlite_transaction.h"

namespace tidora::stores {
namespace {

namespace fs = std::filesystem;

const QTime kRunTime(14, 30, 15, 250);

// The entry of a run on the given day of March 2024; the number tells entries apart.
TCleanHistoryRecord entry(int day) {
    TCleanHistoryRecord rec;
    rec.Dt = diagnostics::daysFromDateTime(QDateTime(QDate(2024, 3, day), kRunTime));
    rec.Tm = kRunTime.msecsSinceStartOfDay() / 86'400'000.0;
    rec.FilesCount = 100 + day;
    rec.RegsCount = 20 + day;
    rec.FilesErrs = 2;
    rec.RegsErrs = 1;
    rec.FilesSize = 1536.75 * day;
    rec.FilesErrSize = 0.5;
    rec.FilesSizeStr = QStringLiteral("%1 Кб").arg(day);
    rec.FilesErrSizeStr = QStringLiteral("1 б");
    rec.DelayStr = QStringLiteral("00:00:0%1").arg(day % 10);
    rec.actSign = 0;
    rec.actDesc = QStringLiteral("Очистка");
    rec.resSign = 7;
    rec.resDesc = QStringLiteral("Завершено \"полностью\", 1,5 с; ' и \\");
    rec.cleanRegime = 2;
    rec.cleanRegimeDesc = QStringLiteral("Оптимальная очистка");
    rec.AllS = 7.25;
    rec.appVersion = QStringLiteral("2.0.%1").arg(day);
    return rec;
}

class HistoryDatabase : public ::testing::Test {
protected:
    std::string path() const { return dir / "hist11.wch"; }
    QString qpath() const { return QString::fromStdString(path()); }

    std::optional<long long> probe(const std::string& sql) const {
        return testing::queryOwnConnection(path(), sql);
    }

    // Rows ID first..last written through a second connection in one transaction, with DT as
    // the function gives it: far quicker than one committed entry at a time.
    void storeRows(int64_t first, int64_t last, const std::function<QString(int64_t)>& dtOf) {
        SqliteDb other;
        other.open(qpath());
        SqliteTransaction tx(other);
        for (int64_t id = first; id <= last; ++id) {
            SqliteStatement stmt = other.prepare(QStringLiteral(
                "insert into History_T (ID, NUM, DT, SIGN) values (:ID, :NUM, :DT, 0)"));
            stmt.bindInt64(":ID", id);
            stmt.bindInt64(":NUM", id);
            stmt.bindText(":DT", dtOf(id));
            stmt.step();
        }
        tx.commit();
    }

    // One minute apart from 2023-01-01 on, in ID order: all older than the entries of entry().
    static QString minuteDt(int64_t id) {
        return QDateTime(QDate(2023, 1, 1), QTime(0, 0))
            .addSecs(id * 60)
            .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
    }

    void execOther(const QString& sql) {
        SqliteDb other;
        other.open(qpath());
        other.exec(sql);
    }

    std::vector<std::string> asideFiles() const {
        std::vector<std::string> names;
        for (const auto& item : fs::directory_iterator(dir.path())) {
            const std::string name = item.path().filename().string();
            if (name.rfind("hist11.wch.damaged-", 0) == 0) {
                names.push_back(name);
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    bool hasId(int64_t id) const {
        return probe("select count(*) from History_T where ID = " + std::to_string(id)) == 1;
    }

    testing::TempDir dir;
    testing::RecordingDialogs dialogs;
    THistorybaseDM history{dialogs};
};

TEST_F(HistoryDatabase, FirstEntriesOfANewFileAreNumberedFromOne) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    EXPECT_TRUE(history.Connected());
    EXPECT_EQ(history.Filename(), qpath());
    EXPECT_TRUE(history.IsHistoryViewOpen());
    EXPECT_TRUE(history.HistoryViewRows().empty());
    EXPECT_EQ(history.GetCount(), 0);
    EXPECT_EQ(history.GetMinMaxID(true), 0);
    EXPECT_EQ(history.GetMinMaxID(false), 0);

    EXPECT_EQ(history.AddNewLine(entry(1)), 1);
    EXPECT_EQ(history.AddNewLine(entry(2)), 2);
    EXPECT_EQ(history.GetCount(), 2);
    EXPECT_EQ(history.GetMinMaxID(false), 1);
    EXPECT_EQ(history.GetMinMaxID(true), 2);

    // The view shows what it read last, until it is re-read.
    EXPECT_TRUE(history.HistoryViewRows().empty());
    ASSERT_TRUE(history.ReConnectBase());
    const std::vector<THistoryRow>& rows = history.HistoryViewRows();
    ASSERT_EQ(rows.size(), 2u);
    const TCleanHistoryRecord second = entry(2);
    THistoryRow expected;
    expected.ID = 2;
    expected.NUM = 2;
    expected.DT = QStringLiteral("2024-03-02 14:30:15.250");
    expected.TM = QStringLiteral("14:30:15.250");
    expected.F_COUNT = second.FilesCount;
    expected.R_COUNT = second.RegsCount;
    expected.F_ERRS = second.FilesErrs;
    expected.R_ERRS = second.RegsErrs;
    expected.F_SIZE = second.FilesSize;
    expected.F_ERRSIZE = second.FilesErrSize;
    expected.F_SIZESTR = second.FilesSizeStr;
    expected.F_ERRSIZESTR = second.FilesErrSizeStr;
    expected.DELAYSTR = second.DelayStr;
    expected.ACT_SIGN = second.actSign;
    expected.ACT_DESC = second.actDesc;
    expected.RES_SIGN = second.resSign;
    expected.RES_DESC = second.resDesc;
    expected.R_REGIME = second.cleanRegime;
    expected.R_REGIME_DESC = second.cleanRegimeDesc;
    expected.ALL_S = second.AllS;
    expected.CS_SIGN = 0;
    expected.APP_VERSION = second.appVersion;
    expected.SIGN = 0;
    EXPECT_EQ(rows[1], expected);
    EXPECT_EQ(rows[0].ID, 1);
    EXPECT_EQ(rows[0].NUM, 1);
    EXPECT_EQ(rows[0].DT, QStringLiteral("2024-03-01 14:30:15.250"));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(HistoryDatabase, ViewColumnsComeInTableOrder) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    SqliteDb other;
    other.open(qpath());
    SqliteStatement stmt = other.prepare(QStringLiteral("select * from History_T"));
    const auto columns = HistoryColumns();
    ASSERT_EQ(static_cast<size_t>(stmt.columnCount()), columns.size());
    for (size_t i = 0; i < columns.size(); ++i) {
        const QString name = QString::fromUtf16(columns[i].name);
        EXPECT_EQ(stmt.columnIndex(name.toStdString()), static_cast<int>(i)) << name.toStdString();
    }
}

TEST_F(HistoryDatabase, WithoutAConnectionNothingHappens) {
    EXPECT_FALSE(history.Connected());
    EXPECT_EQ(history.AddNewLine(entry(1)), -1);
    EXPECT_EQ(history.GetCount(), -1);
    EXPECT_EQ(history.GetMinMaxID(true), -1);
    EXPECT_EQ(history.GetMinMaxID(false), -1);
    EXPECT_FALSE(history.ReConnectBase());
    EXPECT_FALSE(history.AddAnalyseToExpTables({{1, 11, 5, 500.0, 1}}, 0, 45000.5, 0.3, 7.0));
    EXPECT_TRUE(history.ClearData());
    EXPECT_FALSE(history.CopyBaseFileTo(QString::fromStdString(dir / "copy.wch")));
    EXPECT_FALSE(history.IsHistoryViewOpen());
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.warnings.isEmpty());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST_F(HistoryDatabase, TheTableHoldsAtMost999EntriesAndLosesItsOldest) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    // ID 700 is the oldest run, ID 2 and 3 share a moment: age goes by DT, then by ID.
    storeRows(1, 998, [](int64_t id) {
        if (id == 700) {
            return QStringLiteral("2019-06-01 08:00:00.000");
        }
        return minuteDt(id == 3 ? 2 : id);
    });

    EXPECT_EQ(history.AddNewLine(entry(1)), 999);
    EXPECT_EQ(history.GetCount(), 999);
    EXPECT_EQ(probe("select NUM from History_T where ID = 999"), 999);
    EXPECT_EQ(probe("select SIGN from History_T where ID = 999"), 0);

    const struct {
        int day;
        int64_t newId;
        int64_t goneId;
    } replacements[] = {{2, 1000, 700}, {3, 1001, 1}, {4, 1002, 2}};
    for (const auto& r : replacements) {
        SCOPED_TRACE(r.newId);
        EXPECT_EQ(history.AddNewLine(entry(r.day)), r.newId);
        EXPECT_EQ(history.GetCount(), 999);
        EXPECT_FALSE(hasId(r.goneId));
        EXPECT_EQ(probe("select NUM from History_T where ID = " + std::to_string(r.newId)),
                  r.newId);
        EXPECT_EQ(probe("select SIGN from History_T where ID = " + std::to_string(r.newId)), 1);
        EXPECT_EQ(probe("select F_COUNT from History_T where ID = " + std::to_string(r.newId)),
                  entry(r.day).FilesCount);
    }
    // Every newer entry is still there, the ones before it included.
    for (int64_t id : {3, 4, 998, 999, 1000, 1001}) {
        EXPECT_TRUE(hasId(id)) << id;
    }
    EXPECT_EQ(history.GetMinMaxID(true), 1002);
    EXPECT_EQ(history.GetMinMaxID(false), 3);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(HistoryDatabase, AnOverfullTableIsBroughtBackTo999) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    storeRows(1, 1005, &minuteDt);
    EXPECT_EQ(history.AddNewLine(entry(1)), 1006);
    EXPECT_EQ(history.GetCount(), 999);
    EXPECT_EQ(history.GetMinMaxID(false), 8);
}

TEST_F(HistoryDatabase, ACommaDecimalLocaleCannotBreakAnEntry) {
    testing::ScopedDefaultLocale locale(QLocale(QLocale::Russian, QLocale::Russia));
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    for (int64_t stored : {0, 999}) {
        SCOPED_TRACE(stored);
        ASSERT_TRUE(history.ClearData());
        storeRows(1, stored, &minuteDt);
        const TCleanHistoryRecord rec = entry(5);
        const int32_t id = history.AddNewLine(rec);
        ASSERT_EQ(id, stored + 1);
        ASSERT_TRUE(history.ReConnectBase());
        const THistoryRow& row = history.HistoryViewRows().back();
        EXPECT_EQ(row.ID, id);
        EXPECT_EQ(row.F_SIZE, rec.FilesSize);
        EXPECT_EQ(row.F_ERRSIZE, rec.FilesErrSize);
        EXPECT_EQ(row.ALL_S, rec.AllS);
        EXPECT_EQ(row.RES_DESC, rec.resDesc);
        EXPECT_EQ(row.DT, QStringLiteral("2024-03-05 14:30:15.250"));
        EXPECT_EQ(row.TM, QStringLiteral("14:30:15.250"));
        EXPECT_EQ(probe("select count(*) from History_T where typeof(F_SIZE) = 'real' and "
                        "typeof(ALL_S) = 'real' and ID = " +
                        std::to_string(id)),
                  1);
        EXPECT_EQ(FDQuery_HExportALL_SGetText(row.ALL_S), QStringLiteral("7,25"));
    }
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(HistoryDatabase, AFailedEntryIsShownAndLeavesTheTableAsItWas) {
    const struct {
        int64_t stored;
        const char* text;
    } cases[] = {
        {5, "THistoryBaseDM.AddNewLine\r\nSqliteError\r\n"},
        {999, "THistoryBaseDM.AddNewLine_update\r\nSqliteError\r\n"},
    };
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    execOther(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE INSERT ON History_T WHEN NEW.APP_VERSION IS NOT NULL "
        "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(history.ClearData());
        storeRows(1001, 1000 + c.stored, &minuteDt);
        dialogs.errors.clear();
        EXPECT_EQ(history.AddNewLine(entry(1)), -1);
        ASSERT_EQ(dialogs.errors.size(), 1);
        EXPECT_TRUE(dialogs.errors[0].startsWith(QString::fromUtf8(c.text)))
            << dialogs.errors[0].toStdString();
        EXPECT_TRUE(dialogs.errors[0].endsWith(QStringLiteral("refused")));
        EXPECT_EQ(history.GetCount(), c.stored);
        EXPECT_EQ(history.GetMinMaxID(false), 1001);
    }
}

TEST_F(HistoryDatabase, ADamagedFileIsMovedAsideAndANewHistoryStarted) {
    const QRegularExpression asideName(
        QStringLiteral("^hist11\\.wch\\.damaged-\\d{8}-\\d{6}(-\\d+)?$"));
    const std::string text(600, 'x');
    const struct {
        const char* name;
        std::function<void()> damage;
    } cases[] = {
        {"a text file", [&] { testing::writeFile(path(), text); }},
        {"a database with a broken schema page",
         [&] {
             fs::remove(path());
             {
                 THistorybaseDM earlier(dialogs);
                 ASSERT_TRUE(earlier.ConnectToFilename(qpath()));
                 ASSERT_EQ(earlier.AddNewLine(entry(1)), 1);
             }
             std::string bytes = testing::readFile(path());
             ASSERT_GT(bytes.size(), 1024u);
             bytes.replace(100, 924, std::string(924, '\xff'));
             testing::writeFile(path(), bytes);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = asideFiles().size();
        c.damage();
        const std::string damaged = testing::readFile(path());

        ASSERT_TRUE(history.ConnectToFilename(qpath()));
        EXPECT_TRUE(history.Connected());
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();

        const std::vector<std::string> aside = asideFiles();
        ASSERT_EQ(aside.size(), before + 1);
        std::string moved;
        for (const std::string& name : aside) {
            if (asideName.match(QString::fromStdString(name)).hasMatch() &&
                testing::readFile(dir / name) == damaged) {
                moved = name;
            }
        }
        EXPECT_FALSE(moved.empty()) << "no file aside holds the damaged bytes";

        EXPECT_EQ(probe("select count(*) from History_T"), 0);
        EXPECT_EQ(history.AddNewLine(entry(2)), 1);
        history.ConnectToFilename(QString());
    }
}

TEST_F(HistoryDatabase, AFileThatCannotBeReadIsLeftAsItWas) {
    {
        THistorybaseDM earlier(dialogs);
        ASSERT_TRUE(earlier.ConnectToFilename(qpath()));
        ASSERT_EQ(earlier.AddNewLine(entry(1)), 1);
    }
    const std::string stored = testing::readFile(path());
    const bool root = geteuid() == 0;
    const struct {
        const char* name;
        bool skip;
        // Makes the file unusable; what it returns keeps it so until it goes.
        std::function<std::shared_ptr<void>()> block;
    } cases[] = {
        {"locked by another connection", false,
         [&]() -> std::shared_ptr<void> {
             auto other = std::make_shared<SqliteDb>();
             other->open(qpath());
             other->exec(QStringLiteral("BEGIN EXCLUSIVE;"));
             return other;
         }},
        // Root reads anything, so there is nothing to show as root.
        {"without permissions", root,
         [&]() -> std::shared_ptr<void> {
             EXPECT_EQ(chmod(path().c_str(), 0), 0);
             return std::shared_ptr<void>(nullptr, [p = path()](void*) { chmod(p.c_str(), 0644); });
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.skip) {
            std::cout << "[ SKIPPED  ] " << c.name << ": running as root\n";
            continue;
        }
        dialogs.errors.clear();
        {
            const std::shared_ptr<void> blocked = c.block();
            EXPECT_FALSE(history.ConnectToFilename(qpath()));
            EXPECT_FALSE(history.Connected());
            EXPECT_EQ(history.AddNewLine(entry(2)), -1);
            ASSERT_EQ(dialogs.errors.size(), 1);
            EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral(
                " HistoryBaseDM.ConnectToFilename: SqliteError ошибка с сообщением : ")))
                << dialogs.errors[0].toStdString();
        }
        EXPECT_EQ(testing::readFile(path()), stored);
        EXPECT_TRUE(asideFiles().empty());
        EXPECT_TRUE(history.ConnectToFilename(qpath()));
        EXPECT_EQ(history.GetCount(), 1);
    }
}

TEST_F(HistoryDatabase, AFolderUnderTheNameIsNoHistoryAndStays) {
    fs::create_directories(path() + "/inside");
    EXPECT_FALSE(history.ConnectToFilename(qpath()));
    EXPECT_FALSE(history.Connected());
    EXPECT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(fs::is_directory(path() + "/inside"));
    EXPECT_TRUE(asideFiles().empty());
}

TEST_F(HistoryDatabase, ClearDataEmptiesEveryTableButNeverReusesASnapshotKey) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    ASSERT_EQ(history.AddNewLine(entry(1)), 1);
    ASSERT_TRUE(history.AddAnalyseToExpTables({{1, 11, 5, 500.0, 1}}, 0, 45000.5, 0.3, 7.0));
    ASSERT_TRUE(history.ReConnectBase());
    ASSERT_EQ(history.HistoryViewRows().size(), 1u);

    EXPECT_TRUE(history.ClearData());
    for (const char* table : {"History_T", "HistExp_T", "HistExp_DETAIL_T"}) {
        EXPECT_EQ(probe(std::string("select count(*) from ") + table), 0) << table;
    }
    EXPECT_TRUE(history.HistoryViewRows().empty());
    EXPECT_EQ(history.AddNewLine(entry(2)), 1);
    ASSERT_TRUE(history.AddAnalyseToExpTables({{1, 11, 5, 500.0, 1}}, 0, 45000.5, 0.3, 7.0));
    EXPECT_EQ(probe("select HID from HistExp_T"), 2);
    EXPECT_EQ(probe("select HID from HistExp_DETAIL_T"), 2);
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(HistoryDatabase, ASnapshotIsStoredWithTheDetailsOfItsItems) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    const double date = diagnostics::daysFromDateTime(QDateTime(QDate(2024, 3, 9), kRunTime));
    const std::vector<THistExpDetail> details = {
        {1, 11, 5'000'000'000, 1.5e9, 1},
        {2, 12, 7, 0.0, 0},  // not in the run
        {2, 100, 3, 250.5, 1},
    };
    ASSERT_TRUE(history.AddAnalyseToExpTables(details, 0, date, 0.375, 6.5));
    ASSERT_TRUE(history.AddAnalyseToExpTables({{3, 200, 1, 1.0, 1}}, 0, date, 0.5, 5.0));

    SqliteDb other;
    other.open(qpath());
    SqliteStatement snapshot =
        other.prepare(QStringLiteral("select * from HistExp_T order by HID"));
    ASSERT_TRUE(snapshot.step());
    EXPECT_EQ(snapshot.columnInt64(snapshot.columnIndex("HID")), 1);
    EXPECT_EQ(snapshot.columnInt64(snapshot.columnIndex("ATYPE")), 0);
    EXPECT_EQ(snapshot.columnText(snapshot.columnIndex("DT")),
              QStringLiteral("2024-03-09 14:30:15.250"));
    EXPECT_EQ(snapshot.columnDouble(snapshot.columnIndex("PCC")), 0.375);
    EXPECT_EQ(snapshot.columnDouble(snapshot.columnIndex("ADD_C")), 0.0);
    EXPECT_EQ(snapshot.columnDouble(snapshot.columnIndex("ALL_S")), 6.5);
    EXPECT_EQ(snapshot.columnInt64(snapshot.columnIndex("SIGN")), 1);
    ASSERT_TRUE(snapshot.step());
    EXPECT_EQ(snapshot.columnInt64(snapshot.columnIndex("HID")), 2);
    EXPECT_FALSE(snapshot.step());

    SqliteStatement stored =
        other.prepare(QStringLiteral("select HID, CTYPE, CLEAN_ID, RES_COUNT, RES_SIZE, SIGN from "
                                     "HistExp_DETAIL_T order by HID, CLEAN_ID"));
    const struct {
        int64_t hid, type, id, count;
        double size;
    } expected[] = {{1, 1, 11, 5'000'000'000, 1.5e9}, {1, 2, 100, 3, 250.5}, {2, 3, 200, 1, 1.0}};
    for (const auto& e : expected) {
        ASSERT_TRUE(stored.step());
        EXPECT_EQ(stored.columnInt64(0), e.hid);
        EXPECT_EQ(stored.columnInt64(1), e.type);
        EXPECT_EQ(stored.columnInt64(2), e.id);
        EXPECT_EQ(stored.columnInt64(3), e.count);
        EXPECT_EQ(stored.columnDouble(4), e.size);
        EXPECT_EQ(stored.columnInt64(5), 1);
    }
    EXPECT_FALSE(stored.step());
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(HistoryDatabase, ASnapshotThatFailsLeavesNoPartOfItBehind) {
    const struct {
        const char* dropped;
        const char* text;
    } cases[] = {
        // Without the details nothing may claim a snapshot.
        {"HistExp_DETAIL_T",
         "THistoryBaseDM.AddAnalyseToExpTables -> FDQuery_HExpDetail insert\r\nSqliteError\r\n"},
        // Without a snapshot of their own the details would be filed under the previous one.
        {"HistExp_T", "THistoryBaseDM.AddAnalyseToExpTables -> FDQuery_HExp insert\r\nSqliteError"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dropped);
        ASSERT_TRUE(history.ConnectToFilename(qpath()));
        ASSERT_TRUE(history.ClearData());
        ASSERT_TRUE(history.AddAnalyseToExpTables({{1, 11, 5, 500.0, 1}}, 0, 45000.5, 0.3, 7.0));
        const auto snapshots = probe("select count(*) from HistExp_T");
        execOther(QStringLiteral("DROP TABLE %1;").arg(QLatin1StringView(c.dropped)));
        dialogs.errors.clear();

        EXPECT_FALSE(history.AddAnalyseToExpTables({{1, 11, 9, 900.0, 1}, {2, 12, 4, 40.0, 1}}, 0,
                                                   45001.5, 0.4, 6.0));
        ASSERT_EQ(dialogs.errors.size(), 1);
        EXPECT_TRUE(dialogs.errors[0].startsWith(QString::fromUtf8(c.text)))
            << dialogs.errors[0].toStdString();
        for (const char* table : {"HistExp_T", "HistExp_DETAIL_T"}) {
            if (std::string(table) != c.dropped) {
                EXPECT_EQ(probe(std::string("select count(*) from ") + table), snapshots) << table;
            }
        }
    }
}

TEST_F(HistoryDatabase, CopyBaseFileToWritesAWholeCopy) {
    ASSERT_TRUE(history.ConnectToFilename(qpath()));
    ASSERT_EQ(history.AddNewLine(entry(1)), 1);
    ASSERT_EQ(history.AddNewLine(entry(2)), 2);

    const std::string fresh = dir / "saved/hist_exp.wch";
    const std::string existing = dir / "old.wch";
    fs::create_directories(dir / "saved");
    testing::writeFile(existing, "an older copy");
    for (const std::string& target : {fresh, existing}) {
        SCOPED_TRACE(target);
        ASSERT_TRUE(history.CopyBaseFileTo(QString::fromStdString(target)));
        EXPECT_EQ(testing::queryOwnConnection(target, "select count(*) from History_T"), 2);
        EXPECT_EQ(testing::queryOwnConnection(target, "select max(ID) from History_T"), 2);
    }

    const struct {
        const char* name;
        std::string target;
    } refused[] = {
        {"the file itself", path()},
        {"the file itself by another name", dir / "saved/../hist11.wch"},
        {"a missing folder", dir / "missing/hist_exp.wch"},
        {"no name", ""},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.name);
        EXPECT_FALSE(history.CopyBaseFileTo(QString::fromStdString(r.target)));
    }
    // The history stays whole and in use.
    EXPECT_EQ(history.AddNewLine(entry(3)), 3);
    EXPECT_EQ(probe("select count(*) from History_T"), 3);
    EXPECT_FALSE(fs::exists(dir / "missing"));
}

TEST_F(HistoryDatabase, CopyBaseFileToNeedsTheHistoryFile) {
    ASSERT_TRUE(history.ConnectToFilename(QString::fromStdString(dir / "gone.wch")));
    fs::remove(dir / "gone.wch");
    EXPECT_FALSE(history.CopyBaseFileTo(QString::fromStdString(dir / "copy.wch")));
    EXPECT_FALSE(fs::exists(dir / "copy.wch"));
}

}  // namespace
}  // namespace tidora::stores
