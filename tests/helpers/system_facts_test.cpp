#include "helpers/system_facts.h"

#include <QStringList>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

TEST(HelpersSystem, WindowsVersionCodeTable) {
    struct Case {
        int platform, major, minor, code;
    };
    const Case cases[] = {
        {2, 3, 51, 1}, {2, 4, 0, 2}, {2, 4, 90, 3}, {2, 5, 0, 4},   {2, 5, 1, 5},
        {2, 6, 0, 6},  {2, 6, 1, 7}, {2, 6, 3, 8},  {2, 10, 0, 10}, {1, 4, 10, 255},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetWinVersionCode(c.platform, c.major, c.minor), c.code)
            << c.platform << " " << c.major << "." << c.minor;
    }
    EXPECT_GT(GetPerfFrequency(), 0);
}

TEST(HelpersSystem, MachineFactsAndTheRecycleBin) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.user("anna").fresh();
    const auto machine = b.openMachine();

    EXPECT_EQ(GetWindowsFolder(*machine), "C:\\windows");
    EXPECT_EQ(GetSystemDriveLetter(*machine), QChar('C'));
    EXPECT_EQ(GetTempFolder(*machine), "C:\\users\\anna\\Temp\\");
    EXPECT_TRUE(Is64BitWindows(*machine, 0));
    EXPECT_FALSE(Is64BitWindows(*machine, 1));
    EXPECT_FALSE(Is64BitWindows(*machine, 7));
    double total = 0, free = 0;
    EXPECT_TRUE(GetSystemDiskSpaceMB(*machine, total, free));
    EXPECT_GT(total, 0);

    // The host's trash, here a temporary one: one item trashed from the prefix's drive C.
    const std::string data = tmp / "data";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    testing::writeFile(data + "/Trash/files/old.txt", "12345");
    testing::writeFile(data + "/Trash/info/old.txt.trashinfo",
                       "[Trash Info]\nPath=" + b.unixPath("C:\\users\\anna") +
                           "/old.txt\nDeletionDate=2025-12-31T23:59:00\n");
    int64_t count = 0, size = 0;
    EXPECT_TRUE(QueryRecycleBin(*machine, count, size));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(size, 5);
    QStringList names;
    EXPECT_TRUE(EnumRecycleBin(*machine, [&](int kind, TwCleanRecord* record, bool&) {
        if (kind == 3) {
            EXPECT_EQ(record->id, 1);
            EXPECT_EQ(record->Size, 5);
            EXPECT_GT(record->Date, 0);
            names << record->Name;
        }
    }));
    EXPECT_EQ(names, QStringList{"C:\\users\\anna\\old.txt"});
    EXPECT_TRUE(EmptyRecycleBin(*machine));
    EXPECT_TRUE(GetRecycleBinCount(*machine, count));
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(std::filesystem::exists(data + "/Trash/files/old.txt"));
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tidora::helpers
