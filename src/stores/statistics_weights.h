#pragma once

#include <cstdint>
#include <span>

namespace tidora::stores {

// How much one clean item's findings count in the overall coefficient.
struct TItemWeights {
    int32_t ID = 0;
    double K_COUNT = 0;  // weight of the count score
    double K_SIZE = 0;   // weight of the size score
    double K_P = 0;      // weight of the item among the items of a run
};

// The weights the program ships with, one row per catalog item.
std::span<const TItemWeights> EmbeddedItemWeights();

// The shipped weights of one item; nullptr when it has none.
const TItemWeights* FindEmbeddedWeights(int32_t aID);

}  // namespace tidora::stores
