#include "engine/reg_clean_item.h"

#include "catalog/item_paths.h"
#include "diagnostics/code_trace.h"
#include "engine/imitation_mode.h"
#include "helpers/reg_paths.h"
#include "helpers/registry_access.h"
#include "helpers/registry_checks.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

void trace(const char* command, const QString& text) {
    diagnostics::TraceCmd(QString::fromLatin1(command), text);
}

QString joinKey(const QString& parent, const QString& name) {
    return parent.isEmpty() ? name : parent + QLatin1Char('\\') + name;
}

}  // namespace

TRegCleanItem::TRegCleanItem(platform::Machine& machine, catalog::TCleanPaths_DM* paths,
                             int32_t actID, int32_t acatID, int32_t aID, const QString& aLat_name)
    : TbaseCleanItem(machine, actID, acatID, aID, aLat_name) {
    FTypeID = 2;
    QString mask = QStringLiteral("*.*");
    catalog::DefineItemPaths(machine, paths, actID, acatID, aID, mask, ExceptList, VarList);
    catalog::RegisterItemName(paths, acatID, aID, aLat_name);
}

bool TRegCleanItem::EvaluateCount(int32_t) {
    FCount = IsAnalysisRegime() ? 1 : 0;
    return FCount > 0;
}

void TRegCleanItem::runCheck(const QString& key, const helpers::TFoundCallback& found) {
    switch (iD) {
        case 4:
            helpers::CheckKeyValues(machine_, 0, 1, key, found);
            break;
        case 100:
            helpers::CheckKeyValues(machine_, 2, 1, key, found);
            break;
        case 101:
            helpers::CheckFileExts(machine_, key, found);
            break;
        case 102:
            helpers::CheckClassHandlers(machine_, found);
            break;
        case 105:
            helpers::CheckFonts(machine_, key, found);
            break;
        case 106:
            if (key.contains(QLatin1String("appcompatflags"), Qt::CaseInsensitive)) {
                helpers::CheckAppCompat(machine_, key, found);
            } else {
                helpers::CheckAppPaths(machine_, key, found);
            }
            break;
        case 107:
            helpers::CheckHelpFiles(machine_, 1, key, found);
            break;
        case 108:
            if (key.contains(QLatin1String("\\installer"), Qt::CaseInsensitive)) {
                helpers::CheckInstallerFolders(machine_, 1, key, found);
            } else {
                helpers::CheckUninstall(machine_, 2, key, found);
            }
            break;
        case 109:
            helpers::CheckEmptyKeys(machine_, 1, key, found);
            break;
        case 110:
            helpers::CheckAutoRun(machine_, 1, key, found);
            break;
        case 112:
            helpers::CheckMuiCache(machine_, true, 1, key, found);
            break;
        default:
            // 111 and 114 search keys but have no check of their own.
            break;
    }
}

bool TRegCleanItem::AnalysisRun(int32_t) {
    setState(kStateAnalysing);
    FRealCount = 0;
    trace("enter:", QStringLiteral("TRegCleanItem AnalisysRun in - item=") + GetNameStr());
    sendOperation(kOpAnalysisStart, 0);
    if (!pCollectdata || pCollectdata->cEvalRegime != 2) {
        EvaluateCount(pCollectdata ? pCollectdata->cEvalRegime : 0);
    }
    FCurrNum = 0;
    sendState();
    sendOperation(kOpSearchStart, 0);

    openRows(RowTable::Regs);
    const helpers::TFoundCallback found = [this](int kind, helpers::TwCleanRecord* record,
                                                 bool& go) {
        Inner_FindEventProc(kind, record, go);
    };
    for (const QString& key : VarList) {
        if (exitRequested()) {
            break;
        }
        runCheck(key, found);
    }
    if (iD == 101) {
        helpers::CheckEmptyClasses(machine_, found);
    }
    closeRows();
    const bool cancelled = exitRequested();
    setState(cancelled ? kStateAnalysisCancelled : kStateAnalysed);
    if (!cancelled) {
        sendOperation(kOpAnalysisEnd, 1);
    }
    sendState();
    trace("exit:", QStringLiteral("TRegCleanItem  AnalisysRun - item=") + GetNameStr());
    return true;
}

