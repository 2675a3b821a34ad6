#include "helpers/reg_paths.h"

namespace tidora::helpers {
namespace {

// In the order the prefixes are tested: "HKU" before "HKPD" and after "HKLM", as in the table.
constexpr const char* kPrefixes[] = {"HKCR", "HKCU", "HKLM", "HKU", "HKPD", "HKCC", "HKDD"};

}  // namespace

int RootKeyToIndex(platform::RegRoot root) {
    const int index = static_cast<int>(root);
    return index >= 0 && index <= 6 ? index : 1;
}

platform::RegRoot IndexToRootKey(int index) {
    return index >= 0 && index <= 6 ? static_cast<platform::RegRoot>(index)
                                    : platform::RegRoot::CurrentUser;
}

int RegPathRootIndex(const QString& aPath) {
    for (int i = 0; i < 7; ++i) {
        if (aPath.startsWith(QLatin1String(kPrefixes[i]), Qt::CaseSensitive)) {
            return i;
        }
    }
    return -1;
}

QString RootIndexToName(int index) {
    return index >= 0 && index <= 6 ? QString::fromLatin1(kPrefixes[index]) : QString();
}

void SplitRegPath(const QString& aPath, platform::RegRoot& root, QString& subkey) {
    const int index = RegPathRootIndex(aPath);
    if (index < 0) {
        subkey.clear();
        return;
    }
    root = IndexToRootKey(index);
    subkey = aPath.mid(RootIndexToName(index).size() + 1);
}

}  // namespace tidora::helpers
