#include "helpers/folder_scanners.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/shell_link_bytes.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

namespace fs = std::filesystem;

class FolderScanners : public ::testing::Test {
protected:
    void open(testing::PrefixBuilder& b) { machine_ = b.openMachine(); }
    // The names (relative to base) the scan reported, in order.
    QStringList run(const std::function<bool(const TFoundCallback&)>& scan, const QString& base,
                    int stopAfterHeartbeats = -1) {
        QStringList names;
        int heartbeats = 0;
        scan([&](int kind, TwCleanRecord* record, bool& go) {
            if (kind == -1 && ++heartbeats == stopAfterHeartbeats) {
                go = false;
            }
            if (kind == 1) {
                EXPECT_EQ(record->RecType, 1);
                EXPECT_TRUE(record->Active);
                EXPECT_EQ(record->State, 1);
                names << record->Name.mid(base.size() + 1);
            }
        });
        return names;
    }

    testing::TempDir tmp_;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(FolderScanners, ReportsWritableMatchingFilesOnceWithExclusions) {
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh();
    const QString temp = "C:\\windows\\temp";
    for (const char* name : {"a.log", "b.log", "c.log", "note.txt", "MSIMGS01.log", "ro.log",
                             "WinSxS\\deep.log", "sub.log\\inner.log", "logs\\x.log"}) {
        b.file((temp + "\\" + name).toStdString(), "12345");
    }
    open(b);
    chmod(b.unixPath("C:\\windows\\temp\\ro.log").c_str(), 0444);
    const QStringList exclude{"winsxs", "MSIMGS*"};

    const QStringList flat = run(
        [&](const TFoundCallback& found) {
            return ScanFolderFiles(*machine_, 1, temp + "\\", "*.log", true, nullptr, found,
                                   exclude);
        },
        temp);
    // The mask also picks the folders it enters: sub.log is walked, logs is not.
    QStringList expected{"a.log", "b.log", "c.log", "sub.log\\inner.log"};
    EXPECT_EQ(QStringList(flat).size(), expected.size()) << flat.join(",").toStdString();
    for (const QString& name : expected) {
        EXPECT_EQ(flat.count(name), 1) << name.toStdString();
    }

    const QStringList tree = run(
        [&](const TFoundCallback& found) {
            return ScanFolderTree(*machine_, 1, temp, "*.log", true, nullptr, found, exclude);
        },
        temp);
    expected << "logs\\x.log";
    EXPECT_EQ(tree.size(), expected.size()) << tree.join(",").toStdString();
    for (const QString& name : expected) {
        EXPECT_EQ(tree.count(name), 1) << name.toStdString();
    }
    // Sub-folders come before the folder's own files.
    EXPECT_LT(tree.indexOf("logs\\x.log"), tree.indexOf("a.log"));

    double sizeK = 0;
    EXPECT_EQ(GetFolderFilesInfo(*machine_, temp, "*.log", sizeK), 7);  // no exclusions here
    EXPECT_DOUBLE_EQ(sizeK, 7 * 5 * 0.001);
}

TEST_F(FolderScanners, AStopEndsTheWalkAtOnce) {
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh();
    for (const char* name : {"one\\a.tmp", "two\\b.tmp", "three\\c.tmp", "d.tmp"}) {
        b.file(std::string("C:\\t\\") + name);
    }
    open(b);
    int heartbeats = 0;
    int reported = 0;
    const bool finished = ScanFolderTree(*machine_, 1, "C:\\t", "*.*", true, nullptr,
                                         [&](int kind, TwCleanRecord*, bool& go) {
                                             if (kind == -1 && ++heartbeats == 1) {
                                                 go = false;
                                             }
                                             reported += kind == 1;
                                         },
                                         {});
    EXPECT_FALSE(finished);
    EXPECT_EQ(reported, 0);
    EXPECT_EQ(heartbeats, 1);
}

TEST_F(FolderScanners, LinksAreNeitherFilesNorFoldersAndLinkedSearchFoldersStayOnTop) {
    fs::create_directories(tmp_ / "home/Projects");
    testing::writeFile(tmp_ / "home/top.tmp", "x");
    testing::writeFile(tmp_ / "home/Projects/precious.tmp", "x");
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.hostHome(tmp_ / "home").fresh();
    b.file("C:\\t\\own.tmp");
    b.link("C:\\t\\to-home", tmp_ / "home");
    b.link("C:\\t\\to-file.tmp", tmp_ / "home/top.tmp");
    open(b);

    const QStringList inT = run(
        [&](const TFoundCallback& found) {
            return ScanFolderTree(*machine_, 1, "C:\\t", "*.*", true, nullptr, found, {});
        },
        "C:\\t");
    EXPECT_EQ(inT, QStringList{"own.tmp"});

    // The Desktop is a link into the host's home: its own files only, nothing below.
    const QString desktop = QString::fromStdString(machine_->specialFolder(16));
    for (const bool tree : {false, true}) {
        const QStringList onDesktop = run(
            [&](const TFoundCallback& found) {
                return tree ? ScanFolderTree(*machine_, 1, desktop, "*.tmp", true, nullptr, found,
                                             {})
                            : ScanFolderFiles(*machine_, 1, desktop, "*.*", true, nullptr, found,
                                              {});
            },
            desktop);
        EXPECT_EQ(onDesktop, QStringList{"top.tmp"}) << tree;
    }
    double sizeK = 0;
    EXPECT_EQ(GetFolderFilesInfo(*machine_, desktop, "*.*", sizeK), 1);
}

TEST_F(FolderScanners, CountsHugeFilesAndNeverHangsOnAFifoShortcut) {
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh();
    b.file("C:\\big\\huge.bin");
    b.folder("C:\\links");
    open(b);
    fs::resize_file(b.unixPath("C:\\big\\huge.bin"), 5ULL << 30);  // sparse
    double sizeK = 0;
    EXPECT_EQ(GetFolderFilesInfo(*machine_, "C:\\big", "*.*", sizeK), 1);
    EXPECT_DOUBLE_EQ(sizeK, static_cast<double>(5ULL << 30) * 0.001);

    ASSERT_EQ(mkfifo((b.unixPath("C:\\links") + "/pipe.lnk").c_str(), 0644), 0);
    testing::writeFile(b.unixPath("C:\\links") + "/garbage.lnk", "not a shortcut");
    const QStringList broken = run(
        [&](const TFoundCallback& found) {
            return ScanShortcuts(*machine_, 1, "C:\\links", "*.lnk", nullptr, found, {});
        },
        "C:\\links");
    EXPECT_TRUE(broken.isEmpty());
}

TEST_F(FolderScanners, ReportsOnlyShortcutsWhoseTargetIsProvablyMissing) {
    fs::create_directories(tmp_ / "cdrom");
    testing::PrefixBuilder b(tmp_ / "prefix");
    b.fresh().drive('d', tmp_ / "cdrom", "cdrom");
    b.file("C:\\Program Files\\Tool\\tool.exe");
    struct Link {
        const char* name;
        const char* target;
    };
    const Link links[] = {
        {"valid.lnk", "C:\\Program Files\\Tool\\tool.exe"},
        {"missing.lnk", "C:\\Program Files\\Gone\\gone.exe"},
        {"other-folder.lnk", "C:\\Program Files (x86)\\Tool\\tool.exe"},
        {"disc.lnk", "D:\\setup.exe"},
        {"no-drive.lnk", "Q:\\x.exe"},
        {"network.lnk", "\\\\server\\share\\x.exe"},
        {"excluded.lnk", "C:\\windows\\Sysnative\\x.exe"},
        {"sub\\deeper.lnk", "C:\\nowhere\\y.exe"},
    };
    for (const Link& link : links) {
        b.file(std::string("C:\\menu\\") + link.name, testing::shellLinkBytes(link.target));
    }
    open(b);
    QStringList targets;
    EXPECT_TRUE(ScanShortcuts(*machine_, 1, "C:\\menu", "*.lnk", nullptr,
                              [&](int kind, TwCleanRecord* record, bool&) {
                                  if (kind == 1) {
                                      targets << record->Name.mid(QString("C:\\menu\\").size()) +
                                                     "=" + record->Value;
                                  }
                              },
                              {"C:\\windows\\Sysnative*"}));
    targets.sort();
    EXPECT_EQ(targets, (QStringList{"missing.lnk=C:\\Program Files\\Gone\\gone.exe",
                                    "sub\\deeper.lnk=C:\\nowhere\\y.exe"}));
}

}  // namespace
}  // namespace tidora::helpers
