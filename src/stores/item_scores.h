#pragma once

#include <cstdint>

#include "platform/machine.h"

namespace tidora::stores {

// What the machine coefficient is judged from.
struct TMachineFacts {
    int64_t PerfFrequency = 0;  // ticks per second of the performance counter, 0 when unknown
    double DiskTotalMB = 0;     // the system drive, 0 when unknown
    double DiskFreeMB = 0;
};

TMachineFacts ReadMachineFacts(const platform::Machine& machine);

// The machine coefficient: free space, counter speed, disk size and the reference value, weighted
// 3, 1, 2 and 1 but divided by 4, so it lies between 0.34 and 1.75. Callers pass 7000.
double CalcPCC(const TMachineFacts& facts, int32_t aRefValue);

// The score of an item's entry count, in [0, 1]; 0 for no entries, 1 for an item without a
// rule.
double GetCountScore(int32_t aID, int64_t aCount);

// The score of an item's size in bytes, in [0, 1]; the machine coefficient scales the size
// steps. 0 for no size, 1 for an item without a rule.
double GetSizeScore(int32_t aID, double aSize, double aPCC);

// K_P x min(1, cs x K_COUNT + ss x K_SIZE).
double GetItemScore(double aCountScore, double aSizeScore, double aKCount, double aKSize,
                    double aKP);

}  // namespace tidora::stores
