#pragma once

#include <QString>

#include <cstdint>
#include <functional>

namespace tidora::helpers {

// One found entry, handed from the scanners and registry checks to the items and on to the
// working database.
struct TwCleanRecord {
    int32_t RecType = 0;  // 1 file or recycle-bin item, 2 registry entry, 3 pseudo entry
    int32_t Regime = 0;  // store operation: 0 delete the item's rows, 1 insert, 2 deleted, 3 failed
    int64_t id = 0;
    int64_t rowNum = 0;
    int32_t CL_iD = 0;
    int32_t pID = 0;
    int64_t Size = 0;
    double Date = 0;   // day count since 1899-12-30
    double mDate = 0;  // day count since 1899-12-30
    int32_t State = 0;
    bool Active = false;
    QString Name;
    QString Desc;
    QString SizeStr;
    int32_t HomekeyID = 1;
    int32_t DtType = 2;
    QString Value;
    int64_t wvalue = 0;
};

// All numbers 0, texts empty, Active false; HomekeyID 1 and DtType 2.
inline void ClearCleanRecord(TwCleanRecord& record) {
    record = TwCleanRecord{};
}

// kind: -1, -2, -4 heartbeats (no record); 1 file, 2 registry entry, 3 recycle-bin item. The
// callee clears aContinue to stop the scan.
using TFoundCallback = std::function<void(int kind, TwCleanRecord* record, bool& aContinue)>;
// kind: 1 file, 2 folder. The callee clears aAccept to skip the entry.
using TNameFilter = std::function<void(int kind, const QString& name, bool& aAccept)>;

// True when no filter is set, else what the filter answers.
inline bool CallNameFilter(int kind, const QString& name, const TNameFilter& filter) {
    bool accept = true;
    if (filter) {
        filter(kind, name, accept);
    }
    return accept;
}

}  // namespace tidora::helpers
