#include "helpers/registry_check_support.h"

#include "helpers/file_checks.h"
#include "helpers/reg_paths.h"

namespace tidora::helpers {

std::optional<CheckKey> OpenCheckKey(platform::Machine& machine, const QString& aKey) {
    // Without a known prefix the path would silently fall back to a whole root.
    if (RegPathRootIndex(aKey) < 0) {
        return std::nullopt;
    }
    platform::RegRoot root = platform::RegRoot::CurrentUser;
    CheckKey key;
    SplitRegPath(aKey, root, key.path);
    while (key.path.endsWith('\\')) {
        key.path.chop(1);
    }
    key.rootIndex = RootKeyToIndex(root);
    key.reg = CreateRegistry(machine, 2);
    key.reg->SetRootKey(root);
    if (!key.reg->OpenKeyReadOnly(key.path)) {
        return std::nullopt;
    }
    return key;
}

CheckKey OpenClassesRoot(platform::Machine& machine) {
    CheckKey key;
    key.rootIndex = RootKeyToIndex(platform::RegRoot::ClassesRoot);
    key.reg = CreateRegistry(machine, 2);
    key.reg->SetRootKey(platform::RegRoot::ClassesRoot);
    key.reg->OpenKeyReadOnly(QString());
    return key;
}

QString SubkeyPath(const QString& parent, const QString& name) {
    return parent.isEmpty() ? name : parent + '\\' + name;
}

double KeyDate(const platform::Machine& machine, platform::RegRoot root, const QString& path) {
    return FileTimeToDateTimeLocal(machine.keyLastWriteTime(root, path.toStdString()).value_or(0));
}

bool CheckReporter::heartbeat() {
    bool go = true;
    if (found_) {
        found_(-2, nullptr, go);
    }
    return go;
}

bool CheckReporter::report(int pID, int homekeyID, const QString& name, const QString& value,
                           double date, const QString& desc) {
    if (!found_) {
        return true;
    }
    TwCleanRecord record;
    record.RecType = 2;
    record.State = 1;
    record.Active = true;
    record.DtType = 2;
    record.Size = 0;
    record.pID = pID;
    record.HomekeyID = homekeyID;
    record.Name = name;
    record.Value = value;
    record.Date = date;
    record.Desc = desc;
    bool go = true;
    found_(2, &record, go);
    return go;
}

}  // namespace tidora::helpers
