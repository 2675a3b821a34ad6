#include "stores/result_table.h"

#include <gtest/gtest.h>

namespace tidora::stores {
namespace {

TEST(CleanResultTable, FindsTheFirstRowOfAnId) {
    TCleanResultTable table;
    EXPECT_EQ(table.indexOfId(11), -1);
    table.append({.ID = 11, .TYPE = 1, .A_COUNT = 12, .A_SIZE = 1536});
    table.append({.ID = 100, .TYPE = 2, .R_ERRORS = 3});
    table.append({.ID = 11, .TYPE = 1});
    EXPECT_EQ(table.indexOfId(11), 0);
    EXPECT_EQ(table.indexOfId(100), 1);
    EXPECT_EQ(table.indexOfId(12), -1);
    EXPECT_EQ(table.rows()[1].R_ERRORS, 3);
    EXPECT_EQ(table.rows()[0].A_SIZE, 1536.0);
    table.clear();
    EXPECT_EQ(table.size(), 0);
}

}  // namespace
}  // namespace tidora::stores
