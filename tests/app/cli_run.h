#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace tidora::app {

struct CliRun {
    int exitCode;
    std::string out;  // standard output and error together
};

inline CliRun runCli(const std::string& arguments) {
    const std::string command = std::string(TIDORA_CLI_PATH) + " " + arguments + " 2>&1";
    CliRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[4096];
    while (const size_t n = fread(buffer, 1, sizeof buffer, pipe)) {
        run.out.append(buffer, n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}
}  // namespace tidora::app
