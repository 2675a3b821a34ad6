#include "platform/winepfx/wine_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "fixtures/temp_dir.h"
#include "platform/reg_types.h"
#include "platform/winepfx/windows_path.h"

namespace tidora::platform::winepfx {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;
using testing::writeFile;

class WineFilesTest : public ::testing::Test {
protected:
    WineFilesTest() : prefix(dir / "pfx"), resolver(prefix), files(resolver) {
        fs::create_directories(prefix + "/drive_c/temp");
        fs::create_directories(prefix + "/dosdevices");
        fs::create_directory_symlink("../drive_c", prefix + "/dosdevices/c:");
        fs::create_directories(dir / "outside");
    }

    std::string driveC(const std::string& relative) const {
        return prefix + "/drive_c/" + relative;
    }

    std::map<std::string, DirEntry> list(const std::string& folder, const std::string& mask) {
        std::map<std::string, DirEntry> entries;
        EXPECT_TRUE(files.listFolder(folder, mask, [&](const DirEntry& e) {
            entries[e.name] = e;
            return true;
        })) << folder;
        return entries;
    }

    static bool present(const std::string& unixPath) {
        struct stat st {};
        return lstat(unixPath.c_str(), &st) == 0;
    }

    TempDir dir;
    std::string prefix;
    PathResolver resolver;
    WineFiles files;
};

TEST_F(WineFilesTest, ListsEntriesWithWindowsAttributes) {
    writeFile(driveC("temp/file.txt"), "12345");
    writeFile(driveC("temp/.hidden"), "");
    writeFile(driveC("temp/ro.txt"), "r");
    fs::permissions(driveC("temp/ro.txt"), fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directories(driveC("temp/sub"));
    fs::create_directory_symlink("sub", driveC("temp/dirlink"));
    fs::create_symlink("file.txt", driveC("temp/filelink"));
    fs::create_symlink("nowhere", driveC("temp/dangling"));
    const timespec times[2] = {{1600000000, 0}, {1700000000, 500}};
    ASSERT_EQ(utimensat(AT_FDCWD, driveC("temp/file.txt").c_str(), times, 0), 0);

    const auto entries = list("C:\\TEMP", "*");
    struct Expected {
        const char* name;
        uint32_t attributes;
        uint64_t size;
    };
    const Expected expected[] = {
        {"file.txt", FileAttr::Archive, 5},
        {".hidden", FileAttr::Hidden | FileAttr::Archive, 0},
        {"ro.txt", FileAttr::ReadOnly | FileAttr::Archive, 1},
        {"sub", FileAttr::Directory, 0},
        {"dirlink", FileAttr::ReparsePoint | FileAttr::Directory, 0},
        {"filelink", FileAttr::ReparsePoint, 0},
        {"dangling", FileAttr::ReparsePoint, 0},
    };
    ASSERT_EQ(entries.size(), std::size(expected));
    for (const auto& e : expected) {
        ASSERT_TRUE(entries.count(e.name)) << e.name;
        EXPECT_EQ(entries.at(e.name).attributes, e.attributes) << e.name;
        EXPECT_EQ(entries.at(e.name).size, e.size) << e.name;
    }
    const DirEntry& file = entries.at("file.txt");
    EXPECT_EQ(file.lastAccessTime, fileTimeFromUnix(1600000000));
    EXPECT_EQ(file.lastWriteTime, fileTimeFromUnix(1700000000, 500));
    EXPECT_GT(file.creationTime, fileTimeFromUnix(1700000000));
}

TEST_F(WineFilesTest, ListsByMaskAndStopsWhenAsked) {
    writeFile(driveC("temp/a.log"), "");
    writeFile(driveC("temp/B.LOG"), "");
    writeFile(driveC("temp/c.txt"), "");
    writeFile(dir / "outside/home.txt", "");
    fs::create_directory_symlink(dir / "outside", driveC("temp/Desktop"));

    auto names = [](const std::map<std::string, DirEntry>& entries) {
        std::vector<std::string> out;
        for (const auto& [name, entry] : entries) {
            out.push_back(name);
        }
        return out;
    };
    EXPECT_EQ(names(list("c:/temp", "*.log")), (std::vector<std::string>{"B.LOG", "a.log"}));
    EXPECT_EQ(names(list("C:\\temp\\desktop", "*.*")), std::vector<std::string>{"home.txt"});

    int calls = 0;
    EXPECT_TRUE(files.listFolder("C:\\temp", "*", [&](const DirEntry&) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);

    const auto never = [](const DirEntry&) {
        ADD_FAILURE();
        return true;
    };
    for (const char* folder :
         {"C:\\missing", "C:\\temp\\c.txt", "temp", "\\\\server\\share", "Q:\\"}) {
        EXPECT_FALSE(files.listFolder(folder, "*", never)) << folder;
    }
}

TEST_F(WineFilesTest, StatDoesNotFollowTheFinalLink) {
    writeFile(driveC("temp/Report.TXT"), "abc");
    fs::create_directory_symlink(dir / "outside", driveC("temp/link"));
    fs::create_symlink("nowhere", driveC("temp/dangling"));

    const auto report = files.stat("C:\\TEMP\\report.txt");
    ASSERT_TRUE(report);
    EXPECT_EQ(report->name, "Report.TXT");
    EXPECT_EQ(report->size, 3u);
    const auto link = files.stat("C:\\temp\\LINK");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->attributes, FileAttr::ReparsePoint | FileAttr::Directory);
    const auto root = files.stat("C:\\");
    ASSERT_TRUE(root);
    EXPECT_TRUE(root->isDirectory());
    EXPECT_FALSE(root->isReparsePoint());

    EXPECT_TRUE(files.exists("c:/temp/dangling"));
    EXPECT_FALSE(files.stat("C:\\temp\\missing"));
    EXPECT_FALSE(files.exists("C:\\temp\\missing"));
    EXPECT_FALSE(files.exists("temp\\Report.TXT"));
    EXPECT_FALSE(files.stat("\\\\server\\share\\x"));
}

TEST_F(WineFilesTest, NeverDeletesThroughALinkBelowTheSearchFolder) {
    writeFile(dir / "outside/victim.txt", "keep");
    fs::create_directory_symlink(dir / "outside", driveC("temp/link"));

    for (const char* within : {"C:\\temp", ""}) {
        const OpResult result = files.deleteFile("C:\\temp\\link\\victim.txt", within);
        EXPECT_FALSE(result.ok()) << within;
        EXPECT_NE(result.error().find("C:\\temp\\link\\victim.txt"), std::string::npos);
        EXPECT_NE(result.error().find("symbolic link"), std::string::npos) << result.error();
    }
    EXPECT_TRUE(present(dir / "outside/victim.txt"));

    // A search folder that is itself a link is opened, but only its own entries go.
    writeFile(dir / "outside/junk.tmp", "");
    writeFile(dir / "outside/deeper/junk.tmp", "");
    EXPECT_TRUE(files.deleteFile("C:\\temp\\link\\junk.tmp", "C:\\temp\\link").ok());
    EXPECT_FALSE(present(dir / "outside/junk.tmp"));
    EXPECT_FALSE(files.deleteFile("C:\\temp\\link\\deeper\\junk.tmp", "C:\\temp\\link").ok());
    EXPECT_TRUE(present(dir / "outside/deeper/junk.tmp"));
}

TEST_F(WineFilesTest, FolderSwappedForALinkAfterResolutionDeletesNothing) {
    writeFile(driveC("temp/sub/x.txt"), "junk");
    ASSERT_TRUE(files.exists("C:\\TEMP\\SUB\\X.TXT"));
    ASSERT_TRUE(files.stat("C:\\temp\\sub\\x.txt"));

    fs::rename(driveC("temp/sub"), dir / "outside/sub");
    fs::create_directory_symlink(dir / "outside/sub", driveC("temp/sub"));

    EXPECT_FALSE(files.deleteFile("C:\\TEMP\\SUB\\X.TXT", "C:\\temp").ok());
    EXPECT_TRUE(present(dir / "outside/sub/x.txt"));
}

TEST_F(WineFilesTest, DeletingALinkRemovesOnlyTheLink) {
    writeFile(dir / "outside/target.txt", "keep");
    fs::create_symlink(dir / "outside/target.txt", driveC("temp/filelink"));
    fs::create_directory_symlink(dir / "outside", driveC("temp/dirlink"));

    EXPECT_TRUE(files.deleteFile("C:\\temp\\FileLink", "C:\\temp").ok());
    EXPECT_TRUE(files.deleteFile("C:\\temp\\dirlink", "C:\\temp").ok());
    EXPECT_FALSE(present(driveC("temp/filelink")));
    EXPECT_FALSE(present(driveC("temp/dirlink")));
    EXPECT_EQ(testing::readFile(dir / "outside/target.txt"), "keep");
}

TEST_F(WineFilesTest, OddUnixNamesRoundTripFromListingToDeletion) {
    writeFile(driveC("temp/bad\xFF.tmp"), "odd");
    writeFile(driveC("temp/bad.tmp"), "plain");
    writeFile(driveC("temp/a\\b"), "odd");
    writeFile(driveC("temp/a/b"), "nested");

    std::vector<std::string> odd;
    for (const auto& [name, entry] : list("C:\\temp", "*")) {
        if (name != "bad.tmp" && name != "a") {
            odd.push_back(name);
        }
    }
    // Stored as text (valid UTF-8 in the database), given back as text.
    ASSERT_EQ(odd, (std::vector<std::string>{"a\xEF\x81\x9C"
                                             "b",
                                             "bad\xEF\x9F\xBF.tmp"}));
    EXPECT_TRUE(list("C:\\temp", "*.tmp").count("bad\xEF\x9F\xBF.tmp"));
    for (const std::string& name : odd) {
        const std::string path = "C:\\temp\\" + name;
        ASSERT_TRUE(files.exists(path)) << path;
        EXPECT_TRUE(files.deleteFile(path, "C:\\temp").ok()) << path;
    }
    EXPECT_FALSE(present(driveC("temp/bad\xFF.tmp")));
    EXPECT_FALSE(present(driveC("temp/a\\b")));
    EXPECT_EQ(testing::readFile(driveC("temp/bad.tmp")), "plain");
    EXPECT_EQ(testing::readFile(driveC("temp/a/b")), "nested");
}

TEST_F(WineFilesTest, RefusesReadOnlyFilesAndFolders) {
    writeFile(driveC("temp/ro.txt"), "r");
    fs::permissions(driveC("temp/ro.txt"), fs::perms::owner_write, fs::perm_options::remove);
    fs::create_directories(driveC("temp/sub"));

    EXPECT_TRUE(files.stat("C:\\temp\\ro.txt")->attributes & FileAttr::ReadOnly);
    const OpResult readOnly = files.deleteFile("C:\\temp\\ro.txt", "C:\\temp");
    EXPECT_FALSE(readOnly.ok());
    EXPECT_NE(readOnly.error().find("read-only"), std::string::npos) << readOnly.error();
    const OpResult folder = files.deleteFile("C:\\temp\\sub", "C:\\temp");
    EXPECT_FALSE(folder.ok());
    EXPECT_NE(folder.error().find("folder"), std::string::npos) << folder.error();
    EXPECT_TRUE(present(driveC("temp/ro.txt")));
    EXPECT_TRUE(present(driveC("temp/sub")));
}

TEST_F(WineFilesTest, DeletesOnlyInsideTheSearchFolder) {
    // Every refused path ends in names that also exist inside the search folder.
    for (const char* name : {"x.txt", "y.txt", "sub/x.txt"}) {
        writeFile(driveC("temp/" + std::string(name)), "keep");
    }
    writeFile(driveC("other/x.txt"), "keep");
    writeFile(driveC("tempx/y.txt"), "keep");
    fs::create_directories(prefix + "/drive_d/temp");
    fs::create_directory_symlink("../drive_d", prefix + "/dosdevices/d:");
    writeFile(prefix + "/drive_d/temp/x.txt", "keep");

    struct Refused {
        const char* path;
        const char* within;
    };
    const Refused refused[] = {
        {"C:\\other\\x.txt", "C:\\temp"},
        {"C:\\temp\\..\\other\\x.txt", "C:\\temp"},
        {"C:\\tempx\\y.txt", "C:\\temp"},
        {"D:\\temp\\x.txt", "C:\\temp"},
        {"C:\\temp", "C:\\temp"},
        {"C:\\temp\\sub\\x.txt", "C:\\temp\\sub\\x.txt"},
        {"C:\\temp\\sub\\x.txt", "C:\\temp\\missing"},
        {"C:\\temp\\missing\\x.txt", "C:\\temp"},
        {"temp\\sub\\x.txt", "C:\\temp"},
        {"C:\\temp\\sub\\x.txt", "\\\\server\\share"},
        {"C:\\temp\\sub\\x.txt", "temp"},
    };
    for (const auto& r : refused) {
        const OpResult result = files.deleteFile(r.path, r.within);
        EXPECT_FALSE(result.ok()) << r.path << " in " << r.within;
        EXPECT_NE(result.error().find(r.path), std::string::npos) << result.error();
    }
    for (const std::string& kept :
         {driveC("temp/x.txt"), driveC("temp/y.txt"), driveC("temp/sub/x.txt"),
          driveC("other/x.txt"), driveC("tempx/y.txt"), prefix + "/drive_d/temp/x.txt"}) {
        EXPECT_TRUE(present(kept)) << kept;
    }

    EXPECT_TRUE(files.deleteFile("C:\\TEMP\\Sub\\X.TXT", "c:/temp").ok());
    EXPECT_FALSE(present(driveC("temp/sub/x.txt")));
    EXPECT_TRUE(files.deleteFile("C:\\other\\x.txt", "").ok());
    EXPECT_FALSE(present(driveC("other/x.txt")));
}

TEST_F(WineFilesTest, ReportsDiskSpace) {
    const auto space = files.diskSpace("C:\\temp");
    ASSERT_TRUE(space);
    EXPECT_GT(space->totalBytes, 0u);
    EXPECT_LE(space->freeBytes, space->totalBytes);
    EXPECT_FALSE(files.diskSpace("C:\\missing"));
    EXPECT_FALSE(files.diskSpace("temp"));
}

}  // namespace
}  // namespace tidora::platform::winepfx
