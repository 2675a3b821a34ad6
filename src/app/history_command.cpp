#include "app/history_command.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "app/cli_session.h"
#include "app/headless_dialogs.h"
#include "stores/history_database.h"
#include "stores/history_texts.h"

namespace tidora::app {

namespace {

QJsonObject rowJson(const stores::THistoryRow& r) {
    QJsonObject o{
        {QStringLiteral("id"), static_cast<qint64>(r.ID)},
        {QStringLiteral("number"), static_cast<qint64>(r.NUM)},
        {QStringLiteral("date"), r.DT},
        {QStringLiteral("files"), static_cast<qint64>(r.F_COUNT)},
        {QStringLiteral("registry"), static_cast<qint64>(r.R_COUNT)},
        {QStringLiteral("filesSize"), r.F_SIZE},
        {QStringLiteral("filesSizeText"), r.F_SIZESTR},
        {QStringLiteral("duration"), r.DELAYSTR},
        {QStringLiteral("action"), r.ACT_DESC},
        {QStringLiteral("result"), r.RES_DESC},
        {QStringLiteral("regime"), static_cast<qint64>(r.R_REGIME)},
        {QStringLiteral("regimeName"), r.R_REGIME_DESC},
        {QStringLiteral("version"), r.APP_VERSION},
    };
    o[QStringLiteral("index")] = r.ALL_S && *r.ALL_S >= 0 ? QJsonValue(*r.ALL_S) : QJsonValue();
    o[QStringLiteral("grade")] =
        r.ALL_S && *r.ALL_S >= 0 ? QJsonValue(stores::GetCleanGradeText(*r.ALL_S)) : QJsonValue();
    return o;
}

void writeText(const std::vector<stores::THistoryRow>& rows, std::ostream& out) {
    out << stores::GetHistoryCaption(1, rows.empty() ? 0 : 1).toStdString() << '\n';
    for (const stores::THistoryRow& r : rows) {
        QString line = QStringLiteral("%1. %2  %3 %4: файлов %5 (%6), записей реестра %7, %8")
                           .arg(r.NUM)
                           .arg(r.DT.left(19), r.ACT_DESC, r.RES_DESC)
                           .arg(r.F_COUNT)
                           .arg(r.F_SIZESTR)
                           .arg(r.R_COUNT)
                           .arg(r.R_REGIME_DESC);
        if (r.ALL_S && *r.ALL_S >= 0) {
            line += QStringLiteral(", индекс %1: %2")
                        .arg(stores::FDQuery_HExportALL_SGetText(r.ALL_S),
                             stores::GetCleanGradeText(*r.ALL_S));
        }
        out << line.toStdString() << '\n';
    }
}

}  // namespace

int runHistoryCommand(const CliOptions& options, const std::string& programPath, std::ostream& out,
                      std::ostream& err) {
    // Clearing changes what a running program shows; listing only reads.
    const std::unique_ptr<CliSession> session =
        CliSession::open(options.prefix, programPath, options.clearHistory, err);
    if (!session) {
        return 1;
    }
    HeadlessDialogs dialogs(err);
    stores::THistorybaseDM history(dialogs);
    if (!history.ConnectToFilename(session->userFile(kHistoryFileName))) {
        err << "tidora-cli: the history cannot be opened\n";
        return 1;
    }
    if (options.clearHistory) {
        if (!history.ClearData()) {
            return 1;
        }
        out << "History cleared.\n";
        return 0;
    }
    const std::vector<stores::THistoryRow>& rows = history.HistoryViewRows();
    if (options.json) {
        QJsonArray entries;
        for (const stores::THistoryRow& r : rows) {
            entries.append(rowJson(r));
        }
        out << QJsonDocument(QJsonObject{{QStringLiteral("entries"), entries}})
                   .toJson()
                   .toStdString();
    } else {
        writeText(rows, out);
    }
    return 0;
}

}  // namespace tidora::app
