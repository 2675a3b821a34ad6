#pragma once

#include <QString>
#include <QStringView>

namespace tidora::frame {

// The reversible numeric form of settings values that should not be readable at a glance: every
// UTF-16 code unit c becomes a blank followed by c + shift in decimal.
QString encodeCodedString(QStringView text, int shift);
// Items are separated by blanks; an item reads as its leading decimal digits (0 when none). An
// item below -100000000 empties the whole result; an item whose code unit would fall outside
// 0..0xFFFF is skipped.
QString decodeCodedString(QStringView coded, int shift);
// Whether every character is a blank, "-" or a digit (true for an empty text).
bool isCodedString(QStringView text);

}  // namespace tidora::frame
