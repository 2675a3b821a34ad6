#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace tidora::catalog {

// One clean item as the catalog defines it and the settings may change it.
struct TCleanItemParams {
    int32_t ACTION_ID = 0;  // 1 files and traces, 2 registry
    int32_t CAT_ID = 0;
    int32_t ID = 0;
    int32_t TYPE = 0;  // 1 file item, 2 registry item, 3 other item
    QString LAT_NAME;  // at most 240 characters
    bool ACTIVE = false;
    QString CAPTION;
    QString DESC;
    int32_t SIGN = 1;

    bool operator==(const TCleanItemParams&) const = default;
};

// The clean-item parameter table: rows in catalog order, the order items are analysed in.
class TCleanItemsTable {
public:
    std::vector<TCleanItemParams>& rows() { return rows_; }
    const std::vector<TCleanItemParams>& rows() const { return rows_; }
    void clear() { rows_.clear(); }
    void append(TCleanItemParams row) { rows_.push_back(std::move(row)); }
    int size() const { return static_cast<int>(rows_.size()); }

    // Index of the row with that key name (exact match), or -1.
    int indexOfLatName(const QString& latName) const;
    // Index of the first row with that ID, or -1.
    int indexOfId(int32_t id) const;

private:
    std::vector<TCleanItemParams> rows_;
};

}  // namespace tidora::catalog
