#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/found_records.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/qstring_print.h"
#include "fixtures/registry_junk.h"
#include "fixtures/temp_dir.h"
#include "helpers/file_checks.h"
#include "helpers/registry_checks.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::helpers {
namespace {

namespace junk = testing::regjunk;
using Lines = std::vector<std::string>;

Lines sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

class RegistryClassChecks : public ::testing::Test {
protected:
    std::unique_ptr<platform::winepfx::WinePrefixMachine> open(
        void (*junk)(testing::PrefixBuilder&)) {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.fresh();
        junk::checkMachineBase(b, tmp_.path());
        junk(b);
        return b.openMachine();
    }
    testing::TempDir tmp_;
};

TEST_F(RegistryClassChecks, ExtensionsWithoutClassChoiceOrProgramListAreReportedWithTheirDate) {
    const auto machine = open(junk::fileExts);
    testing::FoundRecords found;
    EXPECT_TRUE(CheckFileExts(*machine, junk::kFileExts, found.callback()));
    const std::string exts = std::string(junk::kFileExts).substr(5);
    ASSERT_EQ(found.lines, (Lines{exts + "|.junk|1|1", exts + "|.old|1|1"}));
    // An extension without subkeys carries its own date, another that of its last subkey.
    EXPECT_EQ(found.records[0].Date, FileTimeToDateTimeLocal(junk::kJunkExtTime));
    EXPECT_EQ(found.records[1].Date, FileTimeToDateTimeLocal(junk::kOldExtListTime));
}

TEST_F(RegistryClassChecks, ClassesWithNothingButAnEmptyDefaultAreReported) {
    const auto machine = open(junk::emptyClasses);
    testing::FoundRecords found;
    EXPECT_TRUE(CheckEmptyClasses(*machine, found.callback()));
    EXPECT_EQ(sorted(found.lines),
              (Lines{"|blankdefault|2|0", "|emptyclass|2|0", "|twobytes|2|0"}));
    const auto at = std::find(found.lines.begin(), found.lines.end(), "|emptyclass|2|0");
    ASSERT_NE(at, found.lines.end());
    EXPECT_EQ(found.records[at - found.lines.begin()].Date,
              FileTimeToDateTimeLocal(junk::kEmptyClassTime));
}

TEST_F(RegistryClassChecks, HandlersNamingMissingProgramsAreReportedOnceEach) {
    const auto machine = open(junk::classHandlers);
    testing::FoundRecords found;
    EXPECT_TRUE(CheckClassHandlers(*machine, found.callback()));
    const std::string system = machine->specialFolder(37);
    // "triple" has three subkeys whose names begin with "shell": one report of its command.
    EXPECT_EQ(sorted(found.lines),
              sorted({"badicon\\DefaultIcon|C:\\Program Files\\Gone\\gone.exe|2|0",
                      "lostsysicon\\DefaultIcon|" + system + "\\nosuch.dll|2|0",
                      "triple\\shell\\open\\command|C:\\Gone\\app.exe|3|0"}));
}

}  // namespace
}  // namespace tidora::helpers
