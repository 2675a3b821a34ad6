#pragma once

#include <QString>
#include <QStringList>

#include "catalog/clean_items_table.h"

namespace tidora::catalog {

// Regimes: preset selections of items. 0 the user's settings, 1 quick, 2 optimal, 3 and 10 full,
// 4 the user's own selection.
QString GetRegimeItemsText(int aRegime);
// Clears AList; false for a regime without a list.
bool GetRegimeItemsList(int aRegime, QStringList& AList);
// The regime whose list matches the active rows of ADS (tried as 10, 4, 3, 2, 1), else 0.
int DetectRegime(const TCleanItemsTable& ADS);
QString GetRegimeName(int aRegime);

QString GetItemStateText(int aState);
// aKind 0 a file row, 1 a registry row.
QString GetRowStateText(int aKind, int aState);

}  // namespace tidora::catalog
