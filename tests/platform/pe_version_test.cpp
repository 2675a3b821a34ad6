#include "platform/pe_version.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "fixtures/pe_bytes.h"

namespace tidora::platform {
namespace {

using Strings = std::vector<std::pair<std::string, std::string>>;
using Version = std::array<uint16_t, 4>;

void set32(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + i] = static_cast<char>(v >> (8 * i));
    }
}

void set16(std::string& bytes, size_t at, uint16_t v) {
    bytes[at] = static_cast<char>(v);
    bytes[at + 1] = static_cast<char>(v >> 8);
}

testing::PeImage sampleImage(bool pe32plus = true) {
    return testing::peImage(testing::versionInfoBytes({}), pe32plus);
}

TEST(PeVersion, ReadsFixedVersionStringsAndTranslations) {
    for (const bool pe32plus : {true, false}) {
        SCOPED_TRACE(pe32plus ? "PE32+" : "PE32");
        const auto info = readPeVersionInfo(sampleImage(pe32plus).bytes);
        ASSERT_TRUE(info);
        EXPECT_EQ(info->fixedVersion, (Version{2, 0, 5, 17}));
        ASSERT_EQ(info->stringTables.size(), 1U);
        EXPECT_EQ(info->stringTables[0].first, 0x040904B0U);
        EXPECT_EQ(info->stringTables[0].second, (Strings{{"CompanyName", "Acme Soft"},
                                                         {"FileDescription", "Acme App"},
                                                         {"OriginalFilename", "app.exe"},
                                                         {"ProductName", "Acme"}}));
        EXPECT_EQ(info->translations, std::vector<uint32_t>{0x040904B0U});
    }
}

TEST(PeVersion, SeveralTablesUnicodeTextAndLargeNumbers) {
    testing::VersionResourceSpec resource;
    resource.fixed = {65535, 1, 0, 40000};
    resource.tables = {{"041904E3", {{"CompanyName", "ООО «Ромашка»"}, {"Comments", ""}}},
                   {"040904b0", {{"ProductName", "Daisy €"}}},
                   {"not-hex!", {{"ProductName", "skipped"}}}};
    resource.translations = {{0x0419, 0x04E3}, {0x0409, 0x04B0}};
    const auto info = readPeVersionInfo(testing::peImage(testing::versionInfoBytes(resource)).bytes);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->fixedVersion, (Version{65535, 1, 0, 40000}));
    ASSERT_EQ(info->stringTables.size(), 2U);
    EXPECT_EQ(info->stringTables[0].first, 0x041904E3U);
    EXPECT_EQ(info->stringTables[0].second,
              (Strings{{"CompanyName", "ООО «Ромашка»"}, {"Comments", ""}}));
    EXPECT_EQ(info->stringTables[1].first, 0x040904B0U);
    EXPECT_EQ(info->stringTables[1].second, (Strings{{"ProductName", "Daisy €"}}));
    EXPECT_EQ(info->translations, (std::vector<uint32_t>{0x041904E3U, 0x040904B0U}));
}

TEST(PeVersion, NotAPeFileOrNoVersionResource) {
    std::string noVersionType = sampleImage().bytes;
    set32(noVersionType, sampleImage().resourceRoot + 16 + 8, 17);  // RT_VERSION becomes 17
    std::string noResources = sampleImage().bytes;
    set32(noResources, sampleImage().sectionHeader - 8 * 14, 0);  // resource directory RVA
    std::string badSignature = sampleImage().bytes;
    badSignature[0x40] = 'N';
    for (const std::string& bytes :
         {std::string(), std::string("MZ"), std::string("plain text, not a program"), noVersionType,
          noResources, badSignature}) {
        EXPECT_FALSE(readPeVersionInfo(bytes)) << bytes.size();
    }
}

TEST(PeVersion, FixedInfoWithWrongSignatureKeepsTheStrings) {
    const auto image = sampleImage();
    std::string bytes = image.bytes;
    const size_t fixedAt = image.versionInfo + 6 + 2 * 16 + 2;  // past "VS_VERSION_INFO\0", aligned
    set32(bytes, fixedAt, 0x12345678);
    const auto info = readPeVersionInfo(bytes);
    ASSERT_TRUE(info);
    EXPECT_FALSE(info->fixedVersion);
    ASSERT_EQ(info->stringTables.size(), 1U);
    EXPECT_EQ(info->translations.size(), 1U);
}

