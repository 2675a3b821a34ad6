#pragma once

#include "frame/settings_store.h"
#include "stores/working_database.h"

namespace tidora::stores {

// Keeps the item settings of the working database in the settings store: section "CONFIG_" and
// the configuration number, key the item's name; a save writes the file at once. The store must
// outlive the module or the next binding.
void BindItemRecordsToSettings(TBasedata_DM& dm, frame::TwiniSettings& settings);

}  // namespace tidora::stores
