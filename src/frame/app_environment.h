#pragma once

#include <QElapsedTimer>
#include <QString>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/message_hook.h"
#include "frame/service_info.h"
#include "frame/settings_store.h"
#include "frame/single_instance.h"
#include "platform/machine.h"

namespace tidora::frame {

// The application parameters the main program fills before anything else runs.
struct TwAppEnvironParams {
    int Id = 0;
    std::string guIDStr;
    std::string ShortName;
    std::string Name;
    std::string Caption;
    std::string CaptionLeftPart;
    int versionVisPrecision = 3;
    std::string mpIdentStr = "COMCOMBODEFAULT";
    std::string wndClassNames;
    std::string winSendRStr;
    int winSendRegime = 0;
    bool winHomeRVerifyFlag = false;
    bool winAutoHookFlag = false;
    std::string iniFileName;
    std::string hutWbtzBpg;
    int iniShift = 0;
    std::string runAppName;
    std::string CopyRightStr;
    std::string PublisherStr;
};

// Tidora's own parameters, as its main programs set them.
TwAppEnvironParams tidoraAppParams();

// The run regime a command line asks for: -1 uninstall, 1 install, 0 otherwise.
int regimeFromCommandLine(const std::vector<std::string>& arguments);

// Every module reaches the process-wide facts through this object: parameters, program and user
// folders, run regime, settings, service information, the structured log, global texts and the
// single-instance guard.
class TwAppEnvironment {
public:
    // programPath: the running executable; arguments: the command line without the program.
    // Throws std::logic_error when the parameters have no positive Id.
    TwAppEnvironment(const TwAppEnvironParams& App_Params, platform::Machine& machine,
                     std::string programPath, const std::vector<std::string>& arguments);
    ~TwAppEnvironment();
    TwAppEnvironment(const TwAppEnvironment&) = delete;
    TwAppEnvironment& operator=(const TwAppEnvironment&) = delete;

    const TwAppEnvironParams& Params() const { return FParams; }
    const std::string& AppPath() const { return FAppPath; }
    const std::string& AppFileName() const { return FAppFileName; }
    const std::string& FullAppName() const { return FFullAppName; }
    // The user data folder as a Windows path with a trailing backslash, and where this process
    // reaches it.
    const std::string& UserPath() const { return FUserPath; }
    const std::string& UserLocalPath() const { return FUserLocalPath; }
    // The settings file, where this process reaches it.
    std::string IniLocalPath() const;

    int Regime() const { return FRegime; }
    void SetRegime(int value);
    bool AutoRunFlag() const { return FAutoRunFlag; }
    void SetAutoRunFlag(bool value);
    const std::string& BugReportCaption() const { return FBugReportCaption; }
    void SetBugReportCaption(const std::string& value) { FBugReportCaption = value; }
    bool EnabledMessageHooks() const { return hook_.installed(); }

    void setLog(const QString& aActionAndLabelDesc, int aLvl, double aValue);
    void SetJoint(const QString& aJntName, const QString& aJntdata);
    void ClearJoint(const QString& aJntName);

    // The single-instance check: true in the first instance. A later instance hands over its
    // regime sign and text (the default text when ASendStr is empty).
    bool VerifyRepetition(const std::string& ASendStr, int sendRegimeSign);
    void InitMessageHook() { hook_.InitMsgHook(); }
    void ClearMessageHook() { hook_.Clear(); }
    // Stores each event that is set; an empty one leaves its slot as it was.
    void SetMessEvent(TAppMsgEvent App_Event, TWinMessageEvent Wind_Event);

    void SaveServiceInfoToIni(int aSaveRegime);
    void SetTime() { timer_.restart(); }
    // Time since construction or the last SetTime, in days.
    double GetDeltaTime() const;
    std::string GetGlobalDataStr(const std::string& Index) const;
    void SetGlobalDataStr(const std::string& Index, const std::string& Value);

    TFMServiceClass& ServiceInfo() { return *ServiceInfo_; }
    TwiniSettings& Ini() { return *Ini_; }
    TMDataHandling* InstAppMsgr() { return InstAppMsgr_.get(); }

private:
    void onSecondInstance(int regimeSign, const QString& text);

    TwAppEnvironParams FParams;
    std::string FAppPath;
    std::string FAppFileName;
    std::string FFullAppName;
    std::string FUserPath;
    std::string FUserLocalPath;
    int FRegime = 0;
    bool FAutoRunFlag = false;
    std::string FBugReportCaption;
    QElapsedTimer timer_;
    std::map<std::string, std::string> GlobalData;
    std::unique_ptr<TFMServiceClass> ServiceInfo_;
    std::unique_ptr<TMDataHandling> InstAppMsgr_;
    std::unique_ptr<TwiniSettings> Ini_;
    TMessageHook hook_;
};

// The process's environment (AppEnvironment): created from the parameters and freed at the end.
// appCreateWithParams throws std::logic_error when one exists already or the Id is 0.
TwAppEnvironment& appCreateWithParams(TwAppEnvironParams& appParams, platform::Machine& machine,
                                      std::string programPath,
                                      const std::vector<std::string>& arguments);
void appFreeEnvironment();
TwAppEnvironment* AppEnvironment();

}  // namespace tidora::frame
