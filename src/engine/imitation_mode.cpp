#include "engine/imitation_mode.h"

#include <atomic>

namespace tidora::engine {

namespace {
std::atomic<bool> imitationMode = false;
}

bool ImitationMode() {
    return imitationMode.load();
}

void SetImitationMode(bool on) {
    imitationMode.store(on);
}

}  // namespace tidora::engine
