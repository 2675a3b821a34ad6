#pragma once

#include <QString>

#include <cstdint>

namespace tidora::engine {

// "h:m:s" of an operation's duration, without leading zeros, in whole seconds rounded half to
// even. A duration that rounds down to nothing still shows "0:0:1": the operation did run.
QString DeltaTimeText(int64_t aDeltaMSec);

}  // namespace tidora::engine
