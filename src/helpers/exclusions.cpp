#include "helpers/exclusions.h"

namespace tidora::helpers {

bool IsNameExcluded(const QString& aName, const QStringList& AList) {
    for (const QString& entry : AList) {
        if (entry.endsWith('*') ? aName.startsWith(entry.chopped(1), Qt::CaseInsensitive)
                                : aName.compare(entry, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

bool IsPathExcluded(const QString& aPath, const QStringList& AList) {
    for (const QString& entry : AList) {
        const QString prefix = entry.endsWith('*') ? entry.chopped(1) : entry;
        if (aPath.startsWith(prefix, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

}  // namespace tidora::helpers
