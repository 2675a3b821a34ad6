#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidora::platform::winepfx {

// An absolute local Windows path: a drive and the names below its root, "." and ".." applied.
struct WindowsPath {
    char drive = 'c';  // lower-case letter
    std::vector<std::string> components;

    bool operator==(const WindowsPath&) const = default;
};

// Accepts "C:\a\b", "c:/a/b", "C:\", "C:" and "\\?\C:\a", with either separator and repeated
// separators; ".." above the root stays at the root. Relative, drive-relative ("C:a"), UNC and
// device paths, and names with characters Windows does not allow, give nullopt and a reason in
// *error (when given).
std::optional<WindowsPath> parseWindowsPath(std::string_view path, std::string* error);

// "C:\a\b"; the root is "C:\".
std::string formatWindowsPath(const WindowsPath& path);

}  // namespace tidora::platform::winepfx
