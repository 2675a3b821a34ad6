#pragma once

#include <QString>

#include "diagnostics/app_logging_items.h"

namespace tidora::diagnostics {

// The process's one structured log. Created and freed by the application environment on the main
// thread; everything else reaches it through AppLog().

// Creates the log when there is none, then sets its description.
TAppLoggingItems& InitAppLog(const QString& desc);
// Frees the log; AppLog() is null afterwards.
void FreeAppLog();
// Null while no log exists, so that writes before start-up or after shutdown can be skipped.
TAppLoggingItems* AppLog();

}  // namespace tidora::diagnostics
