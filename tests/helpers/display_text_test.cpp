#include "helpers/display_text.h"

#include <gtest/gtest.h>

namespace tidora::helpers {
namespace {

TEST(HelpersText, SizeToStr) {
    const QLocale en(QLocale::English, QLocale::UnitedStates);
    const QLocale ru(QLocale::Russian, QLocale::Russia);
    struct Case {
        int64_t size;
        const char* english;
        const char* russian;
    };
    const Case cases[] = {
        {0, "0", "0"},
        {512, "512", "512"},
        {1023, "1023", "1023"},
        {1024, "1.00 Kb", "1,00 Kb"},
        {1536, "1.50 Kb", "1,50 Kb"},
        {1048575, "1,024.00 Kb", "1\u00A0024,00 Kb"},
        {1048576, "1.00 Mb", "1,00 Mb"},
        {5368709120LL, "5.00 Gb", "5,00 Gb"},
        {-5, "-", "-"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SizeToStr(2, c.size, en).toStdString(), c.english) << c.size;
        EXPECT_EQ(SizeToStr(2, c.size, ru).toStdString(), c.russian) << c.size;
    }
}

TEST(HelpersText, ShortenedTexts) {
    EXPECT_EQ(RightChars("abcdef", 2), "ef");
    EXPECT_EQ(RightChars("abc", 10), "abc");
    EXPECT_EQ(ShortenText("short", 10), "short");
    EXPECT_EQ(ShortenText("0123456789abcdefghij", 12), "01234..fghij");

    const QString path = "C:\\Program Files\\Some Vendor\\Product\\bin\\tool.exe";
    EXPECT_EQ(ShortenFileName(path, 100), path);
    // Room for the name: the start of the folder, "..", the name; exactly the limit long.
    EXPECT_EQ(ShortenFileName(path, 30), "C:\\Program Files\\So..\\tool.exe");
    // No room: the drive, "..." and the end of the name.
    const QString longName = "C:\\x\\a_very_long_file_name_of_a_report.txt";
    EXPECT_EQ(ShortenFileName(longName, 20), "C:\\...f_a_report.txt");
}

}  // namespace
}  // namespace tidora::helpers
