#include "frame/ansi_code_page.h"

#include <string_view>

namespace tidora::frame {

QString decodeCodePage(QByteArrayView bytes, int codePage) {
    const std::string text = platform::decodeCodePage(
        std::string_view(bytes.data(), static_cast<size_t>(bytes.size())), codePage);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QByteArray encodeCodePage(QStringView text, int codePage) {
    const QByteArray utf8 = text.toUtf8();
    const std::string bytes = platform::encodeCodePage(
        std::string_view(utf8.data(), static_cast<size_t>(utf8.size())), codePage);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

}  // namespace tidora::frame
