#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>

#include "diagnostics/date_time.h"
#include "fixtures/qstring_print.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/sqlite_probe.h"
#include "fixtures/temp_dir.h"
#include "stores/program_rows.h"
#include "stores/working_database.h"

namespace tidora::stores {
namespace {

// The working database open, as the program list finds it.
class ProgramsStore : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dm.connectToSQLite(1, QString::fromStdString(path()), false));
    }

    std::string path() const { return dir / "tidora.wcd"; }
    long long storedCount(const std::string& where = "1") const {
        return testing::queryOwnConnection(path(), "select count(*) from Programs_T where " + where)
            .value_or(-1);
    }

    static TProgram program(const QString& name, const QString& version = QString()) {
        TProgram rec;
        rec.PrgName = name;
        rec.PrgVersion = version;
        rec.Publisher = QStringLiteral("Publisher of ") + name;
        rec.Command = QStringLiteral("C:\\Program Files\\%1\\uninstall.exe /S").arg(name);
        rec.Size = QStringLiteral("1,50 Mb");
        rec.iSize = 1536;
        rec.InstallDate =
            diagnostics::daysFromDateTime(QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
        rec.prgIconSign = 1;
        rec.prgSysComponent = 0;
        rec.IconStreamRef = QByteArray("\x89PNG icon of ") + name.toUtf8();
        return rec;
    }

    TProgram store(TProgram rec) {
        dm.un_AddProgram(rec);
        EXPECT_TRUE(rec.dResult) << rec.PrgName.toStdString();
        return rec;
    }

    // The stored row of a name, read back through the module.
    TProgram fetch(const QString& name, const QString& version = QString()) {
        TProgram rec;
        rec.PrgName = name;
        rec.PrgVersion = version;
        dm.un_GetProgram(rec);
        return rec;
    }

    void insertWithoutModule(const QString& name, const QString& installDate) {
        TConnectionLock lock = dm.LockConnection();
        SqliteStatement stmt = lock.db().prepare(QStringLiteral(
            "insert into Programs_T(ProgName, ProgVersion, ProgInstallDate, ProgSelect) "
            "values (:ProgName, '', :ProgInstallDate, 0)"));
        stmt.bindText(":ProgName", name);
        stmt.bindText(":ProgInstallDate", installDate);
        stmt.step();
    }

    testing::TempDir dir;
    testing::RecordingDialogs dialogs;
    TBasedata_DM dm{dialogs};
};

TEST_F(ProgramsStore, AStoredProgramReadsBackFieldForField) {
    const TProgram stored = store(program(QStringLiteral("Editor"), QStringLiteral("2.1")));
    TProgram read = fetch(QStringLiteral("Editor"), QStringLiteral("2.1"));
    EXPECT_GT(read.Id, 0);
    EXPECT_EQ(read.PrgName, stored.PrgName);
    EXPECT_EQ(read.Publisher, stored.Publisher);
    EXPECT_EQ(read.Size, stored.Size);
    EXPECT_EQ(read.iSize, 1536);
    EXPECT_EQ(read.PrgVersion, stored.PrgVersion);
    EXPECT_EQ(read.Command, stored.Command);
    EXPECT_EQ(diagnostics::dateTimeFromDays(read.InstallDate),
              QDateTime(QDate(2021, 3, 4), QTime(5, 6, 7)));
    EXPECT_EQ(read.prgIconSign, 1);
    EXPECT_FALSE(read.dSelect);
    // Reading leaves the icon fields to the caller.
    EXPECT_TRUE(read.IconStreamRef.isEmpty());

    TProgram byId;
    byId.Id = read.Id;
    dm.un_GetProgram(byId);
    EXPECT_EQ(byId.PrgName, QStringLiteral("Editor"));
    EXPECT_EQ(testing::queryOwnConnection(path(), "select length(ProgIco) from Programs_T"),
              stored.IconStreamRef.size());
}

TEST_F(ProgramsStore, AnInstallDateThatDoesNotParseReadsAsZero) {
    insertWithoutModule(QStringLiteral("Dateless"), QStringLiteral("someday"));
    EXPECT_EQ(fetch(QStringLiteral("Dateless")).InstallDate, 0.0);
    EXPECT_EQ(InstallDateFromText(InstallDateToText(0)), 0.0);
}

