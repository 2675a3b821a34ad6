#pragma once

#include "catalog/clean_paths.h"
#include "engine/base_clean_item.h"

namespace tidora::engine {

// Files: temporary files, caches, logs, dumps, broken shortcuts, the recycle bin.
class TtempFilesCleanItem : public TbaseCleanItem {
public:
    // Builds the item's search definition on the machine and records it in paths (when given).
    TtempFilesCleanItem(platform::Machine& machine, catalog::TCleanPaths_DM* paths, int32_t actID,
                        int32_t acatID, int32_t aID, const QString& aLat_name);

    bool EvaluateCount(int32_t acRg) override;
    bool AnalysisRun(int32_t aRegime) override;
    bool Run(int32_t aRegime) override;

    const QString& Mask() const { return FmaskStr; }

private:
    void Inner_FindEventProc(int kind, helpers::TwCleanRecord* record, bool& aContinue);
    bool Inner_SetFDData(helpers::TwCleanRecord& record);
    void runRecycleBin();
    void runFiles();
    // The search folder a stored path was found under; empty when it lies under none.
    QString searchFolderOf(const QString& path) const;

    double FCountKSize = 0;
    double FCurrKSize = 0;
    QString FmaskStr = QStringLiteral("*.*");
};

}  // namespace tidora::engine
