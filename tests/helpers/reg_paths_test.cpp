#include "helpers/reg_paths.h"

#include <gtest/gtest.h>

#include "helpers/exclusions.h"

namespace tidora::helpers {
namespace {

using platform::RegRoot;

TEST(HelpersRegPaths, SplitAndRootTable) {
    struct Case {
        const char* path;
        RegRoot root;  // expected; the start value is HKDD so "unchanged" is visible
        const char* subkey;
        int index;
    };
    const Case cases[] = {
        {"HKLM\\Software\\Classes", RegRoot::LocalMachine, "Software\\Classes", 2},
        {"HKU\\.DEFAULT\\Control Panel", RegRoot::Users, ".DEFAULT\\Control Panel", 3},
        {"HKCR\\.txt", RegRoot::ClassesRoot, ".txt", 0},
        {"HKCC\\Software", RegRoot::CurrentConfig, "Software", 5},
        {"hklm\\Software", RegRoot::DynData, "", -1},  // prefixes are case-sensitive
        {"Software\\x", RegRoot::DynData, "", -1},
    };
    for (const Case& c : cases) {
        RegRoot root = RegRoot::DynData;
        QString subkey = "stale";
        SplitRegPath(c.path, root, subkey);
        EXPECT_EQ(root, c.root) << c.path;
        EXPECT_EQ(subkey.toStdString(), c.subkey) << c.path;
        EXPECT_EQ(RegPathRootIndex(c.path), c.index) << c.path;
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(RootKeyToIndex(IndexToRootKey(i)), i);
    }
    EXPECT_EQ(IndexToRootKey(7), RegRoot::CurrentUser);
    EXPECT_EQ(IndexToRootKey(-1), RegRoot::CurrentUser);
    EXPECT_EQ(RootIndexToName(4), "HKPD");
    EXPECT_EQ(RootIndexToName(9), "");
}

TEST(HelpersExclusions, NamesAndPaths) {
    const QStringList names{"winsxs", "MSIMGS*", "container.dat"};
    struct Case {
        const char* name;
        bool excluded;
    };
    const Case nameCases[] = {
        {"WinSxS", true}, {"winsxs2", false},      {"msimgs001.tmp", true},
        {"MSIMG", false}, {"Container.DAT", true}, {"", false},
    };
    for (const Case& c : nameCases) {
        EXPECT_EQ(IsNameExcluded(c.name, names), c.excluded) << c.name;
    }
    const QStringList paths{"C:\\windows\\Sysnative*", "D:\\"};
    EXPECT_TRUE(IsPathExcluded("c:\\WINDOWS\\sysnative\\x.exe", paths));
    EXPECT_TRUE(IsPathExcluded("d:\\setup.exe", paths));
    EXPECT_FALSE(IsPathExcluded("C:\\windows\\system32\\x.exe", paths));
}

}  // namespace
}  // namespace tidora::helpers
