#include "app/clean_command.h"

#include <unistd.h>

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <atomic>
#include <csignal>

#include "app/cli_session.h"
#include "app/headless_dialogs.h"
#include "app/item_class_name.h"
#include "app/run_progress.h"
#include "catalog/catalog_items.h"
#include "catalog/catalog_texts.h"
#include "engine/clean_group.h"
#include "engine/imitation_mode.h"
#include "frame/app_environment.h"
#include "stores/history_database.h"
#include "stores/history_texts.h"
#include "stores/item_settings_binding.h"
#include "stores/report_lines.h"
#include "stores/sqlite_error.h"
#include "stores/statistics.h"
#include "stores/working_database.h"

namespace tidora::app {

namespace {

std::atomic<bool> interrupted = false;

extern "C" void onInterrupt(int) {
    interrupted = true;
}

// Ctrl+C asks the run to cancel instead of killing the process mid-deletion.
class InterruptGuard {
public:
    InterruptGuard() {
        interrupted = false;
        previous_ = std::signal(SIGINT, onInterrupt);
    }
    ~InterruptGuard() { std::signal(SIGINT, previous_); }

private:
    void (*previous_)(int) = SIG_DFL;
};

void drawProgress(const TwProgressRecord& p, std::ostream& err) {
    QString line = QStringLiteral("[%1%] %2 %3  %4")
                       .arg(p.Position, 3)
                       .arg(p.numsDesc, p.itemCaption, p.DataDesc);
    if (line.size() > 118) {
        line = line.left(117) + QChar(0x2026);
    }
    err << "\r\033[K" << line.toStdString() << std::flush;
}

QJsonArray itemRows(stores::TBasedata_DM& db, const engine::TbaseCleanItem& item) {
    QJsonArray rows;
    const bool files = item.TypeID() == 1;
    if (!files && item.TypeID() != 2) {
        return rows;
    }
    try {
        const auto lock = db.LockConnection();
        auto s = lock.db().prepare(
            files ? QStringLiteral(
                        "select NAME, SIZE, STATE from Files_T where CLEAN_ID=? order by ID")
                  : QStringLiteral("select HKSTR, NAME, VALUE, STATE from Regs_T where CLEAN_ID=? "
                                   "order by ID"));
        s.bindInt64(1, item.iD);
        while (s.step()) {
            QJsonObject row;
            if (files) {
                row[QStringLiteral("path")] = s.columnText(0);
                row[QStringLiteral("size")] = static_cast<qint64>(s.columnInt64(1));
                row[QStringLiteral("state")] = static_cast<int>(s.columnInt64(2));
                row[QStringLiteral("stateText")] =
                    catalog::GetRowStateText(0, static_cast<int>(s.columnInt64(2)));
            } else {
                row[QStringLiteral("key")] = s.columnText(0) + QLatin1Char('\\') + s.columnText(1);
                row[QStringLiteral("value")] = s.columnText(2);
                row[QStringLiteral("state")] = static_cast<int>(s.columnInt64(3));
                row[QStringLiteral("stateText")] =
                    catalog::GetRowStateText(1, static_cast<int>(s.columnInt64(3)));
            }
            rows.append(row);
        }
    } catch (const stores::SqliteError& e) {
        rows.append(QJsonObject{{QStringLiteral("error"), e.message()}});
    }
    return rows;
}

QJsonObject totalsJson(const engine::TCleanResultRecord& r) {
    return QJsonObject{{QStringLiteral("files"), static_cast<qint64>(r.FilesCount)},
                       {QStringLiteral("filesSize"), r.FilesSize},
                       {QStringLiteral("filesSizeText"), r.FilesSizeStr},
                       {QStringLiteral("registry"), static_cast<qint64>(r.RegCount)},
                       {QStringLiteral("state"), r.StateStr}};
}

QJsonDocument runJson(engine::TCleanGroup& group, stores::TBasedata_DM& db, bool cleaned,
                      bool withRows, const QString& regimeName) {
    // The report filled the per-item table last with the figures of this run's operation.
    QJsonArray items;
    for (const auto& item : group.Items()) {
        if (!item->GetActiveFlag()) {
            continue;
        }
        QJsonObject o{
            {QStringLiteral("id"), item->iD},
            {QStringLiteral("latName"), item->Lat_name},
            {QStringLiteral("caption"), group.GetCaptionFromName(item->Lat_name)},
            {QStringLiteral("class"), itemClassName(item->TypeID())},
            {QStringLiteral("state"), item->StateID()},
            {QStringLiteral("stateText"), item->GetStateName()},
        };
        const stores::TCleanResultTable& results = db.FDMemTable_Result;
        const int index = results.indexOfId(item->iD);
        if (index >= 0) {
            const stores::TCleanResultRow& r = results.rows()[static_cast<size_t>(index)];
            o[QStringLiteral("count")] = static_cast<qint64>(cleaned ? r.R_COUNT : r.A_COUNT);
            o[QStringLiteral("size")] = cleaned ? r.R_SIZE : r.A_SIZE;
            o[QStringLiteral("errors")] = static_cast<qint64>(cleaned ? r.R_ERRORS : r.A_ERRORS);
        }
        if (withRows) {
            o[QStringLiteral("rows")] = itemRows(db, *item);
        }
        items.append(o);
    }
    QJsonObject root{
        {QStringLiteral("operation"),
         cleaned ? QStringLiteral("clean") : QStringLiteral("analyze")},
        {QStringLiteral("regime"), group.CommRegime()},
        {QStringLiteral("regimeName"), regimeName},
        {QStringLiteral("imitation"), engine::ImitationMode()},
        {QStringLiteral("duration"), group.DeltaTimeStr()},
        {QStringLiteral("items"), items},
        {QStringLiteral("analysis"), totalsJson(group.AnalyzeResult())},
    };
    if (cleaned) {
        root[QStringLiteral("cleaning")] = totalsJson(group.RunResult());
    }
    return QJsonDocument(root);
}

// The cleaning index of the run, 10 for a clean machine down to 0, or -1 when the run did not
// finish or the statistics give none.
double cleaningIndex(engine::TCleanGroup& group, stores::TBasedata_DM& db,
                     platform::Machine& machine, frame::UserDialogs& dialogs, bool cleaned) {
    const bool finished = cleaned ? group.RunResult().State == 7 : group.AnalyzeResult().State == 3;
    if (!finished) {
        return -1;
    }
    stores::TcExpData_DM statistics(machine, dialogs);
    statistics.OpenAndFillData(1, &db.FDMemTable_Result);
    statistics.CopyResData(cleaned);
    const double coefficient = statistics.CalcKoeffs(0);
    return coefficient >= 0 ? (1 - coefficient) * 10 : -1;
}

}  // namespace

int runCleanCommand(const CliOptions& options, const std::string& programPath, std::ostream& out,
                    std::ostream& err) {
    const std::unique_ptr<CliSession> session =
        CliSession::open(options.prefix, programPath, true, err);
    if (!session) {
        return 1;
    }
    platform::Machine& machine = session->machine();
    frame::TwAppEnvironment& env = session->env();
    frame::TwiniSettings& ini = env.Ini();
    catalog::SetCatalogOS(machine);
    engine::SetImitationMode(options.imitate || ini.ReadBool("USER", "IMIT", false));
    int regime = ini.ReadInteger("USER", "CL_REGIME", 2);
    if (regime == 0) {
        regime = 4;
    }
    if (options.regime) {
        regime = *options.regime;
    }

    HeadlessDialogs dialogs(err);
    catalog::TCleanPaths_DM paths;
    stores::TBasedata_DM db(dialogs);
    stores::BindItemRecordsToSettings(db, ini);
    stores::THistorybaseDM history(dialogs);
    // Without a usable history the run goes on; it is only not recorded.
    const bool historyOn = history.ConnectToFilename(session->userFile(kHistoryFileName));
    engine::TCleanGroup group(
        {machine, db, dialogs, &paths, nullptr, historyOn ? &history : nullptr},
        session->userFile(env.AppFileName() + ".wcd"), 1, QStringLiteral("Group1"));
    group.LoadItems();
    group.CollectData().cEvalRegime = 0;
    group.CollectData().cAdminRights = env.ServiceInfo().UserCatType();
    if (!options.items.empty()) {
        QStringList ids;
        for (int id : options.items) {
            if (!group.FindParamFromID(0, id)) {
                err << "tidora-cli: item " << id
                    << " is not offered on this machine (see tidora-cli catalog)\n";
                return 2;
            }
            ids.append(QString::number(id));
        }
        group.ResetItemsState(ids.join(QLatin1Char(',')), QStringLiteral(","));
    } else {
        group.RenewActiveStatesFromRegime(regime);
    }
    const QString regimeName =
        options.items.empty() ? group.GetCommRegimeDesc(0) : QStringLiteral("Выбранные пункты");
    db.ReconnectToBase(1);

    RunProgress progress(group);
    group.DoOperationEvent = [&progress](engine::TCleanGroup*, engine::TbaseCleanItem* item,
                                         int32_t code, const QString& desc, double pos) {
        progress.GroupProgressProc(item, code, desc, pos);
    };
    bool ended = false;
    bool runFlag = false;
    group.DoAfterEvent = [&](engine::TCleanGroup*, bool aRunFlag, const QString&, const QString&,
                             const QString&, const QString&) {
        ended = true;
        runFlag = aRunFlag;
    };

    const bool cleaning = options.command == "clean";
    const bool drawing = isatty(STDERR_FILENO) == 1;
    InterruptGuard interruptGuard;
    bool cancelled = false;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(10);
    int ticks = 0;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (interrupted && !cancelled) {
            cancelled = true;
            group.trCancel(1);
        }
        if (drawing && ++ticks % 20 == 0) {
            drawProgress(progress.Current(), err);
        }
        if (group.IsWorkerDone()) {
            loop.quit();
        }
    });
    progress.Reset();
    cleaning ? group.trRun(0) : group.trAnalyze(0);
    poll.start();
    loop.exec();
    poll.stop();
    group.trKill(0);
    if (drawing) {
        err << "\r\033[K" << std::flush;
    }

    if (cancelled || !ended) {
        err << "tidora-cli: cancelled\n";
        return 3;
    }
    if (group.ProcessState() < 0) {
        err << "tidora-cli: the run failed: the working database could not be used\n";
        return 1;
    }
    const QString version = QString::fromStdString(env.ServiceInfo().appVersionStr());
    QStringList lines;
    group.FormatCalcResult(1, runFlag, version, &lines, 1);
    const double index = cleaningIndex(group, db, machine, dialogs, runFlag);
    stores::PutCleanIndexLines(lines, index, stores::GetCleanGradeText(index));
    group.SetCalcResultToHistory(runFlag, group.CommRegime(), index, version);
    if (options.json) {
        QJsonDocument doc = runJson(group, db, runFlag, options.rows, regimeName);
        QJsonObject root = doc.object();
        root[QStringLiteral("index")] = index >= 0 ? QJsonValue(index) : QJsonValue();
        root[QStringLiteral("grade")] =
            index >= 0 ? QJsonValue(stores::GetCleanGradeText(index)) : QJsonValue();
        out << QJsonDocument(root).toJson().toStdString();
    } else {
        out << (QStringLiteral(" Режим: ") + regimeName + QLatin1Char('\n')).toStdString();
        out << lines.join(QLatin1Char('\n')).toStdString() << '\n';
    }
    return 0;
}

}  // namespace tidora::app
