#include "engine/clean_group.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <chrono>
#include <cmath>
#include <map>

#include "catalog/catalog_texts.h"
#include "diagnostics/code_trace.h"
#include "diagnostics/date_time.h"
#include "engine/duration_text.h"
#include "helpers/display_text.h"
#include "stores/sqlite_error.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

// Row STATE of an entry really deleted; the states above it are failed deletions.
constexpr int64_t kRowDeleted = 2;
constexpr double kMSecPerDay = 86400000.0;

void trace(const char* command, const QString& text) {
    diagnostics::TraceCmd(QString::fromLatin1(command), text);
}

void traceError(const char* where, const stores::SqliteError& e) {
    trace("err:", QString::fromLatin1(where) + e.message());
}

struct RowTotals {
    int64_t count = 0;
    double size = 0;
};

// The totals are those of the cleaning when deletedOnly: what is really gone, not what was meant
// to go.
RowTotals readTotals(stores::SqliteDb& db, const QString& sql, bool deletedOnly) {
    auto s = db.prepare(sql);
    if (deletedOnly) {
        s.bindInt64(":deleted", kRowDeleted);
    }
    RowTotals totals;
    if (s.step() && !s.isNull(0)) {
        totals.count = s.columnInt64(0);
        totals.size = s.isNull(1) ? 0 : s.columnDouble(1);
    }
    return totals;
}

QString fileTotalsSql(bool deletedOnly) {
    return deletedOnly ? QStringLiteral(
                             "select COUNT(), SUM(SIZE) from Files_T where ACTIVE=1 "
                             "and STATE=:deleted;")
                       : QStringLiteral("select COUNT(), SUM(SIZE) from Files_T where ACTIVE=1;");
}

QString regTotalsSql(bool deletedOnly) {
    return deletedOnly ? QStringLiteral(
                             "select COUNT(), 0 from Regs_T where ACTIVE=1 and "
                             "STATE=:deleted;")
                       : QStringLiteral("select COUNT(), 0 from Regs_T where ACTIVE=1;");
}

// What the active rows of one item hold: all of them, those deleted and those whose deletion
// failed.
struct ItemFigures {
    int64_t found = 0;
    double foundSize = 0;
    int64_t deleted = 0;
    double deletedSize = 0;
    int64_t failed = 0;
    double failedSize = 0;
};

using FiguresById = std::map<int32_t, ItemFigures>;

// One pass over a table for every item at once, not one per item: the tables hold a whole
// analysis, and the report fills the result table twice.
const QString kFileFiguresSql = QStringLiteral(
    "select CLEAN_ID, COUNT(), SUM(SIZE), SUM(STATE=:deleted), "
    "SUM(case when STATE=:deleted then SIZE else 0 end), SUM(STATE>:deleted), "
    "SUM(case when STATE>:deleted then SIZE else 0 end) from Files_T where ACTIVE=1 "
    "group by CLEAN_ID;");
const QString kRegFiguresSql = QStringLiteral(
    "select CLEAN_ID, COUNT(), 0, SUM(STATE=:deleted), 0, SUM(STATE>:deleted), 0 from Regs_T "
    "where ACTIVE=1 group by CLEAN_ID;");

int64_t intColumn(const stores::SqliteStatement& s, int column) {
    return s.isNull(column) ? 0 : s.columnInt64(column);
}

double sizeColumn(const stores::SqliteStatement& s, int column) {
    return s.isNull(column) ? 0 : s.columnDouble(column);
}

FiguresById readFigures(stores::SqliteDb& db, const QString& sql) {
    auto s = db.prepare(sql);
    s.bindInt64(":deleted", kRowDeleted);
    FiguresById figures;
    while (s.step()) {
        ItemFigures& f = figures[static_cast<int32_t>(s.columnInt64(0))];
        f.found = intColumn(s, 1);
        f.foundSize = sizeColumn(s, 2);
        f.deleted = intColumn(s, 3);
        f.deletedSize = sizeColumn(s, 4);
        f.failed = intColumn(s, 5);
        f.failedSize = sizeColumn(s, 6);
    }
    return figures;
}