TEST_F(ProgramsStore, NamesWithQuotesAndWildcardsAreFoundUpdatedAndDeleted) {
    const char* const names[] = {
        "O'Reilly Reader", "100% Fresh", "my_app", "back\\slash", "x'); DROP TABLE Programs_T; --",
    };
    // Look-alikes that a wildcard or a broken quote would hit instead.
    store(program(QStringLiteral("100X Fresh")));
    store(program(QStringLiteral("myXapp")));
    for (const char* raw : names) {
        const QString name = QString::fromUtf8(raw);
        SCOPED_TRACE(raw);
        store(program(name, QStringLiteral("1'0")));
        TProgram found = fetch(name, QStringLiteral("1'0"));
        ASSERT_GT(found.Id, 0);

        TProgram changed = program(name, QStringLiteral("1'0"));
        changed.Publisher = QStringLiteral("New 'publisher'");
        store(changed);
        const TProgram updated = fetch(name, QStringLiteral("1'0"));
        EXPECT_EQ(updated.Id, found.Id);
        EXPECT_EQ(updated.Publisher, QStringLiteral("New 'publisher'"));

        TProgram gone;
        gone.PrgName = name;
        dm.un_DeleteProgram(gone);
        EXPECT_EQ(fetch(name).Id, 0);
    }
    EXPECT_EQ(storedCount(), 2);
}

TEST_F(ProgramsStore, SameNameAndVersionUpdatesAndAnotherVersionInserts) {
    store(program(QStringLiteral("Viewer"), QStringLiteral("1.0")));
    const int32_t first = fetch(QStringLiteral("Viewer"), QStringLiteral("1.0")).Id;
    TProgram again = program(QStringLiteral("Viewer"), QStringLiteral("1.0"));
    again.iSize = -1;
    store(again);
    EXPECT_EQ(storedCount(), 1);
    const TProgram updated = fetch(QStringLiteral("Viewer"), QStringLiteral("1.0"));
    EXPECT_EQ(updated.Id, first);
    EXPECT_EQ(updated.iSize, -1);

    store(program(QStringLiteral("Viewer"), QStringLiteral("2.0")));
    EXPECT_EQ(storedCount(), 2);
    EXPECT_NE(fetch(QStringLiteral("Viewer"), QStringLiteral("2.0")).Id, first);

    // Without a version the name alone picks the row to update.
    store(program(QStringLiteral("Viewer")));
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(storedCount("ProgVersion = ''"), 1);
}

TEST_F(ProgramsStore, IconCacheFollowsInsertsAndOnlyRefreshesOnUpdate) {
    const TProgram editor = store(program(QStringLiteral("Editor")));
    const int32_t editorId = fetch(QStringLiteral("Editor")).Id;
    QByteArray icon;
    ASSERT_TRUE(dm.GetProgIcoBlobData(editorId, icon));
    EXPECT_EQ(icon, editor.IconStreamRef);

    // The copy handed out stays as it was when the cache entry is replaced.
    TProgram newIcon = program(QStringLiteral("Editor"));
    newIcon.IconStreamRef = QByteArray("\x89PNG new");
    store(newIcon);
    EXPECT_EQ(icon, editor.IconStreamRef);
    ASSERT_TRUE(dm.GetProgIcoBlobData(editorId, icon));
    EXPECT_EQ(icon, QByteArray("\x89PNG new"));

    // An insert always makes an entry, an icon or not.
    TProgram plain = program(QStringLiteral("Plain"));
    plain.IconStreamRef.clear();
    store(plain);
    ASSERT_TRUE(dm.GetProgIcoBlobData(fetch(QStringLiteral("Plain")).Id, icon));
    EXPECT_TRUE(icon.isEmpty());
    EXPECT_EQ(storedCount("ProgIco is null"), 1);

    // An update of a row the cache never saw adds nothing.
    insertWithoutModule(QStringLiteral("Foreign"), QString());
    const int32_t foreignId = fetch(QStringLiteral("Foreign")).Id;
    store(program(QStringLiteral("Foreign")));
    EXPECT_EQ(fetch(QStringLiteral("Foreign")).Id, foreignId);
    icon = QByteArray("stale");
    EXPECT_FALSE(dm.GetProgIcoBlobData(foreignId, icon));
    EXPECT_TRUE(icon.isEmpty());
    EXPECT_FALSE(dm.GetProgIcoBlobData(0, icon));
    EXPECT_FALSE(dm.GetProgIcoBlobData(-3, icon));

    TProgram byId;
    byId.Id = editorId;
    dm.un_DeleteProgram(byId);
    EXPECT_FALSE(dm.GetProgIcoBlobData(editorId, icon));

    dm.un_ClearData();
    EXPECT_EQ(storedCount(), 0);
    EXPECT_FALSE(dm.GetProgIcoBlobData(fetch(QStringLiteral("Plain")).Id, icon));
}

