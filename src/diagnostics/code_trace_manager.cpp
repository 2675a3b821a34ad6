#include "diagnostics/code_trace_manager.h"

namespace tidora::diagnostics {

TCodeTraceManager::TCodeTraceManager(std::uint16_t port) : FSocket(port) {}

void TCodeTraceManager::SendCommand(const QString& aCommand, const QString& aMsgData) {
    if (!FEnabled) {
        return;
    }
    TCodeTraceItem item(aCommand, aMsgData);
    if (item.CommandName.isEmpty()) {
        item.CommandRegime = 0;
        item.CommandName = TCodeTraceItem::GetCommandName(0);
        item.MessData = u'(' + aCommand + QStringLiteral(")> ") + item.MessData;
    }
    {
        std::lock_guard<std::mutex> lock(FItemsMutex);
        if (FItemsEnabled) {
            FItems.push_back(item);
        }
    }
    FSocket.SendString(item.DataToString());
}

bool TCodeTraceManager::ItemsEnabled() const {
    std::lock_guard<std::mutex> lock(FItemsMutex);
    return FItemsEnabled;
}

void TCodeTraceManager::SetItemsEnabled(bool value) {
    std::lock_guard<std::mutex> lock(FItemsMutex);
    if (!value) {
        FItems.clear();
    }
    FItemsEnabled = value;
}

std::vector<TCodeTraceItem> TCodeTraceManager::Items() const {
    std::lock_guard<std::mutex> lock(FItemsMutex);
    return FItems;
}

}  // namespace tidora::diagnostics
