#include <algorithm>
#include <cstring>

#include "platform/winepfx/hive.h"
#include "platform/winepfx/hive_codec.h"

namespace tidora::platform::winepfx {
namespace {

constexpr std::string_view kSignature = "WINE REGISTRY Version 2";
constexpr std::string_view kRootPrefix = ";; All keys relative to ";
constexpr size_t kMaxSize = 0x7FFFFFFF;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimEnd(std::string_view s) {
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

// The FILETIME of a #time line ("#time=1dd895e87514b60"), nullopt for anything else.
std::optional<FileTime> parseTimeLine(std::string_view content) {
    constexpr std::string_view prefix = "#time=";
    const std::string_view digits = trimEnd(content.substr(prefix.size()));
    if (digits.empty() || digits.size() > 16) {
        return std::nullopt;
    }
    FileTime t = 0;
    for (const char c : digits) {
        const int v = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
        if (v < 0) {
            return std::nullopt;
        }
        t = (t << 4) | static_cast<FileTime>(v);
    }
    return t;
}

// The Unix seconds after a key line's closing bracket, as a FILETIME; 0 when there are none.
FileTime keyLineTime(std::string_view rest) {
    size_t i = 0;
    while (i < rest.size() && isBlank(rest[i])) {
        ++i;
    }
    // Beyond what a FILETIME can hold the number is meaningless; it is ignored.
    constexpr uint64_t kMaxSeconds = INT64_MAX / 10000000;
    uint64_t seconds = 0;
    size_t digits = 0;
    for (; i < rest.size() && rest[i] >= '0' && rest[i] <= '9'; ++i, ++digits) {
        seconds = seconds * 10 + static_cast<uint64_t>(rest[i] - '0');
        if (seconds > kMaxSeconds) {
            return 0;
        }
    }
    return digits == 0 ? 0 : fileTimeFromUnix(static_cast<int64_t>(seconds));
}

size_t commonPrefixLength(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    while (i + 8 <= n && std::memcmp(a.data() + i, b.data() + i, 8) == 0) {
        i += 8;
    }
    while (i < n && a[i] == b[i]) {
        ++i;
    }
    return i;
}

}  // namespace

class Hive::Parser {
public:
    explicit Parser(Hive& hive) : h_(hive), t_(hive.text_) {}

    void run() {
        h_.items_.reserve(t_.size() / 28 + 16);
        h_.values_.reserve(t_.size() / 64 + 16);
        h_.blocks_.reserve(t_.size() / 160 + 16);
        h_.nodes_.reserve(t_.size() / 160 + 16);
        h_.childIndex_.reserve(t_.size() / 160 + 16);
        h_.nodes_.push_back(
            Node{{}, kRoot, kNone, kNone, kNone, kNone, kNone, kNone, kNone, 0, 0, false, true});
        h_.items_.push_back(Item{0, 0, kNone, kNone, ItemKind::Header, false});

        bool inHeader = true;
        size_t pos = 0;
        while (pos < t_.size()) {
            const void* nl = std::memchr(t_.data() + pos, '\n', t_.size() - pos);
            const size_t lineBreak = nl ? static_cast<const char*>(nl) - t_.data() : t_.size();
            const size_t next = nl ? lineBreak + 1 : lineBreak;
            const size_t end =
                (lineBreak > pos && t_[lineBreak - 1] == '\r') ? lineBreak - 1 : lineBreak;
            const std::string_view content = t_.substr(pos, end - pos);
            const char first = content.empty() ? '\0' : content[0];
            if (first == '[') {
                if (startBlock(pos, end, next)) {
                    if (inHeader) {
                        h_.items_[0].length = static_cast<uint32_t>(pos);
                        inHeader = false;
                    }
                } else if (!inHeader) {
                    // Wine skips what follows a key line it cannot read, up to the next key.
                    addItem(pos, next, ItemKind::BadKey);
                    block_ = kNone;
                }
            } else if (inHeader) {
                readHeaderLine(content);
            } else if (block_ == kNone) {
                addItem(pos, next, ItemKind::Other);
            } else if (first == '#') {
                readOption(content, pos, next);
            } else if (first == '"' || first == '@') {
                if (const auto entry = hive_codec::parseValueEntry(t_, pos)) {
                    addValue(*entry, pos);
                    pos = entry->end;
                    continue;
                }
                addItem(pos, next, ItemKind::Other);
                inHead_ = false;
            } else {
                addItem(pos, next, ItemKind::Other);
                inHead_ = false;
            }
            pos = next;
        }
        if (inHeader) {
            h_.items_[0].length = static_cast<uint32_t>(t_.size());
        }
    }

private:
    uint32_t addItem(size_t begin, size_t end, ItemKind kind) {
        const auto index = static_cast<uint32_t>(h_.items_.size());
        h_.items_.push_back(Item{static_cast<uint32_t>(begin), static_cast<uint32_t>(end - begin),
                                 h_.lastItem_, kNone, kind, false});
        h_.items_[h_.lastItem_].next = index;
        h_.lastItem_ = index;
        return index;
    }

    void readHeaderLine(std::string_view content) {
        if (content.starts_with(kRootPrefix)) {
            hive_codec::unescapeToUtf8(content.substr(kRootPrefix.size()), h_.relativeRoot_);
        } else if (content.starts_with("#arch=")) {
            const std::string_view arch = trimEnd(content.substr(6));
            h_.arch_ = (arch == "win32" || arch == "win64") ? std::string(arch) : std::string();
        }
    }

