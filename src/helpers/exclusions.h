#pragma once

#include <QString>
#include <QStringList>

namespace tidora::helpers {

// An entry ending in "*" matches names that begin with it; any other entry matches the whole
// name. Both ignore case.
bool IsNameExcluded(const QString& aName, const QStringList& AList);
// Some entry (a trailing "*" stripped) is a case-insensitive prefix of the path.
bool IsPathExcluded(const QString& aPath, const QStringList& AList);

}  // namespace tidora::helpers
