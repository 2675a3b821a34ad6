#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>

namespace tidora::stores {

// The grade of the system's state before a cleaning, from its cleaning index (0 to 10, higher is
// cleaner).
QString GetCleanGradeText(double x);

// The caption of the history page: kind 1 with hasRows 1 or 0; empty for anything else.
QString GetHistoryCaption(int32_t kind, int32_t hasRows);

// A column of the history view, in table order; hidden columns have an empty caption.
struct THistoryColumn {
    const char16_t* name;
    const char16_t* caption;
};
std::span<const THistoryColumn> HistoryColumns();
// The caption of a column (any case); empty for a hidden or unknown one.
QString HistoryColumnCaption(const QString& column);

// The cell text of the index column: empty for NULL, else two decimals with the decimal separator
// of the default locale.
QString FDQuery_HExportALL_SGetText(std::optional<double> allS);

}  // namespace tidora::stores
