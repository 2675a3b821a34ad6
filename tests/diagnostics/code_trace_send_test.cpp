#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "diagnostics/code_trace.h"
#include "diagnostics/code_trace_manager.h"
#include "diagnostics/udp_code_trace_socket.h"

namespace tidora::diagnostics {
namespace {

std::string str(const QString& text) {
    return text.toStdString();
}

// A stand-in for the trace viewer: a UDP socket on the loopback address.
class Viewer {
public:
    // Port 0 picks a free one.
    explicit Viewer(std::uint16_t port = 0) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            error_ = errno;
            return;
        }
        socklen_t length = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
    }
    ~Viewer() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    bool bound() const { return port_ != 0; }
    int error() const { return error_; }
    std::uint16_t port() const { return port_; }

    // The next datagram; nothing when none comes within a generous wait.
    std::optional<std::string> receive() {
        pollfd waiting{fd_, POLLIN, 0};
        if (::poll(&waiting, 1, 10'000) != 1) {
            return std::nullopt;
        }
        std::string buffer(70'000, '\0');
        const ssize_t size = ::recv(fd_, buffer.data(), buffer.size(), 0);
        if (size < 0) {
            return std::nullopt;
        }
        buffer.resize(static_cast<size_t>(size));
        return buffer;
    }

private:
    int fd_ = -1;
    int error_ = 0;
    std::uint16_t port_ = 0;
};

// "<command> <message> TIME=hh:nn:ss.zzz" in the C locale.
void expectDatagram(const std::optional<std::string>& datagram, const std::string& head) {
    ASSERT_TRUE(datagram.has_value()) << "nothing received, expected " << head;
    ASSERT_GE(datagram->size(), head.size() + 18) << *datagram;
    EXPECT_EQ(datagram->substr(0, head.size()), head);
    EXPECT_TRUE(QRegularExpression(R"(^ TIME=\d\d:\d\d:\d\d\.\d\d\d$)")
                    .match(QString::fromStdString(datagram->substr(head.size())))
                    .hasMatch())
        << *datagram;
}

class TraceSend : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(viewer.bound()) << "errno " << viewer.error();
    }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    Viewer viewer;
};

TEST_F(TraceSend, SocketSendsTheTextAsUtf8) {
    TUdpCodeTraceSocket socket(viewer.port());
    EXPECT_FALSE(socket.IsConnected());
    const char* const text = "note: Очистка C:\\Temp ✓";
    EXPECT_TRUE(socket.SendString(QString::fromUtf8(text)));
    EXPECT_TRUE(socket.IsConnected());
    EXPECT_EQ(viewer.receive(), std::string(text));
}

TEST_F(TraceSend, OversizeDatagramIsDroppedWithAReason) {
    TUdpCodeTraceSocket socket(viewer.port());
    EXPECT_FALSE(socket.SendString(QString(70'000, u'x')));
    EXPECT_FALSE(socket.LastErrorStr().isEmpty());
    EXPECT_TRUE(socket.SendString("after"));
    EXPECT_EQ(viewer.receive(), std::string("after"));
}

TEST_F(TraceSend, NobodyListening) {
    std::uint16_t silentPort;
    {
        const Viewer gone;
        silentPort = gone.port();
    }
    TUdpCodeTraceSocket socket(silentPort);
    TCodeTraceManager manager(silentPort);
    for (int i = 0; i < 20; ++i) {
        EXPECT_NO_THROW(EXPECT_TRUE(socket.SendString("x")));
        EXPECT_NO_THROW(manager.SendCommand("enter:", "x"));
    }
}

TEST_F(TraceSend, ManagerDatagrams) {
    struct Case {
        const char* command;
        const char* text;
        const char* head;
    };
    const Case cases[] = {
        {"enter:", "TtempFilesCleanItem.Run in - item=Temp",
         "enter: TtempFilesCleanItem.Run in - item=Temp"},
        {"warn:", "  spaced \t", "warn: spaced"},
        {"Error", "e", "err: e"},
        {"foo:", "x", "user: (foo:)> x"},
        {"foo:", "", "user: (foo:)> "},
    };
    TCodeTraceManager manager(viewer.port());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.head);
        manager.SendCommand(c.command, c.text);
        expectDatagram(viewer.receive(), c.head);
    }
}

TEST_F(TraceSend, DisabledManagerSendsAndKeepsNothing) {
    TCodeTraceManager manager(viewer.port());
    EXPECT_TRUE(manager.Enabled());
    EXPECT_FALSE(manager.ItemsEnabled());
    manager.SetItemsEnabled(true);
    manager.SetEnabled(false);
    manager.SendCommand("enter:", "hidden");
    manager.SetEnabled(true);
    manager.SendCommand("exit:", "shown");
    // Loopback keeps the order of one sender's datagrams: the first one to arrive is the second.
    expectDatagram(viewer.receive(), "exit: shown");
    ASSERT_EQ(manager.Items().size(), 1u);
    EXPECT_EQ(str(manager.Items()[0].MessData), "shown");
}

TEST_F(TraceSend, KeptItems) {
    TCodeTraceManager manager(viewer.port());
    manager.SendCommand("note:", "not kept");
    EXPECT_TRUE(manager.Items().empty());

    manager.SetItemsEnabled(true);
    manager.SendCommand("note:", "one");
    manager.SendCommand("bar:", "two");
    const std::vector<TCodeTraceItem> items = manager.Items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(str(items[0].CommandName), "note:");
    EXPECT_EQ(str(items[0].MessData), "one");
    EXPECT_EQ(str(items[1].CommandName), "user:");
    EXPECT_EQ(items[1].CommandRegime, 0);
    EXPECT_EQ(str(items[1].MessData), "(bar:)> two");

    manager.SetItemsEnabled(false);
    EXPECT_TRUE(manager.Items().empty());
}

TEST_F(TraceSend, ManyThreadsAtOnce) {
    constexpr int kThreads = 4;
    constexpr int kPerThread = 25;
    TCodeTraceManager manager(viewer.port());
    manager.SetItemsEnabled(true);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&manager, t] {
            for (int n = 0; n < kPerThread; ++n) {
                manager.SendCommand("note:", QStringLiteral("t%1-%2").arg(t).arg(n));
            }
        });
    }
    std::set<std::string> received;
    for (int i = 0; i < kThreads * kPerThread; ++i) {
        const std::optional<std::string> datagram = viewer.receive();
        ASSERT_TRUE(datagram.has_value()) << "after " << i << " datagrams";
        const TCodeTraceItem item =
            TCodeTraceItem::CreateFromString(QString::fromStdString(*datagram));
        EXPECT_EQ(str(item.CommandName), "note:") << *datagram;
        received.insert(str(item.MessData));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<std::string> expected;
    for (int t = 0; t < kThreads; ++t) {
        for (int n = 0; n < kPerThread; ++n) {
            expected.insert("t" + std::to_string(t) + "-" + std::to_string(n));
        }
    }
    EXPECT_EQ(received, expected);
    EXPECT_EQ(manager.Items().size(), static_cast<size_t>(kThreads * kPerThread));
}

