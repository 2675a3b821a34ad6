#include "helpers/registry_checks.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/found_records.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"
#include "fixtures/registry_junk.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

namespace junk = testing::regjunk;
using Lines = std::vector<std::string>;
using Check = std::function<bool(platform::Machine&, const QString& key, const TFoundCallback&)>;

// A search key's path without its root prefix, as the reports name it.
std::string pathOf(const char* key) {
    const std::string k = key;
    return k.substr(k.find('\\') + 1);
}

// The checks with the arguments the registry items pass, in the shape of Check.
bool allValues(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckKeyValues(m, 0, 1, k, cb);
}
bool fileNamedValues(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckKeyValues(m, 2, 1, k, cb);
}
bool emptyClasses(platform::Machine& m, const QString&, const TFoundCallback& cb) {
    return CheckEmptyClasses(m, cb);
}
bool classHandlers(platform::Machine& m, const QString&, const TFoundCallback& cb) {
    return CheckClassHandlers(m, cb);
}
bool helpFiles(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckHelpFiles(m, 1, k, cb);
}
bool installerFolders(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckInstallerFolders(m, 1, k, cb);
}
bool uninstall(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckUninstall(m, 2, k, cb);
}
bool emptyKeys(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckEmptyKeys(m, 1, k, cb);
}
bool autoRun(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckAutoRun(m, 1, k, cb);
}
bool muiCache(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckMuiCache(m, true, 1, k, cb);
}
bool muiCacheWithResources(platform::Machine& m, const QString& k, const TFoundCallback& cb) {
    return CheckMuiCache(m, false, 1, k, cb);
}

Lines sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

class RegistryChecks : public ::testing::Test {
protected:
    testing::PrefixBuilder builder(const std::string& name) {
        testing::PrefixBuilder b(tmp_ / name);
        b.fresh();
        junk::checkMachineBase(b, tmp_ / (name + "-drives"));
        return b;
    }
    // Runs a check to its end and returns what it reported.
    Lines run(platform::Machine& machine, const Check& check, const char* key) {
        testing::FoundRecords found;
        EXPECT_TRUE(check(machine, key, found.callback()));
        EXPECT_GE(found.heartbeats, static_cast<int>(found.records.size()));
        return found.lines;
    }

    testing::TempDir tmp_;
};

TEST_F(RegistryChecks, AllValuesAreReportedKeyByKeyDownTheTreeButNeverTheDefault) {
    auto b = builder("prefix");
    junk::typedUrls(b);
    const auto machine = b.openMachine();
    const std::string urls = pathOf(junk::kTypedUrls);
    const Lines expected{urls + "|url1|1|1", urls + "|url2|1|1", urls + "\\Sub|url3|1|1"};
    for (const std::string& key :
         {std::string(junk::kTypedUrls), junk::kTypedUrls + std::string("\\")}) {
        testing::FoundRecords found;
        EXPECT_TRUE(CheckKeyValues(*machine, 0, 1, QString::fromStdString(key), found.callback()));
        EXPECT_EQ(found.lines, expected) << key;
        for (const TwCleanRecord& record : found.records) {
            EXPECT_EQ(record.Date, 0);
        }
    }
}

TEST_F(RegistryChecks, FileNamedValuesAreReportedOnlyWhenProvablyMissing) {
    auto b = builder("prefix");
    junk::sharedDlls(b);
    const auto machine = b.openMachine();
    const std::string dlls = pathOf(junk::kSharedDlls);
    const auto check = [](int mode) {
        return [mode](platform::Machine& m, const QString& key, const TFoundCallback& cb) {
            return CheckKeyValues(m, mode, 1, key, cb);
        };
    };
    EXPECT_EQ(run(*machine, check(2), junk::kSharedDlls),
              (Lines{dlls + "|C:\\Program Files\\Gone\\gone.dll|1|2",
                     dlls + "\\Legacy|C:\\Old\\gone.ocx|1|2"}));
    EXPECT_TRUE(run(*machine, check(1), junk::kSharedDlls).empty());
}

