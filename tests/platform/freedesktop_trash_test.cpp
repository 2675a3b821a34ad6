#include "platform/winepfx/freedesktop_trash.h"

#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/path_resolver.h"
#include "platform/winepfx/unix_name.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::platform::winepfx {
namespace {

namespace fs = std::filesystem;
using testing::readFile;
using testing::writeFile;

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
        tzset();
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
        tzset();
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string infoText(const std::string& encodedPath,
                     const std::string& date = "2024-03-05T10:20:30") {
    return "[Trash Info]\nPath=" + encodedPath + "\nDeletionDate=" + date + "\n";
}

int64_t mtimeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mtime;
}

std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    return names;
}

class TrashTest : public ::testing::Test {
protected:
    // Puts an item into the bin: its content under files/ and its info file.
    void trashFile(const std::string& name, const std::string& content, const std::string& info) {
        writeFile(trash() + "/files/" + name, content);
        writeFile(trash() + "/info/" + name + ".trashinfo", info);
    }
    std::map<std::string, TrashEntry> listed() const {
        std::map<std::string, TrashEntry> entries;
        EXPECT_TRUE(FreedesktopTrash(trash()).list([&](const TrashEntry& e) {
            EXPECT_TRUE(entries.emplace(e.name, e).second) << e.name;
            return true;
        }));
        return entries;
    }
    std::string trash() const { return tmp_ / "data/Trash"; }

    testing::TempDir tmp_;
    ScopedEnv dataHome_{"XDG_DATA_HOME", tmp_ / "data"};
    // Three hours east of UTC, so reading deletion dates as UTC would show.
    ScopedEnv zone_{"TZ", "XYZ-3"};
};

TEST_F(TrashTest, HomeTrashFollowsTheDataHome) {
    EXPECT_EQ(FreedesktopTrash::homeTrashDir(), trash());
    {
        // A relative data home is invalid and falls back to the home folder.
        const ScopedEnv relative("XDG_DATA_HOME", "relative/data");
        const ScopedEnv home("HOME", tmp_ / "home");
        EXPECT_EQ(FreedesktopTrash::homeTrashDir(), tmp_ / "home/.local/share/Trash");
    }
}

TEST_F(TrashTest, ListsItemsWithDecodedPathTimeAndSize) {
    trashFile("a b.txt", "12345", infoText("/home/u/a%20b.txt"));
    trashFile("caf\xE9", "xy", infoText("/tmp/caf%E9", "1999-12-31T23:59:59"));
    // A folder without a directorysizes line is walked; the link inside adds nothing, however
    // large its target.
    writeFile(tmp_ / "outside/big", std::string(1000, 'x'));
    writeFile(trash() + "/files/walked/one", "123");
    writeFile(trash() + "/files/walked/sub/two", "4567");
    fs::create_symlink(tmp_ / "outside/big", trash() + "/files/walked/sub/link");
    writeFile(trash() + "/info/walked.trashinfo", infoText("/home/u/walked"));
    // A current line is believed; a stale one (its info file changed since) is not.
    writeFile(trash() + "/files/my dir/f", "abc");
    writeFile(trash() + "/info/my dir.trashinfo", infoText("/home/u/my%20dir"));
    writeFile(trash() + "/files/stale/f", "abcdef");
    writeFile(trash() + "/info/stale.trashinfo", infoText("/home/u/stale"));
    const int64_t mtime = mtimeOf(trash() + "/info/my dir.trashinfo");
    writeFile(trash() + "/directorysizes",
              "999 " + std::to_string(mtime) + " my%20dir\n555 " +
                  std::to_string(mtimeOf(trash() + "/info/stale.trashinfo") - 10) + " stale\n");

    const auto entries = listed();
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries.at("a b.txt").originalPath, "/home/u/a b.txt");
    EXPECT_EQ(entries.at("a b.txt").size, 5u);
    EXPECT_FALSE(entries.at("a b.txt").folder);
    // 2024-03-05T10:20:30 at UTC+3.
    EXPECT_EQ(entries.at("a b.txt").deletionTime, fileTimeFromUnix(1709623230));
    EXPECT_EQ(entries.at("caf\xE9").originalPath, "/tmp/caf\xE9");
    EXPECT_EQ(entries.at("caf\xE9").deletionTime, fileTimeFromUnix(946673999));
    EXPECT_EQ(entries.at("walked").size, 7u);
    EXPECT_TRUE(entries.at("walked").folder);
    EXPECT_EQ(entries.at("my dir").size, 999u);
    EXPECT_EQ(entries.at("stale").size, 6u);

    const auto summary = FreedesktopTrash(trash()).summary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->count, 5u);
    EXPECT_EQ(summary->size, 5u + 2 + 7 + 999 + 6);
}

