// Checks the prefix machine against a prefix that real Wine made. Needs Wine (CI installs it);
// skips where it is absent.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "fixtures/temp_dir.h"
#include "platform/winepfx/hive.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::platform::winepfx {
namespace {

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

class RealWine : public ::testing::Test {
protected:
    void SetUp() override {
        if (!onPath("wineboot") || !onPath("wineserver") || !onPath("wine")) {
            GTEST_SKIP() << "Wine is not installed (apt-get install wine wine64); skipped";
        }
        std::filesystem::create_directories(tmp_ / "home");
        ASSERT_EQ(wine("wineboot --init"), 0) << "wineboot --init failed";
        ASSERT_EQ(wine("wineserver -w"), 0);
    }

    // Runs a Wine command for the test prefix, with its own HOME so that Wine links the
    // prefix's Desktop and Documents there.
    int wine(const std::string& command) const {
        const std::string line =
            "env HOME='" + (tmp_ / "home") + "' WINEPREFIX='" + prefix() +
            "' WINEDLLOVERRIDES='mscoree,mshtml=' WINEDEBUG=-all timeout 600 " + command +
            " >/dev/null 2>&1";
        return std::system(line.c_str());
    }
    std::string prefix() const { return tmp_ / "prefix"; }

    testing::TempDir tmp_;
};

TEST_F(RealWine, HivesRoundTripAndFactsMatchThePrefix) {
    for (const char* name : {"system.reg", "user.reg", "userdef.reg"}) {
        const std::string text = testing::readFile(prefix() + "/" + name);
        std::string error;
        const auto hive = Hive::parse(text, &error);
        ASSERT_TRUE(hive.has_value()) << name << ": " << error;
        EXPECT_TRUE(hive->serialize() == text) << name << " changed in a round trip";
    }

    std::string error;
    auto machine = WinePrefixMachine::open(prefix(), &error);
    ASSERT_TRUE(machine) << error;

    const std::string arch = Hive::load(prefix() + "/system.reg", &error)->arch();
    EXPECT_EQ(machine->is64Bit(), arch == "win64");
    const std::string ntKey = "Software\\Microsoft\\Windows NT\\CurrentVersion";
    const WindowsVersion version = machine->windowsVersion();
    EXPECT_EQ(version.productName,
              machine->value(RegRoot::LocalMachine, ntKey, "ProductName")->text());
    EXPECT_EQ(std::to_string(version.build),
              machine->value(RegRoot::LocalMachine, ntKey, "CurrentBuildNumber")->text());
    EXPECT_GE(version.major, 5u);

    // Wine names the profile after the Unix user.
    const passwd* pw = getpwuid(getuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(machine->userName(), pw->pw_name);
    const std::string profile = "C:\\users\\" + std::string(pw->pw_name);
    EXPECT_EQ(machine->specialFolder(40), profile);

    const std::string shellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    struct Folder {
        int csidl;
        RegRoot root;
        const char* value;
    };
    const Folder folders[] = {
        {2, RegRoot::CurrentUser, "Programs"},
        {8, RegRoot::CurrentUser, "Recent"},
        {16, RegRoot::CurrentUser, "Desktop"},
        {20, RegRoot::CurrentUser, "Fonts"},
        {26, RegRoot::CurrentUser, "AppData"},
        {28, RegRoot::CurrentUser, "Local AppData"},
        {33, RegRoot::CurrentUser, "Cookies"},
        {34, RegRoot::CurrentUser, "History"},
        {23, RegRoot::LocalMachine, "Common Programs"},
        {25, RegRoot::LocalMachine, "Common Desktop"},
        {35, RegRoot::LocalMachine, "Common AppData"},
        {45, RegRoot::LocalMachine, "Common Templates"},
    };
    for (const Folder& f : folders) {
        const auto stored = machine->value(f.root, shellFolders, f.value);
        ASSERT_TRUE(stored) << f.value;
        EXPECT_EQ(machine->specialFolder(f.csidl), stored->text()) << "CSIDL " << f.csidl;
    }
    for (const int csidl : {2, 16, 20, 23, 25, 26, 28, 35, 36, 37, 38, 40}) {
        EXPECT_TRUE(machine->exists(machine->specialFolder(csidl))) << "CSIDL " << csidl;
    }
    EXPECT_EQ(machine->specialFolder(36), "C:\\windows");
    EXPECT_EQ(machine->specialFolder(37), "C:\\windows\\system32");
    EXPECT_EQ(machine->environmentVariable("TEMP"),
              machine->value(RegRoot::CurrentUser, "Environment", "TEMP")->text());
    EXPECT_EQ(machine->tempPath(), *machine->environmentVariable("TMP") + "\\");
    EXPECT_EQ(machine->driveType("C:\\"), DriveType::Fixed);

    // The Desktop is a link into the host home: a reparse point.
    const auto desktop = machine->stat(profile + "\\Desktop");
    ASSERT_TRUE(desktop);
    EXPECT_TRUE(desktop->isReparsePoint());
}

TEST_F(RealWine, WineReadsWhatWeWriteAndWeRefuseWhileItsServerRuns) {
    std::string error;
    auto machine = WinePrefixMachine::open(prefix(), &error);
    ASSERT_TRUE(machine) << error;
    ASSERT_TRUE(machine->canWriteRegistry()) << machine->canWriteRegistry().error();
    ASSERT_TRUE(machine->setValue(RegRoot::CurrentUser, "Software\\TidoraCheck",
                                  RegValue::fromString("Greeting", "\xD0\x9F\xD1\x80\xD0\xB8")));

    // Wine loads our hive, finds the value, and saves its own copy when its server ends.
    EXPECT_EQ(wine("wine reg query 'HKCU\\Software\\TidoraCheck' /v Greeting"), 0);
    ASSERT_EQ(wine("wineserver -w"), 0);
    const auto reread = machine->value(RegRoot::CurrentUser, "Software\\TidoraCheck", "Greeting");
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->text(), "\xD0\x9F\xD1\x80\xD0\xB8");

    // While the prefix's server runs, a registry change is refused and changes nothing.
    ASSERT_EQ(wine("sh -c 'wineserver -p 60 & sleep 2'"), 0);
    const std::string before = testing::readFile(prefix() + "/user.reg");
    const OpResult refused = machine->setValue(RegRoot::CurrentUser, "Software\\TidoraCheck",
                                               RegValue::fromDword("N", 1));
    EXPECT_FALSE(refused);
    EXPECT_NE(refused.error().find("wineserver"), std::string::npos) << refused.error();
    EXPECT_TRUE(testing::readFile(prefix() + "/user.reg") == before);
    wine("wineserver -k");
    wine("wineserver -w");
}

// Wine's shell saves these through its scripting host, as an installer would.
TEST_F(RealWine, ShortcutsWineSavedNameTheirTargets) {
    const struct {
        const char* link;
        const char* target;
    } shortcuts[] = {
        {"notepad.lnk", "C:\\windows\\notepad.exe"},
        {"missing.lnk", "C:\\Nowhere\\gone.exe"},
    };
    std::string script = "Set shell = CreateObject(\"WScript.Shell\")\r\n";
    for (const auto& s : shortcuts) {
        script += "Set link = shell.CreateShortcut(\"C:\\links\\" + std::string(s.link) +
                  "\")\r\nlink.TargetPath = \"" + s.target + "\"\r\nlink.Save\r\n";
    }
    testing::writeFile(prefix() + "/drive_c/links/make.vbs", script);
    ASSERT_EQ(wine("wine cscript //nologo 'C:\\links\\make.vbs'"), 0);
    ASSERT_EQ(wine("wineserver -w"), 0);

    std::string error;
    auto machine = WinePrefixMachine::open(prefix(), &error);
    ASSERT_TRUE(machine) << error;
    for (const auto& s : shortcuts) {
        EXPECT_EQ(machine->shortcutTarget(std::string("C:\\links\\") + s.link), s.target) << s.link;
    }

    // Without its LinkInfo, the item ID list Wine wrote spells out the same path.
    std::string bytes = testing::readFile(prefix() + "/drive_c/links/notepad.lnk");
    ASSERT_GT(bytes.size(), 0x14u);
    bytes[0x14] = static_cast<char>(bytes[0x14] & ~0x02);
    testing::writeFile(prefix() + "/drive_c/links/ids.lnk", bytes);
    EXPECT_EQ(machine->shortcutTarget("C:\\links\\ids.lnk"), "C:\\windows\\notepad.exe");
}

}  // namespace
}  // namespace tidora::platform::winepfx
