#include "helpers/program_lookup.h"

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/registry_junk.h"
#include "fixtures/temp_dir.h"
#include "helpers/missing_file.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

using platform::RegValue;

class ProgramLookup : public ::testing::Test {
protected:
    testing::PrefixBuilder builder() {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.fresh();
        testing::regjunk::checkMachineBase(b, tmp_.path());
        return b;
    }
    testing::TempDir tmp_;
};

TEST_F(ProgramLookup, OnlyAbsentFilesOnFixedDisksAreMissing) {
    const auto machine = builder().openMachine();
    struct Case {
        const char* path;
        bool missing;
    };
    const Case cases[] = {
        {"C:\\Program Files\\Tool\\tool.exe", false},
        {"c:\\PROGRAM FILES\\tool\\TOOL.EXE", false},
        {"C:\\Program Files\\Gone\\gone.exe", true},
        {"C:\\Program Files (x86)\\Tool\\tool.exe", false},  // in the 64-bit program folder
        {"C:\\Program Files (x86)\\Gone\\gone.exe", true},
        {"C:\\windows", false},
        {"C:\\windows\\Fonts\\", false},
        {"D:\\setup.exe", false},  // optical drive
        {"D:\\absent.exe", false},
        {"N:\\absent.dll", false},  // network drive
        {"Q:\\absent.dll", false},  // no such drive
        {"relative.dll", false},
        {"system32\\relative.dll", false},
        {"C:relative.dll", false},
        {"\\absent.dll", false},
        {"\\\\server\\share\\absent.dll", false},
        {"\\\\?\\C:\\Gone\\absent.dll", false},
        {"C:\\Gone\\*.dll", false},
        {"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsMissingFile(*machine, c.path), c.missing) << c.path;
    }
}

TEST_F(ProgramLookup, BareNamesAreSearchedWhereWindowsLooks) {
    auto b = builder();
    b.value("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\deadapp.exe",
            RegValue::fromString("", "C:\\Gone\\dead.exe"));
    const auto machine = b.openMachine();
    struct Case {
        const char* program;
        bool missing;
    };
    const Case cases[] = {
        {"", false},
        {"C:\\Program Files\\Tool\\tool.exe", false},
        {"C:\\Program Files\\Gone\\gone.exe", true},
        {"rundll32.exe", false},  // system folder
        {"RUNDLL32", false},      // with an extension of PATHEXT
        {"notepad.exe", false},   // Windows folder
        {"onpath", false},        // a folder of the user's PATH
        {"viaapp", false},        // the machine's App Paths
        {"userapp.exe", false},   // the user's App Paths
        {"deadapp", true},        // App Paths naming a missing file
        {"ghost.exe", true},
        {"ghost", true},
        // An unquoted command may end its program at any blank.
        {"rundll32 shell32.dll", false},
        {"C:\\Tools\\onpath -q", false},
        {"C:\\Program Files\\Gone2\\uninstall.exe", true},
        {"D:\\autorun.exe", false},
        {"bin\\tool.exe", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsProgramMissing(*machine, c.program), c.missing) << c.program;
    }
}

TEST_F(ProgramLookup, AFolderOfPathOnANetworkDriveLeavesBareNamesUnproven) {
    auto b = builder();
    b.value("HKCU\\Environment", RegValue::fromString("PATH", "C:\\Tools;N:\\bin"));
    const auto machine = b.openMachine();
    EXPECT_FALSE(IsProgramMissing(*machine, "ghost.exe"));
    EXPECT_TRUE(IsProgramMissing(*machine, "C:\\Gone\\ghost.exe"));
}

}  // namespace
}  // namespace tidora::helpers
