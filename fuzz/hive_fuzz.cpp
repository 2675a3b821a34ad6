// Parses any text as a Wine registry file. What parses must serialize back unchanged, answer every
// query, and, after a few changes, serialize to a text that parses to the same keys and values.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/text_utf.h"
#include "platform/winepfx/hive.h"

using tidora::platform::FileTime;
using tidora::platform::RegValue;
using tidora::platform::upperCase;
using tidora::platform::utf16ToUtf8;
using tidora::platform::utf8ToUtf16;
using tidora::platform::winepfx::Hive;

namespace {

void require(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "hive fuzz: %s\n", what);
        std::abort();
    }
}

struct KeyState {
    FileTime time;
    bool link;
    std::vector<RegValue> values;
    bool operator==(const KeyState&) const = default;
};

// Keys by upper-cased path: letter case and sibling order may change when a change moves the
// line that first named a key, as a new parse would see it.
using Snapshot = std::map<std::string, KeyState>;

void collect(const Hive& hive, Hive::NodeId node, const std::string& path,
             std::vector<Hive::NodeId>& nodes, Snapshot& out) {
    nodes.push_back(node);
    const auto values = hive.values(node);
    for (const auto& v : values) {
        require(hive.value(node, v.name) == v, "value() disagrees with values()");
    }
    require(hive.find(path) == node, "find() misses an enumerated key");
    out[upperCase(path)] = KeyState{hive.lastWriteTime(node), hive.isLink(node), values};
    for (const auto child : hive.children(node)) {
        require(hive.parent(child) == node, "parent() disagrees with children()");
        require(!hive.name(child).empty(), "a key without a name");
        require(hive.findChild(node, hive.name(child)) == child, "findChild() misses a child");
        collect(hive, child, path.empty() ? hive.name(child) : path + "\\" + hive.name(child),
                nodes, out);
    }
}

Snapshot snapshot(const Hive& hive, std::vector<Hive::NodeId>& nodes) {
    Snapshot out;
    collect(hive, Hive::kRoot, "", nodes, out);
    return out;
}

class Random {
public:
    explicit Random(const uint8_t* data, size_t size) {
        for (size_t i = 0; i < size; ++i) {
            state_ = (state_ ^ data[i]) * 0x100000001B3ULL;
        }
    }
    uint64_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    size_t below(size_t n) { return n == 0 ? 0 : next() % n; }

private:
    uint64_t state_ = 0xCBF29CE484222325ULL;
};

// A name or data taken from the input itself, so that it holds what the fuzzer finds interesting.
std::string slice(const std::string& text, Random& random, size_t maxLength) {
    const size_t begin = random.below(text.size() + 1);
    return text.substr(begin, random.below(maxLength + 1));
}

void change(Hive& hive, const std::vector<Hive::NodeId>& nodes, const std::string& text,
            Random& random) {
    const Hive::NodeId node = nodes[random.below(nodes.size())];
    const FileTime now = random.next();
    const auto values = hive.values(node);
    const std::string existing =
        values.empty() ? slice(text, random, 8) : values[random.below(values.size())].name;
    switch (random.below(5)) {
        case 0:
        case 1: {
            const std::string name = random.below(2) ? existing : slice(text, random, 12);
            static constexpr uint32_t kTypes[] = {0, 1, 2, 3, 4, 6, 7, 11, 0xffff0007};
            const uint32_t type = kTypes[random.below(std::size(kTypes))];
            const std::string bytes = slice(text, random, 200);
            const RegValue value{name, type, std::vector<uint8_t>(bytes.begin(), bytes.end())};
            hive.setValue(node, value, now);
            const auto stored = hive.value(node, utf16ToUtf8(utf8ToUtf16(name)));
            require(stored && stored->type == type && stored->data == value.data,
                    "setValue() did not store the value");
            break;
        }
        case 2: {
            const std::string name = utf16ToUtf8(utf8ToUtf16(existing));
            hive.deleteValue(node, name, now);
            require(!hive.value(node, name), "deleteValue() left the value");
            break;
        }
        case 3: {
            const auto created = hive.createKey(slice(text, random, 40), now);
            require(hive.exists(created), "createKey() gave no key");
            break;
        }
        default:
            if (node != Hive::kRoot && hive.exists(node)) {
                require(hive.deleteKeyTree(node, now), "deleteKeyTree() failed");
                require(!hive.exists(node), "deleteKeyTree() left the key");
            }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    auto hive = Hive::parse(text, nullptr);
    if (!hive) {
        return 0;
    }
    require(hive->serialize() == text, "an unchanged hive serializes differently");
    std::vector<Hive::NodeId> nodes;
    snapshot(*hive, nodes);

    Random random(data, size);
    for (size_t round = 1 + random.below(3); round > 0; --round) {
        change(*hive, nodes, text, random);
        nodes.clear();
        const Snapshot changed = snapshot(*hive, nodes);
        const std::string written = hive->serialize();
        const auto again = Hive::parse(written, nullptr);
        require(again.has_value(), "a changed hive no longer parses");
        require(again->serialize() == written, "a written hive serializes differently");
        std::vector<Hive::NodeId> ignored;
        require(snapshot(*again, ignored) == changed, "a written hive reads back differently");
    }
    return 0;
}
