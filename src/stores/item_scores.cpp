#include "stores/item_scores.h"

#include <algorithm>
#include <optional>

#include "helpers/system_facts.h"

namespace tidora::stores {

namespace {

// The raw score of each item's count rule; nullopt for an item without one.
std::optional<double> countRule(int32_t id, int64_t count) {
    const double n = static_cast<double>(count);
    switch (id) {
        case 1:
            return n < 2000 ? 0.1 : n < 4000 ? 0.2 : n < 20000 ? n / 20000 : 1;
        case 2:
            return n < 20 ? 0.1 : n / 200;
        case 3:
            return n < 200 ? 0.1 : n < 2000 ? 0.3 : n / 20000;
        case 4:
            return n < 50 ? 0.1 : n * 0.001;
        case 5:
            return n < 100 ? 0.1 : n * 0.003;
        case 10:
            return n < 50 ? 0.1 : n < 2000 ? 0.2 : n < 20000 ? 0.4 : n <= 100000 ? n * 0.00004 : 1;
        case 11:
            return n < 100 ? 0.05 : n < 1000 ? 0.2 : n < 10000 ? n * 0.0001 + 0.2 : 1;
        case 13:
            return n < 10 ? 0.2 : n * 0.01;
        case 14:
            return n < 100 ? 0.1 : n * 0.001;
        case 15:
            return n <= 5 ? 0.3 : (n - 5) * 0.01 + 0.3;
        case 17:
            return n < 2 ? 0.1 : n < 10 ? 0.4 : 1;
        case 18:
            return n < 5 ? 0.1 : n < 10 ? 0.4 : n < 20 ? 0.8 : 1;
        case 50:
        case 52:
            return n < 20 ? 0.1 : n < 200 ? 0.3 : n < 10000 ? n * 0.00007 + 0.3 : 1;
        case 51:
        case 53:
            return n < 5 ? 0.1 : n * 0.05 + 0.2;
        case 54:
            return n < 20 ? 0.1 : n < 200 ? 0.3 : (n - 198) * 0.001 + 0.3;
        case 70:
            return n < 10 ? 0.08 : n <= 500 ? n * 0.005 : 1;
        case 71:
            return n < 5 ? 0.4 : 1;
        case 76:
            return n < 100 ? 0.2 : 1;
        case 100:
            return n < 10 ? 0.1 : n < 50 ? 0.4 : n < 200 ? 0.75 : 1;
        case 101:
        case 102:
            return n < 10 ? 0.05 : n < 50 ? 0.2 : n < 200 ? 0.8 : 1;
        case 105:
            return n < 100 ? 0.2 : n <= 200 ? 0.7 : 1;
        case 106:
            return n < 6 ? 0.2 : n < 40 ? 0.5 : n < 100 ? 0.8 : 1;
        case 107:
            return n < 10 ? 0.1 : n * 0.005 + 0.2;
        case 108:
            return n < 10 ? 0.2 : n < 100 ? 0.5 : 1;
        case 109:
            return n < 20 ? 0.2 : n < 100 ? (n - 18) * 0.01 + 0.2 : 1;
        case 110:
            return n < 5 ? 0.2 : n < 20 ? 0.8 : 1;
        case 111:
            return n < 5 ? 0.5 : 1;
        case 112:
            return n < 5 ? 0.3 : n < 10 ? 0.7 : 1;
        default:
            return std::nullopt;
    }
}

// The raw score of each item's size rule for m MiB; nullopt for an item without one.
std::optional<double> sizeRule(int32_t id, double m, double c) {
    switch (id) {
        case 1:
            return m < 10 * c     ? 0.1
                   : m < 100 * c  ? m * 0.005 + 0.1
                   : m < 1000 * c ? m * 0.00025 + 0.5
                                  : 1;
        case 2:
            return m < c ? 0.1 : m < 10 * c ? 0.3 : m * 0.001 + 0.3;
        case 3:
            return m < 0.2 * c ? 0.1 : m < c ? 0.4 : m < 10 * c ? 0.6 : m * 0.01 + 0.6;
        case 5:
            return m < 0.5 * c ? 0.2 : m < 2 * c ? 0.4 : m * 0.1 + 0.4;
        case 10:
            return m < 5 * c      ? 0.1
                   : m < 50 * c   ? 0.2
                   : m < 900 * c  ? 0.4
                   : m < 5000 * c ? 0.6
                                  : m * 0.00008 + 0.6;
        case 11:
            return m < 5 * c      ? 0.05
                   : m < 10 * c   ? 0.1
                   : m < 20 * c   ? 0.2
                   : m < 200 * c  ? 0.4
                   : m < 2000 * c ? m * 0.0002 + 0.4
                                  : m * 0.000015 + 0.8;
        case 13:
            return m < 100 * c ? 0.2 : m < 1000 * c ? 0.6 : m * 0.0002 + 0.6;
        case 14:
            return m < 10 * c ? 0.1 : m < 100 * c ? 0.4 : m < 1000 * c ? m * 0.0006 + 0.4 : 1;
        case 15:
            return m <= 2 * c ? 0.2 : m < 40 * c ? 0.35 : m < 200 * c ? 0.6 : m * 0.002 + 0.6;
        case 50:
            return m < 10 * c ? 0.1 : m < 100 * c ? 0.4 : m < 1000 * c ? m * 0.00004 + 0.4 : 1;
        case 52:
            return m < 10 * c ? 0.1 : m < 200 * c ? 0.5 : 1;
        case 53:
            return m < 2 * c ? 0.1 : m < 100 * c ? m * 0.006 + 0.1 : 1;
        case 54:
            return m < 2 * c ? 0.1 : m < 20 * c ? 0.2 : m * 0.001 + 0.3;
        case 70:
            return m < c ? 0.2 : m < 5 * c ? 0.4 : m < 20 * c ? 0.6 : m * 0.005 + 0.6;
        case 71:
            return m < 10 * c ? 0.2 : m < 100 * c ? 0.6 : m * 0.001 + 0.6;
        case 76:
            return m < 10 * c ? 0.2 : m < 100 * c ? 0.5 : 1;
        default:
            return std::nullopt;
    }
}

}  // namespace

TMachineFacts ReadMachineFacts(const platform::Machine& machine) {
    TMachineFacts facts;
    facts.PerfFrequency = helpers::GetPerfFrequency();
    helpers::GetSystemDiskSpaceMB(machine, facts.DiskTotalMB, facts.DiskFreeMB);
    return facts;
}

double CalcPCC(const TMachineFacts& facts, int32_t aRefValue) {
    const double f = static_cast<double>(facts.PerfFrequency) * 0.000001;
    const double t = facts.DiskTotalMB;
    const double ratio = t > 0 ? facts.DiskFreeMB / t : 1;
    const double speed = f < 1000 ? 0.2 : f < 2000 ? 0.4 : f >= 3000 ? 1 : 0.5;
    // A nearly full disk makes the same junk weigh more.
    const double freeSpace = ratio < 0.1   ? 1
                             : ratio < 0.2 ? 0.8
                             : ratio < 0.8 ? 0.4
                             : ratio < 0.9 ? 0.2
                                           : 0.1;
    const double diskSize = t > 150000  ? 1
                            : t > 70000 ? 0.8
                            : t > 30000 ? 0.6
                            : t > 8000  ? 0.4
                            : t > 5000  ? 0.2
                                        : 0.08;
    const double reference = aRefValue > 8000 ? 1 : aRefValue < 5000 ? 0.7 : 0.9;
    return (3 * freeSpace + speed + 2 * diskSize + reference) / 4;
}

double GetCountScore(int32_t aID, int64_t aCount) {
    if (aCount <= 0) {
        return 0;
    }
    return std::min(1.0, countRule(aID, aCount).value_or(1));
}

double GetSizeScore(int32_t aID, double aSize, double aPCC) {
    // Written so that a NaN size scores 0 as well.
    if (!(aSize > 0)) {
        return 0;
    }
    return std::min(1.0, sizeRule(aID, aSize / 1048576, aPCC).value_or(1));
}

double GetItemScore(double aCountScore, double aSizeScore, double aKCount, double aKSize,
                    double aKP) {
    return aKP * std::min(1.0, aCountScore * aKCount + aSizeScore * aKSize);
}

}  // namespace tidora::stores