// The A_ columns count what the analysis found, the R_ columns what the cleaning deleted; both
// take the failures.
void applyFigures(stores::TCleanResultRow& row, const ItemFigures& f, bool cleaning) {
    const int64_t count = cleaning ? f.deleted : f.found;
    const double size = cleaning ? f.deletedSize : f.foundSize;
    if (count != 0) {
        (cleaning ? row.R_COUNT : row.A_COUNT) = count;
        (cleaning ? row.R_SIZE : row.A_SIZE) = size;
    }
    if (f.failed != 0) {
        (cleaning ? row.R_ERRORS : row.A_ERRORS) = f.failed;
        (cleaning ? row.R_ERRSIZE : row.A_ERRSIZE) = f.failedSize;
    }
}

QString sizeText(double size) {
    return helpers::SizeToStr(2, std::llround(size));
}

QString itemFiguresText(const stores::TCleanResultRow& row, bool aRunFlag) {
    const int64_t count = aRunFlag ? row.R_COUNT : row.A_COUNT;
    const int64_t errors = aRunFlag ? row.R_ERRORS : row.A_ERRORS;
    const bool showErrors = aRunFlag && errors > 0;
    QString text;
    if (row.TYPE == 1) {
        text = QStringLiteral(" (файлы: ") + QString::number(count) + QStringLiteral("шт.: ") +
               sizeText(aRunFlag ? row.R_SIZE : row.A_SIZE);
        if (showErrors) {
            text += QStringLiteral(" ошибки: ") + QString::number(errors) +
                    QStringLiteral("шт.:  ") + sizeText(row.R_ERRSIZE);
        }
        text += u')';
    } else if (row.TYPE == 2) {
        text = QStringLiteral(" (переменные: ") + QString::number(count) + QStringLiteral("шт.");
        if (showErrors) {
            text += QStringLiteral(" ошибки: ") + QString::number(errors) + QStringLiteral("шт.");
        }
        text += u')';
    }
    return text;
}

QString resultDescription(int32_t state) {
    switch (state) {
        case kStateCleaningCancelled:
            return QStringLiteral("прервана");
        case kStateCleaned:
            return QStringLiteral("проведена");
        default:
            return QStringLiteral(" не указано");
    }
}

}  // namespace

int64_t TCleanGroup::tickCount() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool TCleanGroup::inner_CalcResult(bool aRunflag, int32_t actID) {
    TCleanResultRecord& r = aRunflag ? FRunresult : FAnalyzeResult;
    r = TCleanResultRecord();
    trace("enter:", QStringLiteral("TCleanGroup.inner_CalcResult"));
    bool ok = SetConnectedDataBase(true);
    if (ok) {
        const auto lock = ctx_.database.LockConnection();
        try {
            const RowTotals files = readTotals(lock.db(), fileTotalsSql(aRunflag), aRunflag);
            r.FilesCount = files.count;
            r.FilesSize = files.size;
        } catch (const stores::SqliteError& e) {
            traceError("TCleanGroup.inner_CalcResult - Files_T:", e);
            r.FilesSize = -1;
            ok = false;
        }
        try {
            const RowTotals regs = readTotals(lock.db(), regTotalsSql(aRunflag), aRunflag);
            r.RegCount = regs.count;
        } catch (const stores::SqliteError& e) {
            traceError("TCleanGroup.inner_CalcResult - Regs_T:", e);
            r.RegSize = -1;
            ok = false;
        }
    }
    for (const auto& item : Params) {
        if (item->TypeID() == 3 && item->GetActiveFlag() && matchesAction(*item, actID) &&
            item->iD != 0) {
            r.FilesCount += item->Count();
            r.FilesSize += item->CleanSize;
        }
    }
    r.FilesSizeStr = sizeText(r.FilesSize);
    r.RegSizeStr = helpers::SizeToStr(2, r.RegSize);
    r.State = 0;
    r.StateStr.clear();
    trace("exit:", QStringLiteral("TCleanGroup.inner_CalcResult"));
    return ok;
}

