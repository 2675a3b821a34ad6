#include "helpers/display_text.h"

#include <algorithm>

namespace tidora::helpers {

QString SizeToStr(int aDecimals, int64_t aSize, const QLocale& locale) {
    if (aSize < 0) {
        return "-";
    }
    if (aSize < 1024) {
        return QString::number(aSize);
    }
    struct Unit {
        int64_t limit;
        double divisor;
        const char* name;
    };
    static constexpr Unit kUnits[] = {
        {0x100000, 1024.0, " Kb"},
        {0x40000000, 1048576.0, " Mb"},
        {INT64_MAX, 1073741824.0, " Gb"},
    };
    for (const Unit& unit : kUnits) {
        if (aSize < unit.limit || unit.limit == INT64_MAX) {
            return locale.toString(static_cast<double>(aSize) / unit.divisor, 'f', aDecimals) +
                   unit.name;
        }
    }
    return {};
}

QString RightChars(const QString& s, int n) {
    return n >= s.size() ? s : s.right(n);
}

QString ShortenFileName(const QString& aPath, int aMaxLen) {
    if (aPath.size() <= aMaxLen) {
        return aPath;
    }
    const int limit = aMaxLen - 3;
    const qsizetype slash = aPath.lastIndexOf('\\');
    const QString name = aPath.mid(slash + 1);
    const QString folder = slash < 0 ? QString() : aPath.left(slash + 1);
    const qsizetype driveEnd = aPath.indexOf('\\');
    const QString drive = driveEnd < 0 ? QString() : aPath.left(driveEnd + 1);
    if (drive.size() + name.size() < limit) {
        // The path is longer than the limit, so the folder and the name together reach it.
        return folder.left(limit - name.size()) + "..\\" + name;
    }
    return drive + "..." + RightChars(name, limit - static_cast<int>(drive.size()));
}

QString ShortenText(const QString& s, int aMaxLen) {
    if (s.size() <= aMaxLen) {
        return s;
    }
    return s.left(5) + ".." + s.right(std::max(0, aMaxLen - 7));
}

}  // namespace tidora::helpers
