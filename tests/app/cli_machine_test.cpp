#include <string>

#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"

namespace tidora::app {
namespace {

TEST(CliMachine, ReportsTheFixturePrefix) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.user("olga").windowsVersion(10, 0, 19045, "Windows 10 Pro").fresh();
    b.drive('d', tmp.path(), "cdrom");
    b.write();

    const CliRun run = runCli("machine --prefix '" + (tmp / "prefix") + "'");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    for (const char* expected :
         {"Windows 10 Pro 10.0.19045", "Version code:          10", "64-bit:                yes",
          "User:                  olga", "elevated administrator",
          "Desktop (16):          C:\\users\\olga\\Desktop",
          "SystemX86 (41):        C:\\windows\\syswow64",
          "TEMP:                  C:\\users\\olga\\Temp",
          "Temp path:             C:\\users\\olga\\Temp\\", "D:\\:                   optical",
          "Writable now:          yes",
          "User data folder:      C:\\users\\olga\\AppData\\Roaming\\tidora\\  -> ",
          "Settings file:         C:\\users\\olga\\AppData\\Roaming\\tidora\\tidora.ini  -> "}) {
        EXPECT_NE(run.out.find(expected), std::string::npos) << expected << "\n" << run.out;
    }
}

TEST(CliMachine, BadInputGivesOneLineAndExitCodeOne) {
    testing::TempDir tmp;
    testing::writeFile(tmp / "broken/system.reg", "not a hive\n");
    testing::writeFile(tmp / "broken/user.reg", "not a hive\n");
    testing::writeFile(tmp / "broken/drive_c/x", "");
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"machine --prefix '" + (tmp / "none") + "'", "no such folder"},
        {"machine --prefix '" + tmp.path() + "'", "not a Wine prefix"},
        {"machine --prefix '" + (tmp / "broken") + "'", "unreadable registry hive"},
        {"machine --frobnicate", "unknown argument"},
        {"clean-everything", "unknown command"},
    };
    for (const Case& c : cases) {
        const CliRun run = runCli(c.arguments);
        // A command line the tool does not understand is a usage error.
        const bool usage = c.message.rfind("unknown", 0) == 0;
        EXPECT_EQ(run.exitCode, usage ? 2 : 1) << c.arguments;
        EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << ": " << run.out;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line: " << run.out;
    }
}

}  // namespace
}  // namespace tidora::app
