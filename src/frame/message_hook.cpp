#include "frame/message_hook.h"

#include <QCoreApplication>

namespace tidora::frame {

void TMessageHook::InitMsgHook() {
    if (!installed_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        installed_ = true;
    }
}

void TMessageHook::Clear() {
    if (installed_ && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
    installed_ = false;
}

bool TMessageHook::eventFilter(QObject* target, QEvent* event) {
    bool continueFlag = true;
    if (appEvent) {
        appEvent(target, event, continueFlag);
        if (!continueFlag) {
            return true;
        }
    }
    const int type = static_cast<int>(event->type());
    if (type >= kFirstMessage && type <= kLastMessage) {
        TMessage message;
        if (const auto* own = dynamic_cast<TMessageEvent*>(event)) {
            message = own->message();
        } else {
            message.Msg = static_cast<uint32_t>(type);
        }
        if (windowEvent) {
            windowEvent(message, continueFlag);
        }
    }
    return !continueFlag;
}

}  // namespace tidora::frame
