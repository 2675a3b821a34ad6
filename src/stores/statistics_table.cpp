#include "stores/statistics_table.h"

namespace tidora::stores {

int TExpDataTable::indexOfId(int32_t id) const {
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].ID == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::vector<THistExpDetail> TExpDataTable::HistExpDetails() const {
    std::vector<THistExpDetail> details;
    details.reserve(rows_.size());
    for (const TExpDataRow& row : rows_) {
        details.push_back({row.TYPE, row.ID, row.RES_COUNT, row.RES_SIZE, row.SIGN});
    }
    return details;
}

}  // namespace tidora::stores
