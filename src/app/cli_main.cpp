#include <QCoreApplication>

#include <iostream>
#include <string>
#include <vector>

#include "app/catalog_report.h"
#include "app/clean_command.h"
#include "app/cli_options.h"
#include "app/history_command.h"
#include "app/machine_report.h"
#include "platform/winepfx/prefix_location.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace {

int fail(const std::string& message) {
    std::cerr << "tidora-cli: " << message << '\n';
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << tidora::app::kCliUsage;
        return 0;
    }
    tidora::app::CliOptions options;
    try {
        options = tidora::app::parseCliOptions(args);
    } catch (const tidora::app::UsageError& e) {
        std::cerr << "tidora-cli: " << e.what() << " (see tidora-cli --help)\n";
        return 2;
    }
    QCoreApplication app(argc, argv);
    if (options.command == "analyze" || options.command == "clean") {
        return tidora::app::runCleanCommand(options, argv[0], std::cout, std::cerr);
    }
    if (options.command == "history") {
        return tidora::app::runHistoryCommand(options, argv[0], std::cout, std::cerr);
    }

    const std::string prefixDir = tidora::platform::winepfx::choosePrefixDir(options.prefix);
    std::string error;
    const auto machine = tidora::platform::winepfx::WinePrefixMachine::open(prefixDir, &error);
    if (!machine) {
        return fail(error);
    }
    if (options.command == "catalog") {
        tidora::app::writeCatalogReport(*machine, std::cout, options.json);
    } else {
        tidora::app::writeMachineReport(*machine, std::cout);
    }
    return 0;
}
