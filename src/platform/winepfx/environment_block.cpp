#include "platform/winepfx/environment_block.h"

#include "platform/text_utf.h"

namespace tidora::platform::winepfx {

void EnvironmentBlock::set(std::string_view name, std::string value) {
    const auto [it, added] = index_.emplace(upperCase(name), vars_.size());
    if (added) {
        vars_.emplace_back(std::string(name), std::move(value));
    } else {
        vars_[it->second].second = std::move(value);
    }
}

std::optional<std::string> EnvironmentBlock::get(std::string_view name) const {
    const auto it = index_.find(upperCase(name));
    if (it == index_.end()) {
        return std::nullopt;
    }
    return vars_[it->second].second;
}

std::string EnvironmentBlock::expand(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const size_t open = text.find('%', i);
        if (open == std::string_view::npos) {
            break;
        }
        const size_t close = text.find('%', open + 1);
        if (close == std::string_view::npos) {
            break;
        }
        out.append(text.substr(i, open - i));
        const auto value =
            close > open + 1 ? get(text.substr(open + 1, close - open - 1)) : std::nullopt;
        if (value) {
            out += *value;
        } else {
            out.append(text.substr(open, close - open + 1));
        }
        i = close + 1;
    }
    out.append(text.substr(i));
    return out;
}

}  // namespace tidora::platform::winepfx