TEST_F(TrashTest, SkipsOrphansAndMalformedInfoAndEmptyingRemovesThemToo) {
    const std::vector<std::pair<const char*, std::string>> malformed = {
        {"empty", ""},
        {"no group", "Path=/a\nDeletionDate=2024-03-05T10:20:30\n"},
        {"other group", "[Desktop Entry]\nPath=/a\nDeletionDate=2024-03-05T10:20:30\n"},
        {"no path", "[Trash Info]\nDeletionDate=2024-03-05T10:20:30\n"},
        {"relative path", infoText("a/b")},
        {"bad escape", infoText("/a%G1")},
        {"cut escape", infoText("/a%4")},
        {"nul byte", infoText("/a%00b")},
        {"no date", "[Trash Info]\nPath=/a\n"},
        {"month 13", infoText("/a", "2024-13-01T00:00:00")},
        {"30 February", infoText("/a", "2024-02-30T10:00:00")},
        {"blank separator", infoText("/a", "2024-03-05 10:20:30")},
        {"hour 24", infoText("/a", "2024-03-05T24:00:00")},
        {"nul in the file",
         std::string("[Trash Info]\nPath=/a\0b\nDeletionDate=2024-03-05T10:20:30\n", 56)},
    };
    for (const auto& [name, text] : malformed) {
        trashFile(name, "junk", text);
    }
    trashFile("good", "ok", infoText("/home/u/good"));
    writeFile(trash() + "/files/no info", "orphan");
    writeFile(trash() + "/info/no file.trashinfo", infoText("/home/u/no%20file"));
    // An info file that is a link is not read, even when what it points at is well formed.
    writeFile(tmp_ / "outside/real.trashinfo", infoText("/home/u/linked"));
    writeFile(trash() + "/files/linked", "x");
    fs::create_symlink(tmp_ / "outside/real.trashinfo", trash() + "/info/linked.trashinfo");

    const auto entries = listed();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries.begin()->first, "good");

    FreedesktopTrash bin(trash());
    const OpResult emptied = bin.empty();
    EXPECT_TRUE(emptied.ok()) << emptied.error();
    EXPECT_TRUE(namesIn(trash() + "/files").empty());
    EXPECT_TRUE(namesIn(trash() + "/info").empty());
    EXPECT_TRUE(fs::exists(tmp_ / "outside/real.trashinfo"));
}

TEST_F(TrashTest, EmptyingRemovesLinksButNeverWhatTheyPointAt) {
    writeFile(tmp_ / "outside/keep.txt", "precious");
    writeFile(tmp_ / "outside/dir/inner.txt", "precious too");
    const std::string tree = trash() + "/files/tree";
    writeFile(tree + "/a.txt", "a");
    fs::create_symlink(tmp_ / "outside/keep.txt", tree + "/to-file");
    fs::create_symlink(tmp_ / "outside/dir", tree + "/to-dir");
    // A folder that went read-only, with content, must still go.
    writeFile(tree + "/locked/b.txt", "b");
    fs::permissions(tree + "/locked", fs::perms::owner_read | fs::perms::owner_exec);
    writeFile(trash() + "/info/tree.trashinfo", infoText("/home/u/tree"));
    // An item that is itself a link to a folder.
    fs::create_symlink(tmp_ / "outside/dir", trash() + "/files/dirlink");
    writeFile(trash() + "/info/dirlink.trashinfo", infoText("/home/u/dirlink"));
    writeFile(trash() + "/directorysizes",
              "3 " + std::to_string(mtimeOf(trash() + "/info/tree.trashinfo")) + " tree\n");

    ASSERT_EQ(listed().size(), 2u);
    FreedesktopTrash bin(trash());
    const OpResult emptied = bin.empty();
    EXPECT_TRUE(emptied.ok()) << emptied.error();

    EXPECT_EQ(readFile(tmp_ / "outside/keep.txt"), "precious");
    EXPECT_EQ(readFile(tmp_ / "outside/dir/inner.txt"), "precious too");
    EXPECT_TRUE(namesIn(trash() + "/files").empty());
    EXPECT_TRUE(namesIn(trash() + "/info").empty());
    EXPECT_FALSE(fs::exists(trash() + "/directorysizes") &&
                 !readFile(trash() + "/directorysizes").empty());
    const auto summary = bin.summary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->count, 0u);
    EXPECT_EQ(summary->size, 0u);
}

