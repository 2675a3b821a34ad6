#pragma once

#include <QString>

#include <cstdint>

namespace tidora::stores {

// The values of one history entry.
struct TCleanHistoryRecord {
    int64_t HID = 0;
    double Dt = 0;  // date and time, days since 1899-12-30
    double Tm = 0;  // time of day as a fraction of a day
    int64_t FilesCount = 0;
    int64_t RegsCount = 0;
    int64_t FilesErrs = 0;
    int64_t RegsErrs = 0;
    double FilesSize = 0;
    double FilesErrSize = 0;
    QString FilesSizeStr;
    QString FilesErrSizeStr;
    QString DelayStr;
    int32_t actSign = 0;
    QString actDesc;
    int32_t resSign = 0;
    QString resDesc;
    int32_t cleanRegime = 0;
    QString cleanRegimeDesc;
    double AllS = 0;  // the cleaning index, -1 when none was computed
    QString appVersion;
};

// Where the group writes the entry of a cleaning: the history database.
class CleanHistorySink {
public:
    virtual ~CleanHistorySink() = default;
    // The new entry's ID, or -1.
    virtual int32_t AddNewLine(const TCleanHistoryRecord& aHistoryRec) = 0;
};

}  // namespace tidora::stores
