#pragma once

#include <QString>

#include "platform/reg_types.h"

namespace tidora::helpers {

// The registry root table: prefix texts "HKCR", "HKCU", "HKLM", "HKU", "HKPD", "HKCC", "HKDD" and
// their indexes 0..6, which the working database stores.
int RootKeyToIndex(platform::RegRoot root);
// Any index outside the table gives the current user's root.
platform::RegRoot IndexToRootKey(int index);
// The index of the prefix a path starts with (case-sensitive); -1 when none.
int RegPathRootIndex(const QString& aPath);
// The prefix text of an index; empty outside the table.
QString RootIndexToName(int index);
// Splits "HKLM\Software\x" into its root and "Software\x". Without a known prefix the subkey is
// empty and the root stays as it was.
void SplitRegPath(const QString& aPath, platform::RegRoot& root, QString& subkey);

}  // namespace tidora::helpers
