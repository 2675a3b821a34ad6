#include "platform/winepfx/path_resolver.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "fixtures/temp_dir.h"
#include "platform/winepfx/windows_path.h"

namespace tidora::platform::winepfx {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::writeFile;

class PathResolverTest : public ::testing::Test {
protected:
    PathResolverTest() : prefix(dir / "pfx"), resolver(prefix + "/") {
        fs::create_directories(prefix + "/drive_c");
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
    }

    PathResolver::Resolved resolve(const std::string& windowsPath) const {
        std::string error;
        const auto parsed = parseWindowsPath(windowsPath, &error);
        EXPECT_TRUE(parsed) << error;
        return parsed ? resolver.resolve(*parsed) : PathResolver::Resolved{};
    }

    std::string driveC(const std::string& relative) const {
        return prefix + "/dosdevices/c:/" + relative;
    }

    TempDir dir;
    std::string prefix;
    PathResolver resolver;
};

TEST_F(PathResolverTest, FindsDrivesInDosdevices) {
    fs::create_directories(dir / "media");
    fs::create_directory_symlink(dir / "media", prefix + "/dosdevices/e:");
    fs::create_symlink("/dev/null", prefix + "/dosdevices/com1");
    fs::create_symlink(dir / "gone", prefix + "/dosdevices/x:");
    EXPECT_EQ(resolver.drives(), (std::vector<char>{'c', 'e', 'x'}));
    EXPECT_EQ(resolver.driveRoot('C'), prefix + "/dosdevices/c:");
    EXPECT_EQ(resolver.driveRoot('x'), prefix + "/dosdevices/x:");
    EXPECT_FALSE(resolver.driveRoot('d'));
    EXPECT_FALSE(resolver.driveRoot('1'));
    EXPECT_TRUE(resolve("C:\\").exists);
    EXPECT_FALSE(resolve("X:\\").exists);  // the drive's folder is missing
    EXPECT_EQ(resolve("D:\\a\\b"), (PathResolver::Resolved{prefix + "/dosdevices/d:/a/b", false}));
}

TEST_F(PathResolverTest, MatchesComponentsCaseInsensitively) {
    fs::create_directories(driveC("Windows/System32/drivers"));
    writeFile(
        driveC("users/\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0/Temp/\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.TXT"),
        "x");
    fs::create_directories(driveC("Same/temp"));
    fs::create_directories(driveC("Same/Temp"));
    fs::create_directories(driveC("Same/tEMP"));
    struct Case {
        const char* windowsPath;
        const char* unixRelative;
        bool exists;
    };
    const Case cases[] = {
        {"C:\\WINDOWS\\system32\\DRIVERS", "Windows/System32/drivers", true},
        {"c:\\USERS\\\xD0\xB0\xD0\x9D\xD0\x9D\xD0\x90\\temp\\\xD1\x84\xD0\x90\xD0\x99\xD0\xBB.txt",
         "users/\xD0\x90\xD0\xBD\xD0\xBD\xD0\xB0/Temp/\xD0\xA4\xD0\xB0\xD0\xB9\xD0\xBB.TXT", true},
        {"C:\\windows\\NoSuch\\Deeper", "Windows/NoSuch/Deeper", false},
        {"C:\\windows\\system32\\drivers\\etc", "Windows/System32/drivers/etc", false},
        {"C:\\same\\Temp", "Same/Temp", true},
        {"C:\\same\\temp", "Same/temp", true},
        {"C:\\same\\TEMP", "Same/Temp", true},  // no exact name: the same one every time
    };
    for (const auto& c : cases) {
        const PathResolver::Resolved resolved = resolve(c.windowsPath);
        EXPECT_EQ(resolved.unixPath, driveC(c.unixRelative)) << c.windowsPath;
        EXPECT_EQ(resolved.exists, c.exists) << c.windowsPath;
    }
}

TEST_F(PathResolverTest, SeesNamesCreatedAfterALookup) {
    fs::create_directories(driveC("Data"));
    struct stat before {};
    ASSERT_EQ(stat(driveC("Data").c_str(), &before), 0);
    EXPECT_FALSE(resolve("C:\\DATA\\REPORT.TXT").exists);
    writeFile(driveC("Data/Report.txt"), "x");
    // A coarse file-system clock can leave the folder's mtime as it was at the first listing.
    const timespec sameTimes[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, driveC("Data").c_str(), sameTimes, 0), 0);
    EXPECT_EQ(resolve("C:\\DATA\\REPORT.TXT").unixPath, driveC("Data/Report.txt"));

    EXPECT_FALSE(resolve("C:\\data\\NEW\\x").exists);
    fs::create_directories(driveC("Data/new"));
    writeFile(driveC("Data/new/X"), "x");
    const PathResolver::Resolved resolved = resolve("C:\\data\\NEW\\x");
    EXPECT_EQ(resolved.unixPath, driveC("Data/new/X"));
    EXPECT_TRUE(resolved.exists);
}

TEST_F(PathResolverTest, ResolvesFromSeveralThreads) {
    fs::create_directories(driveC("Shared"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([this, t] {
            for (int i = 0; i < 100; ++i) {
                const std::string name = "f" + std::to_string(t) + "_" + std::to_string(i);
                writeFile(driveC("Shared/" + name), "x");
                const std::string upper = "C:\\SHARED\\F" + name.substr(1);
                EXPECT_EQ(resolve(upper).unixPath, driveC("Shared/" + name));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
}

}  // namespace
}  // namespace tidora::platform::winepfx
