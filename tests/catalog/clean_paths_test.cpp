#include "catalog/clean_paths.h"

#include <gtest/gtest.h>

#include "fixtures/qstring_print.h"

#include <stdexcept>

#include "fixtures/temp_dir.h"

namespace tidora::catalog {
namespace {

TEST(CleanPaths, RecordingKeepsOneRowPerItemListAndText) {
    TCleanPaths_DM paths;
    EXPECT_THROW(paths.SetPathStateLast(0, 1), std::logic_error);
    EXPECT_FALSE(paths.SetPathToDataset(0, 0, 1, 11, false, ""));
    EXPECT_TRUE(paths.Rows().empty());

    ASSERT_TRUE(paths.SetPathToDataset(0, 0, 1, 11, false, "C:\\users\\anna\\Temp"));
    ASSERT_TRUE(paths.SetPathToDataset(0, 0, 1, 13, false, "C:\\windows"));
    ASSERT_TRUE(paths.SetPathToDataset(0, 0, 1, 11, false, "C:\\users\\anna\\Temp"));
    EXPECT_EQ(paths.CurrentId(), 1);
    paths.SetPathStateLast(0, 2);
    ASSERT_TRUE(paths.SetPathToDataset(0, 0, 1, 11, true, "C:\\users\\anna\\Temp"));
    ASSERT_TRUE(paths.SetPathToDataset(0, 0, 2, 11, false, "other"));

    ASSERT_EQ(paths.Rows().size(), 4u);
    EXPECT_EQ(paths.Rows()[0].STATE, 2);
    EXPECT_EQ(paths.Rows()[1].STATE, 0);
    EXPECT_EQ(paths.Rows()[2].ID, 3);
    EXPECT_TRUE(paths.Rows()[2].EX_FLAG);

    paths.SetNametoDataset(1, 11, "TempFiles");
    EXPECT_EQ(paths.Rows()[0].NAME, "TempFiles");
    EXPECT_EQ(paths.Rows()[2].NAME, "TempFiles");
    EXPECT_EQ(paths.Rows()[1].NAME, "");
    EXPECT_EQ(paths.Rows()[3].NAME, "");

    EXPECT_TRUE(paths.SetPathState(0, 0, 1, 13, false, "x", 1));
    EXPECT_EQ(paths.Rows()[1].STATE, 1);
    EXPECT_FALSE(paths.SetPathState(0, 0, 4, 99, false, "x", 1));

    const auto sorted = paths.RowsByCleanId();
    EXPECT_EQ(sorted[0].CLEAN_ID, 11);
    EXPECT_EQ(sorted[3].CLEAN_ID, 13);
}

TEST(CleanPaths, FileRoundTripAndBadFiles) {
    testing::TempDir tmp;
    TCleanPaths_DM paths;
    paths.SetPathToDataset(0, 0, 1, 11, false, "C:\\users\\анна\\Temp");
    paths.SetPathStateLast(0, 1);
    paths.SetPathToDataset(0, 0, 1, 14, true, "winsxs");
    paths.SetNametoDataset(1, 11, "TempFiles");
    const QString file = QString::fromStdString(tmp / "paths.json");
    ASSERT_TRUE(paths.SaveToFile(file));

    TCleanPaths_DM loaded;
    ASSERT_TRUE(loaded.LoadFromFile(file));
    EXPECT_EQ(loaded.Rows(), paths.Rows());

    const std::pair<const char*, std::string> badFiles[] = {
        {"missing.json", ""},
        {"text.json", "not json"},
        {"norows.json", "{\"rows\": 3}"},
        {"badrow.json", "{\"rows\": [{\"ID\": \"one\"}]}"},
        {"fraction.json",
         "{\"rows\": [{\"ID\": 1.5, \"EX_FLAG\": false, \"SYS_CODE\": 0, \"CAT_ID\": 1, "
         "\"CLEAN_ID\": 1, \"NAME\": \"\", \"VALUE\": \"v\", \"COMMAND\": \"\", \"CAPTION\": \"\", "
         "\"ACTIVE\": true, \"STATE\": 0}]}"},
    };
    for (const auto& [name, content] : badFiles) {
        const std::string path = tmp / name;
        if (!content.empty()) {
            testing::writeFile(path, content);
        }
        EXPECT_FALSE(loaded.LoadFromFile(QString::fromStdString(path))) << name;
        EXPECT_EQ(loaded.Rows(), paths.Rows()) << name;
    }
    EXPECT_FALSE(paths.SaveToFile(QString::fromStdString(tmp / "no-such-folder/paths.json")));
}

}  // namespace
}  // namespace tidora::catalog
