#include "platform/winepfx/wine_prefix_machine.h"

#include <filesystem>
#include <regex>

#include <gtest/gtest.h>

#include "fixtures/fake_wineserver.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/windows_version_code.h"

namespace tidora::platform::winepfx {
namespace {

using testing::PrefixBuilder;

constexpr const char* kUserShellFolders =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const char* kShellFolders =
    "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

class WinePrefixMachineTest : public ::testing::Test {
protected:
    std::unique_ptr<WinePrefixMachine> open(const PrefixBuilder& builder) {
        builder.write();
        std::string error;
        auto machine =
            WinePrefixMachine::open(prefix(), &error, WinePrefixOptions{{tmp_ / "servers"}});
        EXPECT_TRUE(machine) << error;
        return machine;
    }
    std::string prefix() const { return tmp_ / "prefix"; }

    testing::TempDir tmp_;
};

TEST_F(WinePrefixMachineTest, SpecialFoldersAndEnvironmentComeFromThePrefixRegistry) {
    PrefixBuilder b(prefix());
    b.user("anna").windowsVersion(10, 0, 19045, "Windows 10 Pro").fresh();
    // The user moved the desktop; User Shell Folders wins over the cached Shell Folders value.
    b.value(kUserShellFolders,
            RegValue::fromString("Desktop", "%USERPROFILE%\\Schreibtisch", RegType::ExpandSz));
    b.value(kShellFolders, RegValue::fromString("Desktop", "C:\\users\\anna\\Desktop"));
    // No value anywhere: Windows' default for the version.
    b.removeValue(kUserShellFolders, "Cache").removeValue(kShellFolders, "Cache");
    b.value("HKCU\\Environment",
            RegValue::fromString("TEMP", "%USERPROFILE%\\MyTemp", RegType::ExpandSz));
    b.value("HKCU\\Environment", RegValue::fromString("TMP", "D:\\tmp"));
    b.value("HKCU\\Environment", RegValue::fromString("Path", "C:\\tools"));
    auto m = open(b);
    ASSERT_TRUE(m);

    EXPECT_EQ(m->userName(), "anna");
    EXPECT_EQ(m->specialFolder(40), "C:\\users\\anna");
    EXPECT_EQ(m->specialFolder(16), "C:\\users\\anna\\Schreibtisch");
    EXPECT_EQ(m->specialFolder(32),
              "C:\\users\\anna\\AppData\\Local\\Microsoft\\Windows\\INetCache");
    EXPECT_EQ(m->specialFolder(26), "C:\\users\\anna\\AppData\\Roaming");
    EXPECT_EQ(m->specialFolder(35), "C:\\ProgramData");
    EXPECT_EQ(m->specialFolder(36), "C:\\windows");
    EXPECT_EQ(m->specialFolder(37), "C:\\windows\\system32");
    EXPECT_EQ(m->specialFolder(41), "C:\\windows\\syswow64");
    EXPECT_EQ(m->specialFolder(38), "C:\\Program Files");
    EXPECT_EQ(m->specialFolder(45), "C:\\ProgramData\\Microsoft\\Windows\\Templates");
    EXPECT_EQ(m->specialFolder(10), "");  // the recycle bin is virtual
    EXPECT_EQ(m->specialFolder(9999), "");

    EXPECT_EQ(m->environmentVariable("temp"), "C:\\users\\anna\\MyTemp");
    EXPECT_EQ(m->tempPath(), "D:\\tmp\\");
    EXPECT_EQ(m->expandEnvironment("%LOCALAPPDATA%|%ProgramFiles(x86)%|%ALLUSERSPROFILE%|%x%"),
              "C:\\users\\anna\\AppData\\Local|C:\\Program Files (x86)|C:\\ProgramData|%x%");
    const std::string path = m->environmentVariable("PATH").value_or("");
    EXPECT_EQ(path.find("C:\\windows\\system32;"), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 9), ";C:\\tools") << path;

