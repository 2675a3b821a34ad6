#include "stores/working_database.h"

#include <gtest/gtest.h>

#include <QString>
#include <atomic>
#include <filesystem>
#include <thread>

#include "fixtures/qstring_print.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/sqlite_probe.h"
#include "fixtures/temp_dir.h"
#include "stores/grid_texts.h"
#include "stores/sqlite_error.h"
#include "stores/sqlite_transaction.h"

namespace tidora::stores {
namespace {

namespace fs = std::filesystem;

const char* const kSideFiles[] = {"-journal", "-wal", "-shm"};

class WorkingDatabase : public ::testing::Test {
protected:
    std::string path() const { return dir / "tidora.wcd"; }
    QString qpath() const { return QString::fromStdString(path()); }

    std::optional<long long> probe(const std::string& sql) const {
        return testing::queryOwnConnection(path(), sql);
    }

    void insertFiles(int count) {
        TConnectionLock lock = dm.LockConnection();
        SqliteTransaction tx(lock.db());
        for (int i = 1; i <= count; ++i) {
            SqliteStatement stmt = lock.db().prepare(QStringLiteral(
                "insert into Files_T values (:ID, :CLEAN_ID, :NAME, :SIZE, :DT, :STATE, :ACT, "
                ":pID, :szStr)"));
            stmt.bindInt64(":ID", i);
            stmt.bindInt64(":CLEAN_ID", 11);
            stmt.bindText(":NAME", QStringLiteral("C:\\users\\anna\\Temp\\%1.tmp").arg(i));
            stmt.bindInt64(":SIZE", i * 100);
            stmt.bindDouble(":DT", 45000.25);
            stmt.bindInt64(":STATE", 1);
            stmt.bindInt64(":ACT", 1);
            stmt.bindInt64(":pID", 0);
            stmt.bindText(":szStr", QStringLiteral("%1 b").arg(i * 100));
            stmt.step();
        }
        tx.commit();
    }

    void insertRegs(int count) {
        TConnectionLock lock = dm.LockConnection();
        for (int i = 1; i <= count; ++i) {
            SqliteStatement stmt = lock.db().prepare(QStringLiteral(
                "insert into Regs_T values (:ID, :CLEAN_ID, :HOMEKEY, :NAME, :TYPE, :VALUE, "
                ":W_VALUE, :STATE, :ACT, :pID, :HKSTR)"));
            stmt.bindInt64(":ID", i);
            stmt.bindInt64(":CLEAN_ID", 100);
            stmt.bindInt64(":HOMEKEY", 2);
            stmt.bindText(":NAME", QStringLiteral("Software\\Classes\\CLSID\\{%1}").arg(i));
            stmt.bindInt64(":TYPE", 1);
            stmt.bindText(":VALUE", QStringLiteral("C:\\gone\\x.dll"));
            stmt.bindInt64(":W_VALUE", 0);
            stmt.bindInt64(":STATE", 3);
            stmt.bindInt64(":ACT", 1);
            stmt.bindInt64(":pID", 0);
            stmt.bindText(":HKSTR", QStringLiteral("HKCU"));
            stmt.step();
        }
    }

    void addProgram(const QString& name) {
        TProgram program;
        program.PrgName = name;
        dm.un_AddProgram(program);
        ASSERT_TRUE(program.dResult);
    }

    testing::TempDir dir;
    testing::RecordingDialogs dialogs;
    TBasedata_DM dm{dialogs};
};

TEST_F(WorkingDatabase, StartingTwiceRecreatesAnEmptyFile) {
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    EXPECT_TRUE(fs::exists(path()));
    ASSERT_TRUE(dm.ReconnectToBase(1));
    insertFiles(3);
    insertRegs(2);
    addProgram(QStringLiteral("Editor"));
    EXPECT_EQ(probe("select count(*) from Programs_T"), 1);

    // Reconnect and leave closed, so that stale side files can be put next to the file.
    ASSERT_TRUE(dm.connectToSQLite(2, qpath(), true));
    for (const char* side : kSideFiles) {
        testing::writeFile(path() + side, "left from an earlier run");
    }
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
    for (const char* table : {"Files_T", "Regs_T", "Programs_T"}) {
        EXPECT_EQ(probe(std::string("select count(*) from ") + table), 0) << table;
    }
    for (const char* side : kSideFiles) {
        EXPECT_FALSE(fs::exists(path() + side)) << side;
    }
    // The module let go of what it read from the old file.
    EXPECT_FALSE(dm.ProgramsView().open);
    QByteArray icon;
    EXPECT_FALSE(dm.GetProgIcoBlobData(1, icon));
}

TEST_F(WorkingDatabase, AFileThatCannotBeDeletedGivesFalseAndCreatesNothing) {
    // A folder that holds something cannot be deleted, not even by root. A side file that stays
    // would belong to the new file, so it counts like the file itself.
    for (const char* blocked : {"", "-wal"}) {
        SCOPED_TRACE(blocked);
        testing::TempDir own;
        const std::string file = own / "tidora.wcd";
        testing::writeFile(file + blocked + "/keep", "x");
        TBasedata_DM fresh(dialogs);
        EXPECT_FALSE(fresh.connectToSQLite(1, QString::fromStdString(file), true));
        EXPECT_TRUE(fs::exists(file + blocked + "/keep"));
        if (*blocked != '\0') {
            EXPECT_FALSE(fs::exists(file));
        }
        EXPECT_FALSE(fresh.ReconnectToBase(1));
    }
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}

TEST_F(WorkingDatabase, AFailedConnectIsShownAndReportedAsFailure) {
    const QString missingFolder = QString::fromStdString(dir / "missing/tidora.wcd");
    EXPECT_FALSE(dm.connectToSQLite(1, missingFolder, true));
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(QStringLiteral("SqliteError ошибка с сообщением : ")))
        << dialogs.errors[0].toStdString();
    EXPECT_GT(dialogs.errors[0].size(),
              QStringLiteral("SqliteError ошибка с сообщением : ").size());