TEST_F(TrashTest, AMissingBinIsEmptyAndAnUnreadableOneFails) {
    FreedesktopTrash missing(trash());
    const auto summary = missing.summary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->count, 0u);
    EXPECT_TRUE(missing.empty().ok());

    writeFile(trash(), "not a folder");
    FreedesktopTrash broken(trash());
    EXPECT_FALSE(broken.summary());
    EXPECT_FALSE(broken.list([](const TrashEntry&) { return true; }));
    EXPECT_FALSE(broken.empty().ok());
}

TEST_F(TrashTest, OriginalLocationsMapThroughTheDrives) {
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh().drive('d', tmp_ / "ddrive", "hd").drive('z', "/", "");
    b.folder("C:\\users\\anna\\Temp");
    b.write();
    fs::create_directories(tmp_ / "ddrive/sub");
    const PathResolver withZ(b.prefixDir());
    const std::string prefix = b.prefixDir();
    const std::string temp = b.unixPath("C:\\users\\anna\\Temp");

    const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
        {temp + "/report.txt", "C:\\users\\anna\\Temp\\report.txt"},
        // Through the drive's dosdevices entry, the item itself gone.
        {prefix + "/dosdevices/c:/users/anna/Temp/gone.txt", "C:\\users\\anna\\Temp\\gone.txt"},
        {prefix + "/dosdevices/c:", "C:\\"},
        {tmp_ / "ddrive/sub/x.doc", "D:\\sub\\x.doc"},
        {"/srv/data//./x.txt", "Z:\\srv\\data\\x.txt"},
        {"/srv/caf\xE9", "Z:\\srv\\" + unixNameToText("caf\xE9")},
        {"/srv/a\\b", "Z:\\srv\\" + unixNameToText("a\\b")},
        {"relative/x", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [unix, windows] : cases) {
        EXPECT_EQ(withZ.toWindows(unix), windows) << unix;
    }

    fs::remove(prefix + "/dosdevices/z:");
    const PathResolver withoutZ(prefix);
    EXPECT_EQ(withoutZ.toWindows("/srv/data/x.txt"), std::nullopt);
    EXPECT_EQ(withoutZ.toWindows(temp + "/r.txt"), "C:\\users\\anna\\Temp\\r.txt");
}

TEST_F(TrashTest, MachineShowsTheBinWithWindowsLocationsAndEmptiesIt) {
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh().drive('z', "/", "");
    b.folder("C:\\users\\anna\\Temp");
    b.write();
    const std::string temp = b.unixPath("C:\\users\\anna\\Temp");
    trashFile("report.txt", "1234", infoText(temp + "/report.txt"));
    trashFile("notes.2", "123456", infoText("/srv/caf%E9/notes"));
    std::string error;
    auto m = WinePrefixMachine::open(b.prefixDir(), &error, WinePrefixOptions{{tmp_ / "servers"}});
    ASSERT_TRUE(m) << error;

    std::map<std::string, RecycledItem> items;
    EXPECT_TRUE(m->listRecycleBin([&](const RecycledItem& item) {
        items.emplace(item.originalPath, item);
        return true;
    }));
    ASSERT_EQ(items.size(), 2u);
    const RecycledItem& inC = items.at("C:\\users\\anna\\Temp\\report.txt");
    EXPECT_EQ(inC.name, "report.txt");
    EXPECT_EQ(inC.size, 4u);
    EXPECT_EQ(inC.deletionTime, fileTimeFromUnix(1709623230));
    const RecycledItem& outside = items.at("Z:\\srv\\" + unixNameToText("caf\xE9") + "\\notes");
    EXPECT_EQ(outside.name, "notes");

    const auto summary = m->recycleBinSummary();
    ASSERT_TRUE(summary);
    EXPECT_EQ(summary->count, 2u);
    EXPECT_EQ(summary->size, 10u);

    const OpResult emptied = m->emptyRecycleBin();
    EXPECT_TRUE(emptied.ok()) << emptied.error();
    EXPECT_EQ(m->recycleBinSummary()->count, 0u);
    EXPECT_TRUE(namesIn(trash() + "/files").empty());
}

}  // namespace
}  // namespace tidora::platform::winepfx
