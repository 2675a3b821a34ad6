#pragma once

#include <ostream>
#include <string>

#include "app/cli_options.h"

namespace tidora::app {

// tidora-cli analyze and clean: starts like the program (environment, settings, single-instance
// guard, working database, clean group), runs the pass on the worker with progress on err when
// it is a terminal, and prints the run report (or JSON) to out. Returns the exit code: 0 done,
// 1 failed, 3 cancelled. Needs a QCoreApplication.
int runCleanCommand(const CliOptions& options, const std::string& programPath, std::ostream& out,
                    std::ostream& err);

}  // namespace tidora::app
