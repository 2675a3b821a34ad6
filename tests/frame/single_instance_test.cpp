#include "frame/single_instance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <functional>

#include <gtest/gtest.h>

#include "fixtures/core_application.h"
#include "fixtures/temp_dir.h"

namespace tidora::frame {
namespace {

// The tests' own process plays the first instance; the peer program is the other process.
class SingleInstance : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::ensureCoreApplication(); }

    // Runs the peer while this process keeps serving its events; returns what the peer printed.
    QString runPeer(const QStringList& arguments) {
        QProcess peer;
        peer.start(TIDORA_PEER_PATH, QStringList{QString::fromStdString(tmp_.path())} + arguments);
        QElapsedTimer timer;
        timer.start();
        while (peer.state() != QProcess::NotRunning && timer.elapsed() < 20000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            peer.waitForFinished(20);
        }
        return QString::fromUtf8(peer.readAllStandardOutput());
    }

    // Serves events until the hand-over arrived (or a few seconds passed).
    static bool waitFor(const std::function<bool()>& arrived) {
        QElapsedTimer timer;
        timer.start();
        while (!arrived() && timer.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return arrived();
    }

    testing::TempDir tmp_;
};

TEST_F(SingleInstance, ASecondProcessHandsOverItsSignAndTextAndEnds) {
    TMDataHandling first(QString::fromStdString(tmp_.path()), "TIDORA2");
    ASSERT_TRUE(first.FirstFlag());
    EXPECT_TRUE(first.InitFlag());
    int receivedSign = 0;
    QString receivedText;
    first.onReceived = [&](int sign, const QString& text) {
        receivedSign = sign;
        receivedText = text;
    };

    EXPECT_EQ(runPeer({"4", "Double"}), "second\nsent\n");
    ASSERT_TRUE(waitFor([&] { return receivedSign != 0; }));
    EXPECT_EQ(receivedSign, 4);
    EXPECT_EQ(receivedText, "Double");

    // A text longer than the first instance takes is cut to 59 UTF-16 units.
    const QString longText = QString(70, QChar(0x0416));
    EXPECT_EQ(runPeer({"7", longText}), "second\nsent\n");
    ASSERT_TRUE(waitFor([&] { return receivedSign == 7; }));
    EXPECT_EQ(receivedText, longText.left(59));
    EXPECT_EQ(first.GetDataStr(), longText.left(59));
}

TEST_F(SingleInstance, ALockLeftByADeadProcessNeverStopsAStart) {
    QProcess holder;
    holder.start(TIDORA_PEER_PATH, {QString::fromStdString(tmp_.path()), "4", "x", "hold"});
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    ASSERT_EQ(holder.readAllStandardOutput(), "first\n");
    {
        TMDataHandling second(QString::fromStdString(tmp_.path()), "TIDORA2");
        EXPECT_FALSE(second.FirstFlag());
        EXPECT_TRUE(second.InitFlag());
    }
    holder.kill();  // dies holding the lock and leaving its socket behind
    holder.waitForFinished();

    TMDataHandling next(QString::fromStdString(tmp_.path()), "TIDORA2");
    EXPECT_TRUE(next.FirstFlag());
    // And it serves the next process as the first instance.
    int receivedSign = 0;
    next.onReceived = [&](int sign, const QString&) { receivedSign = sign; };
    EXPECT_EQ(runPeer({"4", "Double"}), "second\nsent\n");
    EXPECT_TRUE(waitFor([&] { return receivedSign == 4; }));
}

TEST_F(SingleInstance, WithoutAFirstInstanceTheProcessIsFirst) {
    EXPECT_EQ(runPeer({"4", "Double"}), "first\n");
    // Another folder is another machine: both are first.
    testing::TempDir other;
    TMDataHandling a(QString::fromStdString(tmp_.path()), "TIDORA2");
    TMDataHandling b(QString::fromStdString(other.path()), "TIDORA2");
    EXPECT_TRUE(a.FirstFlag());
    EXPECT_TRUE(b.FirstFlag());
}

}  // namespace
}  // namespace tidora::frame
