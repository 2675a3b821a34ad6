#pragma once

#include <QString>

#include "diagnostics/code_trace_manager.h"

namespace tidora::diagnostics {

// The code trace: one datagram per call to the trace viewer on this machine. It is off unless the
// trace level is set between 1 and 100; at level 0 a call returns before touching anything.

// command: "enter:", "exit:", "note:", "warn:", "err:", ... (the colon may be left out; an empty
// command is "user:").
void TraceCmd(const QString& command, const QString& text);
bool IsTraceActive();
void SetTraceEnabled(bool flag);

int TraceLevel();
void SetTraceLevel(int level);

// The process's one manager.
TCodeTraceManager& CodeTraceManager();

}  // namespace tidora::diagnostics
