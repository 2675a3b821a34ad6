#include "platform/winepfx/unix_name.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/text_utf.h"

namespace tidora::platform::winepfx {
namespace {

TEST(UnixName, MapsBytesToTextAndBack) {
    struct Case {
        std::string unixName;
        std::string text;
    };
    const Case cases[] = {
        {"plain name.txt", "plain name.txt"},
        {"\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82", "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82"},
        {"bad\xFF.tmp", "bad\xEF\x9F\xBF.tmp"},                    // U+F7FF
        {"\xC3", "\xEF\x9F\x83"},                                  // truncated sequence
        {"\xE0\x80\x80", "\xEF\x9F\xA0\xEF\x9E\x80\xEF\x9E\x80"},  // overlong
        {"a\\b",
         "a\xEF\x81\x9C"
         "b"},  // U+F05C
        {"x:y*?\"<>|",
         "x\xEF\x80\xBAy\xEF\x80\xAA\xEF\x80\xBF\xEF\x80\xA2\xEF\x80\xBC"
         "\xEF\x80\xBE\xEF\x81\xBC"},
        {"tab\there", "tab\xEF\x80\x89here"},
        // Genuine characters of the mapping's own ranges go byte by byte.
        {"\xEF\x81\x9C", "\xEF\x9F\xAF\xEF\x9E\x81\xEF\x9E\x9C"},
        {"\xEF\x9F\xBF", "\xEF\x9F\xAF\xEF\x9E\x9F\xEF\x9E\xBF"},
        // Its neighbours are ordinary characters.
        {"\xEF\x82\x80\xEF\x9D\xBF", "\xEF\x82\x80\xEF\x9D\xBF"},
    };
    for (const auto& c : cases) {
        const std::string text = unixNameToText(c.unixName);
        EXPECT_EQ(text, c.text) << c.unixName;
        EXPECT_TRUE(isValidUtf8(text)) << c.unixName;
        EXPECT_EQ(textToUnixName(text), c.unixName) << c.unixName;
    }
}

TEST(UnixName, EveryByteRoundTrips) {
    for (int first = 1; first < 256; ++first) {
        for (int second = 1; second < 256; ++second) {
            if (first == '/' || second == '/') {
                continue;
            }
            const std::string name = {static_cast<char>(first), static_cast<char>(second), '\xBF'};
            const std::string text = unixNameToText(name);
            ASSERT_TRUE(isValidUtf8(text)) << first << " " << second;
            ASSERT_EQ(textToUnixName(text), name) << first << " " << second;
        }
    }
}

}  // namespace
}  // namespace tidora::platform::winepfx
