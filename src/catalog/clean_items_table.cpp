#include "catalog/clean_items_table.h"

namespace tidora::catalog {

int TCleanItemsTable::indexOfLatName(const QString& latName) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].LAT_NAME == latName) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int TCleanItemsTable::indexOfId(int32_t id) const {
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (rows_[i].ID == id) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

}  // namespace tidora::catalog
