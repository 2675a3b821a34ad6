#include "engine/temp_files_clean_item.h"

#include "catalog/item_paths.h"
#include "diagnostics/code_trace.h"
#include "engine/imitation_mode.h"
#include "helpers/folder_scanners.h"
#include "helpers/system_facts.h"
#include "stores/working_database.h"

namespace tidora::engine {

namespace {

constexpr int32_t kRecycleBinId = 10;

bool isShortcutItem(int32_t id) {
    return id == 17 || id == 18 || id == 54;
}

void trace(const char* command, const QString& text) {
    diagnostics::TraceCmd(QString::fromLatin1(command), text);
}

}  // namespace

TtempFilesCleanItem::TtempFilesCleanItem(platform::Machine& machine, catalog::TCleanPaths_DM* paths,
                                         int32_t actID, int32_t acatID, int32_t aID,
                                         const QString& aLat_name)
    : TbaseCleanItem(machine, actID, acatID, aID, aLat_name) {
    FTypeID = 1;
    catalog::DefineItemPaths(machine, paths, actID, acatID, aID, FmaskStr, ExceptList, VarList);
    catalog::RegisterItemName(paths, acatID, aID, aLat_name);
}

bool TtempFilesCleanItem::EvaluateCount(int32_t acRg) {
    trace("enter:", QStringLiteral("TtempFilesCleanItem.EvaluateCount"));
    FCount = 0;
    if (IsAnalysisRegime()) {
        FCountKSize = 0;
        if (acRg != 0 && !isShortcutItem(iD)) {
            for (const QString& folder : VarList) {
                double sizeK = 0;
                FCount += helpers::GetFolderFilesInfo(machine_, folder, FmaskStr, sizeK);
                FCountKSize += sizeK;
            }
        } else {
            FCount = 1;
        }
    } else {
        FCountKSize = 0;
        FCurrKSize = 0;
    }
    trace("note:", QStringLiteral("TtempFilesCleanItem.EvaluateCount Result=") +
                       (FCount > 0 ? QStringLiteral("True") : QStringLiteral("False")));
    trace("exit:", QStringLiteral("EvalCount"));
    return FCount > 0;
}

bool TtempFilesCleanItem::AnalysisRun(int32_t) {
    trace("note:", QStringLiteral("TtempFilesCleanItem.AnalysisRun in - item=") + GetNameStr());
    if (exitRequested()) {
        return false;
    }
    FRealCount = 0;
    sendOperation(kOpAnalysisStart, 0);
    if (!pCollectdata || pCollectdata->cEvalRegime != 2) {
        EvaluateCount(pCollectdata ? pCollectdata->cEvalRegime : 0);
    }
    setState(kStateAnalysing);
    sendState();
    FCurrKSize = 0;
    FCurrNum = 0;
    sendOperation(kOpSearchStart, 0);

    openRows(RowTable::Files);
    const QStringList exclusions = ExceptList;
    const helpers::TFoundCallback found = [this](int kind, helpers::TwCleanRecord* record,
                                                 bool& go) {
        Inner_FindEventProc(kind, record, go);
    };
    for (const QString& folder : VarList) {
        if (exitRequested()) {
            break;
        }
        if (iD == kRecycleBinId) {
            int64_t count = 0;
            helpers::GetRecycleBinCount(machine_, count);
            FCount = count;
            if (count > 0) {
                helpers::EnumRecycleBin(machine_, found);
            }
            break;
        }
        if (iD == 13) {
            helpers::ScanFolderTree(machine_, 1, folder, FmaskStr, false, {}, found, exclusions);
        } else if (isShortcutItem(iD)) {
            helpers::ScanShortcuts(machine_, 1, folder, FmaskStr, {}, found, exclusions);
        } else if (FmaskStr == QLatin1String("*.*")) {
            helpers::ScanFolderFiles(machine_, 2, folder, FmaskStr, true, {}, found, exclusions);
        } else {
            helpers::ScanFolderTree(machine_, 1, folder, FmaskStr, true, {}, found, exclusions);
        }
    }
    closeRows();
    const bool cancelled = exitRequested();
    if (!cancelled) {
        sendOperation(kOpAnalysisEnd, 1);
    }
    setState(cancelled ? kStateAnalysisCancelled : kStateAnalysed);
    sendState();
    return true;
}

void TtempFilesCleanItem::Inner_FindEventProc(int kind, helpers::TwCleanRecord* record,
                                              bool& aContinue) {
    aContinue = !exitRequested();
    const bool cleaning = !IsAnalysisRegime();
    // A cleaned row's outcome is recorded even when a cancel came meanwhile; a find is not.
    if (kind < 0 || !record || (!aContinue && !cleaning)) {
        return;
    }
    const QString description = record->Name;
    if (cleaning) {
        FCurrKSize = std::max(0.0, FCurrKSize - static_cast<double>(record->Size) * 0.001);
    } else {
        record->CL_iD = iD;
        if (iD != kRecycleBinId) {
            record->Desc.clear();
        }
        record->Regime = 1;
        FCurrKSize += static_cast<double>(record->Size) * 0.001;
        if (iD == kRecycleBinId) {
            CleanSize = static_cast<double>(record->Size);
            if (record->Desc == QLatin1String("***")) {
                aContinue = false;
            }
        }
    }
    Inner_SetFDData(*record);
    sendData(record);
    ++FCurrNum;
    const double position = FCountKSize != 0 ? std::min(1.0, FCurrKSize / FCountKSize) : 1.0;
    sendOperation(cleaning ? kOpProcessed : kOpFound, description, position, FCurrNum, FCount);
}

bool TtempFilesCleanItem::Inner_SetFDData(helpers::TwCleanRecord& record) {
    if (record.Regime == 1) {
        record.State = 1;
        record.Active = true;
    }
    return storeRow(record, pCollectdata ? &pCollectdata->cFilesID : nullptr);
}

bool TtempFilesCleanItem::Run(int32_t) {
    setState(kStateCleaning);
    FCurrKSize = 0;
    FCurrNum = 0;
    trace("enter:", QStringLiteral("TtempFilesCleanItem.Run in - item=") + GetNameStr());
    sendState();
    if (openRows(RowTable::Files)) {
        if (iD == kRecycleBinId) {
            runRecycleBin();
        } else {
            runFiles();
        }
        closeRows();
    }
    const bool cancelled = exitRequested();
    if (!cancelled) {
        sendOperation(kOpCleaningEnd, 1);
    }
    setState(cancelled ? kStateCleaningCancelled : kStateCleaned);
    sendState();
    trace("exit:", GetNameStr());
    return false;
}

void TtempFilesCleanItem::runRecycleBin() {
    // The bin is emptied as a whole; its rows were only a listing and share the outcome.
    bool emptied = true;
    if (!ImitationMode()) {
        emptied = helpers::EmptyRecycleBin(machine_);
        if (emptied) {
            FCount = 0;
        } else {
            trace("warn:", QStringLiteral("Ошибка очистки корзины! - false"));
        }
    }
    FoundRowsReader reader(*DataConnectionRef, RowTable::Files, iD);
    helpers::TwCleanRecord record;
    while (reader.next(record)) {
        record.Regime = emptied ? 2 : 3;
        bool go = true;
        Inner_FindEventProc(1, &record, go);
    }
}

void TtempFilesCleanItem::runFiles() {
    FoundRowsReader reader(*DataConnectionRef, RowTable::Files, iD);
    const std::unique_ptr<platform::Machine::FileDeleter> deleter = machine_.fileDeleter();
    helpers::TwCleanRecord record;
    while (!exitRequested() && reader.next(record)) {
        const std::string path = record.Name.toStdString();
        bool deleted = ImitationMode();
        if (!deleted) {
            const QString folder = searchFolderOf(record.Name);
            // A file that is gone already counts as deleted.
            deleted = !folder.isEmpty() &&
                      (deleter->deleteFile(path, folder.toStdString()) || !machine_.exists(path));
        }
        record.Regime = deleted ? 2 : 3;
        bool go = true;
        Inner_FindEventProc(1, &record, go);
    }
}

QString TtempFilesCleanItem::searchFolderOf(const QString& path) const {
    QString best;
    for (const QString& folder : VarList) {
        const bool below = path.size() > folder.size() &&
                           path.startsWith(folder, Qt::CaseInsensitive) &&
                           (folder.endsWith(QLatin1Char('\\')) || path[folder.size()] == u'\\');
        if (below && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

}  // namespace tidora::engine
