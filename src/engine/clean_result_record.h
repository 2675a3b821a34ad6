#pragma once

#include <QString>

#include <cstdint>

namespace tidora::engine {

// The totals of one pass.
struct TCleanResultRecord {
    int64_t FilesCount = 0;
    double FilesSize = 0;  // bytes; -1 when the file query failed
    QString FilesSizeStr;
    int64_t RegCount = 0;
    int64_t RegSize = 0;  // always 0; -1 when the registry query failed
    QString RegSizeStr;
    int32_t State = 0;  // 2 analysis interrupted, 3 finished, 6 cleaning interrupted, 7 finished
    QString StateStr;
};

}  // namespace tidora::engine
