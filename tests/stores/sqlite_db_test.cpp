#include "stores/sqlite_db.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QByteArray>
#include <QString>
#include <limits>

#include "fixtures/qstring_print.h"
#include "fixtures/temp_dir.h"
#include "stores/sqlite_error.h"
#include "stores/sqlite_transaction.h"

namespace tidora::stores {
namespace {

class SqliteDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        db.open(QString::fromStdString(dir / "test.db"));
        db.exec(
            QStringLiteral("CREATE TABLE t(id INTEGER PRIMARY KEY, n INTEGER, d REAL, "
                           "s TEXT, b BLOB);"));
    }

    int64_t count(const QString& sql) {
        SqliteStatement stmt = db.prepare(sql);
        EXPECT_TRUE(stmt.step());
        return stmt.columnInt64(0);
    }

    testing::TempDir dir;
    SqliteDb db;
};

TEST_F(SqliteDbTest, ExecRunsEveryStatementOfTheText) {
    db.exec(
        QStringLiteral("insert into t(n) values (1);\n"
                       "-- a comment between statements\n"
                       "insert into t(n) values (2);  insert into t(n) values (3);\n"
                       "select * from t;\n"
                       "update t set n = n * 10 where n = 3;"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from t")), 3);
    EXPECT_EQ(count(QStringLiteral("select sum(n) from t")), 33);
}

TEST_F(SqliteDbTest, ExecStopsAtTheFailingStatementWithItsCode) {
    try {
        db.exec(
            QStringLiteral("insert into t(n) values (1); insert into missing values (2); "
                           "insert into t(n) values (3);"));
        FAIL() << "no error raised";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.code(), SQLITE_ERROR);
        EXPECT_TRUE(error.message().contains(u"missing")) << error.message().toStdString();
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from t")), 1);
}

TEST_F(SqliteDbTest, ValuesOfEveryTypeRoundTripByIndexAndByName) {
    const QString text = QStringLiteral("Привет, 'мир' \"x\" %_\\");
    const QByteArray blob("\x00\x01\xff png", 8);
    {
        SqliteStatement insert =
            db.prepare(QStringLiteral("insert into t(n, d, s, b) values (?1, ?2, ?3, ?4)"));
        insert.bindInt64(1, std::numeric_limits<int64_t>::min());
        insert.bindDouble(2, -1.25);
        insert.bindText(3, text);
        insert.bindBlob(4, blob);
        EXPECT_FALSE(insert.step());
    }
    {
        SqliteStatement insert =
            db.prepare(QStringLiteral("insert into t(n, d, s, b) values (:N, :D, :S, :B)"));
        insert.bindInt64(":N", 7);
        insert.bindDouble(":D", 45000.5);
        insert.bindText(":S", QString());
        insert.bindNull(":B");
        EXPECT_FALSE(insert.step());
    }
    SqliteStatement read = db.prepare(QStringLiteral("select n, d, s, b from t order by id"));
    ASSERT_TRUE(read.step());
    EXPECT_EQ(read.columnInt64(0), std::numeric_limits<int64_t>::min());
    EXPECT_EQ(read.columnDouble(1), -1.25);
    EXPECT_EQ(read.columnText(2), text);
    EXPECT_EQ(read.columnBlob(3), blob);
    ASSERT_TRUE(read.step());
    EXPECT_EQ(read.columnInt64(read.columnIndex("N")), 7);
    EXPECT_EQ(read.columnDouble(read.columnIndex("d")), 45000.5);
    EXPECT_FALSE(read.isNull(2));
    EXPECT_EQ(read.columnText(2), QString());
    EXPECT_TRUE(read.isNull(3));
    EXPECT_TRUE(read.columnBlob(3).isEmpty());
    EXPECT_FALSE(read.step());
    EXPECT_EQ(db.lastInsertRowId(), 2);

    // Reset runs it again from the first row.
    read.reset();
    ASSERT_TRUE(read.step());
    EXPECT_EQ(read.columnText(2), text);
}

TEST_F(SqliteDbTest, MisuseIsAnErrorNotAGuess) {
    SqliteStatement stmt = db.prepare(QStringLiteral("select n from t where n = :N"));
    EXPECT_THROW(stmt.bindInt64(":Missing", 1), SqliteError);
    EXPECT_THROW(stmt.columnIndex("s"), SqliteError);
    EXPECT_THROW(db.prepare(QStringLiteral("select 1; select 2;")), SqliteError);
    EXPECT_THROW(db.prepare(QStringLiteral("select * from missing")), SqliteError);
    db.close();
    EXPECT_THROW(db.exec(QStringLiteral("select 1")), SqliteError);
    EXPECT_THROW(db.prepare(QStringLiteral("select 1")), SqliteError);
}

TEST_F(SqliteDbTest, CachedStatementsComeBackResetAndUnbound) {
    const QString insert = QStringLiteral("insert into t(n, s) values (:N, :S)");
    for (int n = 1; n <= 3; ++n) {
        SqliteStatement stmt = db.prepare(insert);
        stmt.bindInt64(":N", n);
        if (n == 1) {
            stmt.bindText(":S", QStringLiteral("first"));
        }
        stmt.step();
    }
    // A bound value must not leak into the next use of the same text.
    EXPECT_EQ(count(QStringLiteral("select count(*) from t where s is null")), 2);

    // The same text twice at once: two statements, each with its own cursor.
    const QString select = QStringLiteral("select n from t order by n");
    {
        SqliteStatement outer = db.prepare(select);
        ASSERT_TRUE(outer.step());
        SqliteStatement inner = db.prepare(select);
        ASSERT_TRUE(inner.step());
        ASSERT_TRUE(inner.step());
        EXPECT_EQ(inner.columnInt64(0), 2);
        EXPECT_EQ(outer.columnInt64(0), 1);
    }
    // Statements given back half-read no longer hold the table.
    EXPECT_NO_THROW(db.exec(QStringLiteral("drop table t;")));
}

TEST_F(SqliteDbTest, AStatementGivenBackAfterCloseIsFinalized) {
    SqliteStatement stmt = db.prepare(QStringLiteral("select count(*) from t"));
    ASSERT_TRUE(stmt.step());
    db.close();
    EXPECT_FALSE(db.isOpen());
    // Reopening while the old statement is still out must give a working connection.
    db.open(QString::fromStdString(dir / "test.db"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from t")), 0);
}

TEST_F(SqliteDbTest, TransactionsCommitRollBackAndNest) {
    {
        SqliteTransaction tx(db);
        db.exec(QStringLiteral("insert into t(n) values (1);"));
        tx.commit();
    }
    {
        SqliteTransaction tx(db);
        db.exec(QStringLiteral("insert into t(n) values (2);"));
    }
    EXPECT_EQ(count(QStringLiteral("select count(*) from t")), 1);
    {
        SqliteTransaction outer(db);
        db.exec(QStringLiteral("insert into t(n) values (3);"));
        {
            SqliteTransaction inner(db);
            db.exec(QStringLiteral("insert into t(n) values (4);"));
        }
        {
            SqliteTransaction inner(db);
            db.exec(QStringLiteral("insert into t(n) values (5);"));
            inner.commit();
        }
        outer.commit();
    }
    EXPECT_EQ(count(QStringLiteral("select group_concat(n, '') from (select n from t order by n)")),
              135);
}

TEST(SqliteDbOpen, AFileThatCannotBeOpenedRaisesWithSqliteCode) {
    testing::TempDir dir;
    SqliteDb db;
    try {
        db.open(QString::fromStdString(dir / "no/such/folder/x.db"));
        FAIL() << "no error raised";
    } catch (const SqliteError& error) {
        EXPECT_EQ(error.code(), SQLITE_CANTOPEN);
        EXPECT_FALSE(error.message().isEmpty());
    }
    EXPECT_FALSE(db.isOpen());
}

}  // namespace
}  // namespace tidora::stores
