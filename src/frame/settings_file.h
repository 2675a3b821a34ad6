#pragma once

#include <QString>
#include <QStringConverter>
#include <optional>

namespace tidora::frame {

// The text of a settings file and how it was encoded: in the machine's ANSI code page, or in
// Unicode marked by a byte-order mark, which a rewrite keeps.
struct SettingsFileText {
    QString text;
    std::optional<QStringConverter::Encoding> byteOrderMark;
};

// A missing file reads as empty. Nullopt when the path is no regular file, cannot be read or is
// too large to be a settings file.
std::optional<SettingsFileText> readSettingsFile(const QString& path, int codePage);

// Replaces the file in one step: a temporary file in the same folder, renamed over it. Fails, as
// on Windows, when the file there is read-only.
bool writeSettingsFile(const QString& path, const SettingsFileText& content, int codePage);

}  // namespace tidora::frame
