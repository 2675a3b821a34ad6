#include "frame/app_environment.h"

#include <QCoreApplication>

#include <stdexcept>

#include "diagnostics/app_log.h"
#include "frame/user_data_folder.h"

namespace tidora::frame {
namespace {

TwAppEnvironment* gEnvironment = nullptr;

constexpr const char* kDefaultKeyWord = "K3917";

std::string upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 32);
        }
    }
    return text;
}

// "UNINSTALL" or "INSTALL" at the start of the word or after one switch character ("/", "-").
bool startsWithWord(const std::string& upperText, const std::string& word) {
    return upperText.rfind(word, 0) == 0 || upperText.find(word) == 1;
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TwAppEnvironParams tidoraAppParams() {
    TwAppEnvironParams p;
    p.guIDStr = "6F1C2B7E-3A94-4D0B-9E52-8C1D7A4F0E63";
    p.Id = 20;
    p.Caption = "Tidora";
    p.winSendRStr = "Double";
    p.hutWbtzBpg = "QOLVE";
    p.iniShift = 6;
    p.mpIdentStr = "TIDORA2";
    p.wndClassNames = "ROVODIDovu";
    p.ShortName = "Tidora";
    p.winAutoHookFlag = true;
    p.runAppName = "tidora";
    p.PublisherStr = "Tidora team";
    p.CopyRightStr = "Copyright (c) 2026 " + p.PublisherStr;
    return p;
}

int regimeFromCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().empty()) {
        return 0;
    }
    const std::string& first = arguments.front();
    if (first.find('.') != std::string::npos) {
        return 0;  // a file name, such as an uninstaller's own
    }
    const std::string u = upper(first);
    if (startsWithWord(u, "UNINSTALL")) {
        return -1;
    }
    return startsWithWord(u, "INSTALL") ? 1 : 0;
}

TwAppEnvironment::TwAppEnvironment(const TwAppEnvironParams& App_Params, platform::Machine& machine,
                                   std::string programPath,
                                   const std::vector<std::string>& arguments) {
    timer_.start();
    if (App_Params.Id <= 0) {
        throw std::logic_error("TwAppEnvironment.Create - not define AppParams fields!");
    }
    FAppFileName = kAppFileName;
    FFullAppName = std::move(programPath);
    FAppPath = folderOf(FFullAppName);

    FParams = App_Params;
    if (FParams.Name.empty()) {
        FParams.Name = FParams.ShortName;
    }
    if (FParams.iniFileName.empty()) {
        FParams.iniFileName = FAppFileName + ".ini";
    }
    if (FParams.hutWbtzBpg.empty()) {
        FParams.hutWbtzBpg = kDefaultKeyWord;
    }
    if (FParams.iniShift < 1 || FParams.iniShift > 99) {
        FParams.iniShift = 5;
    }
    if (FParams.winSendRegime <= 0) {
        FParams.winSendRegime = 4;
    }

    diagnostics::TAppLoggingItems& log = diagnostics::InitAppLog("DefD");
    log.OnSetData = nullptr;
    log.OnSetJoint = nullptr;
    ServiceInfo_ = std::make_unique<TFMServiceClass>(machine, FFullAppName, FAppFileName);

    if (FParams.CaptionLeftPart.empty()) {
        const size_t dash = FParams.Caption.find(" - ");
        FParams.CaptionLeftPart =
            dash == std::string::npos ? FParams.Caption : FParams.Caption.substr(0, dash);
        const std::string version = ServiceInfo_->GetAppVersionString(FParams.versionVisPrecision);
        if (!version.empty()) {
            FParams.CaptionLeftPart += " " + version;
        }
    }
    log.SetDescInformation(
        QString::fromStdString(ServiceInfo_->appVersionAbb() + "," + ServiceInfo_->DevInfoDesc()));

    FUserPath = userDataFolder(machine);
    if (!FUserPath.empty()) {
        machine.createFolder(FUserPath);  // a failure shows later as a store without a file
        FUserLocalPath = machine.localPath(FUserPath).value_or(std::string());
        if (!FUserLocalPath.empty() && FUserLocalPath.back() != '/') {
            FUserLocalPath += '/';
        }
    }
    if (FParams.winHomeRVerifyFlag) {
        VerifyRepetition(FParams.winSendRStr, FParams.winSendRegime);
    }
    if (FParams.winAutoHookFlag) {
        hook_.InitMsgHook();
    }
    Ini_ = std::make_unique<TwiniSettings>();
    Ini_->SetCodePage(machine.ansiCodePage());
    Ini_->SetParams(IniLocalPath(), FParams.hutWbtzBpg, FParams.iniShift);

    FRegime = regimeFromCommandLine(arguments);
}

TwAppEnvironment::~TwAppEnvironment() {
    Ini_.reset();
    hook_.Clear();
    InstAppMsgr_.reset();
    diagnostics::FreeAppLog();
}

std::string TwAppEnvironment::IniLocalPath() const {
    return FUserLocalPath.empty() ? std::string() : FUserLocalPath + FParams.iniFileName;
}

void TwAppEnvironment::SetRegime(int value) {
    if (value != FRegime) {
        FRegime = value;
        SetJoint("rg", QString::number(value));
    }
}

