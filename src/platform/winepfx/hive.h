#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/op_result.h"
#include "platform/reg_types.h"
#include "platform/winepfx/hive_child_index.h"

namespace tidora::platform::winepfx {

namespace hive_codec {
struct ValueEntry;
}

// One of Wine's text registry files (system.reg, user.reg, userdef.reg) as a tree of keys.
//
// The file's text is kept as it was read and the tree refers into it; a change replaces or adds
// only the lines it concerns, so everything else is written back byte for byte, including lines
// this reader does not understand. Key and value names are UTF-8 and match case-insensitively.
// A NodeId stays valid until deleteKeyTree removes its key; after that, queries treat it as an
// empty key and changes ignore it.
class Hive {
public:
    using NodeId = uint32_t;
    static constexpr NodeId kRoot = 0;  // the key the file's paths are relative to

    // Fails only when the text is not a Wine registry file at all (its first line is not
    // "WINE REGISTRY Version 2") or is larger than 2 GiB; a line it cannot understand is kept
    // verbatim and otherwise ignored.
    static std::optional<Hive> parse(std::string text, std::string* error);
    static std::optional<Hive> load(const std::string& unixPath, std::string* error);
    // Byte for byte the parsed text while nothing has changed.
    std::string serialize() const;
    // Writes atomically (temporary file in the same folder, fsync, rename, fsync of the folder).
    // The first save of this hive to a path keeps the file found there as
    // unixPath + ".tidora-backup", replacing an older backup. On failure the hive file is as it
    // was and the error says what failed.
    OpResult save(const std::string& unixPath);

    std::string arch() const;          // "win64", "win32", or "" when the header says neither
    std::string relativeRoot() const;  // e.g. "REGISTRY\Machine"

    // "A\B\C", case-insensitive; "" is the root. Empty components are skipped, as when parsing.
    std::optional<NodeId> find(std::string_view path) const;
    std::optional<NodeId> findChild(NodeId parent, std::string_view name) const;
    bool exists(NodeId) const;
    NodeId parent(NodeId) const;  // the root is its own parent
    const std::string& name(NodeId) const;
    // In the order they first appear in the file; keys created since come last.
    std::vector<NodeId> children(NodeId) const;
    // In stored order. A name given twice (hand-edited files) counts once, at its first place,
    // with the data of its last entry, as Wine loads it.
    std::vector<RegValue> values(NodeId) const;
    std::optional<RegValue> value(NodeId, std::string_view name) const;
    FileTime lastWriteTime(NodeId) const;  // #time, else the key line's seconds, else 0
    bool isLink(NodeId) const;             // a symbolic link key (#link)

    // `now` is the time written into the changed key's line and #time line. Names that are not
    // UTF-8 are stored with U+FFFD in place of the bad bytes, as reading the file would give them.

    // Creates the key and its missing parents; an existing key is returned as it is.
    NodeId createKey(std::string_view path, FileTime now);
    // Replaces a same-named value in place, else adds the value after the key's last one.
    void setValue(NodeId, const RegValue& value, FileTime now);
    bool deleteValue(NodeId, std::string_view name, FileTime now);
    // Removes the key's lines and those of all its subkeys; false for the root or a deleted key.
    bool deleteKeyTree(NodeId, FileTime now);

private:
    static constexpr uint32_t kNone = UINT32_MAX;

    enum class ItemKind : uint8_t { Header, Key, BadKey, Time, Option, Value, Other };

    // A line, or a value entry with its continuation lines, in the order the file has them.
    // Its text lies in text_, or in added_ once written by a change.
    struct Item {
        uint32_t begin;
        uint32_t length;
        uint32_t prev;
        uint32_t next;
        ItemKind kind;
        bool added;
    };

    // The lines from a key line up to the next key line.
    struct Block {
        NodeId node;
        uint32_t keyItem;
        uint32_t timeItem;   // kNone when the block has no #time line
        uint32_t headEnd;    // last item of the key line and the option lines right after it
        uint32_t lastValue;  // the block's last value, after which new values go
        uint32_t pathEnd;    // length of the key line up to and including the closing bracket
        uint32_t prevBlock;  // file order
        uint32_t nextBlock;
        uint32_t nextOfNode;  // the node's next block, for keys given twice
    };

    struct Node {
        std::string name;
        NodeId parent;
        NodeId firstChild;
        NodeId lastChild;
        NodeId prevSibling;
        NodeId nextSibling;
        uint32_t firstValue;
        uint32_t lastValue;
        uint32_t firstBlock;  // kNone for a key that exists only through its subkeys' lines
        uint32_t hash;
        FileTime time;
        bool link;
        bool live;
    };

    // A value entry; offsets are relative to its item's text and decoded only when asked for.
    struct Value {
        uint32_t item;
        uint32_t block;
        uint32_t next;  // the node's next value
        uint32_t nameBegin;
        uint32_t nameEnd;
        uint32_t dataBegin;
        uint32_t dataEnd;
        uint32_t type;
        uint8_t form;
        bool isDefault;
    };

    class Parser;

    Hive() = default;

    std::string_view itemText(uint32_t item) const;
    uint32_t newItem(std::string_view text, ItemKind kind);
    void linkItemAfter(uint32_t item, uint32_t after);
    void unlinkItem(uint32_t item);
    void replaceItemText(uint32_t item, std::string_view text);
    uint32_t appendAdded(std::string_view text);

    // `hash` is HiveChildIndex::hashOf(parent, name). childNamed gives kNone when there is none.
    NodeId childNamed(NodeId parent, std::string_view name, uint32_t hash) const;
    NodeId newNode(NodeId parent, std::string_view name, uint32_t hash);
    bool isLive(NodeId node) const { return node < nodes_.size() && nodes_[node].live; }
    bool inSubtree(NodeId node, NodeId top) const;
    uint32_t firstBlockIn(NodeId top) const;
    uint32_t lastBlockIn(NodeId top) const;
    uint32_t blockAfterSubtree(NodeId top) const;
    std::string escapedPath(NodeId node) const;
    uint32_t addBlock(NodeId node, FileTime now, uint32_t beforeBlock);
    uint32_t ensureBlock(NodeId node, FileTime now);
    void touch(NodeId node, FileTime now);
    void removeBlock(uint32_t block);

    Value makeValue(uint32_t item, uint32_t block, const hive_codec::ValueEntry& entry,
                    size_t base) const;
    bool valueNamed(const Value& value, std::string_view name) const;
    std::string valueName(const Value& value) const;
    RegValue decodeValue(const Value& value) const;
    void unlinkValue(NodeId node, uint32_t value);

    std::string text_;   // the file as read
    std::string added_;  // text written by changes
    std::string eol_ = "\n";
    std::string arch_;
    std::string relativeRoot_;
    std::vector<Item> items_;
    std::vector<Block> blocks_;
    std::vector<Node> nodes_;
    std::vector<Value> values_;
    HiveChildIndex childIndex_;
    uint32_t firstBlock_ = kNone;
    uint32_t lastBlock_ = kNone;
    uint32_t lastItem_ = 0;  // item 0 is the header and always first
    std::string backedUpPath_;
};

}  // namespace tidora::platform::winepfx
