#pragma once

#include <QString>

#include <cstdint>
#include <vector>

#include "stores/hist_exp_detail.h"

namespace tidora::stores {

// One clean item in the statistics: its weights and what the last run found and scored.
struct TExpDataRow {
    int32_t ID = 0;
    int32_t CAT_ID = 0;
    int32_t TYPE = 0;
    QString LAT_NAME;  // at most 240 characters
    QString CAPTION;
    int64_t RES_COUNT = 0;  // found or removed in the last run, without the failures
    int64_t ALL_COUNT = 0;
    double RES_SIZE = 0;  // bytes, without the failures
    double K_COUNT = 0;
    double K_SIZE = 0;
    double K_P = 0;
    int32_t DELTA_DAYS = -1;
    double K_DATE = 0;
    double S_DATE = 0;
    double S_COUNT = 0;
    double S_SIZE = 0;
    double S_ALL = 0;  // the item's share of the overall coefficient's sum
    int32_t SIGN = 0;  // 1 when the item took part in the last run

    bool operator==(const TExpDataRow&) const = default;
};

// The statistics table, one row per clean item.
class TExpDataTable {
public:
    std::vector<TExpDataRow>& rows() { return rows_; }
    const std::vector<TExpDataRow>& rows() const { return rows_; }
    void clear() { rows_.clear(); }
    void append(TExpDataRow row) { rows_.push_back(std::move(row)); }
    int size() const { return static_cast<int>(rows_.size()); }
    // Index of the first row with that ID, or -1.
    int indexOfId(int32_t id) const;
    // The figures of every row, as the history stores a snapshot.
    std::vector<THistExpDetail> HistExpDetails() const;

private:
    std::vector<TExpDataRow> rows_;
};

}  // namespace tidora::stores
