#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "stores/program_rows.h"

namespace tidora::stores {

// The programs grid's copy of Programs_T, read whole; only ProgSelect is changed through it.
struct TProgramsView {
    bool open = false;
    std::vector<TProgramRow> rows;
    int currentRow = -1;  // -1 without rows

    // Index of the row with that ProgID, or -1.
    int indexOfProgId(int64_t progId) const {
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].ProgID == progId) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }
};

}  // namespace tidora::stores
