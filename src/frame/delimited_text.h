#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace tidora::frame {

// Lists kept in one settings value: items separated by "|"; an item may be enclosed in double
// quotes, with a double quote inside written twice.
constexpr QChar kListDelimiter = u'|';

// Quotes every item that is empty or holds a blank, a control character, "|" or a double quote,
// so that splitting at the delimiter alone gives the items back.
QString joinDelimited(const QStringList& items);

enum class ListSplit {
    AtDelimiter,           // blanks belong to the items
    AtDelimiterAndBlanks,  // runs of blanks separate items too
};
// An empty text gives no items; a delimiter at the end gives an empty last item.
QStringList splitDelimited(QStringView text, ListSplit split);

}  // namespace tidora::frame
