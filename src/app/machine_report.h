#pragma once

#include <ostream>

#include "platform/machine.h"

namespace tidora::app {

// Writes what Tidora knows about a machine: Windows version, user, special folders, temporary
// folders, drives, and whether the registry can be changed now.
void writeMachineReport(const platform::Machine& machine, std::ostream& out);

}  // namespace tidora::app
