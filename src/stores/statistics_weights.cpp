#include "stores/statistics_weights.h"

#include <algorithm>
#include <array>

namespace tidora::stores {

namespace {

// An item scores K_P x min(1, cs x K_COUNT + ss x K_SIZE), and the coefficient is the sum of
// these over the sum of K_P of the items that took part; the index is (1 - coefficient) x 10.
//
// K_COUNT and K_SIZE: every rule gives a positive count or size a floor score of 0.05 to 0.5,
// however small the finding. The weights are chosen so that the lowest step of an item's rules
// stays at about 0.25 or less, while the level that is real junk for the item reaches about 1
// (the sum is capped there):
//   - temp files (11): 3000 files or 300 MB give 1; a few dozen small files give 0.12;
//   - browser cache (1): the count steps stay flat up to 4000 files, so the size carries it:
//     300 MB give about 1, a few MB 0.2;
//   - registry items: dozens of invalid entries give 0.5 to 1, a handful 0.1 to 0.3 (services,
//     without a count rule, always 0.5); they have no size (K_SIZE 0: a positive size of an item
//     without a size rule would score 1);
//   - shortcuts (17, 18) and the registry-valued address list (4) have no size rule either;
//   - thumbnails (53) and event logs (70) always have a few files on Windows, so their count
//     weighs little and the size decides; prefetch (71) is a cache Windows uses, not junk.
// K_P: what a full item means to the machine. Temp files (20) and the browser cache (12) pile
// up fastest; the recycle bin, crash dumps, logs, thumbnails and the registry items that grow
// with every removed program (100, 101, 102, 109, 110) follow at 3 to 5; traces that stay small
// (recent items, shortcuts, jump lists, address list) weigh 0.25 to 0.5. The clipboard (12) has
// no rule at all, so any entry would score 1: it gets no weight. Items 51 and 52 count one entry
// at most, whatever they hold, so their score says nothing: little weight.
//
// With these, a full run that finds a few temp files and nothing else gives an index of about
// 9.7; one that finds thousands of temp files, hundreds of MB of caches and dumps and dozens of
// invalid registry entries about 1.2 to 1.4, for machine coefficients of 0.44 to 1.575 (what a
// 1 GHz counter allows; 1.125 is typical). Junk in only a few items gives a middling index,
// since the items that found nothing still count.
constexpr std::array<TItemWeights, 33> kWeights{{
    {10, 1.0, 1.5, 5.0},    // recycle bin
    {11, 1.2, 1.2, 20.0},   // temp files
    {12, 0.0, 0.0, 0.0},    // clipboard
    {13, 0.5, 1.2, 5.0},    // crash dumps
    {14, 0.6, 0.8, 4.0},    // logs
    {15, 0.5, 0.5, 2.0},    // error reports
    {17, 0.5, 0.0, 0.5},    // Start menu shortcuts
    {18, 1.0, 0.0, 0.5},    // desktop shortcuts
    {1, 0.5, 1.5, 12.0},    // browser cache
    {2, 1.0, 0.5, 2.0},     // visited pages
    {3, 1.0, 0.6, 2.0},     // cookies
    {4, 1.0, 0.0, 0.25},    // typed addresses
    {5, 0.6, 0.5, 2.0},     // browser history
    {50, 0.5, 0.3, 0.5},    // recent documents
    {51, 0.5, 0.0, 0.25},   // Run list
    {52, 0.5, 0.3, 0.25},   // other recent objects
    {53, 0.2, 1.0, 4.0},    // thumbnail cache
    {54, 0.5, 0.5, 0.5},    // jump lists
    {70, 0.4, 0.4, 0.5},    // event logs
    {71, 0.2, 0.3, 0.25},   // prefetch
    {76, 0.5, 0.5, 0.5},    // IIS logs
    {100, 2.5, 0.0, 4.0},   // shared DLLs
    {101, 5.0, 0.0, 4.0},   // file extensions
    {102, 5.0, 0.0, 4.0},   // ActiveX and classes
    {105, 0.5, 0.0, 0.25},  // fonts
    {106, 1.25, 0.0, 2.0},  // application paths
    {107, 2.0, 0.0, 1.0},   // help files
    {108, 1.5, 0.0, 2.0},   // installer entries
    {109, 1.5, 0.0, 3.0},   // missing applications
    {110, 1.25, 0.0, 3.0},  // autorun
    {111, 0.5, 0.0, 0.25},  // Start menu order
    {112, 0.5, 0.0, 0.25},  // MUI cache
    {114, 0.5, 0.0, 1.0},   // services
}};

}  // namespace

std::span<const TItemWeights> EmbeddedItemWeights() {
    return kWeights;
}

const TItemWeights* FindEmbeddedWeights(int32_t aID) {
    const auto it = std::find_if(kWeights.begin(), kWeights.end(),
                                 [aID](const TItemWeights& w) { return w.ID == aID; });
    return it != kWeights.end() ? &*it : nullptr;
}

}  // namespace tidora::stores
