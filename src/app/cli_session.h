#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "frame/app_environment.h"
#include "platform/winepfx/wine_prefix_machine.h"

namespace tidora::app {

// The history of cleanings, in the user data folder.
inline const std::string kHistoryFileName = "hist11.wch";

// What a command of the tool needs that starts like the program: the machine of the prefix and
// the application environment over it (settings, user data folder, single-instance guard).
class CliSession {
public:
    // Null, with one line on err, when the prefix does not open or, with exclusive, when Tidora
    // runs already for this user.
    static std::unique_ptr<CliSession> open(const std::optional<std::string>& prefix,
                                            const std::string& programPath, bool exclusive,
                                            std::ostream& err);
    ~CliSession();
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    platform::Machine& machine() { return *machine_; }
    frame::TwAppEnvironment& env() { return *env_; }
    // Where this process reaches a file of the user data folder.
    QString userFile(const std::string& name) const;

private:
    CliSession() = default;

    std::unique_ptr<platform::winepfx::WinePrefixMachine> machine_;
    frame::TwAppEnvironment* env_ = nullptr;
};

}  // namespace tidora::app
