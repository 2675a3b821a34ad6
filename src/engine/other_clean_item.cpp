#include "engine/other_clean_item.h"

#include "diagnostics/code_trace.h"

namespace tidora::engine {

namespace {
constexpr int32_t kClipboardId = 12;
}

TOtherCleanItem::TOtherCleanItem(platform::Machine& machine, ClipboardAccess* clipboard,
                                 int32_t actID, int32_t acatID, int32_t aID,
                                 const QString& aLat_name)
    : TbaseCleanItem(machine, actID, acatID, aID, aLat_name), clipboard_(clipboard) {
    FTypeID = 3;
}

bool TOtherCleanItem::EvaluateCount(int32_t) {
    FCount = (!IsAnalysisRegime() || iD == 51) ? 1 : 0;
    return FCount > 0;
}

bool TOtherCleanItem::AnalysisRun(int32_t) {
    setState(kStateAnalysing);
    sendOperation(kOpAnalysisStart, 0);
    FCurrNum = 0;
    sendState();
    sendOperation(kOpSearchStart, 0);
    if (iD != 10) {
        reportPseudoEntry(1);
    }
    const bool cancelled = exitRequested();
    setState(cancelled ? kStateAnalysisCancelled : kStateAnalysed);
    if (!cancelled) {
        sendOperation(kOpAnalysisEnd, 1);
    }
    sendState();
    return true;
}

bool TOtherCleanItem::Run(int32_t) {
    FCurrNum = 0;
    setState(kStateCleaning);
    sendState();
    if (iD == kClipboardId && clipboard_ && !clipboard_->Empty()) {
        diagnostics::TraceCmd(
            QStringLiteral("warn:"),
            QStringLiteral("TOtherCleanItem.Run: the clipboard cannot be opened"));
    }
    reportPseudoEntry(2);
    const bool cancelled = exitRequested();
    setState(cancelled ? kStateCleaningCancelled : kStateCleaned);
    if (!cancelled) {
        sendOperation(kOpCleaningEnd, 1);
    }
    sendState();
    return true;
}

void TOtherCleanItem::reportPseudoEntry(int32_t regime) {
    helpers::TwCleanRecord record;
    record.RecType = 3;
    record.pID = 1;
    record.Regime = regime;
    bool go = true;
    Inner_FindEventProc(FTypeID, &record, go);
}

void TOtherCleanItem::Inner_FindEventProc(int kind, helpers::TwCleanRecord* record,
                                          bool& aContinue) {
    aContinue = !exitRequested();
    if (kind < 0 || !aContinue) {
        return;
    }
    if (!record) {
        diagnostics::TraceCmd(QStringLiteral("err:"),
                              QStringLiteral("TOtherCleanItem.Inner_FindEventProc L-ptr=nil!"));
        return;
    }
    const bool analysing = IsAnalysisRegime();
    if (analysing) {
        record->CL_iD = iD;
        record->Regime = 1;
        if (record->Desc == QLatin1String("***")) {
            return;
        }
    }
    sendData(record);
    ++FCurrNum;
    // The codes are the reverse of the other classes'.
    sendOperation(analysing ? kOpProcessed : kOpFound, record->Name, 1, FCurrNum, FCount);
}

}  // namespace tidora::engine
