#pragma once

#include <QString>

#include <cstdint>
#include <functional>

#include "catalog/clean_items_table.h"
#include "frame/user_dialogs.h"
#include "platform/machine.h"
#include "stores/item_scores.h"
#include "stores/result_table.h"
#include "stores/statistics_table.h"

namespace tidora::stores {

// The statistics: turns the figures of the last run into the overall coefficient, how much of the
// junk the weights expect was found. The controller makes the cleaning index (1 - coefficient)
// x 10 of it. Used on the main thread only.
class TcExpData_DM {
public:
    using MachineFactsSource = std::function<TMachineFacts()>;

    TcExpData_DM(const platform::Machine& machine, frame::UserDialogs& dialogs);
    // The machine coefficient is judged from what machineFacts gives at each CalcKoeffs.
    TcExpData_DM(MachineFactsSource machineFacts, frame::UserDialogs& dialogs);
    TcExpData_DM(const TcExpData_DM&) = delete;
    TcExpData_DM& operator=(const TcExpData_DM&) = delete;

    // aopenRG not 0: the shipped weights for the catalog's items on this Windows (the catalog's
    // operating-system variables must be set). 0: one row per row of AItems (none without it)
    // with no weights. Either way the table is open afterwards and AResultFMT, which is not
    // owned, is remembered; throws std::logic_error without it. Always true.
    bool OpenAndFillData(int32_t aopenRG, TCleanResultTable* AResultFMT,
                         const catalog::TCleanItemsTable* AItems = nullptr);
    // Copies the figures of the cleaning (aRunFlag) or the analysis, without the failures, from
    // the result table into the rows of the same ID; the other rows get SIGN 0. Throws
    // std::logic_error without a result table. Always true.
    bool CopyResData(bool aRunFlag);
    // Scores the rows whose SIGN is above 0 (those with K_P not above aKPMinLimit score 0 and do
    // not count) and gives the overall coefficient, at most 1, or -1 when no row counted. Throws
    // std::logic_error when the table is not open.
    double CalcKoeffs(double aKPMinLimit);
    // Writes the whole table as JSON to AFilename, or to DataFilename() in the current folder;
    // false, with a trace, when it cannot be written.
    bool SaveDataToFile(const QString& AFilename);
    // Replaces the table by one SaveDataToFile wrote and opens it; false, with a trace and the
    // table unchanged, for a file that cannot be read or is not such a table.
    bool LoadDataFromFile(const QString& AFilename);

    const QString& DataFilename() const { return FdataFileName; }
    // The last CalcKoeffs' result; -1 before the first.
    double LastCoeff() const { return FLastCoeff; }
    // The machine coefficient of the last CalcKoeffs.
    double LastPCC() const { return FLastPCC; }
    TExpDataTable& FDMemTable_Exp() { return table_; }
    const TExpDataTable& FDMemTable_Exp() const { return table_; }

private:
    MachineFactsSource machineFacts_;
    frame::UserDialogs& dialogs_;
    TExpDataTable table_;
    bool opened_ = false;
    QString FdataFileName = QStringLiteral("cExpData.ced");
    double FLastCoeff = -1;
    double FLastPCC = 0;
    TCleanResultTable* FResultMemTableRef = nullptr;
};

}  // namespace tidora::stores
