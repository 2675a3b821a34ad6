#pragma once

#include <string_view>

namespace tidora::diagnostics {

// Checkpoints that mark where an operation is: they change nothing and print nothing, so that a
// profiler or debugger can break on them without the program behaving differently.
void LevelMark(std::string_view label, std::string_view text = {}, int value = 0);
void LevelExit(std::string_view label);
void LevelReset();

}  // namespace tidora::diagnostics
