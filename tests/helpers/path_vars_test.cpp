#include "helpers/path_vars.h"

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "helpers/file_checks.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

class HelpersPathVars : public ::testing::Test {
protected:
    void SetUp() override {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.user("anna").fresh();
        b.file("C:\\Program Files\\Tool\\tool.exe");
        machine_ = b.openMachine();
    }
    testing::TempDir tmp_;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(HelpersPathVars, ExpandsFolderVariables) {
    struct Case {
        const char* text;
        const char* expanded;
    };
    const Case cases[] = {
        {"%USERPROFILE%\\x;%ProgramFiles%\\y", "C:\\users\\anna\\x;C:\\Program Files\\y"},
        {"%SystemRoot%\\a %windir%\\b", "C:\\windows\\a %windir%\\b"},  // windir only alone
        {"%WINDIR%\\b", "C:\\windows\\b"},
        {"%ALLUSERSPROFILE%\\Start Menu", "C:\\ProgramData\\Start Menu"},
        {"%APPDATA%\\z", "C:\\users\\anna\\AppData\\Roaming\\z"},  // the machine's environment
        {"%NOPE%\\z", "%NOPE%\\z"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExpandPathVars(*machine_, c.text).toStdString(), c.expanded) << c.text;
    }
}

TEST_F(HelpersPathVars, ExtractsTheProgramOfACommand) {
    struct Case {
        const char* command;
        const char* path;
    };
    const Case cases[] = {
        {"\"C:\\Program Files\\Tool\\tool.exe\" /tray /x", "C:\\Program Files\\Tool\\tool.exe"},
        {"C:\\Tools\\run.exe -silent", "C:\\Tools\\run.exe"},
        {"C:\\windows\\system32\\shell32.dll,-154", "C:\\windows\\system32\\shell32.dll"},
        {"%SystemRoot%\\system32\\imageres.dll,-3", "C:\\windows\\system32\\imageres.dll"},
        {"\"C:\\odd;name,dir\\app.exe\" -a", "C:\\odd;name,dir\\app.exe"},  // quotes keep , and ;
        {"rundll32.exe shell32.dll", "rundll32.exe"},
        {"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ExtractCommandPath(*machine_, c.command).toStdString(), c.path) << c.command;
    }
}

TEST_F(HelpersPathVars, ExistenceOnFixedDrivesAndTheOtherProgramFolder) {
    EXPECT_TRUE(FileExistsOnFixedDrive(*machine_, "c:\\program files\\TOOL\\tool.exe"));
    EXPECT_FALSE(FileExistsOnFixedDrive(*machine_, "C:\\Program Files\\Tool\\gone.exe"));
    EXPECT_FALSE(FileExistsOnFixedDrive(*machine_, "Q:\\tool.exe"));
    EXPECT_TRUE(AltProgramFilesExists(*machine_, "C:\\Program Files (x86)\\Tool\\tool.exe"));
    EXPECT_FALSE(AltProgramFilesExists(*machine_, "C:\\Program Files (x86)\\Tool\\gone.exe"));
    EXPECT_FALSE(AltProgramFilesExists(*machine_, "C:\\Program Files\\Tool\\tool.exe"));
}

}  // namespace
}  // namespace tidora::helpers
