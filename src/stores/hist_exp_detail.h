#pragma once

#include <cstdint>

namespace tidora::stores {

// The figures of one clean item in a statistics snapshot, as the statistics hand them to the
// history.
struct THistExpDetail {
    int32_t TYPE = 0;
    int32_t ID = 0;
    int64_t RES_COUNT = 0;
    double RES_SIZE = 0;
    int32_t SIGN = 0;  // only items with SIGN > 0 took part in the run and are stored

    bool operator==(const THistExpDetail&) const = default;
};

}  // namespace tidora::stores
