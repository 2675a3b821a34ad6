// Settings files come from disk and may hold anything: parsing never crashes, and what it keeps
// is written so that reading it again gives the same settings.
#include <cstddef>
#include <cstdint>

#include "frame/ansi_code_page.h"
#include "frame/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    using tidora::frame::IniDocument;
    const IniDocument first =
        IniDocument::parse(tidora::frame::decodeCodePage(bytes, size % 2 ? 1251 : 65001));
    const QString written = first.text();
    const IniDocument again = IniDocument::parse(written);
    if (again.text() != written) {
        __builtin_trap();
    }
    return 0;
}
