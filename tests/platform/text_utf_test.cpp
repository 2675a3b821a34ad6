#include "platform/text_utf.h"

#include <gtest/gtest.h>

namespace tidora::platform {
namespace {

TEST(TextUtf, RoundTripsAcrossPlanes) {
    const std::string text =
        "Temp \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xF0\x9F\x98\x80";
    const std::u16string units = utf8ToUtf16(text);
    EXPECT_EQ(units.size(), 5u + 6u + 1u + 2u);
    EXPECT_EQ(utf16ToUtf8(units), text);
}

TEST(TextUtf, MalformedInputBecomesReplacement) {
    EXPECT_FALSE(isValidUtf8("a\xFF"));
    EXPECT_FALSE(isValidUtf8("\xC3"));
    EXPECT_FALSE(isValidUtf8("\xE0\x80\x80"));  // overlong
    EXPECT_TRUE(isValidUtf8("\xEF\xBF\xBD"));   // a genuine U+FFFD
    EXPECT_EQ(utf8ToUtf16("a\xFF"), u"a\uFFFD");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

TEST(TextUtf, CaseInsensitiveNames) {
    struct Case {
        const char* a;
        const char* b;
        bool equal;
    };
    const Case cases[] = {
        {"Program Files", "PROGRAM FILES", true},
        {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
         "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2", true},
        {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", true},
        {"abc", "abcd", false},
        {"a\xFF", "A\xFF", true},
        {"a\xFF", "a\xFE", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(equalsNoCase(c.a, c.b), c.equal) << c.a << " vs " << c.b;
    }
    EXPECT_EQ(upperCase("windows\\\xD1\x91"), "WINDOWS\\\xD0\x81");
}

}  // namespace
}  // namespace tidora::platform
