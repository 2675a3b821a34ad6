#include "platform/winepfx/environment_block.h"

#include <gtest/gtest.h>

namespace tidora::platform::winepfx {
namespace {

TEST(EnvironmentBlock, ExpandsAsWindowsDoes) {
    EnvironmentBlock env;
    env.set("SystemRoot", "C:\\windows");
    env.set("USERPROFILE", "C:\\users\\anna");
    env.set("systemroot", "C:\\WINDOWS");  // same variable: replaced, keeps its first spelling

    EXPECT_EQ(env.variables().size(), 2u);
    EXPECT_EQ(env.variables()[0].first, "SystemRoot");
    struct Case {
        const char* text;
        const char* expanded;
    };
    const Case cases[] = {
        {"%SYSTEMROOT%\\system32", "C:\\WINDOWS\\system32"},
        {"%UserProfile%\\%SystemRoot%", "C:\\users\\anna\\C:\\WINDOWS"},
        {"%NOSUCH%\\x", "%NOSUCH%\\x"},
        {"%NOSUCH%%USERPROFILE%", "%NOSUCH%C:\\users\\anna"},
        {"100% sure", "100% sure"},
        {"%%", "%%"},
        {"50%%USERPROFILE%", "50%%USERPROFILE%"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(env.expand(c.text), c.expanded) << c.text;
    }
}

}  // namespace
}  // namespace tidora::platform::winepfx
