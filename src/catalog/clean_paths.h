#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace tidora::catalog {

// One folder, name or registry key that the catalog put into an item's search or exclusion list.
struct TCleanPathRow {
    int64_t ID = 0;
    bool EX_FLAG = false;
    int32_t SYS_CODE = 0;
    int32_t CAT_ID = 0;
    int64_t CLEAN_ID = 0;
    QString NAME;
    QString VALUE;
    QString COMMAND;
    QString CAPTION;
    bool ACTIVE = true;
    int32_t STATE = 0;  // 0 not tested, 1 exists, 2 missing

    bool operator==(const TCleanPathRow&) const = default;
};

// The record of what the engine set out to search, kept for diagnosis.
class TCleanPaths_DM {
public:
    TCleanPaths_DM();

    bool InitDataset(int aInitSign);
    bool SetPathToDataset(int aRegime, int aSysCode, int acatID, int aID, bool aExcludeFlag,
                          const QString& apath);
    // Throws std::logic_error when no entry was recorded before.
    bool SetPathStateLast(int aRegime, int aNewState);
    bool SetPathState(int aRegime, int aSysCode, int acatID, int aID, bool aExcludeFlag,
                      const QString& apath, int aNewState);
    bool SetNametoDataset(int acatID, int aID, const QString& aname);

    // A JSON file; loading replaces the table only when the whole file is valid.
    bool LoadFromFile(const QString& aFilename);
    bool SaveToFile(const QString& aFilename) const;

    // Rows in the order of their item ID (the table's index), recording order within an item.
    std::vector<TCleanPathRow> RowsByCleanId() const;
    const std::vector<TCleanPathRow>& Rows() const { return rows_; }
    int64_t CurrentId() const { return d_currID; }

private:
    std::vector<TCleanPathRow> rows_;
    int64_t d_currID = -1;
};

}  // namespace tidora::catalog
