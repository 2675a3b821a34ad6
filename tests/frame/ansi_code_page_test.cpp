#include "frame/ansi_code_page.h"

#include <gtest/gtest.h>

#include "fixtures/qstring_print.h"

namespace tidora::frame {
namespace {

TEST(SettingsCodePage, KnownCharactersInBothDirections) {
    struct Case {
        int codePage;
        unsigned char byte;
        char16_t unit;
    };
    const Case cases[] = {
        {1251, 0xA8, u'Ё'}, {1251, 0xB8, u'ё'},      {1251, 0xB9, u'№'}, {1251, 0xC0, u'А'},
        {1251, 0xCF, u'П'}, {1251, 0xFF, u'я'},      {1251, 0x88, u'€'}, {1251, 0x80, u'Ђ'},
        {1251, 0xA5, u'Ґ'}, {1252, 0x80, u'€'},      {1252, 0x9F, u'Ÿ'}, {1252, 0x8A, u'Š'},
        {1252, 0xE9, u'é'}, {1252, 0xA0, u'\u00A0'}, {1252, 0x41, u'A'},
    };
    for (const Case& c : cases) {
        const QByteArray bytes(1, static_cast<char>(c.byte));
        EXPECT_EQ(decodeCodePage(bytes, c.codePage), QString(QChar(c.unit)))
            << c.codePage << " byte " << int(c.byte);
        EXPECT_EQ(encodeCodePage(QString(QChar(c.unit)), c.codePage), bytes)
            << c.codePage << " byte " << int(c.byte);
    }
}

TEST(SettingsCodePage, EveryByteSurvivesAReadAndAWrite) {
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (const int codePage : {1251, 1252}) {
        const QString text = decodeCodePage(all, codePage);
        ASSERT_EQ(text.size(), 256) << codePage;
        EXPECT_EQ(encodeCodePage(text, codePage), all) << codePage;
    }
}

TEST(SettingsCodePage, CharactersTheCodePageLacksBecomeQuestionMarks) {
    const QString mixed =
        QStringLiteral("aП\u00E9\u4E2D") + QString::fromUcs4(U"\U0001F600") + u'z';
    EXPECT_EQ(encodeCodePage(mixed, 1251), QByteArray("a\xCF???z"));
    EXPECT_EQ(encodeCodePage(mixed, 1252), QByteArray("a?\xE9??z"));
    EXPECT_EQ(encodeCodePage(mixed, 65001), mixed.toUtf8());
    EXPECT_EQ(decodeCodePage(mixed.toUtf8(), 65001), mixed);
}

}  // namespace
}  // namespace tidora::frame
