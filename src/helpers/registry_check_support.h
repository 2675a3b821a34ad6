#pragma once

#include <QString>

#include <memory>
#include <optional>

#include "helpers/clean_record.h"
#include "helpers/registry_access.h"
#include "platform/machine.h"

namespace tidora::helpers {

// The search key of a registry check, open for reading in an accessor of the check's own.
struct CheckKey {
    std::unique_ptr<TRegistry> reg;
    int rootIndex = 0;
    QString path;  // without the root prefix
};

// Splits "HKLM\Software\x" and opens it; nullopt for an unknown root prefix or a missing key.
std::optional<CheckKey> OpenCheckKey(platform::Machine& machine, const QString& aKey);
// The classes root, open.
CheckKey OpenClassesRoot(platform::Machine& machine);
// parent + "\" + name, or name below a root.
QString SubkeyPath(const QString& parent, const QString& name);
// A key's last write time as a local day count; 0 when unknown.
double KeyDate(const platform::Machine& machine, platform::RegRoot root, const QString& path);

// The heartbeats and reports of one check run.
class CheckReporter {
public:
    explicit CheckReporter(const TFoundCallback& found) : found_(found) {}

    bool enabled() const { return static_cast<bool>(found_); }
    // False when the callee asked to stop.
    bool heartbeat();
    // Reports one invalid entry as a registry record; false when the callee asked to stop.
    bool report(int pID, int homekeyID, const QString& name, const QString& value, double date = 0,
                const QString& desc = {});

private:
    const TFoundCallback& found_;
};

}  // namespace tidora::helpers
