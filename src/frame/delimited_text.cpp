#include "frame/delimited_text.h"

#include <algorithm>

namespace tidora::frame {
namespace {

constexpr QChar kQuote = u'"';

bool isBlank(QChar c) {
    return c.unicode() <= u' ';
}

}  // namespace

QString joinDelimited(const QStringList& items) {
    QString text;
    for (qsizetype i = 0; i < items.size(); ++i) {
        const QString& item = items[i];
        if (i > 0) {
            text += kListDelimiter;
        }
        const bool quote = item.isEmpty() || std::any_of(item.begin(), item.end(), [](QChar c) {
                               return isBlank(c) || c == kListDelimiter || c == kQuote;
                           });
        if (quote) {
            text += kQuote + QString(item).replace(kQuote, QStringLiteral("\"\"")) + kQuote;
        } else {
            text += item;
        }
    }
    return text;
}

QStringList splitDelimited(QStringView text, ListSplit split) {
    const bool blanksSeparate = split == ListSplit::AtDelimiterAndBlanks;
    qsizetype i = 0;
    const auto skipBlanks = [&] {
        while (blanksSeparate && i < text.size() && isBlank(text[i])) {
            ++i;
        }
    };
    QStringList items;
    skipBlanks();
    while (i < text.size()) {
        QString item;
        if (text[i] == kQuote) {
            for (++i; i < text.size(); ++i) {
                if (text[i] != kQuote) {
                    item += text[i];
                } else if (i + 1 < text.size() && text[i + 1] == kQuote) {
                    item += kQuote;
                    ++i;
                } else {
                    ++i;
                    break;
                }
            }
        }
        while (i < text.size() && text[i] != kListDelimiter &&
               !(blanksSeparate && isBlank(text[i]))) {
            item += text[i++];
        }
        items << item;
        skipBlanks();
        if (i < text.size() && text[i] == kListDelimiter) {
            ++i;
            skipBlanks();
            if (i == text.size()) {
                items << QString();
            }
        }
    }
    return items;
}

}  // namespace tidora::frame
