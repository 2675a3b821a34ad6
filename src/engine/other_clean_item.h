#pragma once

#include "engine/base_clean_item.h"
#include "engine/clipboard_access.h"

namespace tidora::engine {

// Neither files nor registry entries: the clipboard and two history items. Stores no rows.
class TOtherCleanItem : public TbaseCleanItem {
public:
    // Without a clipboard (the command-line tool), item 12 reports its entry and empties nothing.
    TOtherCleanItem(platform::Machine& machine, ClipboardAccess* clipboard, int32_t actID,
                    int32_t acatID, int32_t aID, const QString& aLat_name);

    bool EvaluateCount(int32_t acRg) override;
    bool AnalysisRun(int32_t aRegime) override;
    bool Run(int32_t aRegime) override;

private:
    void Inner_FindEventProc(int kind, helpers::TwCleanRecord* record, bool& aContinue);
    void reportPseudoEntry(int32_t regime);

    ClipboardAccess* clipboard_;
};

}  // namespace tidora::engine
