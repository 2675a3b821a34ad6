#include <gtest/gtest.h>

#include <QString>
#include <map>
#include <memory>
#include <utility>

#include "catalog/catalog_items.h"
#include "fixtures/qstring_print.h"
#include "fixtures/recording_dialogs.h"
#include "fixtures/temp_dir.h"
#include "frame/settings_store.h"
#include "stores/item_record_text.h"
#include "stores/item_settings_binding.h"
#include "stores/working_database.h"

namespace tidora::stores {
namespace {

// The item tables as the clean group sets them up, with settings kept in a map.
class ItemSettings : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dm.LoadDefaultParams(0, dm.FDMemTable_Items));
        ASSERT_GT(dm.FDMemTable_Items.size(), 3);
        dm.OnLoadItemRecord = [this](int32_t config, const QString& name, QString& value,
                                     const QString& def) {
            const auto found = stored.find({config, name});
            value = found == stored.end() ? def : found->second;
        };
        dm.OnSaveItemRecord = [this](int32_t config, const QString& name, QString& value,
                                     const QString&) {
            stored[{config, name}] = value;
        };
    }

    catalog::TCleanItemParams& item(const char* latName) {
        const int index = dm.FDMemTable_Items.indexOfLatName(QString::fromUtf8(latName));
        EXPECT_GE(index, 0) << latName;
        return dm.FDMemTable_Items.rows().at(index);
    }

    testing::RecordingDialogs dialogs;
    TBasedata_DM dm{dialogs};
    std::map<std::pair<int32_t, QString>, QString> stored;
};

TEST_F(ItemSettings, DefaultsAreACopyOfWhatTheCatalogFilled) {
    catalog::TCleanItemsTable catalogRows;
    ASSERT_TRUE(catalog::FillDefaultItems(catalogRows));
    EXPECT_EQ(dm.FDMemTable_Items.rows(), catalogRows.rows());
    EXPECT_EQ(dm.FDMemTable_ItemsDef.rows(), catalogRows.rows());
}

TEST_F(ItemSettings, LoadAppliesOnlyRecordsThatParse) {
    const catalog::TCleanItemsTable before = dm.FDMemTable_Items;
    stored[{1, QStringLiteral("TempFiles")}] = QStringLiteral("12|1|1|3|0|1|");
    stored[{1, QStringLiteral("ClipBoard")}] = QStringLiteral("12|1|1|3|0|");
    stored[{1, QStringLiteral("Logs")}] = QStringLiteral("0");
    stored[{1, QStringLiteral("CrashDamps")}] = QString();
    stored[{1, QStringLiteral("IECookie")}] = QStringLiteral("x|1|1|3|0|1|");
    stored[{2, QStringLiteral("IEHistory")}] = QStringLiteral("5|1|1|2|0|0|");

    EXPECT_TRUE(dm.Loaddata(1));
    const catalog::TCleanItemParams& loaded = item("TempFiles");
    EXPECT_EQ(loaded.ID, 12);
    EXPECT_EQ(loaded.TYPE, 1);
    EXPECT_EQ(loaded.ACTION_ID, 1);
    EXPECT_EQ(loaded.CAT_ID, 3);
    EXPECT_EQ(loaded.SIGN, 0);
    EXPECT_TRUE(loaded.ACTIVE);
    const int changed = dm.FDMemTable_Items.indexOfLatName(QStringLiteral("TempFiles"));
    for (int i = 0; i < before.size(); ++i) {
        if (i != changed) {
            EXPECT_EQ(dm.FDMemTable_Items.rows()[i], before.rows()[i]) << i;
        }
    }
}

TEST_F(ItemSettings, LoadWithNothingApplicableOrNoCallbackChangesNothing) {
    const catalog::TCleanItemsTable before = dm.FDMemTable_Items;
    stored[{1, QStringLiteral("TempFiles")}] = QStringLiteral("not|a|number|at|all|1|");
    EXPECT_FALSE(dm.Loaddata(1));
    stored[{1, QStringLiteral("TempFiles")}] = QStringLiteral("11|1|1|1|1|0|");
    dm.OnLoadItemRecord = nullptr;
    EXPECT_FALSE(dm.Loaddata(1));
    EXPECT_EQ(dm.FDMemTable_Items.rows(), before.rows());
}

TEST_F(ItemSettings, SaveStoresRecordsOfChangedItemsAndZeroForTheRest) {
    EXPECT_FALSE(dm.Savedata(1));
    EXPECT_EQ(stored.size(), static_cast<size_t>(dm.FDMemTable_Items.size()));
    for (const auto& [key, value] : stored) {
        EXPECT_EQ(value, QStringLiteral("0")) << key.second.toStdString();
    }

    catalog::TCleanItemParams& logs = item("Logs");
    logs.ACTIVE = false;
    EXPECT_TRUE(dm.Savedata(1));
    EXPECT_EQ((stored[{1, QStringLiteral("Logs")}]), ItemRecordToStr(logs));
    EXPECT_EQ((stored[{1, QStringLiteral("TempFiles")}]), QStringLiteral("0"));

    // What was saved comes back on the next start.
    const catalog::TCleanItemsTable changed = dm.FDMemTable_Items;
    ASSERT_TRUE(dm.LoadDefaultParams(0, dm.FDMemTable_Items));
    EXPECT_TRUE(dm.Loaddata(1));
    EXPECT_EQ(dm.FDMemTable_Items.rows(), changed.rows());
}

