#include "platform/winepfx/trash_info.h"

#include <ctime>

namespace tidora::platform::winepfx {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

// Exactly `width` decimal digits.
std::optional<int> fixedNumber(std::string_view s, size_t pos, size_t width) {
    if (pos + width > s.size()) {
        return std::nullopt;
    }
    int n = 0;
    for (size_t i = pos; i < pos + width; ++i) {
        if (s[i] < '0' || s[i] > '9') {
            return std::nullopt;
        }
        n = n * 10 + (s[i] - '0');
    }
    return n;
}

std::optional<uint64_t> decimal(std::string_view s) {
    if (s.empty() || s.size() > 18) {
        return std::nullopt;
    }
    uint64_t n = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        n = n * 10 + static_cast<uint64_t>(c - '0');
    }
    return n;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<FileTime> parseDeletionDate(std::string_view s) {
    if (s.size() != 19 || s[4] != '-' || s[7] != '-' || s[10] != 'T' || s[13] != ':' ||
        s[16] != ':') {
        return std::nullopt;
    }
    const auto year = fixedNumber(s, 0, 4);
    const auto month = fixedNumber(s, 5, 2);
    const auto day = fixedNumber(s, 8, 2);
    const auto hour = fixedNumber(s, 11, 2);
    const auto minute = fixedNumber(s, 14, 2);
    const auto second = fixedNumber(s, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || *year < 1601 || *month < 1 ||
        *month > 12 || *day < 1 || *day > daysInMonth(*year, *month) || *hour > 23 ||
        *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    std::tm tm{};
    tm.tm_year = *year - 1900;
    tm.tm_mon = *month - 1;
    tm.tm_mday = *day;
    tm.tm_hour = *hour;
    tm.tm_min = *minute;
    tm.tm_sec = *second;
    tm.tm_isdst = -1;
    const time_t seconds = std::mktime(&tm);
    const int64_t earliest = -static_cast<int64_t>(kUnixEpochAsFileTime / 10000000);
    if (seconds < earliest) {
        return std::nullopt;
    }
    return fileTimeFromUnix(seconds);
}

}  // namespace

std::optional<std::string> percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int hi = hexDigit(text[i + 1]);
            const int lo = hexDigit(text[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(hi * 16 + lo);
            i += 2;
        }
        if (c == '\0') {
            return std::nullopt;
        }
        out += c;
    }
    return out;
}

std::optional<TrashInfo> parseTrashInfo(std::string_view text) {
    bool inGroup = false;
    bool seenGroup = false;
    std::optional<std::string> path;
    std::optional<FileTime> date;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        const std::string_view line = trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inGroup = line == "[Trash Info]";
            seenGroup = seenGroup || inGroup;
            continue;
        }
        const size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos) {
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        if (key == "Path" && !path) {
            path = percentDecode(value);
            if (!path || path->empty() || path->front() != '/') {
                return std::nullopt;
            }
        } else if (key == "DeletionDate" && !date) {
            date = parseDeletionDate(value);
            if (!date) {
                return std::nullopt;
            }
        }
    }
    if (!seenGroup || !path || !date) {
        return std::nullopt;
    }
    return TrashInfo{std::move(*path), *date};
}

std::optional<std::pair<std::string, DirectorySize>> parseDirectorySizeLine(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    const size_t first = line.find(' ');
    const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
    if (second == std::string_view::npos) {
        return std::nullopt;
    }
    const auto size = decimal(line.substr(0, first));
    const auto mtime = decimal(line.substr(first + 1, second - first - 1));
    auto name = percentDecode(line.substr(second + 1));
    if (!size || !mtime || !name || name->empty() || *name == "." || *name == ".." ||
        name->find('/') != std::string::npos) {
        return std::nullopt;
    }
    return std::pair{std::move(*name), DirectorySize{*size, static_cast<int64_t>(*mtime)}};
}

std::map<std::string, DirectorySize> parseDirectorySizes(std::string_view text) {
    std::map<std::string, DirectorySize> sizes;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        if (auto entry = parseDirectorySizeLine(text.substr(0, end))) {
            sizes.insert_or_assign(std::move(entry->first), entry->second);
        }
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return sizes;
}

}  // namespace tidora::platform::winepfx
