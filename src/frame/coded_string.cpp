#include "frame/coded_string.h"

#include <algorithm>
#include <cstdint>

#include "frame/settings_value_text.h"

namespace tidora::frame {
namespace {

constexpr std::int64_t kStopBelow = -100000000;

}  // namespace

QString encodeCodedString(QStringView text, int shift) {
    QString coded;
    for (const QChar c : text) {
        coded += u' ' + QString::number(static_cast<std::int64_t>(c.unicode()) + shift);
    }
    return coded;
}

QString decodeCodedString(QStringView coded, int shift) {
    QString text;
    for (const QStringView item : coded.tokenize(u' ', Qt::SkipEmptyParts)) {
        const std::int64_t n = leadingDecimal(item);
        if (n < kStopBelow) {
            return {};
        }
        const std::int64_t unit = n - shift;
        if (unit >= 0 && unit <= 0xFFFF) {
            text += QChar(static_cast<char16_t>(unit));
        }
    }
    return text;
}

bool isCodedString(QStringView text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c == u' ' || c == u'-' || (c >= u'0' && c <= u'9'); });
}

}  // namespace tidora::frame
