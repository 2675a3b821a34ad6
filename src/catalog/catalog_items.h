#pragma once

#include <QString>

#include "catalog/clean_items_table.h"
#include "platform/machine.h"

namespace tidora::catalog {

// The facts about Windows the catalog's rows and search definitions depend on. Set once at
// start-up from the service information, before any item exists.
struct CatalogOSVariables {
    bool Is64BitOS = false;
    QString OSArchText = QStringLiteral("x32");
    int OSMajorVersion = 0;
    int OSMinorVersion = 0;
    int WinVersionCode = 0;
};

const CatalogOSVariables& CatalogOS();
void SetCatalogOS(bool is64Bit, int majorVersion, int minorVersion, int winVersionCode);
// The same facts as the service information gives them for this machine.
void SetCatalogOS(const platform::Machine& machine);

// Empties ADS and appends the catalog rows present on this Windows version. Always true.
bool FillDefaultItems(TCleanItemsTable& ADS);

}  // namespace tidora::catalog