bool TCleanGroup::inner_FillResultDataFromDB(int32_t arg) {
    const bool cleaning = arg > 1;
    stores::TCleanResultTable& resultDS = ctx_.database.FDMemTable_Result;
    resultDS.clear();
    for (const catalog::TCleanItemParams& param : ctx_.database.FDMemTable_Items.rows()) {
        if (param.ACTIVE) {
            stores::TCleanResultRow row;
            row.ID = param.ID;
            row.TYPE = param.TYPE;
            resultDS.append(row);
        }
    }
    if (!SetConnectedDataBase(true)) {
        return false;
    }
    bool ok = true;
    FiguresById files;
    FiguresById regs;
    {
        const auto lock = ctx_.database.LockConnection();
        try {
            files = readFigures(lock.db(), kFileFiguresSql);
        } catch (const stores::SqliteError& e) {
            traceError("TCleanGroup.inner_FillResultDataFromDB - Files_T:", e);
            ok = false;
        }
        try {
            regs = readFigures(lock.db(), kRegFiguresSql);
        } catch (const stores::SqliteError& e) {
            traceError("TCleanGroup.inner_FillResultDataFromDB - Regs_T:", e);
            ok = false;
        }
    }
    for (stores::TCleanResultRow& row : resultDS.rows()) {
        const FiguresById* source = row.TYPE == 1 ? &files : row.TYPE == 2 ? &regs : nullptr;
        if (!source) {
            continue;
        }
        if (const auto it = source->find(row.ID); it != source->end()) {
            applyFigures(row, it->second, cleaning);
        }
    }
    return ok;
}

QString TCleanGroup::GetItemsResultdata(bool aRunFlag, int32_t aType, QChar aDelimeter,
                                        int32_t aVisRegime) const {
    QString text;
    int n = 0;
    for (const stores::TCleanResultRow& row : ctx_.database.FDMemTable_Result.rows()) {
        if (aType != 0 && row.TYPE != aType) {
            continue;
        }
        ++n;
        text += aDelimeter + QString::number(n) + QStringLiteral(". ") + GetCaptionFromID(row.ID) +
                itemFiguresText(row, aRunFlag);
        if (aVisRegime == 0) {
            text += QStringLiteral(", id(") + QString::number(row.ID) + u')';
        }
    }
    if (text.size() > 1) {
        text.remove(0, 1);
    }
    return text;
}

QString TCleanGroup::FormatCalcResult(int32_t aFormatSign, bool aRunFlag,
                                      const QString& aAppVersion, QStringList* aResultList,
                                      int32_t aVisRegime) {
    QStringList ownLines;
    QStringList& lines = aResultList ? *aResultList : ownLines;
    const auto addLine = [&](const QString& text) {
        const QString line = QStringLiteral(" ") + text;
        lines.append(aFormatSign == 2 ? line + QStringLiteral("<br>") : line);
    };
    const auto addItemLines = [&](const QString& text) {
        if (!text.isEmpty()) {
            lines.append(text.split(u'|'));
        }
    };
    // The totals of a pass; the analysis's labels are indented further than the cleaning's.
    const auto addTotals = [&](const QString& indent, const TCleanResultRecord& totals) {
        addLine(indent + QStringLiteral("Файлов: ") + QString::number(totals.FilesCount));
        if (totals.FilesCount > 0) {
            addLine(indent + QStringLiteral("Общий размер: ") + totals.FilesSizeStr);
        }
        addLine(indent + QStringLiteral("Переменных реестра: ") + QString::number(totals.RegCount));
        if (totals.RegCount > 0) {
            addLine(indent + QStringLiteral("Примерная оценка размера: ") + totals.RegSizeStr);
        }
    };
    const auto addItemSections = [&](bool runFlag) {
        addLine(QStringLiteral("Файлы: "));
        addItemLines(GetItemsResultdata(runFlag, 1, u'|', aVisRegime));
        addLine(QString());
        addLine(QStringLiteral("Реестр: "));
        addItemLines(GetItemsResultdata(runFlag, 2, u'|', aVisRegime));
        addLine(QString());
    };

    const QLocale locale;
    addLine(QString());
    addLine(QStringLiteral(" Дата отчета: ") +
            locale.toString(QDate::currentDate(), diagnostics::shortDateFormat(locale)));
    addLine(QStringLiteral(" Длительность операции: ") + FDeltaTimeStr);
    addLine(QString(44, u'-'));

    addLine(QStringLiteral(" Анализ "));
    addLine(QString());
    const bool okA = inner_FillResultDataFromDB(1);
    addItemSections(false);
    addLine(QStringLiteral(" ИТОГО Обнаружено: "));
    addTotals(QStringLiteral("        "), FAnalyzeResult);
    if (!okA) {
        addLine(QStringLiteral("    (При подведении итогов возникли ошибки получения данных)"));
    }

    if (aRunFlag) {
        const bool okR = inner_FillResultDataFromDB(2);
        if (okA && !okR) {
            addLine(
                QStringLiteral("    (При подведении итогов возникли неточности получения данных)"));
        }
        addLine(QString());
        addLine(QString(43, u'-'));
        addLine(QStringLiteral(" Очистка"));
        addLine(QStringLiteral(" "));
        addItemSections(true);
        addLine(QStringLiteral("  ИТОГО Удалось очистить: "));
        addTotals(QStringLiteral(" "), FRunresult);
    } else {
        addLine(QString(43, u'-'));
        addLine(QStringLiteral(" Очистка не проводилась"));
        addLine(QString());
    }

    addLine(QStringLiteral(" "));
    addLine(QStringLiteral("***"));
    addLine(QStringLiteral(" "));
    addLine(QString(58, u'-'));
    addLine(QStringLiteral("--- отчет  Tidora v.") + aAppVersion + QStringLiteral(" ---"));
    addLine(QString(58, u'-'));
    return lines.join(u'\n');
}

