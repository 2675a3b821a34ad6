#include "stores/statistics.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "catalog/catalog_items.h"
#include "diagnostics/code_trace.h"
#include "diagnostics/number_text.h"
#include "stores/statistics_file.h"
#include "stores/statistics_weights.h"

namespace tidora::stores {

namespace {

constexpr int32_t kReferenceValue = 7000;
// A table of every clean item takes a few kB; anything far larger is not one.
constexpr qint64 kMaxDataFileSize = 4 * 1024 * 1024;

void traceError(const QString& text) {
    diagnostics::TraceCmd(QStringLiteral("err:"), QStringLiteral("TcExpData_DM.") + text);
}

TExpDataRow rowOfItem(const catalog::TCleanItemParams& item) {
    TExpDataRow row;
    row.ID = item.ID;
    row.CAT_ID = item.CAT_ID;
    row.TYPE = item.TYPE;
    row.LAT_NAME = item.LAT_NAME;
    row.CAPTION = item.CAPTION;
    return row;
}

}  // namespace

TcExpData_DM::TcExpData_DM(const platform::Machine& machine, frame::UserDialogs& dialogs)
    : TcExpData_DM([&machine] { return ReadMachineFacts(machine); }, dialogs) {}

TcExpData_DM::TcExpData_DM(MachineFactsSource machineFacts, frame::UserDialogs& dialogs)
    : machineFacts_(std::move(machineFacts)), dialogs_(dialogs) {}

bool TcExpData_DM::OpenAndFillData(int32_t aopenRG, TCleanResultTable* AResultFMT,
                                   const catalog::TCleanItemsTable* AItems) {
    if (!AResultFMT) {
        throw std::logic_error("TcExpData_DM.OperAndFillData - ResultMemTable Not assigned!");
    }
    FResultMemTableRef = AResultFMT;
    table_.clear();
    if (aopenRG != 0) {
        catalog::TCleanItemsTable items;
        catalog::FillDefaultItems(items);
        for (const catalog::TCleanItemParams& item : items.rows()) {
            TExpDataRow row = rowOfItem(item);
            if (const TItemWeights* weights = FindEmbeddedWeights(item.ID)) {
                row.K_COUNT = weights->K_COUNT;
                row.K_SIZE = weights->K_SIZE;
                row.K_P = weights->K_P;
            }
            table_.append(std::move(row));
        }
    } else if (AItems) {
        for (const catalog::TCleanItemParams& item : AItems->rows()) {
            table_.append(rowOfItem(item));
        }
    }
    opened_ = true;
    return true;
}

bool TcExpData_DM::CopyResData(bool aRunFlag) {
    if (!FResultMemTableRef) {
        throw std::logic_error("TcExpData_DM.CopyResData - ResultMemTable Not assigned!");
    }
    for (TExpDataRow& row : table_.rows()) {
        row.DELTA_DAYS = -1;
        const int index = FResultMemTableRef->indexOfId(row.ID);
        if (index < 0) {
            row.RES_COUNT = 0;
            row.RES_SIZE = 0;
            row.SIGN = 0;
            continue;
        }
        const TCleanResultRow& result = FResultMemTableRef->rows()[index];
        // The cleaning figures count the removed entries only; their failures are apart.
        const int64_t count = aRunFlag ? result.R_COUNT : result.A_COUNT - result.A_ERRORS;
        const double size = aRunFlag ? result.R_SIZE : result.A_SIZE - result.A_ERRSIZE;
        // More failures than entries would be a negative finding, which no rule expects.
        row.RES_COUNT = std::max<int64_t>(0, count);
        row.RES_SIZE = std::max(0.0, size);
        row.SIGN = 1;
    }
    return true;
}

double TcExpData_DM::CalcKoeffs(double aKPMinLimit) {
    if (!opened_) {
        throw std::logic_error("TcExpData_DM.CalcKoeffs dataset not open!");
    }
    const double c = CalcPCC(machineFacts_(), kReferenceValue);
    FLastPCC = c;
    double sumS = 0;
    double sumK = 0;
    for (TExpDataRow& row : table_.rows()) {
        if (row.SIGN <= 0) {
            continue;
        }
        double cs = 0;
        double ss = 0;
        double s = 0;
        if (row.K_P > aKPMinLimit) {
            cs = GetCountScore(row.ID, row.RES_COUNT);
            ss = GetSizeScore(row.ID, row.RES_SIZE, c);
            s = GetItemScore(cs, ss, row.K_COUNT, row.K_SIZE, row.K_P);
            sumS += s;
            sumK += row.K_P;
        }
        row.S_COUNT = cs;
        row.S_SIZE = ss;
        row.S_ALL = s;
    }
    double result = -1;
    if (sumK > 0) {
        result = sumS / sumK;
        if (result > 1) {
            dialogs_.ShowWarning(QStringLiteral(" TcExpData_DM.CalcKoeffs -> Result=") +
                                 diagnostics::generalNumberText(result, QLocale()) +
                                 QStringLiteral(" not correct!"));
            result = 1;
        }
    }
    FLastCoeff = result;
    return result;
}

bool TcExpData_DM::SaveDataToFile(const QString& AFilename) {
    QSaveFile file(AFilename.isEmpty() ? FdataFileName : AFilename);
    if (!file.open(QIODevice::WriteOnly) || file.write(ExpDataToJson(table_)) < 0 ||
        !file.commit()) {
        traceError(QStringLiteral("SaveDataToFile: ") + file.fileName() + QStringLiteral(": ") +
                   file.errorString());
        return false;
    }
    return true;
}

bool TcExpData_DM::LoadDataFromFile(const QString& AFilename) {
    QFile file(AFilename);
    if (!file.open(QIODevice::ReadOnly)) {
        traceError(QStringLiteral("LoadDataFromFile: ") + AFilename + QStringLiteral(": ") +
                   file.errorString());
        return false;
    }
    const QByteArray data = file.read(kMaxDataFileSize + 1);
    if (data.size() > kMaxDataFileSize) {
        traceError(QStringLiteral("LoadDataFromFile: ") + AFilename +
                   QStringLiteral(": too large for a statistics table"));
        return false;
    }
    QString error;
    auto table = ExpDataFromJson(data, error);
    if (!table) {
        traceError(QStringLiteral("LoadDataFromFile: ") + AFilename + QStringLiteral(": ") + error);
        return false;
    }
    table_ = std::move(*table);
    opened_ = true;
    return true;
}

}  // namespace tidora::stores
