#include "app/run_progress.h"

#include <cmath>

#include "engine/clean_group.h"
#include "helpers/display_text.h"

namespace tidora::app {

void RunProgress::Reset() {
    std::lock_guard lock(mutex_);
    any_ = false;
    item_ = nullptr;
    desc_.clear();
    cPrevPosition = 1;
}

void RunProgress::GroupProgressProc(engine::TbaseCleanItem* item, int32_t acRegime,
                                    const QString& aDesc, double aCurrPos) {
    const int32_t active = group_.ActiveItemsCount();
    if (active == 0) {
        return;
    }
    const int32_t runSign = group_.RunProcessFlag();
    // The group's position already spans the pass: the items done and the current one's share.
    double percent = aCurrPos * 100;
    if (runSign == 2) {
        percent = aCurrPos * 50;
    } else if (runSign == 4) {
        percent = aCurrPos * 50 + 50;
    }
    std::lock_guard lock(mutex_);
    cPrevPosition = std::max(static_cast<int32_t>(std::nearbyint(percent)), cPrevPosition);
    any_ = true;
    item_ = item;
    code_ = acRegime;
    desc_ = aDesc;
    runSign_ = runSign;
    done_ = group_.CurrItemCount();
    active_ = active;
}

TwProgressRecord RunProgress::Current() const {
    std::lock_guard lock(mutex_);
    if (!any_) {
        return TwProgressRecord{0, cPrevPosition > 1 ? cPrevPosition : 0, {}, {}, {}};
    }
    int32_t type = 0;
    QString caption = item_ ? group_.GetCaptionAndType(item_, type) : QString();
    if (caption.isEmpty()) {
        caption = QStringLiteral("Продолжение действий");
    } else {
        QString prefix = QStringLiteral("Проверяем");
        if (code_ == 1 || code_ == 2) {
            prefix = QStringLiteral("Поиск путей проверки");
        } else if (code_ == 11 || code_ == 12) {
            prefix = QStringLiteral("Проверка данных");
        } else if (code_ > 9) {
            prefix = QStringLiteral("Удаляем");
        }
        caption = prefix + QStringLiteral(": ") + caption;
    }
    const QString trimmed = desc_.trimmed();
    QString desc =
        type == 2 ? helpers::ShortenText(trimmed, 80) : helpers::ShortenFileName(trimmed, 80);
    desc.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return TwProgressRecord{runSign_, cPrevPosition, caption,
                            QStringLiteral("%1/%2").arg(done_ + 1).arg(active_), desc};
}

}  // namespace tidora::app