void TRegCleanItem::Inner_FindEventProc(int kind, helpers::TwCleanRecord* record, bool& aContinue) {
    aContinue = !exitRequested();
    const bool cleaning = !IsAnalysisRegime();
    // A cleaned row's outcome is recorded even when a cancel came meanwhile; a find is not.
    if (kind < 0 || !record || (!aContinue && !cleaning)) {
        return;
    }
    record->CL_iD = iD;
    QString description;
    if (cleaning) {
        description = record->Value.isEmpty() ? record->Name
                                              : record->Name + QLatin1Char(' ') + record->Value;
    } else {
        record->Desc.clear();
        record->id = 0;
        record->rowNum = 0;
        record->Regime = 1;
        description =
            helpers::RootIndexToName(record->HomekeyID) + QLatin1Char('\\') + record->Name;
    }
    Inner_SetFDData(*record);
    sendData(record);
    ++FCurrNum;
    const double position =
        FCount > 0
            ? std::clamp(static_cast<double>(FCurrNum) / (static_cast<double>(FCount) * 0.007), 0.0,
                         1.0)
            : 0.5;
    sendOperation(cleaning ? kOpProcessed : kOpFound, description, position, FCurrNum, FCount);
}

bool TRegCleanItem::Inner_SetFDData(helpers::TwCleanRecord& record) {
    if (!rows_) {
        trace("warn:", QStringLiteral("TRegCleanItem.Inner_SetFDData DB Disconnected! - iD=") +
                           QString::number(iD));
        return false;
    }
    return storeRow(record, pCollectdata ? &pCollectdata->cRegsID : nullptr);
}

bool TRegCleanItem::deleteEntry(const helpers::TwCleanRecord& record) {
    const platform::RegRoot root = helpers::IndexToRootKey(record.HomekeyID);
    // Which entry a row stands for depends on the item, and for two items on the row's kind:
    // App Paths and Uninstall rows name a stale subkey, which goes as a whole.
    QString key = record.Name;
    bool wholeKey =
        iD == 102 || iD == 109 || (iD == 106 && record.pID == 1) || (iD == 108 && record.pID == 2);
    if (iD == 101) {
        key = joinKey(record.Name, record.Value);
        wholeKey = true;
    }
    if (wholeKey) {
        if (!machine_.keyExists(root, key.toStdString())) {
            return true;
        }
        return helpers::DeleteRegKey(machine_, nullptr, record.HomekeyID, key);
    }
    if (!machine_.value(root, key.toStdString(), record.Value.toStdString())) {
        return true;
    }
    return helpers::DeleteRegValue(machine_, nullptr, record.HomekeyID, key, record.Value);
}

void TRegCleanItem::refuseAll(const QString& reason) {
    if (pCollectdata && !pCollectdata->cRegistryRefusalShown) {
        pCollectdata->cRegistryRefusalShown = true;
        if (pCollectdata->cErrorMsgProc) {
            pCollectdata->cErrorMsgProc(
                QStringLiteral("Записи реестра не удалены: пока работают программы Wine этого "
                               "префикса, Wine перезапишет изменения реестра. Закройте эти "
                               "программы (или выполните \"wineserver -k\") и повторите "
                               "очистку.\r\n") +
                reason);
        }
    }
    FoundRowsReader reader(*DataConnectionRef, RowTable::Regs, iD);
    helpers::TwCleanRecord record;
    while (reader.next(record)) {
        record.Regime = 3;
        bool go = true;
        Inner_FindEventProc(2, &record, go);
    }
}

bool TRegCleanItem::Run(int32_t) {
    FCurrNum = 0;
    trace("enter:", QStringLiteral("TRegCleanItem Run - item=") + GetNameStr());
    if (FCount == 0) {
        trace("exit:", QStringLiteral("TRegCleanItem Run - exit Count=0"));
        return false;
    }
    setState(kStateCleaning);
    sendState();
    bool lastSucceeded = false;
    bool anyRow = false;
    if (openRows(RowTable::Regs)) {
        const platform::OpResult writable = machine_.canWriteRegistry();
        if (!ImitationMode() && !writable) {
            refuseAll(QString::fromStdString(writable.error()));
        } else {
            FoundRowsReader reader(*DataConnectionRef, RowTable::Regs, iD);
            helpers::TwCleanRecord record;
            while (!exitRequested() && reader.next(record)) {
                anyRow = true;
                lastSucceeded = ImitationMode() || deleteEntry(record);
                record.Regime = lastSucceeded ? 2 : 3;
                bool go = true;
                Inner_FindEventProc(2, &record, go);
            }
        }
        closeRows();
    }
    if (exitRequested()) {
        setState(kStateCleaningCancelled);
    } else {
        setState(kStateCleaned);
        if (!lastSucceeded || !anyRow) {
            sendOperation(kOpCleaningEnd, 1);
        }
    }
    sendState();
    trace("exit:", QStringLiteral("TRegCleanItem Run - item=") + GetNameStr());
    return lastSucceeded;
}

}  // namespace tidora::engine
