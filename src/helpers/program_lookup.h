#pragma once

#include <QString>

#include "platform/machine.h"

namespace tidora::helpers {

// Whether Windows would find no file to start for a program path taken from a command line
// (ExtractCommandPath). The candidates are the path itself and, as an unquoted command may end
// its program at any blank, every shorter path that ends before a blank; a candidate without an
// extension is also tried with each extension of PATHEXT. A bare name is searched where Windows
// searches: the App Paths keys of the user and of the machine, the system folder, the Windows
// folder and each folder of PATH. True only when every place tried is a missing file
// (IsMissingFile); an empty path is never missing.
bool IsProgramMissing(platform::Machine& machine, const QString& aProgram);

}  // namespace tidora::helpers
