#pragma once

#include <QEvent>
#include <QObject>

#include <cstdint>
#include <functional>

namespace tidora::frame {

// A message as the controller's handlers see it: number, two parameters and a result.
struct TMessage {
    uint32_t Msg = 0;
    int32_t WParam = 0;
    int32_t LParam = 0;
    int32_t Result = 0;
};

// A message of the program's own range (1024..32768) travelling through Qt's event queue; its type
// is the message number, so the single-instance message 1110 is the event type 1110.
class TMessageEvent : public QEvent {
public:
    explicit TMessageEvent(const TMessage& message)
        : QEvent(static_cast<QEvent::Type>(message.Msg)), message_(message) {}
    const TMessage& message() const { return message_; }

private:
    TMessage message_;
};

// Sees every event of the application. The application-message event sees each one first and can
// stop it (continue flag cleared: the event is swallowed); then a message of the program's own
// range goes to the window-message event, which can stop it too.
using TAppMsgEvent = std::function<void(QObject* target, QEvent* event, bool& aCFlag)>;
using TWinMessageEvent = std::function<void(TMessage& aMess, bool& aCFlag)>;

class TMessageHook : public QObject {
public:
    static constexpr int kFirstMessage = 1024;
    static constexpr int kLastMessage = 32768;

    // Installs the hook on the application (InitMsgHook); Clear removes it.
    void InitMsgHook();
    void Clear();
    bool installed() const { return installed_; }

    TAppMsgEvent appEvent;
    TWinMessageEvent windowEvent;

protected:
    bool eventFilter(QObject* target, QEvent* event) override;

private:
    bool installed_ = false;
};

}  // namespace tidora::frame
