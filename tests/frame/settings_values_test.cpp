#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <array>
#include <climits>

#include "frame/settings_store.h"
#include "fixtures/qstring_print.h"

namespace tidora::frame {
namespace {

// A store in memory with the coding shift the program uses.
class SettingsValues : public ::testing::Test {
protected:
    SettingsValues() { store.SetKeyWordOffset(6); }
    TwiniSettings store;
};

using SettingsTypedReads = SettingsValues;
using SettingsCodedStrings = SettingsValues;
using SettingsListForms = SettingsValues;
using SettingsNumberedValues = SettingsValues;

TEST_F(SettingsTypedReads, IntegersAndBooleans) {
    struct Case {
        const char* stored;
        int value;
    };
    const Case cases[] = {
        {"42", 42},          {"12abc", 12},     {"abc", 0},        {"", 7},
        {"-5", -5},          {"+3", 3},         {"  8", 8},        {"$1F", 31},
        {"x1f", 31},         {"0x10", 16},      {"0xZ", 0},        {"-$10", -16},
        {"$FFFFFFFF", -1},   {"$100000000", 7}, {"2147483648", 7}, {"-2147483648", INT_MIN},
        {"99999999999x", 7}, {"1e3", 1},        {"- 5", 0},
    };
    for (const Case& c : cases) {
        store.WriteString("N", "k", c.stored);
        EXPECT_EQ(store.ReadInteger("N", "k", 7), c.value) << c.stored;
    }
    EXPECT_EQ(store.ReadInteger("N", "absent", 7), 7);

    const struct {
        const char* stored;
        bool withDefaultTrue;
        bool withDefaultFalse;
    } bools[] = {{"2", true, true}, {"abc", false, false}, {"0", false, false}, {"", true, false}};
    for (const auto& c : bools) {
        store.WriteString("B", "k", c.stored);
        EXPECT_EQ(store.ReadBool("B", "k", true), c.withDefaultTrue) << c.stored;
        EXPECT_EQ(store.ReadBool("B", "k", false), c.withDefaultFalse) << c.stored;
    }
    EXPECT_TRUE(store.ReadBool("B", "absent", true));
    store.WriteBool("B", "t", true);
    store.WriteBool("B", "f", false);
    EXPECT_EQ(store.ReadString("B", "t", ""), "1");
    EXPECT_EQ(store.ReadString("B", "f", ""), "0");
}

TEST_F(SettingsTypedReads, FloatsWithEitherSeparator) {
    struct Case {
        const char* locale;
        const char* stored;
        double value;
    };
    const Case cases[] = {
        {"ru_RU", "1,5", 1.5},    {"ru_RU", "1.5", 1.5},   {"ru_RU", "-0.25", -0.25},
        {"ru_RU", "1.234,5", -1}, {"ru_RU", "abc", -1},    {"ru_RU", "", -1},
        {"en_US", "1,5", 1.5},    {"en_US", "2.25", 2.25}, {"en_US", "1,234", 1.234},
        {"en_US", "1E+20", 1e20}, {"en_US", "3,5x", -1},
    };
    for (const Case& c : cases) {
        store.SetLocale(QLocale(c.locale));
        store.WriteString("F", "k", c.stored);
        EXPECT_EQ(store.ReadFloat("F", "k", -1), c.value) << c.locale << " " << c.stored;
    }

    const struct {
        const char* locale;
        double value;
        const char* stored;
    } writes[] = {
        {"ru_RU", 1234567.125, "1234567,125"},
        {"ru_RU", 1.0 / 3, "0,333333333333333"},
        {"en_US", 1234567.125, "1234567.125"},
        {"en_US", 0.1, "0.1"},
    };
    for (const auto& w : writes) {
        store.SetLocale(QLocale(w.locale));
        store.WriteFloat("F", "w", w.value);
        EXPECT_EQ(store.ReadString("F", "w", ""), w.stored) << w.locale;
        EXPECT_NEAR(store.ReadFloat("F", "w", -1), w.value, 1e-14 * w.value) << w.locale;
    }
}

TEST_F(SettingsTypedReads, DateTimesInTheLocalesForms) {
    const QDateTime afternoon(QDate(2026, 3, 4), QTime(13, 5, 7));
    const QDateTime midnight(QDate(2026, 3, 4), QTime(0, 0));
    const struct {
        const char* locale;
        QDateTime value;
        const char* stored;
    } cases[] = {
        {"ru_RU", afternoon, "04.03.2026 13:05:07"},
        {"ru_RU", midnight, "04.03.2026"},
        // Four digits even where the locale shows two, so that the year reads back.
        {"en_US", afternoon, "3/4/2026 1:05:07 PM"},
        {"de_DE", midnight, "04.03.2026"},
    };
    for (const auto& c : cases) {
        store.SetLocale(QLocale(c.locale));
        store.WriteDatetime("D", "k", c.value);
        EXPECT_EQ(store.ReadString("D", "k", ""), c.stored) << c.locale;
        EXPECT_EQ(store.ReadDatetime("D", "k", QDateTime()), c.value) << c.locale;
    }

    const QDateTime fallback(QDate(2000, 1, 1), QTime(12, 0));
    store.SetLocale(QLocale("ru_RU"));
    for (const char* bad : {"31.02.2026", "yesterday", "04.03.2026 25:00:00", "3/4/2026", ""}) {
        store.WriteString("D", "bad", bad);
        EXPECT_EQ(store.ReadDatetime("D", "bad", fallback), fallback) << bad;
    }
}

TEST_F(SettingsTypedReads, RectanglesItemByItem) {
    const SettingsRect fallback{10, 20, 30, 40};
    const struct {
        const char* stored;
        SettingsRect value;
    } cases[] = {
        {"1,2,3,4", {1, 2, 3, 4}},
        {"-1, 2 ,x,4", {-1, 2, 30, 4}},
        {"1,2,3", fallback},
        {"1,2,3,4,5", fallback},
        {"", fallback},
        {"1;2;3;4", fallback},
        {",,,", fallback},
        {"5x,6,7,8", {10, 6, 7, 8}},
    };
    for (const auto& c : cases) {
        store.WriteString("R", "k", c.stored);
        EXPECT_EQ(store.ReadRect("R", "k", fallback), c.value) << c.stored;
    }
    store.WriteRect("R", "w", {-5, 0, 1920, 1080});
    EXPECT_EQ(store.ReadString("R", "w", ""), "-5,0,1920,1080");
    EXPECT_EQ(store.ReadRect("R", "w", fallback), (SettingsRect{-5, 0, 1920, 1080}));
}

TEST_F(SettingsCodedStrings, CodeAndDecode) {
    store.WriteCString("C", "k", "Ab");
    EXPECT_EQ(store.ReadString("C", "k", ""), " 71 104");
    EXPECT_EQ(store.ReadCString("C", "k", "def"), "Ab");
    EXPECT_TRUE(store.IsCodeString(store.ReadString("C", "k", "")));
    EXPECT_FALSE(store.IsCodeString("Ab"));
    EXPECT_TRUE(store.IsCodeString(""));
    // A default equal to the stored text comes back as it is, not decoded.
    EXPECT_EQ(store.ReadCString("C", "k", " 71 104"), " 71 104");
    EXPECT_EQ(store.ReadCString("C", "absent", "def"), "def");

    const QString text = QStringLiteral("Привет \"мир\"\r\n|");
    store.WriteCString("C", "u", text);
    EXPECT_EQ(store.ReadCString("C", "u", ""), text);
    store.SetKeyWordOffset(-70);
    store.WriteCString("C", "neg", "Ab");
    EXPECT_EQ(store.ReadString("C", "neg", ""), " -5 28");
    EXPECT_EQ(store.ReadCString("C", "neg", ""), "Ab");
}

TEST_F(SettingsCodedStrings, MalformedItems) {
    const struct {
        const char* stored;
        const char16_t* decoded;
    } cases[] = {
        {"71  104 ", u"Ab"},
        {" 71x 104", u"Ab"},
        {" abc 104", u"b"},  // "abc" reads as 0, below the shift: no character
        {" 71 -100000001 104", u""},
        {" 71 -100000000 104", u"Ab"},
        {" 71 65542 104", u"Ab"},
        {" 71 99999999999999999999 104", u"Ab"},
        {" 71 -99999999999999999999 104", u""},
        {" 71\t104", u"A"},
    };
    for (const auto& c : cases) {
        store.WriteString("C", "k", c.stored);
        EXPECT_EQ(store.ReadCString("C", "k", ""), QString::fromUtf16(c.decoded)) << c.stored;
    }
}

TEST_F(SettingsListForms, TextWithLineBreaksAndQuotes) {
    const struct {
        const char* text;
        const char* stored;
        const char* readBack;
    } cases[] = {
        {"first \"line\"\r\nsecond", "\"first &#34;line&#34;<br>second\"",
         "first \"line\"\r\nsecond"},
        {"unix\nand\rmac", "\"unix<br>and<br>mac\"", "unix\r\nand\r\nmac"},
        {"", "\"\"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(store.WriteText("T", "k", c.text)) << c.text;
        EXPECT_EQ(store.ReadString("T", "k", ""), c.stored) << c.text;
        EXPECT_EQ(store.ReadText("T", "k", "def"), c.readBack) << c.text;
    }
    EXPECT_EQ(store.ReadText("T", "absent", "def"), "def");
    store.WriteString("T", "lone", "\"");
    EXPECT_EQ(store.ReadText("T", "lone", "def"), "\"");
}

TEST_F(SettingsListForms, DataLists) {
    EXPECT_TRUE(store.WriteData("R", "k", {"a", "", "b"}));
    EXPECT_EQ(store.ReadCString("R", "k", ""), "COUNT=3|a|b");
    std::array<QString, 2> two;
    EXPECT_EQ(store.ReadData("R", "k", two), 2);
    EXPECT_EQ(two[0], "a");
    EXPECT_EQ(two[1], "b");

    EXPECT_FALSE(store.WriteData("R", "none", {"", ""}));
    EXPECT_EQ(store.ReadString("R", "none", "absent"), "absent");
    EXPECT_FALSE(store.WriteDataFromList("R", "none", {}));
    EXPECT_EQ(store.ReadString("R", "none", "absent"), "absent");

    const struct {
        const char* data;
        int count;
        QStringList firstTwo;
    } cases[] = {
        {"COUNT=4|mail@x.org|smtp.x.org|user|pw", 4, {"mail@x.org", "smtp.x.org"}},
        {"COUNT=1|a b", 2, {"a", "b"}},
        {"COUNT=2|\"a|b\"||c", 2, {"a|b", "c"}},
        {"COUNT=9|a", 1, {"a", "keep"}},
        {"COUNT=0|a|b", 0, {"keep", "keep"}},
        {"COUNT=x|a|b", 0, {"keep", "keep"}},
        {"a|b", 0, {"keep", "keep"}},
        {"", 0, {"keep", "keep"}},
    };
    for (const auto& c : cases) {
        store.WriteCString("R", "d", c.data);
        std::array<QString, 2> items{"keep", "keep"};
        EXPECT_EQ(store.ReadData("R", "d", items), c.count) << c.data;
        EXPECT_EQ(QStringList(items.begin(), items.end()), c.firstTwo) << c.data;
    }

    QStringList list{"stale"};
    store.WriteDataFromList("R", "l", {"x", "y z"});
    EXPECT_TRUE(store.ReadDataToList("R", "l", &list));
    EXPECT_EQ(list, (QStringList{"x", "y", "z"}));
    EXPECT_EQ(store.CurrStringList(), list);
    EXPECT_TRUE(store.ReadDataToList("R", "l", nullptr));
    EXPECT_FALSE(store.ReadDataToList("R", "absent", &list));
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(SettingsListForms, ListsGiveTheirItemsBack) {
    const QStringList items{"plain", "with blank", "pipe|inside",           "quote\"inside",
                            "",      " lead",      QStringLiteral("Привет")};
    QStringList read;
    for (const QStringList& list : {items, QStringList{""}}) {
        EXPECT_TRUE(store.WriteList("L", "plain", list));
        EXPECT_TRUE(store.ReadList("L", "plain", read));
        EXPECT_EQ(read, list);
        EXPECT_EQ(store.CurrStringList(), list);
    }

    EXPECT_TRUE(store.WriteCList("L", "coded", items));
    EXPECT_TRUE(store.IsCodeString(store.ReadString("L", "coded", "")));
    EXPECT_TRUE(store.ReadCList("L", "coded", read));
    EXPECT_EQ(read, items);

    store.WriteString("L", "hand", "a b|c");
    EXPECT_TRUE(store.ReadList("L", "hand", read));
    EXPECT_EQ(read, (QStringList{"a b", "c"}));
    EXPECT_FALSE(store.ReadList("L", "absent", read));
    EXPECT_TRUE(read.isEmpty());
}

TEST_F(SettingsNumberedValues, FindDefineAndList) {
    store.WriteString("S", "Item0", "alpha");
    store.WriteString("S", "ItemX", "beta");
    store.WriteString("S", "Item2", " beta ");
    store.WriteString("S", "Other", "gamma");
    store.WriteString("S", "Item-4", "delta");

    const struct {
        const char* value;
        int index;
    } finds[] = {{"alpha", 0}, {"beta", 2}, {" beta", 2}, {"gamma", -1}, {"delta", -1}};
    for (const auto& f : finds) {
        EXPECT_EQ(store.GetIndexFromValue("S", "Item", f.value, false), f.index) << f.value;
    }

    EXPECT_EQ(store.DefineIndexValue("S", "Item", "beta", false, false), 2);
    EXPECT_EQ(store.ReadString("S", "Item3", "absent"), "absent");
    EXPECT_EQ(store.DefineIndexValue("S", "Item", "", false, false), -1);
    EXPECT_EQ(store.DefineIndexValue("S", "Item", "gamma", false, false), 3);
    EXPECT_EQ(store.ReadString("S", "Item3", ""), "gamma");
    EXPECT_EQ(store.DefineIndexValue("S", "Item", "Ab", true, false), 4);
    EXPECT_EQ(store.ReadString("S", "Item4", ""), " 71 104");
    EXPECT_EQ(store.GetIndexFromValue("S", "Item", "Ab", true), 4);
    EXPECT_EQ(store.DefineIndexValue("S", "Item", "Ab", true, false), 4);

    QStringList lines{"stale"};
    EXPECT_EQ(store.GetIndValuesList("S", "Item", false, lines), 4);
    EXPECT_EQ(lines, (QStringList{"0=alpha", "2=beta", "3=gamma", "4=71 104"}));
    store.WriteString("S", "Item5", QStringLiteral(" 78 111"));
    EXPECT_EQ(store.GetIndValuesList("S", "Item", true, lines), 5);
    EXPECT_EQ(lines.last(), "5=Hi");
    EXPECT_EQ(store.GetIndValuesList("none", "Item", false, lines), 0);
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(SettingsNumberedValues, KeysMatchThePrefixInAnyCase) {
    // Keys are one whatever their case: "Item0" must not overwrite "item0".
    store.WriteString("S", "item0", "old");
    store.WriteString("S", "ITEM", "bare");
    EXPECT_EQ(store.GetIndexFromValue("S", "Item", "bare", false), 0);
    EXPECT_EQ(store.DefineIndexValue("S", "Item", "new", false, false), 1);
    EXPECT_EQ(store.ReadString("S", "Item0", ""), "old");
    EXPECT_EQ(store.ReadString("S", "Item1", ""), "new");
}

TEST_F(SettingsValues, DefineFieldWritesOnlyWhenTheSignFits) {
    const struct {
        const char* stored;
        const char* sign;
        const char* after;
    } cases[] = {
        {"old", "*", "new"},  {"old", "old", "new"},   {"old", "other", "old"},
        {nullptr, "", "new"}, {nullptr, "x", nullptr},
    };
    for (const auto& c : cases) {
        store.DeleteSection("F");
        if (c.stored != nullptr) {
            store.WriteString("F", "k", c.stored);
        }
        EXPECT_EQ(store.DefineField("F", "k", "new", false, c.sign),
                  c.stored == nullptr ? "" : c.stored)
            << c.sign;
        EXPECT_EQ(store.ReadString("F", "k", "absent"), c.after == nullptr ? "absent" : c.after)
            << c.sign;
    }
}

}  // namespace
}  // namespace tidora::frame
