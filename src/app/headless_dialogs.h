#pragma once

#include <ostream>

#include "frame/user_dialogs.h"

namespace tidora::app {

// The dialogs of a run without a window: messages go to a stream, and every question is answered
// with its cautious choice (Cancel, No), so that nothing goes on that a user did not confirm.
class HeadlessDialogs : public frame::UserDialogs {
public:
    explicit HeadlessDialogs(std::ostream& out) : out_(out) {}

    void ShowError(const QString& text) override;
    void ShowWarning(const QString& text) override;
    bool Confirm(const QString& text) override;
    bool AskYesNo(const QString& text) override;

private:
    std::ostream& out_;
};

}  // namespace tidora::app
