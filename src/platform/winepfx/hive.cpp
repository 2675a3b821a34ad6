#include "platform/winepfx/hive.h"

#include <algorithm>

#include "platform/text_utf.h"
#include "platform/winepfx/hive_codec.h"

namespace tidora::platform::winepfx {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

void appendHex(std::string& out, uint64_t v) {
    char buffer[16];
    int n = 0;
    do {
        buffer[n++] = kHexDigits[v & 0xF];
        v >>= 4;
    } while (v != 0);
    while (n > 0) {
        out += buffer[--n];
    }
}

// What Wine writes after a key's path: its last write time in Unix seconds.
std::string unixSeconds(FileTime t) {
    return std::to_string(t > kUnixEpochAsFileTime ? (t - kUnixEpochAsFileTime) / 10000000 : 0);
}

std::string timeLine(FileTime t, std::string_view eol) {
    std::string line = "#time=";
    appendHex(line, t);
    line += eol;
    return line;
}

// A name as the file will hold it: text that is not UTF-8 becomes U+FFFD, as it does when read.
std::string storedName(std::string_view name) {
    return utf16ToUtf8(utf8ToUtf16(name));
}

}  // namespace

std::string Hive::serialize() const {
    std::string out;
    out.reserve(text_.size() + added_.size());
    for (uint32_t i = 0; i != kNone; i = items_[i].next) {
        const std::string_view text = itemText(i);
        out += text;
        // A file's last line may lack its line break; a line added after it needs one.
        if (items_[i].next != kNone && (text.empty() || text.back() != '\n')) {
            out += (!text.empty() && text.back() == '\r') ? std::string_view("\n") : eol_;
        }
    }
    return out;
}

std::string Hive::arch() const {
    return arch_;
}
std::string Hive::relativeRoot() const {
    return relativeRoot_;
}

// ---- Queries ----

std::optional<Hive::NodeId> Hive::find(std::string_view path) const {
    std::optional<NodeId> node = kRoot;
    hive_codec::forEachPathComponent(path, [&](std::string_view component) {
        if (node) {
            node = findChild(*node, component);
        }
    });
    return node;
}

std::optional<Hive::NodeId> Hive::findChild(NodeId parent, std::string_view name) const {
    if (!isLive(parent)) {
        return std::nullopt;
    }
    const NodeId child = childNamed(parent, name, HiveChildIndex::hashOf(parent, name));
    if (child == kNone) {
        return std::nullopt;
    }
    return child;
}

bool Hive::exists(NodeId node) const {
    return isLive(node);
}

Hive::NodeId Hive::parent(NodeId node) const {
    return isLive(node) ? nodes_[node].parent : kRoot;
}

const std::string& Hive::name(NodeId node) const {
    static const std::string none;
    return isLive(node) ? nodes_[node].name : none;
}

std::vector<Hive::NodeId> Hive::children(NodeId node) const {
    std::vector<NodeId> out;
    if (isLive(node)) {
        for (NodeId c = nodes_[node].firstChild; c != kNone; c = nodes_[c].nextSibling) {
            out.push_back(c);
        }
    }
    return out;
}

std::vector<RegValue> Hive::values(NodeId node) const {
    std::vector<RegValue> out;
    if (!isLive(node)) {
        return out;
    }
    for (uint32_t v = nodes_[node].firstValue; v != kNone; v = values_[v].next) {
        RegValue value = decodeValue(values_[v]);
        const auto same = std::find_if(out.begin(), out.end(), [&](const RegValue& earlier) {
            return equalsNoCase(earlier.name, value.name);
        });
        if (same == out.end()) {
            out.push_back(std::move(value));
        } else {
            same->type = value.type;
            same->data = std::move(value.data);
        }
    }
    return out;
}

std::optional<RegValue> Hive::value(NodeId node, std::string_view name) const {
    if (!isLive(node)) {
        return std::nullopt;
    }
    uint32_t first = kNone;
    uint32_t last = kNone;
    for (uint32_t v = nodes_[node].firstValue; v != kNone; v = values_[v].next) {
        if (valueNamed(values_[v], name)) {
            first = first == kNone ? v : first;
            last = v;
        }
    }
    if (first == kNone) {
        return std::nullopt;
    }
    RegValue found = decodeValue(values_[last]);
    found.name = valueName(values_[first]);
    return found;
}

FileTime Hive::lastWriteTime(NodeId node) const {
    return isLive(node) ? nodes_[node].time : 0;
}

bool Hive::isLink(NodeId node) const {
    return isLive(node) && nodes_[node].link;
}

// ---- Changes ----

