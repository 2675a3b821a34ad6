#include "diagnostics/code_trace_item.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QLocale>
#include <string>

#include "diagnostics/date_time.h"

namespace tidora::diagnostics {
namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

TEST(TraceItem, CommandRegimeOfAText) {
    struct Case {
        const char* text;
        int regime;
    };
    const Case cases[] = {
        {"user:", 0},     {"enter", 1},     {"Enter:", 1},
        {"  EXIT  ", 2},  {"warn", 3},      {"warning", 3},
        {"Warnings:", 3}, {"err", 4},       {"errors", 4},
        {"Error: x", 4},  {"note:", 5},     {"exclam", 8},
        {"exception", 8}, {"exc", 8},       {"opt:", 9},
        {"app", 10},      {"command", 10},  {"commandline", 10},
        {"quit:", 16},    {"enter:x", 1},   {"information", -1},
        {"info", 7},      {"entering", -1}, {"foo", -1},
        {"", -1},         {"   ", -1},      {":", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TCodeTraceItem::GetCommandRegime(c.text), c.regime) << '"' << c.text << '"';
    }
}

TEST(TraceItem, CommandNameOfARegime) {
    EXPECT_EQ(TraceCommandList().size(), 17);
    EXPECT_EQ(str(TCodeTraceItem::GetCommandName(0)), "user:");
    EXPECT_EQ(str(TCodeTraceItem::GetCommandName(8)), "exclam:");
    EXPECT_EQ(str(TCodeTraceItem::GetCommandName(16)), "quit:");
    EXPECT_EQ(str(TCodeTraceItem::GetCommandName(17)), "");
    EXPECT_EQ(str(TCodeTraceItem::GetCommandName(-1)), "");
    for (int regime = 0; regime < TraceCommandList().size(); ++regime) {
        EXPECT_EQ(TCodeTraceItem::GetCommandRegime(TCodeTraceItem::GetCommandName(regime)), regime);
    }
}

TEST(TraceItem, CreatedFromCommandAndText) {
    const TCodeTraceItem known("Error", "  disk full \t");
    EXPECT_EQ(str(known.CommandName), "err:");
    EXPECT_EQ(known.CommandRegime, 4);
    EXPECT_EQ(str(known.MessData), "disk full");
    EXPECT_FALSE(known.IsEmpty());

    const TCodeTraceItem unknown("foo", "x");
    EXPECT_EQ(str(unknown.CommandName), "");
    EXPECT_EQ(unknown.CommandRegime, -1);
    EXPECT_TRUE(unknown.IsEmpty());
}

TEST(TraceItem, Emptiness) {
    struct Case {
        const char* name;
        int regime;
        const char* message;
        bool empty;
    };
    const Case cases[] = {
        {"enter:", 1, "", false},  {"empty:", -1, "", true}, {"empty:", 0, "", true},
        {"empty:", 0, "x", false}, {"", 0, "x", true},       {"user:", -1, "x", true},
    };
    for (const Case& c : cases) {
        TCodeTraceItem item;
        item.CommandName = c.name;
        item.CommandRegime = c.regime;
        item.MessData = c.message;
        EXPECT_EQ(item.IsEmpty(), c.empty) << c.name << " " << c.regime << " " << c.message;
    }
}

TEST(TraceItem, CopiesAndBlankItem) {
    const TCodeTraceItem blank = TCodeTraceItem::CreateFrom(nullptr);
    EXPECT_EQ(str(blank.CommandName), "empty:");
    EXPECT_EQ(blank.CommandRegime, -1);
    EXPECT_TRUE(blank.IsEmpty());

    TCodeTraceItem source("note", "hello");
    source.DTime = 123.5;
    TCodeTraceItem copy = TCodeTraceItem::CreateFrom(&source);
    EXPECT_EQ(str(copy.CommandName), "note:");
    EXPECT_EQ(copy.CommandRegime, 5);
    EXPECT_EQ(str(copy.MessData), "hello");
    EXPECT_EQ(copy.DTime, 123.5);
    copy.Assign(nullptr);
    EXPECT_EQ(str(copy.MessData), "hello");
}

TEST(TraceItem, ParsedFromDatagramText) {
    struct Case {
        const char* text;
        const char* name;
        int regime;
        const char* message;
    };
    const Case cases[] = {
        {"enter: x TIME=14:05:09.123", "enter:", 1, "x"},
        {"enter: x", "enter:", 1, "x"},
        {"no colon here", "user:", 0, "no colon here"},
        {":colon first", "user:", 0, ":colon first"},
        {"warn:", "warn:", 3, ""},
        {"foo: bar", "", -1, "bar"},
        {"user: (foo:)> x TIME=01:02:03.004", "user:", 0, "(foo:)> x"},
        {"note: a TIME=b TIME=10:00:00.000", "note:", 5, "a TIME=b"},
        {"err: x TIME=", "err:", 4, "x TIME="},
        {"err: x TIME=garbage", "err:", 4, "x"},
        {"info: путь=C:\\Temp TIME=10:00:00.000", "info:", 7, "путь=C:\\Temp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TCodeTraceItem item = TCodeTraceItem::CreateFromString(QString::fromUtf8(c.text));
        EXPECT_EQ(str(item.CommandName), c.name);
        EXPECT_EQ(item.CommandRegime, c.regime);
        EXPECT_EQ(str(item.MessData), c.message);
    }
}

class TraceItemText : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()))); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }
};

