#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/catalog_report.h"
#include "app/machine_report.h"
#include "platform/winepfx/prefix_location.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace {

constexpr const char* kUsage =
    "usage: tidora-cli machine [--prefix DIR]\n"
    "       tidora-cli catalog [--prefix DIR] [--json]\n"
    "  machine   print what Tidora knows about the Windows machine of a Wine prefix\n"
    "  catalog   print the clean items for that machine and every folder, key and exclusion\n"
    "            they search, with whether it exists there\n"
    "The prefix is --prefix DIR, else $WINEPREFIX, else ~/.wine.\n";

int fail(const std::string& message) {
    std::cerr << "tidora-cli: " << message << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::cout << kUsage;
        return args.empty() ? 1 : 0;
    }
    const std::string& command = args[0];
    std::optional<std::string> prefix;
    bool json = false;
    for (size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--prefix" && i + 1 < args.size()) {
            prefix = args[++i];
        } else if (args[i].rfind("--prefix=", 0) == 0) {
            prefix = args[i].substr(9);
        } else if (args[i] == "--json" && command == "catalog") {
            json = true;
        } else {
            return fail("unknown argument '" + args[i] + "' (see tidora-cli --help)");
        }
    }
    if (command != "machine" && command != "catalog") {
        return fail("unknown command '" + command + "' (see tidora-cli --help)");
    }

    const std::string prefixDir = tidora::platform::winepfx::choosePrefixDir(prefix);
    std::string error;
    const auto machine = tidora::platform::winepfx::WinePrefixMachine::open(prefixDir, &error);
    if (!machine) {
        return fail(error);
    }
    if (command == "catalog") {
        tidora::app::writeCatalogReport(*machine, std::cout, json);
    } else {
        tidora::app::writeMachineReport(*machine, std::cout);
    }
    return 0;
}
