#pragma once

#include <QString>

namespace tidora::frame {

// The modal messages the logic shows. The window implements them with message boxes; the
// command-line tool and tests answer them without a window.
class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // An error message with one OK button.
    virtual void ShowError(const QString& text) = 0;
    // A warning message with one OK button: something failed that the program can do without.
    virtual void ShowWarning(const QString& text) = 0;
    // A confirmation with OK and Cancel: true for OK.
    virtual bool Confirm(const QString& text) = 0;
    // An error message with Yes and No: true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
};

}  // namespace tidora::frame
