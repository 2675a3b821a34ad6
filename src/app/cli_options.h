#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tidora::app {

// A command line the tool does not understand; exit code 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct CliOptions {
    std::string command;        // machine, catalog, analyze, clean, history
    bool clearHistory = false;  // history clear
    std::optional<std::string> prefix;
    bool json = false;
    std::optional<int> regime;
    std::vector<int> items;  // empty: the regime decides
    bool imitate = false;
    bool rows = false;
};

// Throws UsageError for an unknown command, an unknown or malformed argument, or arguments that
// exclude each other.
CliOptions parseCliOptions(const std::vector<std::string>& args);

extern const char* const kCliUsage;

}  // namespace tidora::app
