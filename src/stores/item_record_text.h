#pragma once

#include <QString>

#include "catalog/clean_items_table.h"

namespace tidora::stores {

// How one clean-item row is kept in the settings: ID, TYPE, ACTION_ID, CAT_ID, SIGN and ACTIVE
// ("1" or "0"), each followed by "|", as in 12|1|1|3|0|1|. The stored text "0" means "as the
// default".
QString ItemRecordToStr(const catalog::TCleanItemParams& row);

// Applies a record text to the row. Only a text with six complete fields whose first five are
// numbers is applied; any other leaves the row as it was and gives false. A "|" ends a field
// only when the field has begun; fields after the sixth are ignored.
bool StrToItemRecord(const QString& text, catalog::TCleanItemParams& row);

}  // namespace tidora::stores
