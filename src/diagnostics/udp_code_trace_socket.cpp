#include "diagnostics/udp_code_trace_socket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <cerrno>
#include <cstring>

namespace tidora::diagnostics {

TUdpCodeTraceSocket::TUdpCodeTraceSocket(std::uint16_t port) : FPort(port) {}

TUdpCodeTraceSocket::~TUdpCodeTraceSocket() {
    if (FSocket >= 0) {
        ::close(FSocket);
    }
}

bool TUdpCodeTraceSocket::failWithErrno(const char* what, int error) {
    char buffer[256];
    // The GNU strerror_r: thread-safe, returns the text (not always in buffer).
    const char* text = strerror_r(error, buffer, sizeof buffer);
    FLastErrorStr = QString::fromUtf8(what) + QStringLiteral(": ") + QString::fromLocal8Bit(text);
    return false;
}

bool TUdpCodeTraceSocket::SendString(const QString& AStr) {
    const QByteArray bytes = AStr.toUtf8();
    std::lock_guard<std::mutex> lock(FMutex);
    if (FSocket < 0) {
        // Non-blocking: a full send buffer drops the datagram instead of stalling the caller.
        FSocket = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (FSocket < 0) {
            return failWithErrno("trace socket", errno);
        }
    }
    sockaddr_in viewer{};
    viewer.sin_family = AF_INET;
    viewer.sin_port = htons(FPort);
    viewer.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ssize_t sent;
    do {
        sent = ::sendto(FSocket, bytes.constData(), static_cast<size_t>(bytes.size()),
                        MSG_DONTWAIT | MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&viewer),
                        sizeof viewer);
    } while (sent < 0 && errno == EINTR);
    if (sent < 0) {
        return failWithErrno("trace datagram", errno);
    }
    return true;
}

bool TUdpCodeTraceSocket::IsConnected() const {
    std::lock_guard<std::mutex> lock(FMutex);
    return FSocket >= 0;
}

QString TUdpCodeTraceSocket::LastErrorStr() const {
    std::lock_guard<std::mutex> lock(FMutex);
    return FLastErrorStr;
}

}  // namespace tidora::diagnostics