TEST(PeVersion, TruncatedFilesNeverReadPastTheEnd) {
    const std::string full = sampleImage().bytes;
    const auto whole = readPeVersionInfo(full);
    ASSERT_TRUE(whole);
    for (size_t length = 0; length < full.size(); ++length) {
        // A copy of its own, so that reading one byte too far is caught by memory checkers.
        const std::string cut = full.substr(0, length);
        const auto info = readPeVersionInfo(cut);
        if (info && info->fixedVersion) {
            EXPECT_EQ(*info->fixedVersion, *whole->fixedVersion) << length;
        }
        if (info && !info->translations.empty()) {
            EXPECT_EQ(info->translations, whole->translations) << length;
        }
    }
}

TEST(PeVersion, DamagedOffsetsAndLengths) {
    const auto image = sampleImage();
    const size_t root = image.resourceRoot;
    const size_t vi = image.versionInfo;
    const size_t stringFileInfo = vi + 0x5C;  // after the header, key and fixed info
    enum Outcome { kNone, kPartial };
    struct Case {
        const char* name;
        std::function<void(std::string&)> damage;
        Outcome outcome;
    };
    const Case cases[] = {
        {"e_lfanew far away", [](std::string& b) { set32(b, 0x3C, 0xFFFFFFF0); }, kNone},
        {"e_lfanew at the end", [](std::string& b) { set32(b, 0x3C, b.size() - 4); }, kNone},
        {"optional header size huge", [](std::string& b) { set16(b, 0x54, 0xFFFF); }, kNone},
        {"optional header size small", [](std::string& b) { set16(b, 0x54, 100); }, kNone},
        {"no data directories",
         [&](std::string& b) { set32(b, image.sectionHeader - 8 * 16 - 4, 2); }, kNone},
        {"many sections", [](std::string& b) { set16(b, 0x46, 0xFFFF); }, kPartial},
        {"section data far away",
         [&](std::string& b) { set32(b, image.sectionHeader + 20, 0xFFFFFF00); }, kNone},
        {"section size huge",
         [&](std::string& b) { set32(b, image.sectionHeader + 16, 0xFFFFFFFF); }, kPartial},
        {"many directory entries", [&](std::string& b) { set16(b, root + 14, 0xFFFF); }, kPartial},
        {"many named entries", [&](std::string& b) { set16(b, root + 12, 0xFFFF); }, kNone},
        {"type subdirectory far away",
         [&](std::string& b) { set32(b, root + 16 + 12, 0x8FFFFFF0); }, kNone},
        {"type entry is data", [&](std::string& b) { set32(b, root + 16 + 12, 0x20); }, kNone},
        {"language entry is a directory",
         [&](std::string& b) { set32(b, root + 0x38 + 16 + 4, 0x80000050); }, kNone},
        {"data entry far away", [&](std::string& b) { set32(b, root + 0x38 + 16 + 4, 0x7FFFFFF0); },
         kNone},
        {"data RVA outside sections", [&](std::string& b) { set32(b, image.dataEntry, 0x50); },
         kNone},
        {"data size huge", [&](std::string& b) { set32(b, image.dataEntry + 4, 0xFFFFFFFF); },
         kPartial},
        {"data size cut", [&](std::string& b) { set32(b, image.dataEntry + 4, 0x70); }, kPartial},
        {"root block length zero", [&](std::string& b) { set16(b, vi, 0); }, kNone},
        {"root block length huge", [&](std::string& b) { set16(b, vi, 0xFFFF); }, kPartial},
        {"root key unterminated", [&](std::string& b) { set16(b, vi, 20); }, kNone},
        {"fixed info length huge", [&](std::string& b) { set16(b, vi + 2, 0xFFFF); }, kPartial},
        {"child block length zero", [&](std::string& b) { set16(b, stringFileInfo, 0); }, kPartial},
        {"child block length odd", [&](std::string& b) { set16(b, stringFileInfo, 7); }, kPartial},
        {"child block length huge", [&](std::string& b) { set16(b, stringFileInfo, 0xFFFF); },
         kPartial},
        {"child value length huge", [&](std::string& b) { set16(b, stringFileInfo + 2, 0xFFFF); },
         kPartial},
    };
    for (const Case& c : cases) {
        std::string bytes = image.bytes;
        c.damage(bytes);
        const auto info = readPeVersionInfo(bytes);
        EXPECT_EQ(info.has_value(), c.outcome == kPartial) << c.name;
    }
}

}  // namespace
}  // namespace tidora::platform
