#pragma once

#include <ostream>
#include <string>

#include "app/cli_options.h"

namespace tidora::app {

// tidora-cli history: lists the cleanings of the history (text or JSON); with clear, deletes
// them. Returns the exit code. Needs a QCoreApplication.
int runHistoryCommand(const CliOptions& options, const std::string& programPath, std::ostream& out,
                      std::ostream& err);

}  // namespace tidora::app