void TwAppEnvironment::SetAutoRunFlag(bool value) {
    FAutoRunFlag = value;
    SetJoint("Auto", value ? "1" : "0");
}

void TwAppEnvironment::setLog(const QString& aActionAndLabelDesc, int aLvl, double aValue) {
    diagnostics::TAppLoggingItems* log = diagnostics::AppLog();
    if (!log) {
        return;
    }
    const qsizetype equals = aActionAndLabelDesc.indexOf('=');
    if (equals > 0 && equals < aActionAndLabelDesc.size() - 1) {
        log->PDataEx("Logs", aActionAndLabelDesc.left(equals), aActionAndLabelDesc.mid(equals + 1),
                     aLvl, aValue);
    } else {
        log->PDataEx("Logs", "LA", aActionAndLabelDesc, aLvl, aValue);
    }
}

void TwAppEnvironment::SetJoint(const QString& aJntName, const QString& aJntdata) {
    if (diagnostics::TAppLoggingItems* log = diagnostics::AppLog()) {
        log->SetJoint(aJntName, aJntdata);
    }
}

void TwAppEnvironment::ClearJoint(const QString& aJntName) {
    if (diagnostics::TAppLoggingItems* log = diagnostics::AppLog()) {
        log->DeleteJoint(aJntName);
    }
}

bool TwAppEnvironment::VerifyRepetition(const std::string& ASendStr, int sendRegimeSign) {
    if (InstAppMsgr_) {
        throw std::logic_error(
            "TwAppEnvironment.VerifyRepetition - MFHandling is Assigned - not correct!");
    }
    const std::string text = ASendStr.empty() ? FParams.winSendRStr : ASendStr;
    InstAppMsgr_ = std::make_unique<TMDataHandling>(QString::fromStdString(FUserLocalPath),
                                                    QString::fromStdString(FParams.mpIdentStr));
    if (InstAppMsgr_->FirstFlag()) {
        InstAppMsgr_->onReceived = [this](int sign, const QString& received) {
            onSecondInstance(sign, received);
        };
    } else if (!text.empty()) {
        InstAppMsgr_->SendDataStr(sendRegimeSign, QString::fromStdString(text));
    }
    return InstAppMsgr_->FirstFlag();
}

// A later start handed over its sign and text: it goes through the message hook as message 1110,
// so the controller's handlers see it as they see every message of the program's range. Until
// the main window exists to come to the front, it is logged.
void TwAppEnvironment::onSecondInstance(int regimeSign, const QString& text) {
    setLog("SecondStart=" + text, 0, regimeSign);
    if (QCoreApplication::instance()) {
        TMessage message;
        message.Msg = TMDataHandling::kMessageID;
        message.WParam = InstAppMsgr_->Regime();
        message.LParam = InstAppMsgr_->RParam();
        QCoreApplication::postEvent(QCoreApplication::instance(), new TMessageEvent(message));
    }
}

void TwAppEnvironment::SetMessEvent(TAppMsgEvent App_Event, TWinMessageEvent Wind_Event) {
    if (App_Event) {
        hook_.appEvent = std::move(App_Event);
    }
    if (Wind_Event) {
        hook_.windowEvent = std::move(Wind_Event);
    }
}

// The user category number goes under its own key, so the user name stays readable.
void TwAppEnvironment::SaveServiceInfoToIni(int) {
    if (!ServiceInfo_ || !Ini_) {
        return;
    }
    Ini_->WriteString("Info", "USER", ServiceInfo_->UserName());
    Ini_->WriteString("Info", "USER_CAT", ServiceInfo_->UserCategoryAbb());
    Ini_->WriteString("Info", "USER_CAT_NUM", std::to_string(ServiceInfo_->UserCatType()));
}

double TwAppEnvironment::GetDeltaTime() const {
    return static_cast<double>(timer_.elapsed()) / 1000.0 / 86400.0;
}

std::string TwAppEnvironment::GetGlobalDataStr(const std::string& Index) const {
    if (Index.empty()) {
        return {};
    }
    const auto it = GlobalData.find(Index);
    return it == GlobalData.end() ? std::string() : it->second;
}

void TwAppEnvironment::SetGlobalDataStr(const std::string& Index, const std::string& Value) {
    if (!Index.empty()) {
        GlobalData[Index] = Value;
    }
}

TwAppEnvironment& appCreateWithParams(TwAppEnvironParams& appParams, platform::Machine& machine,
                                      std::string programPath,
                                      const std::vector<std::string>& arguments) {
    if (gEnvironment) {
        throw std::logic_error("appCreateWithParams - repeat Create Singleton!");
    }
    if (appParams.Id == 0) {
        throw std::logic_error("appCreateWithParams - not fiill appParams - Id=0!");
    }
    gEnvironment = new TwAppEnvironment(appParams, machine, std::move(programPath), arguments);
    appParams = gEnvironment->Params();
    return *gEnvironment;
}

void appFreeEnvironment() {
    delete gEnvironment;
    gEnvironment = nullptr;
}

TwAppEnvironment* AppEnvironment() {
    return gEnvironment;
}

}  // namespace tidora::frame
