#include "platform/winepfx/windows_path.h"

#include <gtest/gtest.h>

#include <string>

namespace tidora::platform::winepfx {
namespace {

TEST(WindowsPath, ParsesLocalPaths) {
    struct Case {
        const char* input;
        const char* formatted;
    };
    const Case cases[] = {
        {"C:\\a\\b", "C:\\a\\b"},
        {"c:/a/b", "C:\\a\\b"},
        {"C:\\", "C:\\"},
        {"C:", "C:\\"},
        {"z:\\\\tmp//x\\/y\\", "Z:\\tmp\\x\\y"},
        {"\\\\?\\C:\\Program Files\\App", "C:\\Program Files\\App"},
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c"},
        {"C:\\..\\..\\windows", "C:\\windows"},
        {"C:\\a\\..", "C:\\"},
        {"C:\\users\\\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0\\file.txt",
         "C:\\users\\\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0\\file.txt"},
        // A name that holds a mapped Unix character is an ordinary name here.
        {"C:\\temp\\a\xEF\x81\x9C"
         "b",
         "C:\\temp\\a\xEF\x81\x9C"
         "b"},
    };
    for (const auto& c : cases) {
        std::string error;
        const std::optional<WindowsPath> parsed = parseWindowsPath(c.input, &error);
        ASSERT_TRUE(parsed.has_value()) << c.input << ": " << error;
        EXPECT_EQ(formatWindowsPath(*parsed), c.formatted) << c.input;
        EXPECT_EQ(parseWindowsPath(formatWindowsPath(*parsed), nullptr), parsed) << c.input;
    }
    const std::optional<WindowsPath> parsed = parseWindowsPath("D:/Games/..//Setup.EXE", nullptr);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->drive, 'd');
    EXPECT_EQ(parsed->components, std::vector<std::string>{"Setup.EXE"});
}

TEST(WindowsPath, RejectsWhatIsNotALocalAbsolutePath) {
    struct Case {
        std::string input;
        const char* reason;
    };
    const Case cases[] = {
        {"", "empty"},
        {"a\\b", "relative"},
        {"\\a", "no drive letter"},
        {"/a/b", "no drive letter"},
        {"C:a", "drive's current folder"},
        {"\\\\server\\share\\x", "UNC"},
        {"//server/share", "UNC"},
        {"\\\\?\\UNC\\server\\share", "UNC"},
        {"\\\\.\\PhysicalDrive0", "device"},
        {"1:\\a", "not a letter"},
        {"\xD0\x96:\\a", "relative"},
        {"C:\\temp\\*.log", "does not allow"},
        {"C:\\a|b", "does not allow"},
        {"C:\\file.txt:stream", "does not allow"},
        {std::string("C:\\a\0b", 6), "does not allow"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parseWindowsPath(c.input, &error)) << c.input;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.input << ": " << error;
    }
    EXPECT_FALSE(parseWindowsPath("a", nullptr));
}

}  // namespace
}  // namespace tidora::platform::winepfx
