#include "helpers/file_version.h"

#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "fixtures/pe_bytes.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

const QString kApp = "C:\\Program Files\\App\\app.exe";

class HelpersFileVersion : public ::testing::Test {
protected:
    // A prefix whose app.exe carries the given version resource.
    void open(const testing::VersionResourceSpec& resource,
              const std::function<void(testing::PrefixBuilder&)>& more = {}) {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.fresh().file(kApp.toStdString(), testing::peImage(testing::versionInfoBytes(resource)).bytes);
        if (more) {
            more(b);
        }
        machine_ = b.openMachine();
    }

    testing::TempDir tmp_;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(HelpersFileVersion, StringsInKeyOrderAndFixedVersion) {
    open({});
    QStringList lines{"stale"};
    EXPECT_TRUE(GetFileVersionStrings(*machine_, kApp, lines));
    // Keys match whatever their case in the file ("OriginalFilename"); lines use the asked name.
    EXPECT_EQ(lines, (QStringList{"CompanyName=Acme Soft", "FileDescription=Acme App",
                                  "OriginalFileName=app.exe", "ProductName=Acme"}));
    EXPECT_EQ(GetFixedFileVersion(*machine_, kApp), (std::array<int, 4>{2, 0, 5, 17}));
    EXPECT_EQ(GetFixedFileVersion(*machine_, "c:\\program files\\app\\APP.EXE"),
              (std::array<int, 4>{2, 0, 5, 17}));
}

TEST_F(HelpersFileVersion, FirstTranslationWithStringsWins) {
    testing::VersionResourceSpec resource;
    resource.tables = {{"041904e3", {{"SpecialBuild", "x"}}},
                   {"040904B0", {{"ProductVersion", "2.0"}, {"legaltrademarks", "™"}}},
                   {"040704b0", {{"ProductName", "not reached"}}}};
    // The first translation has no table, the second none of the keys asked for.
    resource.translations = {{0x0C0A, 0x04B0}, {0x0419, 0x04E3}, {0x0409, 0x04B0}, {0x0407, 0x04B0}};
    open(resource);
    QStringList lines;
    EXPECT_TRUE(GetFileVersionStrings(*machine_, kApp, lines));
    EXPECT_EQ(lines, (QStringList{"ProductVersion=2.0", QString::fromUtf8("LegalTradeMarks=™")}));
}

TEST_F(HelpersFileVersion, NothingToRead) {
    testing::VersionResourceSpec noTranslation;
    noTranslation.translations.clear();
    open(noTranslation, [](testing::PrefixBuilder& b) {
        b.file("C:\\Program Files\\App\\readme.txt", "plain text")
            .folder("C:\\Program Files\\App\\folder.exe")
            .link("C:\\Program Files\\App\\link.exe",
                  b.unixPath("C:\\Program Files\\App\\app.exe"));
    });
    for (const QString& path :
         {kApp, QString("C:\\Program Files\\App\\missing.exe"),
          QString("C:\\Program Files\\App\\readme.txt"),
          QString("C:\\Program Files\\App\\folder.exe"),
          QString("C:\\Program Files\\App\\link.exe"), QString("relative\\app.exe")}) {
        QStringList lines{"stale"};
        EXPECT_FALSE(GetFileVersionStrings(*machine_, path, lines)) << path.toStdString();
        EXPECT_TRUE(lines.isEmpty()) << path.toStdString();
        if (path != kApp) {
            EXPECT_FALSE(GetFixedFileVersion(*machine_, path)) << path.toStdString();
        }
    }
}

}  // namespace
}  // namespace tidora::helpers
