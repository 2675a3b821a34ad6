#include "stores/item_record_text.h"

#include <gtest/gtest.h>

#include "fixtures/qstring_print.h"

namespace tidora::stores {
namespace {

catalog::TCleanItemParams sampleRow() {
    catalog::TCleanItemParams row;
    row.ACTION_ID = 2;
    row.CAT_ID = 4;
    row.ID = 70;
    row.TYPE = 2;
    row.LAT_NAME = QStringLiteral("EventLogs");
    row.ACTIVE = false;
    row.CAPTION = QStringLiteral("Журналы событий");
    row.SIGN = 1;
    return row;
}

TEST(ItemRecordText, WritesSixFieldsEachClosedByABar) {
    catalog::TCleanItemParams row = sampleRow();
    row.ID = 12;
    row.TYPE = 1;
    row.ACTION_ID = 1;
    row.CAT_ID = 3;
    row.SIGN = 0;
    row.ACTIVE = true;
    EXPECT_EQ(ItemRecordToStr(row), QStringLiteral("12|1|1|3|0|1|"));
    row.ACTIVE = false;
    row.SIGN = -5;
    EXPECT_EQ(ItemRecordToStr(row), QStringLiteral("12|1|1|3|-5|0|"));
}

TEST(ItemRecordText, RoundTripsThroughText) {
    catalog::TCleanItemParams row = sampleRow();
    row.ACTIVE = true;
    row.SIGN = 123456;
    catalog::TCleanItemParams read;
    read.LAT_NAME = row.LAT_NAME;
    read.CAPTION = row.CAPTION;
    ASSERT_TRUE(StrToItemRecord(ItemRecordToStr(row), read));
    EXPECT_EQ(read, row);
}

TEST(ItemRecordText, AppliesCompleteRecordsFieldByField) {
    struct Case {
        const char* text;
        int32_t id, type, actionId, catId, sign;
        bool active;
    };
    const Case cases[] = {
        {"12|1|1|3|0|1|", 12, 1, 1, 3, 0, true},
        {"12|1|1|3|0|0|", 12, 1, 1, 3, 0, false},
        {"12|1|1|3|0|yes|", 12, 1, 1, 3, 0, false},
        {"7|2|2|1|-3|1|99|extra|", 7, 2, 2, 1, -3, true},
    };
    const catalog::TCleanItemParams before = sampleRow();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        catalog::TCleanItemParams row = before;
        ASSERT_TRUE(StrToItemRecord(QString::fromUtf8(c.text), row));
        EXPECT_EQ(row.ID, c.id);
        EXPECT_EQ(row.TYPE, c.type);
        EXPECT_EQ(row.ACTION_ID, c.actionId);
        EXPECT_EQ(row.CAT_ID, c.catId);
        EXPECT_EQ(row.SIGN, c.sign);
        EXPECT_EQ(row.ACTIVE, c.active);
        EXPECT_EQ(row.LAT_NAME, before.LAT_NAME);
        EXPECT_EQ(row.CAPTION, before.CAPTION);
    }
}

TEST(ItemRecordText, LeavesTheRowAloneForAnythingElse) {
    const char* const texts[] = {
        "12|1|1|3|0|",   // five fields
        "12|1|1|3|0|1",  // the sixth is not closed
        "0",
        "",
        // A bar with nothing before it is part of the next field, which then is no number.
        "|12|1|1|3|0|1|",
        "12||1|1|3|0|1|",
        "12|x|1|3|0|1|",
        "12|1|1|3|99999999999|1|",
    };
    const catalog::TCleanItemParams before = sampleRow();
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        catalog::TCleanItemParams row = before;
        EXPECT_FALSE(StrToItemRecord(QString::fromUtf8(text), row));
        EXPECT_EQ(row, before);
    }
}

}  // namespace
}  // namespace tidora::stores
