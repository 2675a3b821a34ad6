#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

#include "platform/machine.h"

namespace tidora::helpers {

// The version strings of a file, one "key=value" line per key found, from the string table of
// the first translation that has any of them. False when no line was added.
bool GetFileVersionStrings(const platform::Machine& machine, const QString& aFileName,
                           QStringList& AList);
// Major, minor, release, build of a file's fixed version; nullopt when it has none.
std::optional<std::array<int, 4>> GetFixedFileVersion(const platform::Machine& machine,
                                                      const QString& aFileName);

}  // namespace tidora::helpers
