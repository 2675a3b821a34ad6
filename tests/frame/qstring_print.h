#pragma once

#include <QString>
#include <ostream>

// Lets GoogleTest show Qt strings (and lists of them) as text in its messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
