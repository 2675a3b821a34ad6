#pragma once

#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include "diagnostics/code_trace_item.h"
#include "diagnostics/udp_code_trace_socket.h"

namespace tidora::diagnostics {

// Turns trace calls into items and sends them; optionally keeps them. Safe from any thread.
class TCodeTraceManager {
public:
    explicit TCodeTraceManager(std::uint16_t port = TUdpCodeTraceSocket::kViewerPort);

    // An unrecognised command is sent as "user:" with the command in front of the message.
    void SendCommand(const QString& aCommand, const QString& aMsgData);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value) { FEnabled = value; }
    bool ItemsEnabled() const;
    // Switching it off drops the kept items.
    void SetItemsEnabled(bool value);
    // A copy of the kept items, oldest first.
    std::vector<TCodeTraceItem> Items() const;

    TUdpCodeTraceSocket& Socket() { return FSocket; }

private:
    std::atomic<bool> FEnabled{true};
    mutable std::mutex FItemsMutex;
    bool FItemsEnabled = false;
    std::vector<TCodeTraceItem> FItems;
    TUdpCodeTraceSocket FSocket;
};

}  // namespace tidora::diagnostics