// Each check on a prefix of its own: the junk it must report, and look-alikes it must not.
TEST_F(RegistryChecks, EachCheckReportsItsJunkAndLeavesTheLookAlikes) {
    const std::string fonts = pathOf(junk::kFonts);
    const std::string layers = pathOf(junk::kLayers);
    const std::string help = pathOf(junk::kHelp);
    const std::string folders = pathOf(junk::kInstallerFolders);
    const std::string autorun = pathOf(junk::kRun);
    const std::string mui = pathOf(junk::kMuiCache);
    const std::string apps = pathOf(junk::kAppPaths);
    const std::string programs = pathOf(junk::kUninstall);
    const std::string vendors = pathOf(junk::kVendors);
    struct Case {
        const char* name;
        void (*junk)(testing::PrefixBuilder&);
        const char* key;
        Check check;
        Lines expected;
    };
    const Case cases[] = {
        {"fonts",
         junk::fonts,
         junk::kFonts,
         CheckFonts,
         {fonts + "|Full (TrueType)|1|2", fonts + "|Gone (TrueType)|1|2"}},
        {"compatibility",
         junk::appCompat,
         junk::kLayers,
         CheckAppCompat,
         {layers + "|C:\\Games\\gone.exe|2|1", layers + "|C:\\Games\\gone2.exe|2|1"}},
        {"help files",
         junk::helpFiles,
         junk::kHelp,
         helpFiles,
         {help + "|gone.hlp|1|2", help + "|quoted.hlp|1|2"}},
        {"installer folders",
         junk::installerFolders,
         junk::kInstallerFolders,
         installerFolders,
         {folders + "|C:\\Program Files\\Gone\\|1|2", folders + "|%ProgramFiles%\\Vanished\\|1|2"}},
        {"autorun",
         junk::autoRun,
         junk::kRun,
         autoRun,
         {autorun + "|BareMissing|1|1|ghost.exe /x",
          autorun + "|Expand|1|1|%ProgramFiles%\\Gone\\x.exe",
          autorun + "|Gone|1|1|C:\\Program Files\\Gone\\gone.exe -tray"}},
        {"MUI cache",
         junk::muiCache,
         junk::kMuiCache,
         muiCache,
         {mui + "|C:\\Program Files\\Gone\\gone.exe.ApplicationCompany|1|1",
          mui + "|C:\\Program Files\\Gone\\gone.exe.FriendlyAppName|1|1"}},
        {"MUI cache with resource names",
         junk::muiCache,
         junk::kMuiCache,
         muiCacheWithResources,
         {mui + "|@\"C:\\Program Files\\Gone\\res.dll\",-101|1|1",
          mui + "|C:\\Program Files\\Gone\\gone.exe.ApplicationCompany|1|1",
          mui + "|C:\\Program Files\\Gone\\gone.exe.FriendlyAppName|1|1"}},
        // App Paths and uninstall rows name the subkey to remove, under the root searched.
        {"application paths",
         junk::appPaths,
         junk::kAppPaths,
         CheckAppPaths,
         {apps + "\\gone.exe|gone.exe|1|2", apps + "\\vargone.exe|vargone.exe|1|2"}},
        {"user's application paths",
         junk::appPaths,
         junk::kUserAppPaths,
         CheckAppPaths,
         {apps + "\\usergone.exe|usergone.exe|1|1"}},
        {"uninstall entries",
         junk::uninstall,
         junk::kUninstall,
         uninstall,
         {programs + "\\Gone|C:\\Program Files\\Gone\\unins000.exe|2|2",
          programs + "\\GoneUnquoted|C:\\Program Files\\Gone2\\uninstall.exe|2|2"}},
        {"empty program keys",
         junk::emptyKeys,
         junk::kVendors,
         emptyKeys,
         {vendors + "\\Empty|" + vendors + "\\Empty|1|1",
          vendors + "\\Empty2|" + vendors + "\\Empty2|1|1"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto b = builder("prefix" + std::to_string(++n));
        c.junk(b);
        const auto machine = b.openMachine();
        EXPECT_EQ(sorted(run(*machine, c.check, c.key)), sorted(c.expected));
    }
}

struct CheckRow {
    const char* name;
    const char* key;  // nullptr: the check walks the classes root
    Check check;
};

const std::vector<CheckRow>& allChecks() {
    static const std::vector<CheckRow> rows{
        {"all values", junk::kTypedUrls, allValues},
        {"file-named values", junk::kSharedDlls, fileNamedValues},
        {"extension keys", junk::kFileExts, CheckFileExts},
        {"empty classes", nullptr, emptyClasses},
        {"class handlers", nullptr, classHandlers},
        {"fonts", junk::kFonts, CheckFonts},
        {"compatibility", junk::kLayers, CheckAppCompat},
        {"application paths", junk::kAppPaths, CheckAppPaths},
        {"help files", junk::kHelp, helpFiles},
        {"installer folders", junk::kInstallerFolders, installerFolders},
        {"uninstall entries", junk::kUninstall, uninstall},
        {"empty program keys", junk::kVendors, emptyKeys},
        {"autorun", junk::kRun, autoRun},
        {"MUI cache", junk::kMuiCache, muiCache},
    };
    return rows;
}

class RegistryChecksOnAllJunk : public RegistryChecks {
protected:
    void SetUp() override {
        auto b = builder("prefix");
        for (const auto add :
             {junk::typedUrls, junk::sharedDlls, junk::fileExts, junk::emptyClasses,
              junk::classHandlers, junk::fonts, junk::appCompat, junk::appPaths, junk::helpFiles,
              junk::installerFolders, junk::uninstall, junk::emptyKeys, junk::autoRun,
              junk::muiCache}) {
            add(b);
        }
        machine_ = b.openMachine();
    }
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(RegistryChecksOnAllJunk, AStopEndsEveryCheckAtOnce) {
    for (const CheckRow& row : allChecks()) {
        SCOPED_TRACE(row.name);
        testing::FoundRecords all;
        EXPECT_TRUE(row.check(*machine_, row.key, all.callback()));
        ASSERT_GE(all.records.size(), 2u);

        testing::FoundRecords firstReport;
        firstReport.stopAtReport = 1;
        EXPECT_FALSE(row.check(*machine_, row.key, firstReport.callback()));
        EXPECT_EQ(firstReport.lines, Lines{all.lines.front()});
        EXPECT_EQ(firstReport.callsAfterStop, 0);

        testing::FoundRecords firstHeartbeat;
        firstHeartbeat.stopAtHeartbeat = 1;
        EXPECT_FALSE(row.check(*machine_, row.key, firstHeartbeat.callback()));
        EXPECT_TRUE(firstHeartbeat.records.empty());
        EXPECT_EQ(firstHeartbeat.heartbeats, 1);
        EXPECT_EQ(firstHeartbeat.callsAfterStop, 0);

        EXPECT_TRUE(row.check(*machine_, row.key, nullptr));
    }
}

TEST_F(RegistryChecksOnAllJunk, KeysThatAreMissingOrLackARootReportNothing) {
    for (const CheckRow& row : allChecks()) {
        if (!row.key) {
            continue;
        }
        SCOPED_TRACE(row.name);
        const std::string key = row.key;
        std::string lowerRoot = key;
        std::transform(lowerRoot.begin(), lowerRoot.begin() + 4, lowerRoot.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        // An unknown or lower-case prefix must not fall back to a whole root.
        for (const std::string& bad :
             {pathOf(row.key), lowerRoot, key + "\\NoSuchKey", "HKXX\\" + pathOf(row.key)}) {
            testing::FoundRecords found;
            EXPECT_TRUE(row.check(*machine_, QString::fromStdString(bad), found.callback())) << bad;
            EXPECT_TRUE(found.lines.empty()) << bad;
        }
    }
}

}  // namespace
}  // namespace tidora::helpers
