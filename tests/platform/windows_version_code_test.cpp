#include "platform/windows_version_code.h"

#include <gtest/gtest.h>

namespace tidora::platform {
namespace {

TEST(WindowsVersionCode, TableOfVersions) {
    struct Case {
        uint32_t major, minor;
        int code;
    };
    const Case cases[] = {
        {5, 1, 5},   {5, 2, 5}, {6, 0, 6},  // XP, Server 2003, Vista
        {6, 1, 7},                          // 7
        {6, 2, 6},   {6, 3, 6},             // 8 and 8.1 report the major version 6
        {10, 0, 10},                        // 10 and 11
        {3, 51, 3},  {4, 0, 4}, {0, 0, 0}, {11, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windowsVersionCode({c.major, c.minor, 0, ""}), c.code)
            << c.major << "." << c.minor;
    }
}

}  // namespace
}  // namespace tidora::platform
