#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QString>

#include <functional>
#include <memory>

namespace tidora::frame {

// One running instance per machine. The first process takes a lock file in the user data folder
// (a lock left by a process that died is taken over) and listens on a local socket; a later
// process finds the lock held, hands its regime sign and text over the socket and ends.
class TMDataHandling {
public:
    static constexpr int kMessageID = 1110;
    static constexpr int kMaxTextUnits = 59;  // what the first instance takes of a handed-over text

    // lockFolder: the user data folder; identity: the block's name ("TIDORA2").
    TMDataHandling(const QString& lockFolder, const QString& identity);
    ~TMDataHandling();
    TMDataHandling(const TMDataHandling&) = delete;
    TMDataHandling& operator=(const TMDataHandling&) = delete;

    // This process is the first instance (it holds the lock).
    bool FirstFlag() const { return firstFlag_; }
    // The guard could be set up (the lock file could be checked).
    bool InitFlag() const { return initFlag_; }
    int MessageID() const { return kMessageID; }
    int Regime() const { return regime_; }
    void SetRegime(int regime) { regime_ = regime; }
    int RParam() const { return rParam_; }
    void SetRParam(int rParam) { rParam_ = rParam; }

    // In a later instance: hands regime sign and text (cut to 59 UTF-16 units) to the first one.
    // False when there is no first instance to hand it to.
    bool SendDataStr(int regimeSign, const QString& text);
    // In the first instance: the last text handed over.
    QString GetDataStr() const { return lastText_; }

    // Called in the first instance, on its thread, for each hand-over.
    std::function<void(int regimeSign, const QString& text)> onReceived;

private:
    void readHandOver(QLocalSocket* socket);

    QString serverName_;
    std::unique_ptr<QLockFile> lock_;
    std::unique_ptr<QLocalServer> server_;
    bool firstFlag_ = false;
    bool initFlag_ = false;
    int regime_ = 0;
    int rParam_ = 0;
    QString lastText_;
};

}  // namespace tidora::frame
