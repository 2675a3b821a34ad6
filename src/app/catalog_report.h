#pragma once

#include <ostream>

#include "platform/machine.h"

namespace tidora::app {

// Writes the items the catalog defines for a machine, with their class, default state and
// regimes, and every search folder, key and exclusion with whether it exists there. With json,
// one JSON document instead of text.
void writeCatalogReport(platform::Machine& machine, std::ostream& out, bool json);

}  // namespace tidora::app
