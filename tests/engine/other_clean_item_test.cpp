#include "engine/other_clean_item.h"

#include <gtest/gtest.h>

#include "engine_fixture.h"
#include "fixtures/prefix_builder.h"

namespace tidora::engine {
namespace {

class CountingClipboard : public ClipboardAccess {
public:
    bool Empty() override {
        ++emptied;
        return opens;
    }
    int emptied = 0;
    bool opens = true;
};

TEST(OtherItem, ClipboardIsEmptiedOnlyWhenCleaningAndOnlyThroughTheWindow) {
    testing::EngineFixture f;
    ::tidora::testing::PrefixBuilder b(f.tmp / "prefix");
    b.fresh();
    const auto machine = b.openMachine();
    CountingClipboard clipboard;
    TOtherCleanItem item(*machine, &clipboard, 1, 1, 12, "ClipBoard");
    f.attach(item);
    int reported = 0;
    item.DoGroup_ChangeDataEvent = [&](TbaseCleanItem*, const helpers::TwCleanRecord* r) {
        EXPECT_EQ(r->RecType, 3);
        ++reported;
    };
    EXPECT_FALSE(item.EvaluateCount(0));
    ASSERT_TRUE(item.AnalysisRun(0));
    EXPECT_EQ(item.StateID(), kStateAnalysed);
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(clipboard.emptied, 0);
    EXPECT_TRUE(f.sawOperation(kOpProcessed));  // the reverse code while analysing

    clipboard.opens = false;  // held by another program: the item still ends cleaned
    ASSERT_TRUE(item.Run(0));
    EXPECT_EQ(clipboard.emptied, 1);
    EXPECT_EQ(item.StateID(), kStateCleaned);
    EXPECT_EQ(reported, 2);

    TOtherCleanItem headless(*machine, nullptr, 1, 1, 12, "ClipBoard");
    f.attach(headless);
    EXPECT_TRUE(headless.AnalysisRun(0));
    EXPECT_TRUE(headless.Run(0));
    EXPECT_EQ(headless.StateID(), kStateCleaned);
    EXPECT_EQ(headless.GetNameStr(), "1:12(ClipBoard)[3]");
}

}  // namespace
}  // namespace tidora::engine
