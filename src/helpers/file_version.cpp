#include "helpers/file_version.h"

#include <algorithm>
#include <string_view>

#include "platform/text_utf.h"

namespace tidora::helpers {
namespace {

constexpr std::string_view kVersionKeys[] = {
    "CompanyName",      "FileDescription", "FileVersion",    "InternalName", "LegalCopyright",
    "OriginalFileName", "ProductName",     "ProductVersion", "Comments",     "LegalTradeMarks",
};

using StringTable = std::vector<std::pair<std::string, std::string>>;

const StringTable* tableFor(const platform::PeVersionInfo& info, uint32_t translation) {
    const auto it = std::find_if(info.stringTables.begin(), info.stringTables.end(),
                                 [&](const auto& table) { return table.first == translation; });
    return it == info.stringTables.end() ? nullptr : &it->second;
}

}  // namespace

bool GetFileVersionStrings(const platform::Machine& machine, const QString& aFileName,
                           QStringList& AList) {
    AList.clear();
    const auto info = machine.fileVersionInfo(aFileName.toStdString());
    if (!info) {
        return false;
    }
    for (const uint32_t translation : info->translations) {
        const StringTable* table = tableFor(*info, translation);
        if (!table) {
            continue;
        }
        for (const std::string_view key : kVersionKeys) {
            const auto found = std::find_if(table->begin(), table->end(), [&](const auto& entry) {
                return platform::equalsNoCase(entry.first, key);
            });
            if (found != table->end()) {
                AList.append(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())) +
                             "=" + QString::fromStdString(found->second));
            }
        }
        if (!AList.isEmpty()) {
            return true;
        }
    }
    return false;
}

std::optional<std::array<int, 4>> GetFixedFileVersion(const platform::Machine& machine,
                                                      const QString& aFileName) {
    const auto info = machine.fileVersionInfo(aFileName.toStdString());
    if (!info || !info->fixedVersion) {
        return std::nullopt;
    }
    const auto& v = *info->fixedVersion;
    return std::array<int, 4>{v[0], v[1], v[2], v[3]};
}

}  // namespace tidora::helpers
