#include "stores/damaged_file_aside.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QTime>
#include <filesystem>

#include "fixtures/qstring_print.h"
#include "fixtures/temp_dir.h"

namespace tidora::stores {
namespace {

namespace fs = std::filesystem;

const QDateTime kWhen(QDate(2024, 3, 1), QTime(10, 11, 12));

class DamagedFileAside : public ::testing::Test {
protected:
    std::string file() const { return dir / "hist.wch"; }
    std::string stem() const { return file() + ".damaged-20240301-101112"; }

    testing::TempDir dir;
};

TEST_F(DamagedFileAside, TheFileAndItsSideFilesMoveTogether) {
    testing::writeFile(file(), "damaged");
    testing::writeFile(file() + "-journal", "its journal");
    testing::writeFile(file() + "-wal", "its log");

    const std::optional<QString> moved =
        MoveDamagedFileAside(QString::fromStdString(file()), kWhen);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, QString::fromStdString(stem()));
    EXPECT_EQ(testing::readFile(stem()), "damaged");
    EXPECT_EQ(testing::readFile(stem() + "-journal"), "its journal");
    EXPECT_EQ(testing::readFile(stem() + "-wal"), "its log");
    for (const char* suffix : {"", "-journal", "-wal", "-shm"}) {
        EXPECT_FALSE(fs::exists(file() + suffix)) << suffix;
    }
    EXPECT_FALSE(fs::exists(stem() + "-shm"));
}

TEST_F(DamagedFileAside, NoEarlierFileAsideIsOverwritten) {
    // The name is taken as soon as one of the files would land on something.
    testing::writeFile(stem(), "damaged before");
    testing::writeFile(stem() + "-2-journal", "a journal moved before");
    testing::writeFile(file(), "damaged again");
    testing::writeFile(file() + "-journal", "its journal");

    const std::optional<QString> moved =
        MoveDamagedFileAside(QString::fromStdString(file()), kWhen);
    ASSERT_TRUE(moved);
    EXPECT_EQ(*moved, QString::fromStdString(stem() + "-3"));
    EXPECT_EQ(testing::readFile(stem() + "-3"), "damaged again");
    EXPECT_EQ(testing::readFile(stem() + "-3-journal"), "its journal");
    EXPECT_EQ(testing::readFile(stem()), "damaged before");
    EXPECT_EQ(testing::readFile(stem() + "-2-journal"), "a journal moved before");
    EXPECT_FALSE(fs::exists(stem() + "-2"));
}

TEST_F(DamagedFileAside, NothingThereIsNothingToMove) {
    const std::optional<QString> moved =
        MoveDamagedFileAside(QString::fromStdString(file()), kWhen);
    ASSERT_TRUE(moved);
    EXPECT_TRUE(moved->isEmpty());
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

}  // namespace
}  // namespace tidora::stores