Hive::NodeId Hive::createKey(std::string_view path, FileTime now) {
    NodeId node = kRoot;
    NodeId firstNew = kNone;
    hive_codec::forEachPathComponent(path, [&](std::string_view component) {
        const std::string name = storedName(component);
        const uint32_t hash = HiveChildIndex::hashOf(node, name);
        if (const NodeId child = childNamed(node, name, hash); child != kNone) {
            node = child;
        } else {
            node = newNode(node, name, hash);
            if (firstNew == kNone) {
                firstNew = node;
            }
        }
    });
    if (firstNew != kNone) {
        // Keys with subkeys but no values have no line of their own: only the new leaf gets one.
        addBlock(node, now, blockAfterSubtree(nodes_[firstNew].parent));
    }
    return node;
}

void Hive::setValue(NodeId node, const RegValue& value, FileTime now) {
    if (!isLive(node)) {
        return;
    }
    std::string name = storedName(value.name);
    std::vector<uint32_t> same;
    for (uint32_t v = nodes_[node].firstValue; v != kNone; v = values_[v].next) {
        if (valueNamed(values_[v], name)) {
            same.push_back(v);
        }
    }
    if (!same.empty()) {
        name = valueName(values_[same.front()]);  // as on Windows, the value keeps its name
    }
    std::string text;
    hive_codec::formatValue(RegValue{std::move(name), value.type, value.data}, eol_, text);
    const auto entry = hive_codec::parseValueEntry(text, 0);
    if (!entry) {
        return;
    }
    if (!same.empty()) {
        // The first entry takes the new data; later ones would override it when Wine loads.
        Value& first = values_[same.front()];
        replaceItemText(first.item, text);
        const uint32_t next = first.next;
        first = makeValue(first.item, first.block, *entry, 0);
        first.next = next;
        for (size_t k = 1; k < same.size(); ++k) {
            unlinkValue(node, same[k]);
        }
        touch(node, now);
        return;
    }
    const bool hadBlock = nodes_[node].firstBlock != kNone;
    const uint32_t b = ensureBlock(node, now);
    const uint32_t item = newItem(text, ItemKind::Value);
    Block& block = blocks_[b];
    linkItemAfter(item, block.lastValue != kNone ? values_[block.lastValue].item : block.headEnd);
    const auto index = static_cast<uint32_t>(values_.size());
    values_.push_back(makeValue(item, b, *entry, 0));
    Node& n = nodes_[node];
    uint32_t& link = block.lastValue != kNone ? values_[block.lastValue].next : n.firstValue;
    values_[index].next = link;
    link = index;
    if (values_[index].next == kNone) {
        n.lastValue = index;
    }
    block.lastValue = index;
    if (hadBlock) {
        touch(node, now);
    }
}

bool Hive::deleteValue(NodeId node, std::string_view name, FileTime now) {
    if (!isLive(node)) {
        return false;
    }
    bool deleted = false;
    for (uint32_t v = nodes_[node].firstValue; v != kNone;) {
        const uint32_t next = values_[v].next;
        if (valueNamed(values_[v], name)) {
            unlinkValue(node, v);
            deleted = true;
        }
        v = next;
    }
    if (deleted) {
        touch(node, now);
    }
    return deleted;
}

bool Hive::deleteKeyTree(NodeId node, FileTime now) {
    if (node == kRoot || !isLive(node)) {
        return false;
    }
    const NodeId parent = nodes_[node].parent;
    // A parent known only through this key's lines would vanish from the file: it gets its own
    // line where the deleted ones began.
    const bool parentNeedsLine = parent != kRoot && nodes_[parent].firstBlock == kNone &&
                                 nodes_[parent].firstChild == nodes_[parent].lastChild;
    const uint32_t firstBlock = parentNeedsLine ? firstBlockIn(node) : kNone;
    const uint32_t blockBefore = firstBlock != kNone ? blocks_[firstBlock].prevBlock : kNone;

    Node& n = nodes_[node];
    (n.prevSibling != kNone ? nodes_[n.prevSibling].nextSibling : nodes_[parent].firstChild) =
        n.nextSibling;
    (n.nextSibling != kNone ? nodes_[n.nextSibling].prevSibling : nodes_[parent].lastChild) =
        n.prevSibling;

    std::vector<NodeId> pending{node};
    while (!pending.empty()) {
        const NodeId current = pending.back();
        pending.pop_back();
        Node& gone = nodes_[current];
        for (NodeId c = gone.firstChild; c != kNone; c = nodes_[c].nextSibling) {
            pending.push_back(c);
        }
        for (uint32_t b = gone.firstBlock; b != kNone; b = blocks_[b].nextOfNode) {
            removeBlock(b);
        }
        childIndex_.erase(gone.hash, current);
        gone.live = false;
        gone.name = std::string();
    }

    if (parentNeedsLine) {
        addBlock(parent, now, blockBefore != kNone ? blocks_[blockBefore].nextBlock : firstBlock_);
    }
    return true;
}

