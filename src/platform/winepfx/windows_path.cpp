#include "platform/winepfx/windows_path.h"

namespace tidora::platform::winepfx {
namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// What Win32 refuses inside a name (the separators are split off before).
bool isForbiddenInName(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' || c == '>' ||
           c == '|';
}

std::optional<WindowsPath> fail(std::string* error, std::string_view path, std::string reason) {
    if (error) {
        *error = "\"" + std::string(path) + "\" is not a usable Windows path: " + std::move(reason);
    }
    return std::nullopt;
}

}  // namespace

std::optional<WindowsPath> parseWindowsPath(std::string_view path, std::string* error) {
    if (path.empty()) {
        return fail(error, path, "it is empty");
    }
    std::string_view rest = path;
    if (rest.starts_with("\\\\?\\")) {
        rest.remove_prefix(4);
        if (rest.size() >= 3 && (rest.substr(0, 3) == "UNC" || rest.substr(0, 3) == "unc") &&
            (rest.size() == 3 || isSeparator(rest[3]))) {
            return fail(error, path, "network (UNC) paths are not supported");
        }
    } else if (rest.size() >= 2 && isSeparator(rest[0]) && isSeparator(rest[1])) {
        if (rest.size() >= 3 && (rest[2] == '.' || rest[2] == '?') &&
            (rest.size() == 3 || isSeparator(rest[3]))) {
            return fail(error, path, "device paths are not supported");
        }
        return fail(error, path, "network (UNC) paths are not supported");
    }
    if (!rest.empty() && isSeparator(rest[0])) {
        return fail(error, path, "it has no drive letter");
    }
    if (rest.size() < 2 || rest[1] != ':') {
        return fail(error, path, "it is relative (no drive letter)");
    }
    if (!isAsciiLetter(rest[0])) {
        return fail(error, path, "the drive is not a letter");
    }
    if (rest.size() > 2 && !isSeparator(rest[2])) {
        return fail(error, path, "it is relative to the drive's current folder");
    }

    WindowsPath result;
    result.drive = static_cast<char>(rest[0] | 0x20);
    rest.remove_prefix(2);
    while (!rest.empty()) {
        size_t end = 0;
        while (end < rest.size() && !isSeparator(rest[end])) {
            ++end;
        }
        const std::string_view name = rest.substr(0, end);
        rest.remove_prefix(end < rest.size() ? end + 1 : end);
        if (name.empty() || name == ".") {
            continue;
        }
        if (name == "..") {
            if (!result.components.empty()) {
                result.components.pop_back();
            }
            continue;
        }
        for (const char c : name) {
            if (isForbiddenInName(c)) {
                return fail(error, path, "a name holds a character Windows does not allow");
            }
        }
        result.components.emplace_back(name);
    }
    return result;
}

std::string formatWindowsPath(const WindowsPath& path) {
    std::string out(1, static_cast<char>(path.drive & ~0x20));
    out += ":\\";
    for (size_t i = 0; i < path.components.size(); ++i) {
        if (i > 0) {
            out += '\\';
        }
        out += path.components[i];
    }
    return out;
}

}  // namespace tidora::platform::winepfx
