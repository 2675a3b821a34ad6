#pragma once

#include <QLatin1StringView>
#include <QString>
#include <string_view>

#include "diagnostics/code_trace.h"
#include "diagnostics/level_checkpoints.h"

namespace tidora::stores {

// Start and end of an operation of the working database, for the level checkpoints.
class LevelScope {
public:
    explicit LevelScope(std::string_view label) : label_(label) { diagnostics::LevelMark(label); }
    ~LevelScope() { diagnostics::LevelExit(label_); }
    LevelScope(const LevelScope&) = delete;
    LevelScope& operator=(const LevelScope&) = delete;

private:
    std::string_view label_;
};

// A failure the operation turned into its false or negative result.
inline void traceDmError(const char* operation, const QString& message) {
    diagnostics::TraceCmd(
        QStringLiteral("err:"),
        QStringLiteral("TBasedata_DM.%1: %2").arg(QLatin1StringView(operation), message));
}

}  // namespace tidora::stores
