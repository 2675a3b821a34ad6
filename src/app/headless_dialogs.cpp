#include "app/headless_dialogs.h"

namespace tidora::app {

namespace {
std::string oneLine(const QString& text) {
    return text.simplified().toStdString();
}
}  // namespace

void HeadlessDialogs::ShowError(const QString& text) {
    out_ << "tidora-cli: " << oneLine(text) << std::endl;
}

void HeadlessDialogs::ShowWarning(const QString& text) {
    out_ << "tidora-cli: warning: " << oneLine(text) << std::endl;
}

bool HeadlessDialogs::Confirm(const QString& text) {
    out_ << "tidora-cli: " << oneLine(text) << " (answered: Cancel)" << std::endl;
    return false;
}

bool HeadlessDialogs::AskYesNo(const QString& text) {
    out_ << "tidora-cli: " << oneLine(text) << " (answered: No)" << std::endl;
    return false;
}

}  // namespace tidora::app
