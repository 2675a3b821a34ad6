#include "stores/working_database.h"

#include <string_view>

#include "catalog/catalog_items.h"
#include "diagnostics/code_trace.h"
#include "stores/dm_diagnostics.h"
#include "stores/item_record_text.h"

namespace tidora::stores {
namespace {

constexpr std::string_view wLVL_BD_DEFPARAMS = "wLVL_BD_DEFPARAMS";
constexpr std::string_view wLVL_BD_LOAD = "wLVL_BD_LOAD";
constexpr std::string_view wLVL_BD_SAVE = "wLVL_BD_SAVE";
constexpr std::string_view wLVL_BD_STATE = "wLVL_BD_STATE";
constexpr std::string_view wLVL_BD_EQUAL = "wLVL_BD_EQUAL";

}  // namespace

bool TBasedata_DM::LoadDefaultParams(int32_t /*aloadRg*/, catalog::TCleanItemsTable& ADS) {
    LevelScope level(wLVL_BD_DEFPARAMS);
    const bool result = catalog::FillDefaultItems(ADS);
    FDMemTable_ItemsDef = ADS;
    return result;
}

QString TBasedata_DM::loadItemRecord(int32_t aConfigNum, const QString& name,
                                     const QString& defValue) {
    QString value = defValue;
    if (OnLoadItemRecord) {
        OnLoadItemRecord(aConfigNum, name, value, defValue);
    }
    return value;
}

void TBasedata_DM::saveItemRecord(int32_t aConfigNum, const QString& name, const QString& value) {
    if (OnSaveItemRecord) {
        QString stored = value;
        OnSaveItemRecord(aConfigNum, name, stored, QString());
    }
}

bool TBasedata_DM::Loaddata(int32_t aConfigNum) {
    LevelScope level(wLVL_BD_LOAD);
    if (!OnLoadItemRecord) {
        return false;
    }
    bool changed = false;
    for (catalog::TCleanItemParams& row : FDMemTable_Items.rows()) {
        const QString text = loadItemRecord(aConfigNum, row.LAT_NAME, QStringLiteral("0"));
        if (text.isEmpty() || text == u"0") {
            continue;
        }
        if (StrToItemRecord(text, row)) {
            changed = true;
        } else {
            diagnostics::TraceCmd(QStringLiteral("warn:"),
                                  QStringLiteral("TBasedata_DM.Loaddata: %1 keeps its default, "
                                                 "stored record \"%2\" does not apply")
                                      .arg(row.LAT_NAME, text));
        }
    }
    return changed;
}

bool TBasedata_DM::Savedata(int32_t aConfigNum) {
    LevelScope level(wLVL_BD_SAVE);
    const auto& items = FDMemTable_Items.rows();
    const auto& defaults = FDMemTable_ItemsDef.rows();
    bool differs = false;
    for (size_t i = 0; i < items.size(); ++i) {
        // A row without a default counts as changed, so that it is not lost.
        const bool same = i < defaults.size() && items[i] == defaults[i];
        differs = differs || !same;
        saveItemRecord(aConfigNum, items[i].LAT_NAME,
                       same ? QStringLiteral("0") : ItemRecordToStr(items[i]));
    }
    return differs;
}

bool TBasedata_DM::SaveState(int32_t aConfigNum, const QString& AStr) {
    LevelScope level(wLVL_BD_STATE);
    saveItemRecord(aConfigNum, QStringLiteral("STATE"), AStr);
    return !AStr.isEmpty();
}

QString TBasedata_DM::GetState(int32_t aConfigNum) {
    LevelScope level(wLVL_BD_STATE);
    const QString value = loadItemRecord(aConfigNum, QStringLiteral("STATE"), QStringLiteral("*"));
    return value == u"*" ? QString() : value;
}

bool TBasedata_DM::EqualRecords(int32_t /*aConfigNum*/, const QString& aLat_name,
                                QString& LRecStr) {
    LevelScope level(wLVL_BD_EQUAL);
    const int item = FDMemTable_Items.indexOfLatName(aLat_name);
    const int def = FDMemTable_ItemsDef.indexOfLatName(aLat_name);
    if (item < 0 || def < 0) {
        return false;
    }
    const catalog::TCleanItemParams& row = FDMemTable_Items.rows()[item];
    if (row == FDMemTable_ItemsDef.rows()[def]) {
        LRecStr.clear();
        return false;
    }
    LRecStr = ItemRecordToStr(row);
    return true;
}

}  // namespace tidora::stores
