#include "diagnostics/code_trace.h"

#include <atomic>

namespace tidora::diagnostics {
namespace {

std::atomic<int> traceLevel{0};

}  // namespace

void TraceCmd(const QString& command, const QString& text) {
    if (!IsTraceActive()) {
        return;
    }
    QString name = command.trimmed();
    if (name.isEmpty()) {
        name = QStringLiteral("user:");
    } else if (!name.endsWith(u':')) {
        name.append(u':');
    }
    CodeTraceManager().SendCommand(name, text);
}

bool IsTraceActive() {
    const int level = traceLevel;
    return level >= 1 && level <= 100;
}

void SetTraceEnabled(bool flag) {
    CodeTraceManager().SetEnabled(flag);
}

int TraceLevel() {
    return traceLevel;
}

void SetTraceLevel(int level) {
    traceLevel = level;
}

TCodeTraceManager& CodeTraceManager() {
    // Never destroyed: a trace from another object's destructor at exit must still find it.
    static TCodeTraceManager* const manager = new TCodeTraceManager();
    return *manager;
}

}  // namespace tidora::diagnostics
