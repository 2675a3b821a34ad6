#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tidora::platform::winepfx {

// Finds a key's child by name without walking its siblings (Software\Classes has thousands): an
// open-addressing table of node ids keyed by the parent and the upper-cased name. The owner keeps
// the names and confirms each candidate, since different names may share a hash.
class HiveChildIndex {
public:
    static constexpr uint32_t kAbsent = UINT32_MAX;

    static uint32_t hashOf(uint32_t parent, std::string_view name);

    void reserve(size_t count);
    // The first id stored under `hash` for which matches(id) holds, or kAbsent.
    template <class Matches>
    uint32_t find(uint32_t hash, Matches matches) const {
        if (slots_.empty()) {
            return kAbsent;
        }
        const size_t mask = slots_.size() - 1;
        for (size_t i = hash & mask;; i = (i + 1) & mask) {
            const Slot& slot = slots_[i];
            if (slot.id == kEmpty) {
                return kAbsent;
            }
            if (slot.id != kErased && slot.hash == hash && matches(slot.id)) {
                return slot.id;
            }
        }
    }
    void insert(uint32_t hash, uint32_t id);
    void erase(uint32_t hash, uint32_t id);

private:
    struct Slot {
        uint32_t hash;
        uint32_t id;
    };
    static constexpr uint32_t kEmpty = UINT32_MAX;
    static constexpr uint32_t kErased = UINT32_MAX - 1;

    void rebuild(size_t capacity);

    std::vector<Slot> slots_;
    size_t used_ = 0;  // slots that are not empty, erased ones included
    size_t live_ = 0;
};

}  // namespace tidora::platform::winepfx
