#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tidora::platform::winepfx {

// A Windows environment: names match case-insensitively and keep the case they were set with.
class EnvironmentBlock {
public:
    void set(std::string_view name, std::string value);
    std::optional<std::string> get(std::string_view name) const;
    // ExpandEnvironmentStrings: %NAME% of a known variable is replaced, anything else stays.
    std::string expand(std::string_view text) const;
    const std::vector<std::pair<std::string, std::string>>& variables() const { return vars_; }

private:
    std::vector<std::pair<std::string, std::string>> vars_;
    std::unordered_map<std::string, size_t> index_;  // upper-cased name -> position in vars_
};

}  // namespace tidora::platform::winepfx