TEST_F(ProgramsStore, SearchMatchesListedFieldsAndTakesFragmentsLiterally) {
    // The look-alike comes first, so that a fragment taken as a pattern would find it.
    TProgram lookalike = program(QStringLiteral("Lookalike"));
    lookalike.Command = QStringLiteral("C:\\100X\\myXapp\\unins000.exe");
    store(lookalike);
    TProgram percent = program(QStringLiteral("Percent"));
    percent.Command = QStringLiteral("C:\\100%\\unins000.exe");
    store(percent);
    TProgram underscore = program(QStringLiteral("Underscore"));
    underscore.Command = QStringLiteral("C:\\my_app\\unins000.exe");
    underscore.prgIconSign = 0;
    store(underscore);

    struct Case {
        const char* fields;
        const char* command;
        const char* name;
        int32_t iconSign;
        const char* found;  // nullptr: nothing matches
    };
    const Case cases[] = {
        {"ProgCmd", "100%", "", 0, "Percent"},
        {"ProgCmd", "my_app", "", 0, "Underscore"},
        {"ProgCmd", "C:\\,unins000,my_app", "", 0, "Underscore"},
        {"ProgCmd", "100%,my_app", "", 0, nullptr},
        {"ProgCmd", "%", "", 0, "Percent"},
        {"ProgCmd", "\\100%\\", "", 0, "Percent"},
        {"ProgName", "", "Lookalike", 0, "Lookalike"},
        {"ProgIcoSign,ProgName", "", "Underscore", 0, "Underscore"},
        {"ProgIcoSign,ProgName", "", "Underscore", 1, nullptr},
        {"ProgName, Unknown ,ProgCmd", "myXapp", "Lookalike", 5, "Lookalike"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fields) + " / " + c.command + " / " + c.name);
        TProgram request;
        request.dOperation = 10;
        request.Command = QString::fromUtf8(c.command);
        request.PrgName = QString::fromUtf8(c.name);
        request.prgIconSign = c.iconSign;
        request.Publisher = QStringLiteral("left over");
        dm.un_FindFirstProgram(QString::fromUtf8(c.fields), request);
        if (c.found == nullptr) {
            EXPECT_EQ(request.Id, -1);
            EXPECT_EQ(request.PrgName, QString());
            EXPECT_EQ(request.Publisher, QString());
            EXPECT_EQ(request.dOperation, 0);
        } else {
            EXPECT_GT(request.Id, 0);
            EXPECT_EQ(request.PrgName, QString::fromUtf8(c.found));
            EXPECT_EQ(request.Publisher, QStringLiteral("Publisher of ") + c.found);
        }
    }
}

TEST_F(ProgramsStore, ARecordThatIsNoSearchRequestIsLeftAlone) {
    store(program(QStringLiteral("Editor")));
    for (const char* fields : {"ProgName", "Unknown", ""}) {
        SCOPED_TRACE(fields);
        TProgram request = program(QStringLiteral("Editor"));
        request.dOperation = std::string_view(fields) == "ProgName" ? 3 : 10;
        request.Id = 77;
        dm.un_FindFirstProgram(QString::fromUtf8(fields), request);
        EXPECT_EQ(request.Id, 77);
        EXPECT_EQ(request.PrgName, QStringLiteral("Editor"));
        EXPECT_EQ(request.Command, program(QStringLiteral("Editor")).Command);
        EXPECT_EQ(request.IconStreamRef, program(QStringLiteral("Editor")).IconStreamRef);
    }
}