// ---- Items: the file's lines in order ----

std::string_view Hive::itemText(uint32_t item) const {
    const Item& it = items_[item];
    return std::string_view(it.added ? added_ : text_).substr(it.begin, it.length);
}

uint32_t Hive::appendAdded(std::string_view text) {
    const auto offset = static_cast<uint32_t>(added_.size());
    added_ += text;
    return offset;
}

uint32_t Hive::newItem(std::string_view text, ItemKind kind) {
    const uint32_t offset = appendAdded(text);
    items_.push_back(Item{offset, static_cast<uint32_t>(text.size()), kNone, kNone, kind, true});
    return static_cast<uint32_t>(items_.size() - 1);
}

void Hive::linkItemAfter(uint32_t item, uint32_t after) {
    const uint32_t next = items_[after].next;
    items_[item].prev = after;
    items_[item].next = next;
    items_[after].next = item;
    (next != kNone ? items_[next].prev : lastItem_) = item;
}

void Hive::unlinkItem(uint32_t item) {
    const uint32_t prev = items_[item].prev;
    const uint32_t next = items_[item].next;
    items_[prev].next = next;
    (next != kNone ? items_[next].prev : lastItem_) = prev;
}

void Hive::replaceItemText(uint32_t item, std::string_view text) {
    const uint32_t offset = appendAdded(text);
    items_[item].begin = offset;
    items_[item].length = static_cast<uint32_t>(text.size());
    items_[item].added = true;
}

// ---- Nodes and blocks ----

Hive::NodeId Hive::childNamed(NodeId parent, std::string_view name, uint32_t hash) const {
    const uint32_t id = childIndex_.find(hash, [&](uint32_t candidate) {
        return nodes_[candidate].parent == parent && equalsNoCase(nodes_[candidate].name, name);
    });
    return id == HiveChildIndex::kAbsent ? kNone : id;
}

Hive::NodeId Hive::newNode(NodeId parent, std::string_view name, uint32_t hash) {
    const auto id = static_cast<NodeId>(nodes_.size());
    Node& p = nodes_[parent];
    const NodeId previous = p.lastChild;
    (previous != kNone ? nodes_[previous].nextSibling : p.firstChild) = id;
    p.lastChild = id;
    nodes_.push_back(Node{std::string(name), parent, kNone, kNone, previous, kNone, kNone, kNone,
                          kNone, hash, 0, false, true});
    childIndex_.insert(hash, id);
    return id;
}

bool Hive::inSubtree(NodeId node, NodeId top) const {
    while (node != top) {
        if (node == kRoot) {
            return false;
        }
        node = nodes_[node].parent;
    }
    return true;
}

uint32_t Hive::firstBlockIn(NodeId top) const {
    for (uint32_t b = firstBlock_; b != kNone; b = blocks_[b].nextBlock) {
        if (inSubtree(blocks_[b].node, top)) {
            return b;
        }
    }
    return kNone;
}

uint32_t Hive::lastBlockIn(NodeId top) const {
    for (uint32_t b = lastBlock_; b != kNone; b = blocks_[b].prevBlock) {
        if (inSubtree(blocks_[b].node, top)) {
            return b;
        }
    }
    return kNone;
}

// The block a new subkey of `top` goes before (kNone: the end of the file), so that the subkey
// comes after all of top's other subkeys when the file is read again.
uint32_t Hive::blockAfterSubtree(NodeId top) const {
    for (NodeId n = top;; n = nodes_[n].parent) {
        const uint32_t last = lastBlockIn(n);
        if (last != kNone) {
            return blocks_[last].nextBlock;
        }
        if (n == kRoot) {
            return kNone;
        }
    }
}

std::string Hive::escapedPath(NodeId node) const {
    std::vector<NodeId> chain;
    for (NodeId n = node; n != kRoot; n = nodes_[n].parent) {
        chain.push_back(n);
    }
    std::string out;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) {
            out += "\\\\";
        }
        hive_codec::escape(utf8ToUtf16(nodes_[*it].name), "[]", out);
    }
    return out;
}

uint32_t Hive::addBlock(NodeId node, FileTime now, uint32_t beforeBlock) {
    std::string keyLine = "[" + escapedPath(node) + "]";
    const auto pathEnd = static_cast<uint32_t>(keyLine.size());
    keyLine += ' ' + unixSeconds(now) + eol_;
    const uint32_t key = newItem(keyLine, ItemKind::Key);
    const uint32_t time = newItem(timeLine(now, eol_), ItemKind::Time);
    const uint32_t blank = newItem(eol_, ItemKind::Other);
    linkItemAfter(key,
                  beforeBlock != kNone ? items_[blocks_[beforeBlock].keyItem].prev : lastItem_);
    linkItemAfter(time, key);
    linkItemAfter(blank, time);

    const auto index = static_cast<uint32_t>(blocks_.size());
    const uint32_t prevBlock = beforeBlock != kNone ? blocks_[beforeBlock].prevBlock : lastBlock_;
    blocks_.push_back(Block{node, key, time, time, kNone, pathEnd, prevBlock, beforeBlock, kNone});
    (prevBlock != kNone ? blocks_[prevBlock].nextBlock : firstBlock_) = index;
    (beforeBlock != kNone ? blocks_[beforeBlock].prevBlock : lastBlock_) = index;
    nodes_[node].firstBlock = index;
    nodes_[node].time = now;
    return index;
}