// Without a socket (no file descriptors left) a send fails quietly and the next one tries again.
TEST(TraceSendDeathTest, NoSocketCanBeCreated) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto run = [] {
        rlimit limit{};
        ::getrlimit(RLIMIT_NOFILE, &limit);
        limit.rlim_cur = 0;
        ::setrlimit(RLIMIT_NOFILE, &limit);
        TCodeTraceManager manager(TUdpCodeTraceSocket::kViewerPort);
        manager.SendCommand("err:", "x");
        TUdpCodeTraceSocket& socket = manager.Socket();
        const bool quiet = !socket.IsConnected() && !socket.LastErrorStr().isEmpty() &&
                           !socket.SendString("y") && !socket.IsConnected();
        std::_Exit(quiet ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

class TraceCall : public ::testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        CodeTraceManager().SetItemsEnabled(true);
    }
    void TearDown() override {
        SetTraceLevel(0);
        SetTraceEnabled(true);
        CodeTraceManager().SetItemsEnabled(false);
        QLocale::setDefault(QLocale::system());
    }

    static std::vector<std::string> keptTexts() {
        std::vector<std::string> texts;
        for (const TCodeTraceItem& item : CodeTraceManager().Items()) {
            texts.push_back(str(item.CommandName) + " " + str(item.MessData));
        }
        return texts;
    }
};

TEST_F(TraceCall, ActiveOnlyBetweenOneAndHundred) {
    struct Case {
        int level;
        bool active;
    };
    const Case cases[] = {{0, false}, {1, true}, {100, true}, {101, false}, {-1, false}};
    for (const Case& c : cases) {
        SetTraceLevel(c.level);
        EXPECT_EQ(IsTraceActive(), c.active) << c.level;
        TraceCmd("enter:", "x");
        EXPECT_EQ(CodeTraceManager().Items().size(), c.active ? 1u : 0u) << c.level;
        CodeTraceManager().SetItemsEnabled(false);
        CodeTraceManager().SetItemsEnabled(true);
    }
}

TEST_F(TraceCall, OffByDefault) {
    EXPECT_EQ(TraceLevel(), 0);
    EXPECT_FALSE(IsTraceActive());
    TraceCmd("enter", "x");
    TraceCmd("", "");
    EXPECT_TRUE(CodeTraceManager().Items().empty());
}

TEST_F(TraceCall, CommandIsCompleted) {
    SetTraceLevel(1);
    TraceCmd("enter", "TtempFilesCleanItem.Run in - item=Temp");
    TraceCmd("  Note  ", "  padded  ");
    TraceCmd("", "bare");
    TraceCmd("foo", "x");
    TraceCmd("Warning", "w");
    const std::vector<std::string> expected = {
        "enter: TtempFilesCleanItem.Run in - item=Temp",
        "note: padded",
        "user: bare",
        "user: (foo:)> x",
        "warn: w",
    };
    EXPECT_EQ(keptTexts(), expected);

    SetTraceEnabled(false);
    TraceCmd("enter", "while disabled");
    EXPECT_EQ(keptTexts().size(), expected.size());
}

TEST_F(TraceCall, ReachesTheViewerPort) {
    Viewer viewer(TUdpCodeTraceSocket::kViewerPort);
    if (!viewer.bound()) {
        GTEST_SKIP() << "port " << TUdpCodeTraceSocket::kViewerPort << " is taken (errno "
                     << viewer.error() << ")";
    }
    SetTraceLevel(1);
    // Other processes' traces may reach the same port: wait for ours.
    const std::string marker = "x" + std::to_string(::getpid());
    TraceCmd("enter", QString::fromStdString(marker));
    std::optional<std::string> datagram;
    do {
        datagram = viewer.receive();
    } while (datagram && datagram->find(marker) == std::string::npos);
    expectDatagram(datagram, "enter: " + marker);
}

}  // namespace
}  // namespace tidora::diagnostics
