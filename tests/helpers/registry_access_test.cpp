#include "helpers/registry_access.h"

#include <gtest/gtest.h>

#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

using platform::RegValue;

class HelpersRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.user("anna").fresh();
        const std::string app = "HKLM\\Software\\Acme";
        b.value(app, RegValue::fromString("Blank", "   "));
        b.value(app, RegValue::fromString("Path", " %USERPROFILE%\\acme "));
        b.value(app, RegValue::fromString("Expand", "%TEMP%", platform::RegType::ExpandSz));
        b.value(app, RegValue::fromDword("Count", 42));
        b.value(app, RegValue::fromBinary("Blob", {1, 2}));
        b.value(app + "\\Deep\\Deeper", RegValue::fromString("Hidden", "found"));
        b.value("HKLM\\Software\\Classes\\.txt", RegValue::fromString("", "txtfile"));
        b.value("HKCU\\Software\\Classes\\.log", RegValue::fromString("", "logfile"));
        b.key("HKLM\\Software\\Classes\\txtfile");
        machine_ = b.openMachine();
    }
    testing::TempDir tmp_;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(HelpersRegistry, ReadsTexts) {
    struct Case {
        const char* path;
        const char* name;
        bool searchSubkeys;
        const char* text;
    };
    const Case cases[] = {
        {"HKLM\\Software\\Acme", "Blank", false, "-"},  // present but blank
        {"HKLM\\Software\\Acme", "Missing", false, ""},
        {"HKLM\\Software\\Acme", "Path", false, "C:\\users\\anna\\acme"},
        {"HKLM\\Software\\Acme", "Expand", false, ""},  // only plain strings count
        {"HKLM\\Software\\Acme", "Hidden", false, ""},
        {"HKLM\\Software\\Acme", "Hidden", true, "found"},
        {"HKLM\\Software\\NoSuch", "Path", true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ReadRegText(*machine_, c.path, c.name, c.searchSubkeys).toStdString(), c.text)
            << c.path << " " << c.name;
    }
    auto reg = CreateRegistry(*machine_, 2);
    reg->SetRootKey(platform::RegRoot::LocalMachine);
    ASSERT_TRUE(reg->OpenKeyReadOnly("Software\\Acme"));
    EXPECT_EQ(ReadRegValueText(*reg, "Count", "d"), "42");
    EXPECT_EQ(ReadRegValueText(*reg, "Expand", "d"), "%TEMP%");
    EXPECT_EQ(ReadRegValueText(*reg, "Blob", "d"), "d");
    EXPECT_EQ(ReadRegValueText(*reg, "Missing", "d"), "d");
    EXPECT_FALSE(reg->DeleteValue("Count"));  // a read accessor changes nothing
    EXPECT_TRUE(RegKeyExists(*machine_, "HKLM\\Software\\Acme\\Deep", true));
    EXPECT_FALSE(RegKeyExists(*machine_, "HKLM\\Software\\Nope", true));
}

TEST_F(HelpersRegistry, DeletesAndListsExtensions) {
    EXPECT_TRUE(DeleteRegValue(*machine_, nullptr, 2, "Software\\Acme", "Count"));
    EXPECT_FALSE(DeleteRegValue(*machine_, nullptr, 2, "Software\\Acme", "Count"));
    auto reg = CreateRegistry(*machine_, 0);
    EXPECT_TRUE(DeleteRegKey(*machine_, reg.get(), 2, "Software\\Acme\\Deep"));
    EXPECT_FALSE(RegKeyExists(*machine_, "HKLM\\Software\\Acme\\Deep", true));
    EXPECT_TRUE(RegKeyExists(*machine_, "HKLM\\Software\\Acme", true));

    QStringList extensions{"stale"};
    EXPECT_TRUE(GetRegisteredExtensions(*machine_, extensions));
    EXPECT_TRUE(extensions.contains(".txt"));
    EXPECT_TRUE(extensions.contains(".log"));
    EXPECT_FALSE(extensions.contains("txtfile"));
    EXPECT_FALSE(extensions.contains("stale"));
}

}  // namespace
}  // namespace tidora::helpers
