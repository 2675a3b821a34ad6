#include "stores/item_record_text.h"

#include <QStringList>
#include <optional>

#include "frame/settings_value_text.h"

namespace tidora::stores {

QString ItemRecordToStr(const catalog::TCleanItemParams& row) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6|")
        .arg(row.ID)
        .arg(row.TYPE)
        .arg(row.ACTION_ID)
        .arg(row.CAT_ID)
        .arg(row.SIGN)
        .arg(row.ACTIVE ? 1 : 0);
}

bool StrToItemRecord(const QString& text, catalog::TCleanItemParams& row) {
    constexpr int kFields = 6;
    QStringList tokens;
    QString token;
    for (const QChar c : text) {
        if (c == u'|' && !token.isEmpty()) {
            tokens.append(token);
            token.clear();
            if (tokens.size() == kFields) {
                break;
            }
        } else {
            token.append(c);
        }
    }
    if (tokens.size() < kFields) {
        return false;
    }
    // A stored text that is not a number must not stop the start: it counts as no record.
    std::optional<int32_t> numbers[kFields - 1];
    for (int i = 0; i < kFields - 1; ++i) {
        numbers[i] = frame::wholeInteger(tokens[i]);
        if (!numbers[i]) {
            return false;
        }
    }
    row.ID = *numbers[0];
    row.TYPE = *numbers[1];
    row.ACTION_ID = *numbers[2];
    row.CAT_ID = *numbers[3];
    row.SIGN = *numbers[4];
    row.ACTIVE = tokens[5] == u"1";
    return true;
}

}  // namespace tidora::stores
