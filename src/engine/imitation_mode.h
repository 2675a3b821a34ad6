#pragma once

namespace tidora::engine {

// While on, items mark entries deleted without deleting anything. Set once at start-up from the
// settings.
bool ImitationMode();
void SetImitationMode(bool on);

}  // namespace tidora::engine
