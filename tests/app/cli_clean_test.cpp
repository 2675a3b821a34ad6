#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/reg_types.h"

namespace tidora::app {
namespace {

using platform::RegValue;

const std::string kTemp = "C:\\users\\olga\\Temp";
const std::string kRun = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A prefix with junk (two temporary files, a Run value for a program that is gone) and what must
// stay (a read-only temporary file, a Run value for a program that exists).
struct CliPrefix {
    CliPrefix() : b(tmp / "prefix") {
        b.user("olga")
            .fresh()
            .file(kTemp + "\\a.tmp", "aaaa")
            .file(kTemp + "\\sub\\b.log", "bb")
            .file("C:\\Program Files\\app\\app.exe", "MZ")
            .value(kRun, RegValue::fromString("Gone", "C:\\Program Files\\gone\\gone.exe"))
            .value(kRun, RegValue::fromString("App", "\"C:\\Program Files\\app\\app.exe\""));
        b.write();
    }
    // The tool's settings and working database live in the prefix's user folder; the host's
    // trash is a folder of the test.
    CliRun run(const std::string& arguments) const {
        setenv("XDG_DATA_HOME", (tmp / "data").c_str(), 1);
        return runCli(arguments + " --prefix '" + b.prefixDir() + "'");
    }
    bool exists(const std::string& windowsPath) const {
        return std::filesystem::exists(b.unixPath(windowsPath));
    }
    testing::TempDir tmp;
    testing::PrefixBuilder b;
};

QJsonObject parse(const CliRun& run) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << run.out;
    return doc.object();
}

QJsonObject itemWithId(const QJsonObject& doc, int id) {
    for (const QJsonValue& item : doc.value("items").toArray()) {
        if (item.toObject().value("id").toInt() == id) {
            return item.toObject();
        }
    }
    return {};
}

TEST(CliClean, AnalyzeFindsAndCleanRemovesTheJunk) {
    CliPrefix p;
    const CliRun analysis = p.run("analyze --items 11,110 --json --rows");
    ASSERT_EQ(analysis.exitCode, 0) << analysis.out;
    const QJsonObject found = parse(analysis);
    EXPECT_EQ(found.value("operation").toString(), "analyze");
    EXPECT_EQ(itemWithId(found, 11).value("count").toInt(), 2);
    EXPECT_EQ(itemWithId(found, 110).value("count").toInt(), 1);
    EXPECT_EQ(itemWithId(found, 110).value("rows").toArray().first().toObject().value("value"),
              "Gone");
    EXPECT_EQ(found.value("analysis").toObject().value("files").toInt(), 2);
    EXPECT_TRUE(p.exists(kTemp + "\\a.tmp"));

    const CliRun imitation = p.run("clean --items 11 --imitate");
    ASSERT_EQ(imitation.exitCode, 0) << imitation.out;
    EXPECT_TRUE(p.exists(kTemp + "\\a.tmp"));

    const CliRun cleaning = p.run("clean --items 11,110");
    ASSERT_EQ(cleaning.exitCode, 0) << cleaning.out;
    for (const char* expected :
         {" Режим: Выбранные пункты", "  Анализ ", "  Очистка",
          "  ИТОГО Удалось очистить: ", "  Файлов: 2", "  Переменных реестра: 1"}) {
        EXPECT_NE(cleaning.out.find(expected), std::string::npos) << expected << "\n"
                                                                  << cleaning.out;
    }
    EXPECT_FALSE(p.exists(kTemp + "\\a.tmp"));
    EXPECT_FALSE(p.exists(kTemp + "\\sub\\b.log"));
    EXPECT_TRUE(p.exists("C:\\Program Files\\app\\app.exe"));
    const std::string userReg = testing::readFile(p.b.prefixDir() + "/user.reg");
    EXPECT_EQ(userReg.find("\"Gone\""), std::string::npos);
    EXPECT_NE(userReg.find("\"App\""), std::string::npos);
}

TEST(CliClean, BadArgumentsAndItemsThatAreNotOffered) {
    CliPrefix p;
    for (const char* arguments :
         {"analyze --regime 9", "analyze --regime x", "clean --items 11,x", "analyze --frobnicate",
          "analyze --regime 2 --items 11", "machine --rows"}) {
        const CliRun run = runCli(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.out;
        EXPECT_NE(run.out.find("tidora-cli --help"), std::string::npos) << run.out;
    }
    const CliRun notOffered = p.run("analyze --items 100");
    EXPECT_EQ(notOffered.exitCode, 2) << notOffered.out;
    EXPECT_NE(notOffered.out.find("item 100 is not offered"), std::string::npos) << notOffered.out;
}

}  // namespace
}  // namespace tidora::app

namespace tidora::app {
namespace {

TEST(CliHistory, CleaningsAreRecordedWithTheirGradesAndCanBeCleared) {
    CliPrefix p;
    const CliRun empty = p.run("history");
    ASSERT_EQ(empty.exitCode, 0) << empty.out;
    EXPECT_NE(empty.out.find("Нет данных о проведенных ранее действиях"), std::string::npos)
        << empty.out;

    const CliRun first = p.run("clean --regime 3");
    ASSERT_EQ(first.exitCode, 0) << first.out;
    EXPECT_NE(first.out.find(" Состояние перед очисткой: "), std::string::npos) << first.out;
    EXPECT_NE(first.out.find(" Индекс очистки:  "), std::string::npos) << first.out;
    EXPECT_EQ(first.out.find("***"), std::string::npos) << first.out;
    ASSERT_EQ(p.run("clean --regime 3").exitCode, 0);
    ASSERT_EQ(p.run("analyze --regime 3").exitCode, 0);  // analyses are not recorded

    const CliRun listed = p.run("history --json");
    ASSERT_EQ(listed.exitCode, 0) << listed.out;
    const QJsonArray entries = parse(listed).value("entries").toArray();
    ASSERT_EQ(entries.size(), 2);
    for (const QJsonValue& entry : entries) {
        const QJsonObject e = entry.toObject();
        EXPECT_EQ(e.value("action").toString(), "Очистка");
        EXPECT_EQ(e.value("result").toString(), "проведена");
        EXPECT_EQ(e.value("regimeName").toString(), "Полная очистка");
        EXPECT_FALSE(e.value("grade").toString().isEmpty());
        EXPECT_GE(e.value("index").toDouble(), 0.0);
        EXPECT_LE(e.value("index").toDouble(), 10.0);
    }
    // The two temporary files, and the pseudo entry of item 51, which counts in every cleaning.
    EXPECT_EQ(entries[0].toObject().value("files").toInt(), 3);
    // The second cleaning found the machine clean.
    EXPECT_GT(entries[1].toObject().value("index").toDouble(),
              entries[0].toObject().value("index").toDouble());

    const CliRun cleared = p.run("history clear");
    ASSERT_EQ(cleared.exitCode, 0) << cleared.out;
    EXPECT_EQ(parse(p.run("history --json")).value("entries").toArray().size(), 0);
}

}  // namespace
}  // namespace tidora::app
