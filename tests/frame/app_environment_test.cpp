#include "frame/app_environment.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <filesystem>

#include <gtest/gtest.h>

#include "diagnostics/app_log.h"
#include "fixtures/core_application.h"
#include "fixtures/prefix_builder.h"
#include "fixtures/temp_dir.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::frame {
namespace {

TEST(AppEnvironment, RegimeFromTheCommandLine) {
    struct Case {
        std::vector<std::string> arguments;
        int regime;
    };
    const Case cases[] = {
        {{"/uninstall"}, -1},
        {{"UNINSTALL"}, -1},
        {{"install"}, 1},
        {{"-Install", "x"}, 1},
        {{"MyUninstall.exe"}, 0},
        {{"xxINSTALL"}, 0},
        {{"s"}, 0},
        {{"A"}, 0},
        {{""}, 0},
        {{}, 0},
        {{"/uninstall.x"}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(regimeFromCommandLine(c.arguments), c.regime)
            << (c.arguments.empty() ? "(none)" : c.arguments[0]);
    }
}

class AppEnvironmentTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::ensureCoreApplication(); }
    void SetUp() override {
        testing::PrefixBuilder b(tmp_ / "prefix");
        b.user("olga").fresh();
        machine_ = b.openMachine();
    }
    void TearDown() override { appFreeEnvironment(); }

    testing::TempDir tmp_;
    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
};

TEST_F(AppEnvironmentTest, CompletesItsParametersAndFindsItsFolders) {
    TwAppEnvironParams params = tidoraAppParams();
    params.iniShift = 100;
    params.Caption = "Tidora - Home";
    TwAppEnvironment& env =
        appCreateWithParams(params, *machine_, "/opt/tidora/tidora", {"/install"});

    EXPECT_EQ(params.iniShift, 5);  // the completed parameters come back
    EXPECT_EQ(params.winSendRegime, 4);
    EXPECT_EQ(params.Name, "Tidora");
    EXPECT_EQ(params.iniFileName, "tidora.ini");
    EXPECT_EQ(params.CaptionLeftPart, "Tidora " + env.ServiceInfo().GetAppVersionString(3));
    EXPECT_EQ(env.AppPath(), "/opt/tidora/");
    EXPECT_EQ(env.AppFileName(), "tidora");
    EXPECT_EQ(env.Regime(), 1);

    // The user data folder lives in the prefix, so each prefix keeps its own settings.
    EXPECT_EQ(env.UserPath(), "C:\\users\\olga\\AppData\\Roaming\\tidora\\");
    EXPECT_TRUE(std::filesystem::is_directory(env.UserLocalPath()));
    EXPECT_EQ(std::filesystem::weakly_canonical(env.IniLocalPath()),
              std::filesystem::path(tmp_ /
                                    "prefix/drive_c/users/olga/AppData/Roaming/tidora/tidora.ini"));

    // The category number has a key of its own; the user name stays.
    env.SaveServiceInfoToIni(0);
    ASSERT_TRUE(env.Ini().Save());
    const std::string ini = testing::readFile(env.IniLocalPath());
    EXPECT_NE(ini.find("USER=olga"), std::string::npos) << ini;
    EXPECT_NE(ini.find("USER_CAT=admin"), std::string::npos) << ini;
    EXPECT_NE(ini.find("USER_CAT_NUM=2"), std::string::npos) << ini;

    params.Id = 0;
    EXPECT_THROW(appCreateWithParams(params, *machine_, "/x", {}), std::logic_error);
}

TEST_F(AppEnvironmentTest, JointsLogAndGlobalTexts) {
    TwAppEnvironParams params = tidoraAppParams();
    TwAppEnvironment& env = appCreateWithParams(params, *machine_, "/opt/tidora/tidora", {});
    diagnostics::TAppLoggingItems* log = diagnostics::AppLog();
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(log->DescInformation().toStdString(),
              env.ServiceInfo().appVersionAbb() + "," + env.ServiceInfo().DevInfoDesc());

    int jointChanges = 0;
    log->OnSetJoint = [&](int, const diagnostics::TJointRecord&) { ++jointChanges; };
    env.SetRegime(0);  // unchanged: no joint change
    EXPECT_EQ(jointChanges, 0);
    env.SetRegime(10);
    EXPECT_EQ(log->GetJoint("rg"), "10");
    env.SetAutoRunFlag(false);
    env.SetAutoRunFlag(false);  // set every time
    EXPECT_EQ(log->GetJoint("Auto"), "0");
    EXPECT_EQ(jointChanges, 3);
    env.ClearJoint("rg");
    EXPECT_EQ(log->GetJoint("rg"), "");

    env.setLog("Scan=started", 2, 1);
    env.setLog("=x", 1, 2);
    env.setLog("plain", 1, 3);
    EXPECT_GE(log->GetIndexOfParams("Logs", "Scan"), 0);
    EXPECT_EQ(log->Items()[log->GetIndexOfParams("Logs", "Scan")].LabelDesc, "started");
    EXPECT_EQ(log->Items()[log->GetIndexOfParams("Logs", "LA")].LabelDesc, "plain");

    EXPECT_EQ(env.GetGlobalDataStr(""), "");
    EXPECT_EQ(env.GetGlobalDataStr("never"), "");
    env.SetGlobalDataStr("", "ignored");
    env.SetGlobalDataStr("k", "v");
    EXPECT_EQ(env.GetGlobalDataStr("k"), "v");
    EXPECT_THROW(appCreateWithParams(params, *machine_, "/x", {}), std::logic_error);
}

TEST_F(AppEnvironmentTest, ASecondStartReachesTheFirstThroughTheMessageHook) {
    TwAppEnvironParams params = tidoraAppParams();
    TwAppEnvironment& env = appCreateWithParams(params, *machine_, "/opt/tidora/tidora", {});
    ASSERT_TRUE(env.EnabledMessageHooks());
    ASSERT_TRUE(env.VerifyRepetition("", 4));
    EXPECT_THROW(env.VerifyRepetition("", 4), std::logic_error);

    TMessage seen;
    env.SetMessEvent(nullptr, [&](TMessage& message, bool& continueFlag) {
        if (message.Msg == TMDataHandling::kMessageID) {
            seen = message;
            continueFlag = false;
        }
    });
    QProcess peer;
    peer.start(TIDORA_PEER_PATH, {QString::fromStdString(env.UserLocalPath()), "4", "Double"});
    QElapsedTimer timer;
    timer.start();
    while (seen.Msg == 0 && timer.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    peer.waitForFinished();
    EXPECT_EQ(peer.readAllStandardOutput(), "second\nsent\n");
    EXPECT_EQ(seen.Msg, 1110u);
    EXPECT_EQ(seen.LParam, 0);
    const auto* log = diagnostics::AppLog();
    const int item = log->GetIndexOfParams("Logs", "SecondStart");
    ASSERT_GE(item, 0);
    EXPECT_EQ(log->Items()[item].LabelDesc, "Double");
    EXPECT_EQ(log->Items()[item].Value, 4);
}

}  // namespace
}  // namespace tidora::frame
