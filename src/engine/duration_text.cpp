#include "engine/duration_text.h"

namespace tidora::engine {

QString DeltaTimeText(int64_t aDeltaMSec) {
    if (aDeltaMSec <= 0) {
        return QStringLiteral("0:0:0");
    }
    int64_t seconds = aDeltaMSec / 1000;
    const int64_t rest = aDeltaMSec % 1000;
    if (rest > 500 || (rest == 500 && seconds % 2 != 0)) {
        ++seconds;
    }
    const QString text =
        QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
    return text == QStringLiteral("0:0:0") ? QStringLiteral("0:0:1") : text;
}

}  // namespace tidora::engine
