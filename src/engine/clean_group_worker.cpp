#include "engine/clean_group_worker.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>

#include "diagnostics/code_trace.h"
#include "engine/clean_group.h"

namespace tidora::engine {

namespace {

void trace(const char* command, const QString& text) {
    diagnostics::TraceCmd(QString::fromLatin1(command), text);
}

// One step below normal, so that a long scan leaves the desktop responsive.
void lowerThisThreadsPriority() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 2);
}

QString killOccasion(int32_t regime) {
    switch (regime) {
        case 0:
            return QStringLiteral("Destroy");
        case 1:
            return QStringLiteral("Analyze");
        case 2:
            return QStringLiteral("Run");
        case 3:
            return QStringLiteral("Cancel");
        default:
            return QStringLiteral("Other");
    }
}

}  // namespace

twThread::twThread(TCleanGroup& aGroup, int32_t aRegime, int32_t aID)
    : Group(aGroup), grRegime(aRegime), ActID(aID) {}

twThread::~twThread() {
    Join();
}

void twThread::Start() {
    thread_ = std::thread([this] {
        lowerThisThreadsPriority();
        Execute();
        finished_ = true;
    });
}

void twThread::Join() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void twThread::Execute() {
    TCleanCollectData& run = Group.Collectdata;
    if (grRegime == 1) {
        Group.FRunProcessFlag = 1;
        if (Group.Analyze(ActID) < -1) {
            showError(QStringLiteral("Ошибка при попытке сохранить данные анализа"));
        }
    } else {
        Group.FRunProcessFlag = 2;
        const int32_t analysed = Group.Analyze(ActID);
        // The cancel flag is tested once more here: a cancel that came after the analysis
        // half must keep the cleaning half from deleting anything.
        if (analysed > 0 && !Terminated() && !run.cExitFlag) {
            Group.mainThread_.run([this] { Sync_TweenProcess(); });
            Group.FRunProcessFlag = 4;
            if (Group.Run(ActID) == -10 && !Terminated()) {
                showError(QStringLiteral("Ошибка при обращении к данным при очистке"));
            }
        } else if (analysed < -1) {
            showError(QStringLiteral("Ошибка при обращении к данным анализа"));
        }
    }
    trace("note:", QStringLiteral("twThread.Execute_after_1"));
    if (!Terminated()) {
        Group.mainThread_.run([this] {
            if (!Terminated()) {
                Sync_AfterProcess();
            }
        });
    }
    trace("note:", QStringLiteral("twThread.Execute_afterAll"));
}

void twThread::showError(const QString& message) {
    currErrMsg = message;
    Group.mainThread_.run([this] { Sync_Error(); });
}

void twThread::Sync_TweenProcess() {
    if (Group.FCloseAppSign > 0) {
        Group.inner_CalcResult(false, ActID);
    }
}

void twThread::Sync_AfterProcess() {
    if (Group.FCloseAppSign > 0) {
        Group.Calc_AfterProcess(grRegime == 2, ActID);
    }
}

void twThread::Sync_Error() {
    frame::UserDialogs& dialogs = Group.ctx_.dialogs;
    QString text = QStringLiteral("Error ");
    if (currErrCode > 0) {
        text += QString::number(currErrCode);
    }
    text += QLatin1Char(' ') + currErrMsg;
    if (currErrRegime < 0) {
        currErrContinueFlag =
            dialogs.Confirm(QString::number(currErrCode) + QLatin1Char(':') + currErrMsg);
    } else if (currErrRegime <= 1) {
        dialogs.ShowError(text);
        currErrContinueFlag = false;
    } else if (!dialogs.AskYesNo(text)) {
        currErrContinueFlag = false;
    }
}

bool TCleanGroup::startWorker(int32_t grRegime, int32_t actID, int32_t killRegime) {
    FCloseAppSign = 1;
    f_time_Start = tickCount();
    f_time_End = f_time_Start;
    trKill(killRegime);
    FProcessEnabled = false;
    // A cancel counts until the next run starts, never longer and never less.
    Collectdata.cExitFlag = false;
    Collectdata.cRegistryRefusalShown = false;
    FProcessThread = std::make_unique<twThread>(*this, grRegime, actID);
    ++FProcessThreadCount;
    FProcessThread->Start();
    FProcessEnabled = true;
    return false;
}

bool TCleanGroup::trAnalyze(int32_t actID) {
    return startWorker(1, actID, 1);
}

bool TCleanGroup::trRun(int32_t actID) {
    return startWorker(2, actID, 2);
}

bool TCleanGroup::IsWorkerDone() const {
    return !FProcessThread || FProcessThread->Finished();
}

void TCleanGroup::trKill(int32_t aLogRegime) {
    FProcessEnabled = false;
    if (FProcessThread) {
        trace("enter:", QStringLiteral("TCleanGroup.trKill Regime=") + killOccasion(aLogRegime));
        Collectdata.cExitFlag = true;
        FProcessThread->Terminate();
        // The worker is never given up: it stops at its next check of the cancel flag, and
        // whatever it waits for on the main thread is run here meanwhile.
        while (!FProcessThread->Finished()) {
            mainThread_.drain();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        mainThread_.drain();
        FProcessThread->Join();
        FProcessThread.reset();
        --FProcessThreadCount;
        trace("note:", QStringLiteral("TCleanGroup.trKill Count=%1").arg(FProcessThreadCount));
        trace("exit:", QStringLiteral("TCleanGroup.trKill Regime=") + killOccasion(aLogRegime));
    }
    FProcessEnabled = true;
}

void TCleanGroup::trErrMessage(int32_t rg, int32_t aerrCode, const QString& aErrStr,
                               bool& aContinueFlag) {
    const bool wasEnabled = FProcessEnabled.exchange(false);
    if (twThread* worker = FProcessThread.get()) {
        worker->currErrCode = aerrCode;
        worker->currErrMsg = aErrStr;
        worker->currErrRegime = rg;
        worker->currErrContinueFlag = aContinueFlag;
        mainThread_.run([worker] { worker->Sync_Error(); });
        aContinueFlag = worker->currErrContinueFlag;
    }
    FProcessEnabled = wasEnabled;
}

bool TCleanGroup::trCancel(int32_t aRegime) {
    FCloseAppSign = aRegime;
    if (TbaseCleanItem* item = FCurrItem.load()) {
        FProcessEnabled = false;
        Collectdata.cExitFlag = true;
        item->CancelOperation(0);
        trace("note:",
              (FProcessThread ? QStringLiteral("TCleanGroup.trcancel - tr, CurrItem ")
                              : QStringLiteral("TCleanGroup.trcancel - (tr=nil) CurrItem ")) +
                  item->GetNameStr());
    } else {
        trace("warn:", QStringLiteral("TCleanGroup.trcancel - CurrItem Not assigned!"));
    }
    trace("note:", QStringLiteral("TCleanGroup.trcancel - beforeTerminate Thread"));
    trKill(3);
    trace("note:", QStringLiteral("TCleanGroup.trcancel - after"));
    return true;
}

}  // namespace tidora::engine