    // Not a database: reading it fails at the connect as well.
    testing::writeFile(path(), std::string(4096, 'x'));
    EXPECT_FALSE(dm.connectToSQLite(0, qpath(), true));
    EXPECT_EQ(dialogs.errors.size(), 2);
    EXPECT_FALSE(dm.connectToSQLite(0, QString(), true));
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(WorkingDatabase, OtherConnectRegimesKeepAnExistingFile) {
    ASSERT_TRUE(dm.connectToSQLite(0, qpath(), false));
    EXPECT_EQ(probe("select count(*) from Programs_T"), 0);
    addProgram(QStringLiteral("Editor"));
    ASSERT_TRUE(dm.connectToSQLite(2, qpath(), false));
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
    EXPECT_EQ(probe("select count(*) from Programs_T"), 1);
}

TEST_F(WorkingDatabase, ADataRegimeStopsBeforeConnecting) {
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    dm.dataRegime = 1;
    EXPECT_TRUE(dm.connectToSQLite(1, qpath(), false));
    EXPECT_FALSE(fs::exists(path()));
    EXPECT_FALSE(dm.connectToSQLite(0, qpath(), false));
    EXPECT_FALSE(fs::exists(path()));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(WorkingDatabase, ViewsCountOnOpenAndRefreshAndReadPagesInIdOrder) {
    EXPECT_FALSE(dm.ReconnectToBase(1));  // nothing to reconnect to yet
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    EXPECT_FALSE(dm.ReconnectToBase(0));
    EXPECT_FALSE(dm.IsFilesViewOpen());
    EXPECT_TRUE(dm.FilesViewPage(0, 10).empty());

    ASSERT_TRUE(dm.ReconnectToBase(1));
    EXPECT_TRUE(dm.IsFilesViewOpen());
    EXPECT_TRUE(dm.IsRegsViewOpen());
    EXPECT_EQ(dm.FilesViewRowCount(), 0);
    insertFiles(5);
    insertRegs(3);
    EXPECT_EQ(dm.FilesViewRowCount(), 0);
    dm.RefreshSelTables();
    EXPECT_EQ(dm.FilesViewRowCount(), 5);
    EXPECT_EQ(dm.RegsViewRowCount(), 3);

    const std::vector<TFileRow> page = dm.FilesViewPage(1, 2);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].ID, 2);
    EXPECT_EQ(page[1].ID, 3);
    EXPECT_EQ(page[0].NAME, QStringLiteral("C:\\users\\anna\\Temp\\2.tmp"));
    EXPECT_EQ(page[0].SIZE, 200);
    EXPECT_EQ(page[0].DATE, 45000.25);
    EXPECT_EQ(page[0].SIZESTR, QStringLiteral("200 b"));
    EXPECT_EQ(page[0].CLEAN_ID, 11);
    EXPECT_EQ(dm.FilesViewPage(-4, 100).size(), 5u);
    EXPECT_TRUE(dm.FilesViewPage(0, 0).empty());
    EXPECT_TRUE(dm.FilesViewPage(5, 10).empty());

