#pragma once

#include <QString>

#include "platform/machine.h"

namespace tidora::helpers {

// Expands the folder variables of a path: %USERPROFILE%, %SYSTEMROOT% (else %WINDIR%),
// %ALLUSERSPROFILE% and %PROGRAMFILES% from the machine's folders; a text with none of them goes
// through the machine's environment expansion.
QString ExpandPathVars(const platform::Machine& machine, const QString& s);

// The program path inside a command line or an icon reference: the quoted part when there is
// one, else the text up to and including ".exe"; a "," or ";" outside quotes ends it. Expanded
// with ExpandPathVars.
QString ExtractCommandPath(const platform::Machine& machine, const QString& aCommand);

}  // namespace tidora::helpers