uint32_t Hive::ensureBlock(NodeId node, FileTime now) {
    if (nodes_[node].firstBlock != kNone) {
        return nodes_[node].firstBlock;
    }
    // Where Wine writes a key: right before the lines of its subkeys.
    const uint32_t before = firstBlockIn(node);
    return addBlock(
        node, now,
        before != kNone || node == kRoot ? before : blockAfterSubtree(nodes_[node].parent));
}

void Hive::touch(NodeId node, FileTime now) {
    Block& block = blocks_[nodes_[node].firstBlock];
    std::string keyLine(itemText(block.keyItem).substr(0, block.pathEnd));
    keyLine += ' ' + unixSeconds(now) + eol_;
    replaceItemText(block.keyItem, keyLine);
    if (block.timeItem != kNone) {
        replaceItemText(block.timeItem, timeLine(now, eol_));
    } else {
        block.timeItem = newItem(timeLine(now, eol_), ItemKind::Time);
        linkItemAfter(block.timeItem, block.keyItem);
        if (block.headEnd == block.keyItem) {
            block.headEnd = block.timeItem;
        }
    }
    nodes_[node].time = now;
}

void Hive::removeBlock(uint32_t b) {
    const Block& block = blocks_[b];
    uint32_t item = block.keyItem;
    do {
        const uint32_t next = items_[item].next;
        unlinkItem(item);
        item = next;
    } while (item != kNone && items_[item].kind != ItemKind::Key &&
             items_[item].kind != ItemKind::BadKey);
    (block.prevBlock != kNone ? blocks_[block.prevBlock].nextBlock : firstBlock_) = block.nextBlock;
    (block.nextBlock != kNone ? blocks_[block.nextBlock].prevBlock : lastBlock_) = block.prevBlock;
}

// ---- Values ----

Hive::Value Hive::makeValue(uint32_t item, uint32_t block, const hive_codec::ValueEntry& entry,
                            size_t base) const {
    const auto at = [base](size_t offset) { return static_cast<uint32_t>(offset - base); };
    return Value{item,
                 block,
                 kNone,
                 at(entry.nameBegin),
                 at(entry.nameEnd),
                 at(entry.dataBegin),
                 at(entry.dataEnd),
                 entry.type,
                 static_cast<uint8_t>(entry.form),
                 entry.isDefault};
}

std::string Hive::valueName(const Value& value) const {
    std::string name;
    if (!value.isDefault) {
        hive_codec::unescapeToUtf8(
            itemText(value.item).substr(value.nameBegin, value.nameEnd - value.nameBegin), name);
    }
    return name;
}

bool Hive::valueNamed(const Value& value, std::string_view name) const {
    if (value.isDefault) {
        return name.empty();
    }
    const std::string_view raw =
        itemText(value.item).substr(value.nameBegin, value.nameEnd - value.nameBegin);
    const bool plain = std::all_of(raw.begin(), raw.end(), [](char c) {
        return c != '\\' && static_cast<unsigned char>(c) < 0x80;
    });
    return plain ? equalsNoCase(raw, name) : equalsNoCase(valueName(value), name);
}

RegValue Hive::decodeValue(const Value& value) const {
    hive_codec::ValueEntry entry;
    entry.form = static_cast<hive_codec::DataForm>(value.form);
    entry.dataBegin = value.dataBegin;
    entry.dataEnd = value.dataEnd;
    return RegValue{valueName(value), value.type,
                    hive_codec::decodeData(itemText(value.item), entry)};
}

void Hive::unlinkValue(NodeId node, uint32_t value) {
    Node& n = nodes_[node];
    uint32_t prev = kNone;
    for (uint32_t v = n.firstValue; v != value; v = values_[v].next) {
        prev = v;
    }
    const Value& gone = values_[value];
    (prev != kNone ? values_[prev].next : n.firstValue) = gone.next;
    if (n.lastValue == value) {
        n.lastValue = prev;
    }
    Block& block = blocks_[gone.block];
    if (block.lastValue == value) {
        block.lastValue = (prev != kNone && values_[prev].block == gone.block) ? prev : kNone;
    }
    unlinkItem(gone.item);
}

}  // namespace tidora::platform::winepfx