TEST_P(TraceItemText, DatagramTextRoundTrip) {
    const QDate day(2026, 12, 11);
    TCodeTraceItem item("enter", "TtempFilesCleanItem.Run in - item=Temp");
    item.DTime = daysFromDateTime(QDateTime(day, QTime(14, 5, 9, 123)));
    const QChar separator = timeSeparator(QLocale());
    const QString expected =
        QStringLiteral("enter: TtempFilesCleanItem.Run in - item=Temp TIME=14") + separator + "05" +
        separator + "09.123";
    EXPECT_EQ(item.DataToString(), expected);

    TCodeTraceItem parsed;
    parsed.DTime = daysFromDateTime(QDateTime(QDate(2020, 1, 2), QTime(0, 0)));
    parsed.ExtractDataFromString(item.DataToString());
    EXPECT_EQ(str(parsed.CommandName), "enter:");
    EXPECT_EQ(str(parsed.MessData), "TtempFilesCleanItem.Run in - item=Temp");
    // The time of day comes from the text; the date stays.
    EXPECT_EQ(dateTimeFromDays(parsed.DTime), QDateTime(QDate(2020, 1, 2), QTime(14, 5, 9, 123)));

    const double before = parsed.DTime;
    parsed.ExtractDataFromString("exit: y TIME=25" + QString(separator) + "99");
    EXPECT_EQ(parsed.DTime, before);
    EXPECT_EQ(str(parsed.MessData), "y");
}

INSTANTIATE_TEST_SUITE_P(TraceLocales, TraceItemText, ::testing::Values("C", "ru_RU", "fi_FI"));

TEST(TraceItem, CreateFromStringStampsTheTimeOfParsing) {
    const double before = nowAsDays();
    const TCodeTraceItem item = TCodeTraceItem::CreateFromString("enter: x TIME=00:00:01.000");
    EXPECT_GE(item.DTime, before);
}

TEST(TraceItem, CommandParams) {
    struct Case {
        const char* message;
        const char* ident;
        const char* value;
    };
    const Case cases[] = {
        {"count=[12] items", "count", "12"}, {"a=[x] b=[y]", "a", "x] b=[y"},  // up to the last "]"
        {"a=[x] b=[y]", "b", "y"},           {"count=[] items", "count", ""},
        {"count=[12 items", "count", ""},    {"count=12", "count", ""},
        {"total=[5]", "count", ""},          {"] count=[7", "count", ""},
    };
    for (const Case& c : cases) {
        TCodeTraceItem item("note", c.message);
        EXPECT_EQ(str(item.GetCommandParams(c.ident)), c.value) << c.message << " / " << c.ident;
    }
}

}  // namespace
}  // namespace tidora::diagnostics
