#include "frame/service_info.h"

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::frame {
namespace {

TEST(ServiceInfo, VersionComparisons) {
    struct Case {
        const char* own;
        const char* other;
        bool newer;
    };
    const Case cases[] = {
        {"1.2.3", "1.2.10", true}, {"1.2.3", "1.2", false},    {"1.3", "1.2.9", false},
        {"1.2.3", "1.2.3", false}, {"1.2.3", "2", true},       {"1.9", "1.10", true},
        {"1.2.x", "1.2.1", true},  {"1.2", "1.2abc.0", false}, {"", "", false},
        {"1.-5", "1.2", false},    {"2.0", "10.0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNewerVersion(c.own, c.other), c.newer) << c.own << " vs " << c.other;
    }
}

TEST(ServiceInfo, VersionTextsAndFileVersions) {
    const FileVersion v{2, 0, 5, 17};
    EXPECT_EQ(GetFileVersionString(v, 4, "."), "2.0.5.17");
    EXPECT_EQ(GetFileVersionString(v, 3, "."), "2.0.5");
    EXPECT_EQ(GetFileVersionString(v, 1, "."), "2");
    EXPECT_EQ(GetFileVersionString(v, 2, ", "), "2, 0");

    const FileVersionReader reader = [](const std::string& file) -> std::optional<FileVersion> {
        if (file == "C:\\app.exe") {
            return FileVersion{1, 2, 3, 4};
        }
        return std::nullopt;
    };
    EXPECT_EQ(wa_GetFileVersion(reader, "C:\\app.exe").build, 4);
    try {
        wa_GetFileVersion(reader, "C:\\none.dll");
        FAIL() << "no exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(),
                     "wa_GetFileVersion - Can't get file version information for C:\\none.dll");
    }
}

TEST(ServiceInfo, FactsOfTheProgramAndTheMachine) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.user("olga").windowsVersion(10, 0, 19045, "Windows 10 Pro").fresh();
    const auto machine = b.openMachine();

    const TFMServiceClass info(*machine, "/opt/tidora/tidora", "tidora");
    const FileVersion build = programVersion();
    EXPECT_EQ(info.appVersionStr(), GetFileVersionString(build, 3, "."));
    EXPECT_EQ(info.GetAppVersionString(4), GetFileVersionString(build, 4, "."));
    EXPECT_EQ(info.GetAppVersionString(0), info.appVersionStr());
    EXPECT_EQ(info.appVersionAbb(), std::to_string(build.major) + std::to_string(build.minor) +
                                        std::to_string(build.release));
    EXPECT_EQ(info.appVersionCode3(), build.major * 1000000 + build.minor * 1000 + build.release);
    EXPECT_FALSE(info.VerifyAppVersion(""));
    EXPECT_FALSE(info.VerifyAppVersion(info.appVersionStr()));
    EXPECT_TRUE(info.VerifyAppVersion(std::to_string(build.major + 1) + ".0"));

    EXPECT_TRUE(info.Is64());
    EXPECT_EQ(info.strX(), "x64");
    EXPECT_EQ(info.OS(), "Windows 10 Pro");
    EXPECT_EQ(info.DevInfoDesc(), "PC,LINUX64,Windows 10 Pro");
    EXPECT_EQ(info.UserName(), "olga");
    EXPECT_EQ(info.UserCatType(), 2);  // Wine runs programs elevated
    EXPECT_EQ(info.UserCategoryAbb(), "admin");
    EXPECT_EQ(info.UserCatName(), "USER:olga cat:admin");
    EXPECT_EQ(GetWindowsVersionCode(*machine), 10);
    EXPECT_EQ(GetPlatformName(0), "LINUX");
    EXPECT_EQ(GetPlatformName(2), "");
}

}  // namespace
}  // namespace tidora::frame
