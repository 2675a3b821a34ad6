#pragma once

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

#include "platform/machine.h"

namespace tidora::helpers {

// A registry accessor with a root and at most one open key, as the registry checks use it.
class TRegistry {
public:
    // readOnly refuses every change.
    TRegistry(platform::Machine& machine, bool readOnly);

    platform::RegRoot RootKey() const { return root_; }
    void SetRootKey(platform::RegRoot root);
    bool OpenKey(const QString& key, bool canCreate);
    bool OpenKeyReadOnly(const QString& key);
    void CloseKey() { openKey_.reset(); }
    bool HasOpenKey() const { return openKey_.has_value(); }
    const QString& CurrentPath() const;

    bool KeyExists(const QString& key) const;
    QStringList GetKeyNames() const;
    QStringList GetValueNames() const;
    bool ValueExists(const QString& name) const;
    std::optional<platform::RegValue> ReadValue(const QString& name) const;
    bool DeleteKey(const QString& key);
    bool DeleteValue(const QString& name);

private:
    platform::Machine& machine_;
    bool readOnly_;
    platform::RegRoot root_ = platform::RegRoot::CurrentUser;
    std::optional<QString> openKey_;
};

// Mode 2 gives read access, any other mode full access.
std::unique_ptr<TRegistry> CreateRegistry(platform::Machine& machine, int aMode);
// "HKLM\Software\x" exists.
bool RegKeyExists(platform::Machine& machine, const QString& aPath, bool aReadAccess);
// A plain string value, trimmed ("-" when blank), searched in the subkeys too when asked, then
// expanded; empty when not found.
QString ReadRegText(platform::Machine& machine, const QString& aPath, const QString& aValueName,
                    bool aSearchSubkeys);
// A value of the open key as text: strings as they are, integers in decimal, aDefault otherwise.
QString ReadRegValueText(const TRegistry& AReg, const QString& aValueName, const QString& aDefault);
// Delete a key with its subkeys, or one value; with no accessor, one with full access is used.
bool DeleteRegKey(platform::Machine& machine, TRegistry* AReg, int aRootIndex, const QString& aKey);
bool DeleteRegValue(platform::Machine& machine, TRegistry* AReg, int aRootIndex,
                    const QString& aKey, const QString& aValueName);
// The names of the file-extension keys of the classes root; true when there is at least one.
bool GetRegisteredExtensions(const platform::Machine& machine, QStringList& AList);

}  // namespace tidora::helpers
