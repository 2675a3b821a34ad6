#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <string>

#include <gtest/gtest.h>

#include "app/cli_run.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"

namespace tidora::app {
namespace {

QJsonObject itemWithId(const QJsonArray& items, int id) {
    for (const QJsonValue& item : items) {
        if (item.toObject().value("id").toInt() == id) {
            return item.toObject();
        }
    }
    return {};
}

TEST(CliCatalog, ListsItemsWithTheirFoldersAndStates) {
    testing::TempDir tmp;
    testing::PrefixBuilder b(tmp / "prefix");
    b.user("olga").fresh().folder("C:\\users\\olga\\AppData\\Local\\CrashDumps");
    b.write();
    const std::string prefix = "--prefix '" + (tmp / "prefix") + "'";

    const CliRun text = runCli("catalog " + prefix);
    EXPECT_EQ(text.exitCode, 0) << text.out;
    for (const char* expected :
         {"Windows 6.1 (version code 7), x64, 33 items",
          "[11] TempFiles \"Временные файлы\": files, on by default, regimes 2,3,4, mask *.*",
          "  search  C:\\users\\olga\\Temp  [exists]",
          "[13] CrashDamps \"Дампы памяти\": files, on by default, regimes 3,4, mask *.dmp",
          "  search  C:\\users\\olga\\AppData\\Local\\CrashDumps  [exists]",
          "  search  C:\\windows\\MiniDump  [missing]", "  exclude container.dat  [not tested]",
          "[12] ClipBoard \"Буфер обмена\": other, on by default, regimes 1,2,3,4\n"
          "  works without a search definition",
          "[100] RegistryDll \"Некорретные dll-библиотеки\": registry, off by default, regimes "
          "1,2,3,4\n  not offered: nothing to search on this machine"}) {
        EXPECT_NE(text.out.find(expected), std::string::npos) << expected << "\n" << text.out;
    }

    const CliRun json = runCli("catalog --json " + prefix);
    ASSERT_EQ(json.exitCode, 0) << json.out;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(json.out), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << json.out;
    const QJsonArray items = doc.object().value("items").toArray();
    EXPECT_EQ(items.size(), 33);
    EXPECT_EQ(doc.object().value("windows").toObject().value("versionCode").toInt(), 7);
    const QJsonObject dumps = itemWithId(items, 13);
    EXPECT_EQ(dumps.value("latName").toString(), "CrashDamps");
    EXPECT_EQ(dumps.value("class").toString(), "files");
    EXPECT_EQ(dumps.value("mask").toString(), "*.dmp");
    EXPECT_EQ(dumps.value("regimes").toArray(), (QJsonArray{3, 4}));
    const QJsonObject first = dumps.value("entries").toArray().first().toObject();
    EXPECT_EQ(first.value("list").toString(), "search");
    EXPECT_EQ(first.value("state").toString(), "exists");
    EXPECT_FALSE(itemWithId(items, 100).value("offered").toBool());
    EXPECT_TRUE(itemWithId(items, 110).value("offered").toBool());

    const CliRun bad = runCli("machine --json " + prefix);
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.out.find("unknown argument '--json'"), std::string::npos) << bad.out;
}

}  // namespace
}  // namespace tidora::app