    const WindowsVersion v = m->windowsVersion();
    EXPECT_EQ(v.major, 10u);
    EXPECT_EQ(v.build, 19045u);
    EXPECT_EQ(v.productName, "Windows 10 Pro");
    EXPECT_EQ(windowsVersionCode(v), 10);
    EXPECT_TRUE(m->is64Bit());
    EXPECT_EQ(m->userCategory(), UserCategory::ElevatedAdmin);
}

TEST_F(WinePrefixMachineTest, OlderAndThirtyTwoBitPrefixes) {
    PrefixBuilder b(prefix());
    b.win64(false).fresh();  // Wine's default Windows 7
    b.removeValue(kUserShellFolders, "Cookies").removeValue(kShellFolders, "Cookies");
    auto m = open(b);
    ASSERT_TRUE(m);
    EXPECT_FALSE(m->is64Bit());
    EXPECT_EQ(m->specialFolder(41), "C:\\windows\\system32");
    EXPECT_EQ(m->specialFolder(33),
              "C:\\users\\anna\\AppData\\Roaming\\Microsoft\\Windows\\Cookies");
    EXPECT_EQ(windowsVersionCode(m->windowsVersion()), 7);
    EXPECT_FALSE(m->environmentVariable("ProgramFiles(x86)"));

    // The code page: what the prefix stores, else what Wine derives from the host's locale.
    setenv("LC_ALL", "ru_RU.UTF-8", 1);
    EXPECT_EQ(m->ansiCodePage(), 1251);
    unsetenv("LC_ALL");
    ASSERT_TRUE(m->setValue(RegRoot::LocalMachine,
                            "System\\CurrentControlSet\\Control\\Nls\\CodePage",
                            RegValue::fromString("ACP", "1250")));
    EXPECT_EQ(m->ansiCodePage(), 1250);

    // Wine's own version setting is what programs see.
    ASSERT_TRUE(m->setValue(RegRoot::CurrentUser, "Software\\Wine",
                            RegValue::fromString("Version", "win81")));
    EXPECT_EQ(m->windowsVersion().minor, 3u);
    EXPECT_EQ(windowsVersionCode(m->windowsVersion()), 6);
}

TEST_F(WinePrefixMachineTest, RegistryRootsMergeAndLinks) {
    PrefixBuilder b(prefix());
    b.fresh();
    b.value("HKLM\\Software\\Classes\\.txt", RegValue::fromString("", "txtfile"));
    b.value("HKLM\\Software\\Classes\\.txt", RegValue::fromString("Content Type", "text/plain"));
    b.key("HKLM\\Software\\Classes\\.txt\\ShellNew");
    b.value("HKCU\\Software\\Classes\\.txt", RegValue::fromString("", "MyEditor.txt"));
    b.key("HKCU\\Software\\Classes\\.txt\\OpenWithList");
    b.value("HKU\\.Default\\Control Panel\\Desktop", RegValue::fromString("Wallpaper", "x.bmp"));
    b.value("HKLM\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts",
            RegValue::fromDword("LogPixels", 96));
    b.value("HKLM\\Software\\Target\\Sub", RegValue::fromDword("N", 7));
    b.linkKey("HKLM\\Software\\Alias", "HKLM\\Software\\Target");
    auto m = open(b);
    ASSERT_TRUE(m);

    // HKCR: the user's value wins, the machine's others show through, subkeys are the union.
    EXPECT_EQ(m->value(RegRoot::ClassesRoot, ".txt", "")->text(), "MyEditor.txt");
    EXPECT_EQ(m->value(RegRoot::ClassesRoot, ".TXT", "content type")->text(), "text/plain");
    EXPECT_EQ(m->values(RegRoot::ClassesRoot, ".txt")->size(), 2u);
    EXPECT_EQ(*m->subkeyNames(RegRoot::ClassesRoot, ".txt"),
              (std::vector<std::string>{"OpenWithList", "ShellNew"}));

    EXPECT_EQ(m->value(RegRoot::Users, ".DEFAULT\\Control Panel\\Desktop", "Wallpaper")->text(),
              "x.bmp");
    EXPECT_TRUE(m->keyExists(RegRoot::Users, std::string(testing::kUserSid) + "\\Environment"));
    EXPECT_EQ(*m->subkeyNames(RegRoot::Users, ""),
              (std::vector<std::string>{".DEFAULT", std::string(testing::kUserSid)}));
    EXPECT_EQ(m->value(RegRoot::CurrentConfig, "Software\\Fonts", "LogPixels")->dword(), 96u);
    EXPECT_TRUE(m->keyExists(RegRoot::PerformanceData, ""));
    EXPECT_FALSE(m->keyExists(RegRoot::DynData, "Anything"));

    // A link key is followed when opened, and deleting it removes the link, not its target.
    EXPECT_EQ(m->value(RegRoot::LocalMachine, "Software\\Alias\\Sub", "N")->dword(), 7u);
    ASSERT_TRUE(m->deleteKeyTree(RegRoot::LocalMachine, "Software\\Alias"));
    EXPECT_FALSE(m->keyExists(RegRoot::LocalMachine, "Software\\Alias"));
    EXPECT_TRUE(m->keyExists(RegRoot::LocalMachine, "Software\\Target\\Sub"));

    // HKCR writes go where the key lives; deleting it there removes it from both hives.
    ASSERT_TRUE(
        m->setValue(RegRoot::ClassesRoot, ".txt", RegValue::fromString("PerceivedType", "text")));
    EXPECT_TRUE(m->value(RegRoot::CurrentUser, "Software\\Classes\\.txt", "PerceivedType"));
    ASSERT_TRUE(m->deleteKeyTree(RegRoot::ClassesRoot, ".txt"));
    EXPECT_FALSE(m->keyExists(RegRoot::LocalMachine, "Software\\Classes\\.txt"));
    EXPECT_FALSE(m->keyExists(RegRoot::CurrentUser, "Software\\Classes\\.txt"));
}

TEST_F(WinePrefixMachineTest, WritesPersistKeepABackupAndFollowTheDisk) {
    PrefixBuilder b(prefix());
    b.fresh();
    b.value("HKCU\\Software\\Acme", RegValue::fromString("Keep", "yes"));
    auto m = open(b);
    ASSERT_TRUE(m);
    const std::string original = testing::readFile(prefix() + "/user.reg");

    const std::vector<RegValue> written = {
        RegValue::fromString("Sz", "\xD0\x9F\xD1\x80\xD0\xB8 \"q\" \\"),
        RegValue::fromString("Expand", "%TEMP%\\x", RegType::ExpandSz),
        RegValue::fromMultiString("Multi", {"a", "b"}),
        RegValue::fromDword("Dword", 0xDEADBEEF),
        RegValue::fromQword("Qword", 0x0123456789ABCDEFULL),
        RegValue::fromBinary("Bin", std::vector<uint8_t>(100, 0xAB)),
    };
    for (const RegValue& v : written) {
        ASSERT_TRUE(m->setValue(RegRoot::CurrentUser, "Software\\Acme\\New", v));
    }
    ASSERT_TRUE(m->deleteValue(RegRoot::CurrentUser, "Software\\Acme", "Keep"));
    EXPECT_FALSE(m->deleteValue(RegRoot::CurrentUser, "Software\\Acme", "Keep"));
    EXPECT_FALSE(m->deleteKeyTree(RegRoot::CurrentUser, "Software\\NoSuchKey"));

    // A second machine reading the files sees every value as it was written.
    std::string error;
    auto again = WinePrefixMachine::open(prefix(), &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(*again->values(RegRoot::CurrentUser, "Software\\Acme\\New"), written);
    EXPECT_FALSE(again->value(RegRoot::CurrentUser, "Software\\Acme", "Keep"));
    EXPECT_TRUE(testing::readFile(prefix() + "/user.reg.tidora-backup") == original);

    // A change made on disk by someone else is seen by the next read.
    ASSERT_TRUE(
        again->setValue(RegRoot::CurrentUser, "Software\\Acme", RegValue::fromDword("X", 5)));
    EXPECT_EQ(m->value(RegRoot::CurrentUser, "Software\\Acme", "X")->dword(), 5u);
}

TEST_F(WinePrefixMachineTest, RegistryChangesAreRefusedWhileTheWineserverRuns) {
    PrefixBuilder b(prefix());
    b.fresh();
    b.value("HKCU\\Software\\Acme", RegValue::fromString("Keep", "yes"));
    auto m = open(b);
    ASSERT_TRUE(m);
    const std::string before = testing::readFile(prefix() + "/user.reg");
    {
        testing::FakeWineserver server(prefix(), tmp_ / "servers");
        const OpResult allowed = m->canWriteRegistry();
        EXPECT_FALSE(allowed);
        EXPECT_NE(allowed.error().find("wineserver"), std::string::npos);
        EXPECT_FALSE(
            m->setValue(RegRoot::CurrentUser, "Software\\Acme", RegValue::fromDword("N", 1)));
        EXPECT_FALSE(m->deleteValue(RegRoot::CurrentUser, "Software\\Acme", "Keep"));
        EXPECT_FALSE(m->deleteKeyTree(RegRoot::CurrentUser, "Software\\Acme"));
        EXPECT_FALSE(m->createKey(RegRoot::CurrentUser, "Software\\Other"));
        EXPECT_TRUE(testing::readFile(prefix() + "/user.reg") == before);
        EXPECT_FALSE(std::filesystem::exists(prefix() + "/user.reg.tidora-backup"));
        EXPECT_EQ(m->value(RegRoot::CurrentUser, "Software\\Acme", "Keep")->text(), "yes");
    }
    EXPECT_TRUE(m->canWriteRegistry());
    EXPECT_TRUE(m->deleteValue(RegRoot::CurrentUser, "Software\\Acme", "Keep"));
}

TEST_F(WinePrefixMachineTest, DrivesAndTheirTypes) {
    std::filesystem::create_directories(tmp_ / "cd");
    PrefixBuilder b(prefix());
    b.fresh().drive('d', tmp_ / "cd", "cdrom").drive('n', tmp_ / "nowhere", "");
    auto m = open(b);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->logicalDrives(), (std::vector<char>{'C', 'D', 'N', 'Z'}));
    EXPECT_EQ(m->driveType("C:\\"), DriveType::Fixed);
    EXPECT_EQ(m->driveType("d:\\setup.exe"), DriveType::CdRom);
    EXPECT_EQ(m->driveType("N:\\"), DriveType::NoRootDir);  // the link points at nothing
    EXPECT_EQ(m->driveType("Q:\\"), DriveType::NoRootDir);
    EXPECT_EQ(m->driveType("relative\\path"), DriveType::NoRootDir);
    EXPECT_TRUE(m->diskSpace("C:\\").has_value());
}

TEST_F(WinePrefixMachineTest, LocalPathsAndNewFolders) {
    PrefixBuilder b(prefix());
    b.user("anna").fresh();
    auto m = open(b);
    ASSERT_TRUE(m);
    const std::string appData = m->specialFolder(26);
    const auto canonical = [](const std::optional<std::string>& path) {
        return std::filesystem::weakly_canonical(path.value_or("")).string();
    };
    EXPECT_EQ(canonical(m->localPath(appData)), b.unixPath(appData));
    // Folders match case-insensitively; a missing last part is appended as given.
    EXPECT_EQ(canonical(m->localPath("c:\\USERS\\Anna\\appdata\\roaming\\tidora")),
              b.unixPath(appData) + "/tidora");
    EXPECT_FALSE(m->localPath("relative\\tidora"));

    ASSERT_TRUE(m->createFolder(appData + "\\tidora"));
    EXPECT_TRUE(std::filesystem::is_directory(b.unixPath(appData) + "/tidora"));
    EXPECT_TRUE(m->createFolder(appData + "\\TIDORA"));  // exists already, in another case
    EXPECT_FALSE(m->createFolder(appData + "\\no\\such\\parent"));
    EXPECT_FALSE(m->createFolder("\\\\server\\share\\x"));
}

TEST_F(WinePrefixMachineTest, OpeningSomethingThatIsNotAPrefixSaysWhy) {
    std::string error;
    EXPECT_FALSE(WinePrefixMachine::open(tmp_ / "missing", &error));
    EXPECT_NE(error.find("no such folder"), std::string::npos) << error;

    std::filesystem::create_directories(tmp_ / "empty");
    EXPECT_FALSE(WinePrefixMachine::open(tmp_ / "empty", &error));
    EXPECT_NE(error.find("not a Wine prefix"), std::string::npos) << error;

    PrefixBuilder b(prefix());
    b.fresh().write();
    testing::writeFile(prefix() + "/system.reg", "garbage\n");
    EXPECT_FALSE(WinePrefixMachine::open(prefix(), &error));
    EXPECT_NE(error.find("system.reg"), std::string::npos) << error;
}

}  // namespace
}  // namespace tidora::platform::winepfx

namespace tidora::platform::winepfx {
namespace {

TEST(WinePrefixFonts, FontFoldersIncludeWinesOwnWhenItIsThere) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.fresh().write();
    WinePrefixOptions options;
    options.wineFontFolders = {tmp / "no-such-folder", tmp / "wine/fonts"};
    std::filesystem::create_directories(tmp / "wine/fonts");
    std::string error;
    const auto machine = WinePrefixMachine::open(b.prefixDir(), &error, options);
    ASSERT_TRUE(machine) << error;
    const auto folders = machine->fontFolders();
    ASSERT_TRUE(folders);
    ASSERT_EQ(folders->size(), 2u);
    EXPECT_EQ((*folders)[0], "C:\\windows\\Fonts");
    EXPECT_EQ((*folders)[1], "Z:" + std::regex_replace(tmp / "wine\\fonts", std::regex("/"), "\\"));

    // Without Wine's folder the fonts a bare name may stand for are not all known.
    options.wineFontFolders = {tmp / "no-such-folder"};
    EXPECT_FALSE(WinePrefixMachine::open(b.prefixDir(), &error, options)->fontFolders());
}

}  // namespace
}  // namespace tidora::platform::winepfx
