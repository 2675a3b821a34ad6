#pragma once

#include <QString>
#include <QStringList>

#include "catalog/clean_paths.h"
#include "platform/machine.h"

namespace tidora::catalog {

// Builds one item's search definition on this machine: the search list (folders of file items,
// keys with a root prefix of registry items), the exclusion list and, when the item names one,
// the file mask. Every entry is recorded in paths when it is given. True when the search list is
// not empty.
bool DefineItemPaths(platform::Machine& machine, TCleanPaths_DM* paths, int actID, int acatID,
                     int aID, QString& aMask, QStringList& aExcept, QStringList& aList);

// Names the item's rows in paths; true when there is no paths table.
bool RegisterItemName(TCleanPaths_DM* paths, int acatID, int aID, const QString& aname);

}  // namespace tidora::catalog