int32_t TCleanGroup::SetCalcResultToHistory(bool aRunFlag, int32_t aCRegime, double aSum,
                                            const QString& aAppVersion) {
    if (!aRunFlag || !ctx_.history) {
        return -1;
    }
    const QDateTime now = QDateTime::currentDateTime();
    stores::TCleanHistoryRecord rec;
    rec.HID = 0;
    rec.Dt = diagnostics::daysFromDateTime(now);
    rec.Tm = now.time().msecsSinceStartOfDay() / kMSecPerDay;
    rec.FilesCount = FRunresult.FilesCount;
    rec.RegsCount = FRunresult.RegCount;
    rec.FilesSize = FRunresult.FilesSize;
    rec.FilesSizeStr = FRunresult.FilesSizeStr;
    rec.DelayStr = FDeltaTimeStr;
    rec.actSign = 0;
    rec.actDesc = QStringLiteral("Очистка");
    rec.resSign = FRunresult.State;
    rec.resDesc = resultDescription(FRunresult.State);
    rec.cleanRegime = aCRegime;
    rec.cleanRegimeDesc = catalog::GetRegimeName(aCRegime);
    rec.AllS = aSum;
    rec.appVersion = aAppVersion;
    return ctx_.history->AddNewLine(rec);
}

bool TCleanGroup::Calc_AfterProcess(bool aRunFlag, int32_t actID) {
    const int32_t phase = FRunProcessFlag.load();
    const bool cleaning = aRunFlag && phase != 1 && phase != 2;
    bool ok = inner_CalcResult(aRunFlag, actID);
    // A cleaning that stopped in its analysis half never had its analysis totals computed.
    if (aRunFlag && !cleaning) {
        ok = inner_CalcResult(false, actID) && ok;
    }
    const TbaseCleanItem* item = FCurrItem.load();
    TCleanResultRecord& r = cleaning ? FRunresult : FAnalyzeResult;
    if (cleaning) {
        const bool stopped = item && item->StateID() == kStateCleaningCancelled;
        r.StateStr = stopped ? QStringLiteral("прервана") : QStringLiteral("выполнена");
        r.State = stopped ? kStateCleaningCancelled : kStateCleaned;
    } else {
        const bool stopped = item && item->StateID() == kStateAnalysisCancelled;
        r.StateStr = stopped ? QStringLiteral("прерван") : QStringLiteral("завершен");
        r.State = stopped ? kStateAnalysisCancelled : kStateAnalysed;
    }
    f_time_End = tickCount();
    if (DoAfterEvent) {
        QString infoSize;
        if (r.FilesSize > 0) {
            infoSize = QStringLiteral("Файлов: ") + r.FilesSizeStr;
            if (!cleaning) {
                infoSize += QStringLiteral(" ");
            }
        }
        if (!ok) {
            r.StateStr += QStringLiteral(" с ошибк.");
        }
        const QString infoCounts = QStringLiteral("Файлов: ") + QString::number(r.FilesCount) +
                                   QStringLiteral(" шт. - Переменных реестра: ") +
                                   QString::number(r.RegCount) + QStringLiteral(" шт.");
        const QString deltaTime = GetDeltaTimeString(0);
        DoAfterEvent(this, cleaning, r.StateStr, infoSize, infoCounts, deltaTime);
    }
    return r.State == kStateAnalysed || r.State == kStateCleaned;
}

QString TCleanGroup::GetDeltaTimeString(int32_t) {
    if (f_time_Start == 0 || f_time_End < f_time_Start) {
        return QString();
    }
    FDeltaTimeMSec = f_time_End - f_time_Start;
    FDeltaTimeStr = DeltaTimeText(FDeltaTimeMSec);
    return FDeltaTimeStr;
}

}  // namespace tidora::engine
