#pragma once

#include <QString>
#include <cstdint>
#include <mutex>

namespace tidora::diagnostics {

// Sends trace datagrams to the trace viewer on the loopback address. Any thread may send; a
// datagram that cannot be sent is dropped, never raised and never waited for.
class TUdpCodeTraceSocket {
public:
    static constexpr std::uint16_t kViewerPort = 25678;

    explicit TUdpCodeTraceSocket(std::uint16_t port = kViewerPort);
    ~TUdpCodeTraceSocket();
    TUdpCodeTraceSocket(const TUdpCodeTraceSocket&) = delete;
    TUdpCodeTraceSocket& operator=(const TUdpCodeTraceSocket&) = delete;

    // One datagram with the text in UTF-8. False, with the reason in LastErrorStr, when it could
    // not be handed to the system (no socket, too large, send buffer full).
    bool SendString(const QString& AStr);
    // Whether the socket exists; a failed creation is retried by the next send.
    bool IsConnected() const;
    QString LastErrorStr() const;

private:
    bool failWithErrno(const char* what, int error);

    mutable std::mutex FMutex;
    const std::uint16_t FPort;
    int FSocket = -1;
    QString FLastErrorStr;
};

}  // namespace tidora::diagnostics
