#include "app/cli_session.h"

#include "platform/winepfx/prefix_location.h"

namespace tidora::app {

std::unique_ptr<CliSession> CliSession::open(const std::optional<std::string>& prefix,
                                             const std::string& programPath, bool exclusive,
                                             std::ostream& err) {
    std::unique_ptr<CliSession> session(new CliSession());
    std::string error;
    session->machine_ = platform::winepfx::WinePrefixMachine::open(
        platform::winepfx::choosePrefixDir(prefix), &error);
    if (!session->machine_) {
        err << "tidora-cli: " << error << '\n';
        return nullptr;
    }
    frame::TwAppEnvironParams params = frame::tidoraAppParams();
    session->env_ = &frame::appCreateWithParams(params, *session->machine_, programPath, {});
    if (exclusive && !session->env_->VerifyRepetition(std::string(), 0)) {
        err << "tidora-cli: Tidora is already running for this user; try again when it has "
               "finished\n";
        return nullptr;
    }
    return session;
}

CliSession::~CliSession() {
    if (env_) {
        frame::appFreeEnvironment();
    }
}

QString CliSession::userFile(const std::string& name) const {
    return QString::fromStdString(env_->UserLocalPath() + name);
}

}  // namespace tidora::app
