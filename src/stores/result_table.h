#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tidora::stores {

// Figures of one clean item in a run: A_ after the analysis, R_ after the cleaning; COUNT the
// entries found, ERRORS those whose deletion failed, SIZE and ERRSIZE their sizes in bytes.
struct TCleanResultRow {
    int32_t ID = 0;
    int32_t TYPE = 0;
    int32_t SIGN = 0;
    int64_t A_COUNT = 0;
    int64_t A_ERRORS = 0;
    int64_t R_COUNT = 0;
    int64_t R_ERRORS = 0;
    double A_SIZE = 0;
    double A_ERRSIZE = 0;
    double R_SIZE = 0;
    double R_ERRSIZE = 0;

    bool operator==(const TCleanResultRow&) const = default;
};

// The per-item result table of the clean group, one row per active item in catalog order.
class TCleanResultTable {
public:
    std::vector<TCleanResultRow>& rows() { return rows_; }
    const std::vector<TCleanResultRow>& rows() const { return rows_; }
    void clear() { rows_.clear(); }
    void append(const TCleanResultRow& row) { rows_.push_back(row); }
    int size() const { return static_cast<int>(rows_.size()); }
    // Index of the first row with that ID, or -1.
    int indexOfId(int32_t id) const {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            if (rows_[i].ID == id) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

private:
    std::vector<TCleanResultRow> rows_;
};

}  // namespace tidora::stores