    const std::vector<TRegRow> regs = dm.RegsViewPage(0, 10);
    ASSERT_EQ(regs.size(), 3u);
    EXPECT_EQ(regs[2].ID, 3);
    EXPECT_EQ(regs[2].NAME, QStringLiteral("Software\\Classes\\CLSID\\{3}"));
    EXPECT_EQ(regs[2].HKSTR, QStringLiteral("HKCU"));
    EXPECT_EQ(regs[2].STATE, 3);
    EXPECT_EQ(FDQuery_SELRegsSTATEGetText(regs[2].STATE),
              QStringLiteral("Ошибка удаления записи реестра"));
}

TEST_F(WorkingDatabase, ASecondConnectionSeesWhatWasCommitted) {
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    ASSERT_TRUE(dm.ReconnectToBase(1));
    addProgram(QStringLiteral("Editor"));
    EXPECT_EQ(probe("select count(*) from Programs_T"), 1);
    {
        TConnectionLock lock = dm.LockConnection();
        SqliteTransaction tx(lock.db());
        lock.db().exec(QStringLiteral("insert into Files_T(ID, CLEAN_ID) values (1, 11);"));
        EXPECT_EQ(probe("select count(*) from Files_T"), 0);
        tx.commit();
    }
    EXPECT_EQ(probe("select count(*) from Files_T"), 1);
}

TEST_F(WorkingDatabase, WritersOnTwoThreadsNeverOverlap) {
    ASSERT_TRUE(dm.connectToSQLite(1, qpath(), true));
    ASSERT_TRUE(dm.ReconnectToBase(1));
    constexpr int kBatches = 20;
    constexpr int kRowsPerBatch = 50;
    std::atomic<bool> failed = false;
    std::thread worker([&] {
        try {
            for (int batch = 0; batch < kBatches; ++batch) {
                TConnectionLock lock = dm.LockConnection();
                SqliteTransaction tx(lock.db());
                for (int i = 0; i < kRowsPerBatch; ++i) {
                    SqliteStatement stmt = lock.db().prepare(
                        QStringLiteral("insert into Files_T(CLEAN_ID, NAME) values (11, :NAME)"));
                    stmt.bindText(":NAME", QStringLiteral("f%1").arg(i));
                    stmt.step();
                }
                tx.commit();
            }
        } catch (const SqliteError&) {
            failed = true;
        }
    });
    for (int i = 0; i < kBatches; ++i) {
        TProgram program;
        program.PrgName = QStringLiteral("Program %1").arg(i);
        dm.un_AddProgram(program);
        EXPECT_TRUE(program.dResult);
        dm.RefreshSelTables();
        dm.FilesViewPage(0, 20);
    }
    worker.join();
    EXPECT_FALSE(failed);
    dm.RefreshSelTables();
    EXPECT_EQ(dm.FilesViewRowCount(), kBatches * kRowsPerBatch);
    EXPECT_EQ(probe("select count(*) from Programs_T"), kBatches);
}

TEST(GridTexts, CaptionsAndStateTexts) {
    struct Case {
        TGridView view;
        const char16_t* column;
        const char16_t* caption;
    };
    const Case captions[] = {
        {TGridView::Files, u"ID", u"№"},
        {TGridView::Files, u"NAME", u"Имя файла"},
        {TGridView::Files, u"SIZESTR", u"Размер"},
        {TGridView::Files, u"DATE", u"Дата"},
        {TGridView::Files, u"STATE", u"Состояние"},
        {TGridView::Files, u"CLEAN_ID", u""},
        {TGridView::Registry, u"HKSTR", u"Раздел"},
        {TGridView::Registry, u"NAME", u"Раздел (имя)"},
        {TGridView::Registry, u"W_VALUE", u"Значение"},
        {TGridView::Registry, u"STATE", u"Описание"},
        {TGridView::Programs, u"ProgID", u"н"},
        {TGridView::Programs, u"ProgInstallDate", u"Установлена"},
        {TGridView::Programs, u"ProgSelect", u"Выбор"},
        {TGridView::Programs, u"ProgIco", u" "},
        {TGridView::Programs, u"ProgCmd", u""},
    };
    for (const Case& c : captions) {
        EXPECT_EQ(GridColumnCaption(c.view, QString::fromUtf16(c.column)),
                  QString::fromUtf16(c.caption))
            << QString::fromUtf16(c.column).toStdString();
    }

    EXPECT_EQ(FDQuery_SELFilesSTATEGetText(1), QStringLiteral("Файл помечен на удаление"));
    EXPECT_EQ(FDQuery_SELFilesSTATEGetText(4), QStringLiteral("Недостаточно прав доступа"));
    EXPECT_EQ(FDQuery_SELRegsSTATEGetText(2), QStringLiteral("Запись удалена"));
    for (int64_t state : {int64_t{0}, int64_t{5}, int64_t{-1}, int64_t{1} << 32}) {
        EXPECT_EQ(FDQuery_SELFilesSTATEGetText(state), QString()) << state;
        EXPECT_EQ(FDQuery_SELRegsSTATEGetText(state), QString()) << state;
    }
}

}  // namespace
}  // namespace tidora::stores
