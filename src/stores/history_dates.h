#pragma once

#include <QString>

namespace tidora::stores {

// The texts History_T keeps for a date-time given as days since 1899-12-30. Both give an empty
// text for a value that is no date-time (NaN, out of range).

// yyyy-mm-dd hh:nn:ss.zzz; just yyyy-mm-dd when the value is exactly midnight.
QString FormatHistoryDate(double dateTime);
// hh:nn:ss.zzz of the time of day; the date part, if any, is ignored.
QString FormatHistoryTime(double dateTime);

}  // namespace tidora::stores