TEST_F(ItemSettings, EqualRecordsTellsWhetherAnItemDiffersFromItsDefault) {
    QString text = QStringLiteral("untouched");
    EXPECT_FALSE(dm.EqualRecords(1, QStringLiteral("TempFiles"), text));
    EXPECT_EQ(text, QString());

    item("TempFiles").ACTIVE = false;
    EXPECT_TRUE(dm.EqualRecords(1, QStringLiteral("TempFiles"), text));
    EXPECT_EQ(text, ItemRecordToStr(item("TempFiles")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("|0|")));

    catalog::TCleanItemParams extra = item("Logs");
    extra.LAT_NAME = QStringLiteral("OnlyInItems");
    dm.FDMemTable_Items.append(extra);
    text = QStringLiteral("untouched");
    EXPECT_FALSE(dm.EqualRecords(1, QStringLiteral("OnlyInItems"), text));
    EXPECT_EQ(text, QStringLiteral("untouched"));
    EXPECT_FALSE(dm.EqualRecords(1, QStringLiteral("Nowhere"), text));
    EXPECT_EQ(text, QStringLiteral("untouched"));
}

TEST_F(ItemSettings, StateTextIsEmptyUntilStored) {
    EXPECT_EQ(dm.GetState(1), QString());
    EXPECT_TRUE(dm.SaveState(1, QStringLiteral("1,0,1")));
    EXPECT_EQ(dm.GetState(1), QStringLiteral("1,0,1"));
    EXPECT_EQ(dm.GetState(2), QString());
    EXPECT_FALSE(dm.SaveState(1, QString()));
    EXPECT_EQ(dm.GetState(1), QString());
    stored[{1, QStringLiteral("STATE")}] = QStringLiteral("*");
    EXPECT_EQ(dm.GetState(1), QString());
    dm.OnLoadItemRecord = nullptr;
    EXPECT_EQ(dm.GetState(1), QString());
}

TEST(ItemSettingsFile, RecordsLiveInConfigSectionsOfTheSettingsFile) {
    testing::TempDir dir;
    const std::string path = dir / "tidora.ini";
    testing::writeFile(path, "[USER]\r\nIMIT=0\r\n");
    testing::RecordingDialogs dialogs;
    std::string record;
    {
        frame::TwiniSettings settings;
        ASSERT_EQ(settings.SetParams(QString::fromStdString(path), "", 0), 0);
        TBasedata_DM dm(dialogs);
        BindItemRecordsToSettings(dm, settings);
        ASSERT_TRUE(dm.LoadDefaultParams(0, dm.FDMemTable_Items));
        const int index = dm.FDMemTable_Items.indexOfLatName(QStringLiteral("TempFiles"));
        ASSERT_GE(index, 0);
        dm.FDMemTable_Items.rows()[index].ACTIVE = false;
        record = ItemRecordToStr(dm.FDMemTable_Items.rows()[index]).toStdString();
        EXPECT_TRUE(dm.Savedata(3));
        EXPECT_TRUE(dm.SaveState(3, QStringLiteral("regime state")));
    }
    // Saved at once: the file holds it although the store was never saved by its owner.
    const std::string text = testing::readFile(path);
    EXPECT_NE(text.find("[CONFIG_3]"), std::string::npos) << text;
    EXPECT_NE(text.find("TempFiles=" + record), std::string::npos) << text;
    EXPECT_NE(text.find("Logs=0"), std::string::npos) << text;
    EXPECT_NE(text.find("STATE=regime state"), std::string::npos) << text;

    frame::TwiniSettings settings;
    ASSERT_EQ(settings.SetParams(QString::fromStdString(path), "", 0), 0);
    TBasedata_DM dm(dialogs);
    BindItemRecordsToSettings(dm, settings);
    ASSERT_TRUE(dm.LoadDefaultParams(0, dm.FDMemTable_Items));
    EXPECT_FALSE(dm.Loaddata(1));
    EXPECT_TRUE(dm.Loaddata(3));
    const int index = dm.FDMemTable_Items.indexOfLatName(QStringLiteral("TempFiles"));
    EXPECT_FALSE(dm.FDMemTable_Items.rows()[index].ACTIVE);
    EXPECT_EQ(dm.GetState(3), QStringLiteral("regime state"));
    EXPECT_EQ(dm.GetState(1), QString());
}

}  // namespace
}  // namespace tidora::stores
