#pragma once

#include "catalog/clean_paths.h"
#include "engine/base_clean_item.h"

namespace tidora::engine {

// Invalid registry entries: values and keys that refer to what no longer exists, or empty keys.
class TRegCleanItem : public TbaseCleanItem {
public:
    TRegCleanItem(platform::Machine& machine, catalog::TCleanPaths_DM* paths, int32_t actID,
                  int32_t acatID, int32_t aID, const QString& aLat_name);

    bool EvaluateCount(int32_t acRg) override;
    bool AnalysisRun(int32_t aRegime) override;
    bool Run(int32_t aRegime) override;

private:
    void Inner_FindEventProc(int kind, helpers::TwCleanRecord* record, bool& aContinue);
    bool Inner_SetFDData(helpers::TwCleanRecord& record);
    void runCheck(const QString& key, const helpers::TFoundCallback& found);
    // Deletes what a row names; an entry that is gone already counts as deleted.
    bool deleteEntry(const helpers::TwCleanRecord& record);
    // Marks every row failed and tells the user why, once per run.
    void refuseAll(const QString& reason);
};

}  // namespace tidora::engine
