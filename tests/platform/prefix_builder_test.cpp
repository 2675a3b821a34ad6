#include "fixtures/prefix_builder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <stdexcept>

#include "fixtures/temp_dir.h"

namespace tidora::testing {
namespace {

namespace fs = std::filesystem;
using platform::RegValue;
using namespace std::string_literals;

std::vector<uint8_t> utf16le(std::u16string_view text) {
    std::vector<uint8_t> bytes;
    for (const char16_t c : text) {
        bytes.push_back(static_cast<uint8_t>(c & 0xFF));
        bytes.push_back(static_cast<uint8_t>(c >> 8));
    }
    return bytes;
}

// The value lines of a key in hive text, or "missing".
std::string valuesOf(const std::string& hive, const std::string& escapedKeyPath) {
    const size_t key = hive.find("\n[" + escapedKeyPath + "] ");
    if (key == std::string::npos) {
        return "missing";
    }
    const size_t timeLine = hive.find('\n', key + 1);
    const size_t values = hive.find('\n', timeLine + 1) + 1;
    const size_t end = hive.find("\n\n", values - 1);
    return hive.substr(values, end == std::string::npos ? std::string::npos : end + 1 - values);
}

TEST(PrefixBuilder, HivesAreWhatWineWrites) {
    TempDir tmp;
    PrefixBuilder builder(tmp / "pfx");
    const std::string test = "HKCU\\Software\\Тест [1]";
    // Added out of Wine's order: names sort by lower case, so "_" comes before "b".
    builder.value(test, RegValue::fromString("Имя", "Привет1"))
        .value(test, RegValue::fromString("Control",
                                          "a\tb\x01"
                                          "7\x1b\x02x"))
        .value(test, RegValue::fromBinary("Short", {1, 2, 3}, platform::RegType::Dword))
        .value(test, RegValue::fromBinary("odd", {'a', 0}, platform::RegType::Sz))
        .value(test, RegValue::fromMultiString("List", {"a", "b"}))
        .value(test,
               RegValue::fromString("Path", "%USERPROFILE%\\AppData", platform::RegType::ExpandSz))
        .value(test,
               RegValue::fromBinary("HardwareId", utf16le(u"root\\winebus\0\0C:\\windows\\inf"s),
                                    platform::RegType::MultiSz))
        .value(test, RegValue::fromDword("Count", 0x1234abcd))
        .value(test, RegValue::fromBinary("Nothing", {}, platform::RegType::None))
        .value(test, RegValue::fromQword("Big", 0x0102030405060708))
        .value(test, RegValue::fromBinary("Blob", {1, 2, 0xff}))
        .value(test, RegValue::fromString("", "say \"hi\"\\ok"))
        .key("HKCU\\Software\\Ab")
        .key("HKEY_CURRENT_USER\\Software\\A_b")
        .key("HKCU\\Control Panel\\International")
        .value(
            "HKCU\\Control Panel\\International\\\xF0\x9F\x8C\x8E\xF0\x9F\x8C\x8F\xF0\x9F\x8C\x8D",
            RegValue::fromString("Currencies", "USD"))
        .keyTime(
            "HKCU\\Control Panel\\International\\\xF0\x9F\x8C\x8E\xF0\x9F\x8C\x8F\xF0\x9F\x8C\x8D",
            0x1dd895fcfe3d14e)
        .value("HKCU\\Control Panel\\International\\Geo", RegValue::fromString("Nation", "244"))
        .value("HKCU\\Control Panel\\International\\Geo", RegValue::fromString("Name", "US"))
        .keyTime("HKCU\\Control Panel\\International\\Geo", 0x1dd895fcfe41c12)
        .key("HKLM\\Software\\Wow6432Node")
        .linkKey("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                 "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths")
        .keyTime("HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                 0x1dd895fd0116a6e)
        .write();

    // The Control Panel keys, the HardwareId value and the link key are copied from hives
    // written by Wine 8.
    EXPECT_EQ(readFile(tmp / "pfx/user.reg"), R"(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\User\\S-1-5-21-0-0-0-1000

#arch=win64

[Control Panel\\International\\Geo] 1796987249
#time=1dd895fcfe41c12
"Name"="US"
"Nation"="244"

[Control Panel\\International\\\xd83c\xdf0e\xd83c\xdf0f\xd83c\xdf0d] 1796987249
#time=1dd895fcfe3d14e
"Currencies"="USD"

[Software\\A_b] 1700000000
#time=1da1747c67fd687

[Software\\Ab] 1700000000
#time=1da1747c67fd687

[Software\\\x422\x435\x441\x442 \[1\]] 1700000000
#time=1da1747c67fd687
@="say \"hi\"\\ok"
"Big"=hex(b):08,07,06,05,04,03,02,01
"Blob"=hex:01,02,ff
"Control"="a\tb\0017\e\2x"
"Count"=dword:1234abcd
"HardwareId"=hex(7):72,00,6f,00,6f,00,74,00,5c,00,77,00,69,00,6e,00,65,00,62,\
  00,75,00,73,00,00,00,00,00,43,00,3a,00,5c,00,77,00,69,00,6e,00,64,00,6f,00,\
  77,00,73,00,5c,00,69,00,6e,00,66,00
"List"=str(7):"a\0b\0"
"Nothing"=hex(0):
"odd"=hex(1):61,00
"Path"=str(2):"%USERPROFILE%\\AppData"
"Short"=hex(4):01,02,03
"\x418\x43c\x44f"="\x41f\x440\x438\x432\x435\x04421"
)");
    EXPECT_EQ(readFile(tmp / "pfx/system.reg"), R"(WINE REGISTRY Version 2
;; All keys relative to REGISTRY\\Machine

#arch=win64

[Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths] 1796987249
#time=1dd895fd0116a6e
#link
"SymbolicLinkValue"=hex(6):5c,00,52,00,65,00,67,00,69,00,73,00,74,00,72,00,79,\
  00,5c,00,4d,00,61,00,63,00,68,00,69,00,6e,00,65,00,5c,00,53,00,6f,00,66,00,\
  74,00,77,00,61,00,72,00,65,00,5c,00,4d,00,69,00,63,00,72,00,6f,00,73,00,6f,\
  00,66,00,74,00,5c,00,57,00,69,00,6e,00,64,00,6f,00,77,00,73,00,5c,00,43,00,\
  75,00,72,00,72,00,65,00,6e,00,74,00,56,00,65,00,72,00,73,00,69,00,6f,00,6e,\
  00,5c,00,41,00,70,00,70,00,20,00,50,00,61,00,74,00,68,00,73,00
)");
}

TEST(PrefixBuilder, EmptyHivesNameTheirRootAndArch) {
    TempDir tmp;
    PrefixBuilder(tmp / "pfx").win64(false).write();
    const struct {
        const char* file;
        const char* root;
    } cases[] = {
        {"system.reg", R"(REGISTRY\\Machine)"},
        {"user.reg", R"(REGISTRY\\User\\S-1-5-21-0-0-0-1000)"},
        {"userdef.reg", R"(REGISTRY\\User\\.Default)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(
            readFile(tmp / "pfx/" + c.file),
            "WINE REGISTRY Version 2\n;; All keys relative to "s + c.root + "\n\n#arch=win32\n")
            << c.file;
    }
}

TEST(PrefixBuilder, FreshPrefixHasWinesLayout) {
    const struct {
        bool win64;
        std::string user;
        std::string escapedUser;  // as the hives write it
    } configs[] = {
        {true, "anna", "anna"},
        {false, "Борис", R"(\x411\x43e\x440\x438\x441)"},
    };
    for (const auto& config : configs) {
        SCOPED_TRACE(config.user);
        TempDir tmp;
        PrefixBuilder(tmp / "pfx").user(config.user).win64(config.win64).fresh().write();
        const std::string pfx = tmp / "pfx";
        const std::string profile = pfx + "/drive_c/users/" + config.user;

        EXPECT_EQ(fs::read_symlink(pfx + "/dosdevices/c:"), "../drive_c");
        EXPECT_EQ(fs::read_symlink(pfx + "/dosdevices/z:"), "/");
        for (const char* linked : {"Desktop", "Documents", "Downloads", "Music", "Pictures",
                                   "Videos", "AppData/Roaming/Microsoft/Windows/Templates"}) {
            EXPECT_EQ(fs::read_symlink(profile + "/" + linked), pfx + "/host-home") << linked;
        }
        for (const std::string& folder :
             {pfx + "/host-home", pfx + "/drive_c/windows/system32", pfx + "/drive_c/windows/temp",
              pfx + "/drive_c/windows/Fonts", pfx + "/drive_c/Program Files/Common Files",
              pfx + "/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/StartUp",
              pfx + "/drive_c/users/Public/Desktop", profile + "/Temp",
              profile + "/AppData/Local/Microsoft/Windows/INetCache", profile + "/AppData/LocalLow",
              profile + "/AppData/Roaming/Microsoft/Windows/Recent", profile + "/Saved Games"}) {
            EXPECT_TRUE(fs::is_directory(fs::symlink_status(folder))) << folder;
        }
        EXPECT_TRUE(fs::is_regular_file(pfx + "/drive_c/windows/notepad.exe"));
        EXPECT_EQ(fs::exists(pfx + "/drive_c/windows/syswow64"), config.win64);
        EXPECT_EQ(fs::exists(pfx + "/drive_c/Program Files (x86)"), config.win64);

        const std::string system = readFile(pfx + "/system.reg");
        const std::string user = readFile(pfx + "/user.reg");
        const std::string userdef = readFile(pfx + "/userdef.reg");
        const std::string& u = config.escapedUser;
        const struct {
            const std::string& hive;
            std::string line;
            bool present;
        } lines[] = {
            {system, config.win64 ? "#arch=win64" : "#arch=win32", true},
            {system, R"("ProfileImagePath"="C:\\users\\)" + u + R"(")", true},
            {system, R"("Common Desktop"=str(2):"%PUBLIC%\\Desktop")", true},
            {system, R"("Common AppData"="C:\\ProgramData")", true},
            {system, R"("TEMP"=str(2):"%SystemRoot%\\temp")", true},
            {system, R"x("ProgramFilesDir (x86)"="C:\\Program Files (x86)")x", config.win64},
            {user, R"("TEMP"="C:\\users\\)" + u + R"(\\Temp")", true},
            {user, R"("USERPROFILE"="C:\\users\\)" + u + R"(")", true},
            {user, R"("Personal"=str(2):"%USERPROFILE%\\Documents")", true},
            {user, R"("Fonts"="C:\\windows\\Fonts")", true},
            {userdef, R"("Personal"="C:\\users\\)" + u + R"(\\Documents")", true},
            {system, "[Software\\\\Wine\\\\Drives]", false},
        };
        for (const auto& l : lines) {
            EXPECT_EQ(l.hive.find("\n" + l.line) != std::string::npos, l.present) << l.line;
        }
    }
}

TEST(PrefixBuilder, WindowsVersionValues) {
    const std::string type = R"("CurrentType"="Uniprocessor Free"
)";
    const std::string install = R"("InstallDate"=dword:4be5019a
"ProductId"="12345-oem-0000001-54321"
)";
    const std::string owner = R"("RegisteredOrganization"=""
"RegisteredOwner"=""
"SystemRoot"="C:\\windows"
)";
    const struct {
        const char* name;
        std::function<void(PrefixBuilder&)> build;
        std::string values;
    } cases[] =
        {
            {"Wine's default", [](PrefixBuilder& b) { b.fresh(); },
             R"("CSDVersion"="Service Pack 1"
"CurrentBuild"="7601"
"CurrentBuildNumber"="7601"
)" + type + R"("CurrentVersion"="6.1"
)" + install + R"("ProductName"="Microsoft Windows 7"
)" + owner},
            {"Windows 10 before fresh()",
             [](PrefixBuilder& b) { b.windowsVersion(10, 0, 19045, "Windows 10 Pro").fresh(); },
             R"("CurrentBuild"="19045"
"CurrentBuildNumber"="19045"
"CurrentMajorVersionNumber"=dword:0000000a
"CurrentMinorVersionNumber"=dword:00000000
)" + type + R"("CurrentVersion"="6.3"
)" + install + R"("ProductName"="Windows 10 Pro"
)" + owner},
            {"back to 8.1 after fresh()",
             [](PrefixBuilder& b) {
                 b.windowsVersion(10, 0, 19045, "Windows 10 Pro")
                     .fresh()
                     .windowsVersion(6, 3, 9600, "Windows 8.1");
             },
             R"("CurrentBuild"="9600"
"CurrentBuildNumber"="9600"
)" + type + R"("CurrentVersion"="6.3"
)" + install + R"("ProductName"="Windows 8.1"
)" + owner},
        };
    for (const auto& c : cases) {
        TempDir tmp;
        PrefixBuilder builder(tmp / "pfx");
        c.build(builder);
        builder.write();
        EXPECT_EQ(valuesOf(readFile(tmp / "pfx/system.reg"),
                           R"(Software\\Microsoft\\Windows NT\\CurrentVersion)"),
                  c.values)
            << c.name;
    }
}

TEST(PrefixBuilder, PathsResolveCaseInsensitivelyAsInWine) {
    TempDir tmp;
    const platform::FileTime when = platform::fileTimeFromUnix(1600000000, 500000000);
    PrefixBuilder builder(tmp / "pfx");
    builder.fresh()
        .file("C:\\Windows\\TEMP\\setup.log", "log", when)
        .file("c:/USERS/ANNA/temp/~a.tmp")
        .file("C:\\users\\anna\\Desktop\\Game.lnk", "shortcut")
        .folder("C:\\users\\anna\\AppData\\Local\\CrashDumps")
        .link("C:\\users\\anna\\Temp\\away", "/nonexistent/target")
        .drive('D', "/mnt/cdrom", "cdrom")
        .write();
    const std::string pfx = tmp / "pfx";

    const struct {
        const char* windows;
        const char* unix;
    } paths[] = {
        {"C:\\Windows\\TEMP\\setup.log", "/drive_c/windows/temp/setup.log"},
        {"c:/USERS/ANNA/temp/~a.tmp", "/drive_c/users/anna/Temp/~a.tmp"},
        {"C:\\PROGRAM FILES (X86)\\New App", "/drive_c/Program Files (x86)/New App"},
        {"C:\\", "/drive_c"},
    };
    for (const auto& p : paths) {
        EXPECT_EQ(builder.unixPath(p.windows), pfx + p.unix) << p.windows;
    }
    EXPECT_EQ(readFile(pfx + "/drive_c/windows/temp/setup.log"), "log");
    struct stat st {};
    ASSERT_EQ(stat((pfx + "/drive_c/windows/temp/setup.log").c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, 1600000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 500000000);
    EXPECT_EQ(readFile(pfx + "/host-home/Game.lnk"), "shortcut");  // through the Desktop link
    EXPECT_TRUE(fs::is_directory(pfx + "/drive_c/users/anna/AppData/Local/CrashDumps"));
    EXPECT_EQ(fs::read_symlink(pfx + "/drive_c/users/anna/Temp/away"), "/nonexistent/target");
    EXPECT_EQ(fs::read_symlink(pfx + "/dosdevices/d:"), "/mnt/cdrom");
    EXPECT_EQ(valuesOf(readFile(pfx + "/system.reg"), R"(Software\\Wine\\Drives)"),
              "\"d:\"=\"cdrom\"\n");
}

TEST(PrefixBuilder, EditsKeepWindowsSpellingAndRemoveWholeTrees) {
    TempDir tmp;
    PrefixBuilder(tmp / "pfx")
        .fresh()
        .value("HKCU\\environment", RegValue::fromString("temp", "D:\\t"))
        .removeValue("HKCU\\Environment", "TMP")
        .key("hkcu\\SOFTWARE\\microsoft\\New")
        .removeKey("HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList")
        .write();
    const std::string user = readFile(tmp / "pfx/user.reg");
    const std::string system = readFile(tmp / "pfx/system.reg");
    EXPECT_EQ(valuesOf(user, "Environment"), "\"TEMP\"=\"D:\\\\t\"\n");
    EXPECT_EQ(valuesOf(user, R"(Software\\Microsoft\\New)"), "");
    EXPECT_EQ(system.find("ProfileList"), std::string::npos);
    EXPECT_NE(valuesOf(system, R"(Software\\Microsoft\\Windows NT\\CurrentVersion)"), "missing");
}

TEST(PrefixBuilder, RejectsWhatItCannotBuild) {
    const struct {
        const char* name;
        std::function<void(PrefixBuilder&)> call;
    } badArguments[] = {
        {"another drive", [](PrefixBuilder& b) { b.file("D:\\x"); }},
        {"drive-relative", [](PrefixBuilder& b) { b.file("C:x"); }},
        {"relative", [](PrefixBuilder& b) { b.folder("users\\anna"); }},
        {"dot-dot", [](PrefixBuilder& b) { b.file("C:\\windows\\..\\..\\etc\\passwd"); }},
        {"merged root", [](PrefixBuilder& b) { b.key("HKCR\\.txt"); }},
        {"unknown user", [](PrefixBuilder& b) { b.key("HKU\\S-1-5-18\\Software"); }},
        {"drive C", [](PrefixBuilder& b) { b.drive('c', "/", "hd"); }},
        {"not a letter", [](PrefixBuilder& b) { b.drive('1', "/", "hd"); }},
        {"user with a separator", [](PrefixBuilder& b) { b.user("a\\b"); }},
    };
    TempDir tmp;
    for (const auto& c : badArguments) {
        PrefixBuilder builder(tmp / "pfx");
        EXPECT_THROW(c.call(builder), std::invalid_argument) << c.name;
    }
    PrefixBuilder builder(tmp / "pfx");
    builder.fresh();
    EXPECT_THROW(builder.user("bob"), std::logic_error);
    EXPECT_THROW(builder.win64(false), std::logic_error);
}

}  // namespace
}  // namespace tidora::testing
