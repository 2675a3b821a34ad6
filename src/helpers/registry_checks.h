#pragma once

#include <QString>

#include "helpers/clean_record.h"
#include "platform/machine.h"

namespace tidora::helpers {

// The registry validity checks. Each takes a search key with its root prefix ("HKCU\Software\x"),
// reports every invalid entry as a registry record (kind 2) to aFound, calls aFound with the
// heartbeat kind -2 before every entry and subkey it looks at, and stops as soon as the callee
// clears its continue flag. True when the check ran to the end, false when it was stopped. A key
// without a known root prefix, or one that does not exist, reports nothing; so does a check
// without a callback. Default values (empty names) are never reported. A file counts as missing
// only when IsMissingFile shows it, a program only when IsProgramMissing does.

// Mode 0: every named value of the key and, recursively, of its subkeys; mode 2: those whose name
// is a missing file. Any other mode reports nothing.
bool CheckKeyValues(platform::Machine& machine, int mode, int pID, const QString& key,
                    const TFoundCallback& cb);
// The extension keys below FileExts that the classes root does not register and that hold no
// "UserChoice" subkey and no subkey with values or subkeys of its own.
bool CheckFileExts(platform::Machine& machine, const QString& key, const TFoundCallback& cb);
// The keys of the classes root with no subkeys and no values, or only an empty default value.
bool CheckEmptyClasses(platform::Machine& machine, const TFoundCallback& cb);
// The DefaultIcon and shell\open\command keys of the classes that name a missing program.
bool CheckClassHandlers(platform::Machine& machine, const TFoundCallback& cb);
// The font values whose file (in the fonts folder when the data has no folder) is missing.
bool CheckFonts(platform::Machine& machine, const QString& key, const TFoundCallback& cb);
// The App Paths subkeys whose default value names a missing file.
bool CheckAppPaths(platform::Machine& machine, const QString& key, const TFoundCallback& cb);
// The compatibility values whose name is the path of a missing file.
bool CheckAppCompat(platform::Machine& machine, const QString& key, const TFoundCallback& cb);
// The help values whose folder (the data) joined with the name is a missing file.
bool CheckHelpFiles(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb);
// The installer values whose name is a missing folder.
bool CheckInstallerFolders(platform::Machine& machine, int pID, const QString& key,
                           const TFoundCallback& cb);
// The uninstall entries (not those named by a GUID, nor those run by msiexec or rundll) whose
// uninstall program is missing.
bool CheckUninstall(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb);
// The subkeys with neither values nor subkeys.
bool CheckEmptyKeys(platform::Machine& machine, int pID, const QString& key,
                    const TFoundCallback& cb);
// The autorun values whose command starts a missing program.
bool CheckAutoRun(platform::Machine& machine, int pID, const QString& key,
                  const TFoundCallback& cb);
// The MUI cache values named by the path of a missing program; with skipAt, names beginning
// with "@" (resource references) are left alone.
bool CheckMuiCache(platform::Machine& machine, bool skipAt, int pID, const QString& key,
                   const TFoundCallback& cb);

}  // namespace tidora::helpers