    bool startBlock(size_t begin, size_t end, size_t next) {
        const size_t close = hive_codec::findUnescaped(t_.substr(0, end), begin + 1, ']');
        if (close == std::string_view::npos) {
            return false;
        }
        const NodeId node = resolve(t_.substr(begin + 1, close - begin - 1));
        const uint32_t item = addItem(begin, next, ItemKind::Key);
        const auto index = static_cast<uint32_t>(h_.blocks_.size());
        h_.blocks_.push_back(Block{node, item, kNone, item, kNone,
                                   static_cast<uint32_t>(close + 1 - begin), h_.lastBlock_, kNone,
                                   kNone});
        if (h_.lastBlock_ == kNone) {
            h_.firstBlock_ = index;
        } else {
            h_.blocks_[h_.lastBlock_].nextBlock = index;
        }
        h_.lastBlock_ = index;
        Node& n = h_.nodes_[node];
        if (n.firstBlock == kNone) {
            n.firstBlock = index;
            n.time = keyLineTime(t_.substr(close + 1, end - close - 1));
        } else {
            // A key given twice: its lines merge into the first block's key.
            Block& first = h_.blocks_[n.firstBlock];
            h_.blocks_.back().nextOfNode = first.nextOfNode;
            first.nextOfNode = index;
        }
        block_ = index;
        inHead_ = true;
        return true;
    }

    void readOption(std::string_view content, size_t begin, size_t next) {
        Block& block = h_.blocks_[block_];
        Node& node = h_.nodes_[block.node];
        ItemKind kind = ItemKind::Option;
        if (content.starts_with("#time=") && block.timeItem == kNone) {
            if (const auto time = parseTimeLine(content)) {
                kind = ItemKind::Time;
                if (node.firstBlock == block_) {
                    node.time = *time;
                }
            }
        } else if (trimEnd(content) == "#link") {
            node.link = true;
        }
        const uint32_t item = addItem(begin, next, kind);
        if (kind == ItemKind::Time) {
            block.timeItem = item;
        }
        if (inHead_) {
            block.headEnd = item;
        }
    }

    void addValue(const hive_codec::ValueEntry& entry, size_t begin) {
        const uint32_t item = addItem(begin, entry.end, ItemKind::Value);
        const auto index = static_cast<uint32_t>(h_.values_.size());
        h_.values_.push_back(h_.makeValue(item, block_, entry, begin));
        Block& block = h_.blocks_[block_];
        Node& node = h_.nodes_[block.node];
        if (node.lastValue == kNone) {
            node.firstValue = index;
        } else {
            h_.values_[node.lastValue].next = index;
        }
        node.lastValue = index;
        block.lastValue = index;
        inHead_ = false;
    }

    // The node of a key line's escaped path, creating it and its parents when new. Consecutive key
    // lines mostly share their leading components: those nodes are taken from the previous line.
    NodeId resolve(std::string_view escaped) {
        components_.clear();
        if (!hive_codec::splitPlainPath(escaped, components_)) {
            previousEscaped_.clear();
            previousComponents_.clear();
            hive_codec::unescapeToUtf8(escaped, name_);
            NodeId node = kRoot;
            hive_codec::forEachPathComponent(
                name_, [&](std::string_view name) { node = childOrNew(node, name); });
            return node;
        }
        const size_t differ = commonPrefixLength(escaped, previousEscaped_);
        size_t shared = 0;
        while (shared < components_.size() && shared < previousComponents_.size() &&
               components_[shared] == previousComponents_[shared] &&
               components_[shared].second <= differ) {
            ++shared;
        }
        chain_.resize(shared);
        NodeId node = shared == 0 ? kRoot : chain_.back();
        for (size_t k = shared; k < components_.size(); ++k) {
            const auto [begin, end] = components_[k];
            hive_codec::unescapeToUtf8(escaped.substr(begin, end - begin), name_);
            node = childOrNew(node, name_);
            chain_.push_back(node);
        }
        previousEscaped_.assign(escaped);
        previousComponents_.swap(components_);
        return node;
    }

    NodeId childOrNew(NodeId parent, std::string_view name) {
        const uint32_t hash = HiveChildIndex::hashOf(parent, name);
        const NodeId child = h_.childNamed(parent, name, hash);
        return child != kNone ? child : h_.newNode(parent, name, hash);
    }

    Hive& h_;
    const std::string_view t_;
    uint32_t block_ = kNone;  // kNone after a key line that could not be read
    bool inHead_ = false;     // still on the key line's option lines
    std::string name_;
    std::string previousEscaped_;  // empty when the previous key path was not plain
    std::vector<std::pair<uint32_t, uint32_t>> components_;
    std::vector<std::pair<uint32_t, uint32_t>> previousComponents_;
    std::vector<NodeId> chain_;  // the nodes of previousComponents_
};

std::optional<Hive> Hive::parse(std::string text, std::string* error) {
    const auto fail = [&](std::string message) {
        if (error != nullptr) {
            *error = std::move(message);
        }
        return std::nullopt;
    };
    if (text.size() > kMaxSize) {
        return fail("the registry file is larger than 2 GiB");
    }
    const size_t lineBreak = text.find('\n');
    std::string_view first = std::string_view(text).substr(0, lineBreak);
    if (!first.empty() && first.back() == '\r') {
        first.remove_suffix(1);
    }
    if (first != kSignature) {
        return fail("not a Wine registry file: the first line is not \"" + std::string(kSignature) +
                    "\"");
    }
    Hive hive;
    if (lineBreak != std::string::npos && lineBreak > 0 && text[lineBreak - 1] == '\r') {
        hive.eol_ = "\r\n";
    }
    hive.text_ = std::move(text);
    Parser(hive).run();
    return hive;
}

}  // namespace tidora::platform::winepfx
