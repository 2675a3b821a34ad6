#include "frame/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "frame/ansi_code_page.h"

namespace tidora::frame {
namespace {

// Far more than the program ever stores; a larger file is not its settings.
constexpr qint64 kMaxFileSize = 16 * 1024 * 1024;

}  // namespace

std::optional<SettingsFileText> readSettingsFile(const QString& path, int codePage) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return SettingsFileText{};
    }
    if (!info.isFile() || info.size() > kMaxFileSize) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) {
        return std::nullopt;
    }
    SettingsFileText content;
    content.byteOrderMark = QStringConverter::encodingForData(bytes);
    if (content.byteOrderMark) {
        QStringDecoder decode(*content.byteOrderMark);
        content.text = decode(bytes);
    } else {
        content.text = decodeCodePage(bytes, codePage);
    }
    return content;
}

bool writeSettingsFile(const QString& path, const SettingsFileText& content, int codePage) {
    const QFileInfo info(path);
    if (info.exists() && (info.isDir() || !(info.permissions() & QFileDevice::WriteOwner))) {
        return false;
    }
    QByteArray bytes;
    if (content.byteOrderMark) {
        QStringEncoder encode(*content.byteOrderMark, QStringConverter::Flag::WriteBom);
        bytes = encode(content.text);
    } else {
        bytes = encodeCodePage(content.text, codePage);
    }
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

}  // namespace tidora::frame
