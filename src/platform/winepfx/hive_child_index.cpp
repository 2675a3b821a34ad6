#include "platform/winepfx/hive_child_index.h"

#include <string>

#include "platform/text_utf.h"

namespace tidora::platform::winepfx {
namespace {

uint32_t hashBytes(uint32_t h, std::string_view bytes) {
    for (const char c : bytes) {
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    }
    return h;
}

}  // namespace

uint32_t HiveChildIndex::hashOf(uint32_t parent, std::string_view name) {
    uint32_t h = 2166136261u ^ (parent * 0x9E3779B1u);
    bool ascii = true;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80) {
            ascii = false;
            break;
        }
        h = (h ^ ((b >= 'a' && b <= 'z') ? b - 32 : b)) * 16777619u;
    }
    if (!ascii) {
        h = hashBytes(2166136261u ^ (parent * 0x9E3779B1u), upperCase(name));
    }
    h ^= h >> 16;
    h *= 0x85EBCA6Bu;
    h ^= h >> 13;
    return h;
}

void HiveChildIndex::reserve(size_t count) {
    size_t capacity = 16;
    while (capacity < count * 2) {
        capacity *= 2;
    }
    if (capacity > slots_.size()) {
        rebuild(capacity);
    }
}

void HiveChildIndex::insert(uint32_t hash, uint32_t id) {
    if ((used_ + 1) * 2 > slots_.size()) {
        // Erased slots are dropped on the way; grow only when live entries need it.
        size_t capacity = 16;
        while (capacity < (live_ + 1) * 4) {
            capacity *= 2;
        }
        rebuild(capacity);
    }
    const size_t mask = slots_.size() - 1;
    size_t i = hash & mask;
    while (slots_[i].id != kEmpty && slots_[i].id != kErased) {
        i = (i + 1) & mask;
    }
    if (slots_[i].id == kEmpty) {
        ++used_;
    }
    slots_[i] = Slot{hash, id};
    ++live_;
}

void HiveChildIndex::erase(uint32_t hash, uint32_t id) {
    if (slots_.empty()) {
        return;
    }
    const size_t mask = slots_.size() - 1;
    for (size_t i = hash & mask; slots_[i].id != kEmpty; i = (i + 1) & mask) {
        if (slots_[i].id == id) {
            slots_[i].id = kErased;
            --live_;
            return;
        }
    }
}

void HiveChildIndex::rebuild(size_t capacity) {
    std::vector<Slot> old(capacity, Slot{0, kEmpty});
    old.swap(slots_);
    used_ = 0;
    live_ = 0;
    const size_t mask = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.id == kEmpty || slot.id == kErased) {
            continue;
        }
        size_t i = slot.hash & mask;
        while (slots_[i].id != kEmpty) {
            i = (i + 1) & mask;
        }
        slots_[i] = slot;
        ++used_;
        ++live_;
    }
}

}  // namespace tidora::platform::winepfx