TEST_F(ProgramsStore, ProgramsViewOpensOnceAndWritesOnlyTheSelectionBack) {
    int opened = 0;
    dm.d_UninstallParameters.onOpenTable = [&] {
        ++opened;
        // Called without the lock held by the caller: reading the module from here is fine.
        EXPECT_TRUE(dm.ProgramsView().open);
    };
    store(program(QStringLiteral("Alpha")));
    store(program(QStringLiteral("Beta")));
    EXPECT_EQ(dm.un_GetSelectUninstallCount(), 0);
    dm.d_UninstallParameters.onRefreshTable();
    EXPECT_EQ(opened, 1);
    TProgramsView view = dm.ProgramsView();
    ASSERT_EQ(view.rows.size(), 2u);
    EXPECT_EQ(view.currentRow, 0);
    EXPECT_EQ(view.rows[1].ProgName, QStringLiteral("Beta"));

    store(program(QStringLiteral("Gamma")));
    dm.un_RefreshTable();
    EXPECT_EQ(opened, 1);
    view = dm.ProgramsView();
    ASSERT_EQ(view.rows.size(), 3u);
    EXPECT_EQ(view.currentRow, 2);

    const int64_t beta = view.rows[1].ProgID;
    const TProgramRow before = view.rows[1];
    EXPECT_EQ(dm.un_GetSelectUninstallCount(), 0);
    ASSERT_TRUE(dm.SetProgramSelect(beta, true));
    EXPECT_EQ(dm.un_GetSelectUninstallCount(), 1);
    EXPECT_TRUE(fetch(QStringLiteral("Beta")).dSelect);
    TProgramRow after = dm.ProgramsView().rows[1];
    EXPECT_EQ(after.ProgSelect, 1);
    after.ProgSelect = 0;
    EXPECT_EQ(after, before);
    EXPECT_EQ(storedCount("ProgName = 'Beta' and ProgIco is not null"), 1);
    EXPECT_FALSE(dm.SetProgramSelect(9999, true));

    ASSERT_TRUE(dm.DeleteProgramRow(beta));
    EXPECT_EQ(storedCount(), 2);
    EXPECT_EQ(dm.ProgramsView().rows.size(), 2u);
    EXPECT_EQ(dm.ProgramsView().indexOfProgId(beta), -1);
    EXPECT_EQ(dm.un_GetSelectUninstallCount(), 0);
}

TEST_F(ProgramsStore, OperationsOnAClosedConnectionDoNothing) {
    store(program(QStringLiteral("Editor")));
    ASSERT_TRUE(dm.connectToSQLite(2, QString::fromStdString(path()), true));
    TProgram rec = program(QStringLiteral("Other"));
    rec.dResult = true;
    dm.un_AddProgram(rec);
    EXPECT_TRUE(rec.dResult);
    rec.dResult = false;
    dm.un_AddProgram(rec);
    EXPECT_FALSE(rec.dResult);
    TProgram read;
    read.PrgName = QStringLiteral("Editor");
    dm.un_GetProgram(read);
    EXPECT_EQ(read.Id, 0);
    dm.un_DeleteProgram(read);
    dm.un_ClearData();
    int opened = 0;
    dm.d_UninstallParameters.onOpenTable = [&] { ++opened; };
    dm.un_RefreshTable();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(storedCount(), 1);
}

TEST_F(ProgramsStore, ResetEventsUnbindsTheModulesOwnCallbacks) {
    dm.d_UninstallParameters.onOpenTable = [] {};
    const TUninstallParameters copy = dm.d_UninstallParameters;
    EXPECT_TRUE(copy.sysFlag);
    EXPECT_TRUE(copy.onAddRecord && copy.onGetRecord && copy.onDeleteRecord &&
                copy.onFindFirstRecord && copy.onClearData && copy.onRefreshTable);
    EXPECT_FALSE(copy.onDeleteRecords);

    TProgram rec = program(QStringLiteral("Through the callback"));
    copy.onAddRecord(rec);
    EXPECT_TRUE(rec.dResult);
    EXPECT_EQ(storedCount(), 1);

    dm.un_ResetEvents();
    const TUninstallParameters& now = dm.d_UninstallParameters;
    EXPECT_FALSE(now.onAddRecord || now.onGetRecord || now.onDeleteRecord ||
                 now.onFindFirstRecord || now.onClearData || now.onRefreshTable);
    EXPECT_TRUE(now.onOpenTable);
}

}  // namespace
}  // namespace tidora::stores
