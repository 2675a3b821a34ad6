#include "helpers/registry_access.h"

#include "helpers/path_vars.h"
#include "helpers/reg_paths.h"

namespace tidora::helpers {
namespace {

QStringList toList(const std::optional<std::vector<std::string>>& names) {
    QStringList list;
    for (const std::string& name : names.value_or(std::vector<std::string>{})) {
        list << QString::fromStdString(name);
    }
    return list;
}

// The first plain string (or untyped) value of that name in the key or, when asked, below it.
QString findText(const platform::Machine& machine, platform::RegRoot root, const std::string& key,
                 const std::string& name, bool searchSubkeys) {
    if (const auto v = machine.value(root, key, name);
        v && (v->type == platform::RegType::Sz || v->type == platform::RegType::None)) {
        const QString text = QString::fromStdString(v->text()).trimmed();
        return text.isEmpty() ? QStringLiteral("-") : text;
    }
    if (searchSubkeys) {
        for (const std::string& sub :
             machine.subkeyNames(root, key).value_or(std::vector<std::string>{})) {
            const QString found = findText(machine, root, key + "\\" + sub, name, true);
            if (!found.isEmpty()) {
                return found;
            }
        }
    }
    return {};
}

}  // namespace

TRegistry::TRegistry(platform::Machine& machine, bool readOnly)
    : machine_(machine), readOnly_(readOnly) {}

void TRegistry::SetRootKey(platform::RegRoot root) {
    root_ = root;
    openKey_.reset();
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
    if (machine_.keyExists(root_, key.toStdString())) {
        openKey_ = key;
        return true;
    }
    if (!canCreate || readOnly_ || !machine_.createKey(root_, key.toStdString())) {
        return false;
    }
    openKey_ = key;
    return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key) {
    if (!machine_.keyExists(root_, key.toStdString())) {
        return false;
    }
    openKey_ = key;
    return true;
}

const QString& TRegistry::CurrentPath() const {
    static const QString none;
    return openKey_ ? *openKey_ : none;
}

bool TRegistry::KeyExists(const QString& key) const {
    return machine_.keyExists(root_, key.toStdString());
}

QStringList TRegistry::GetKeyNames() const {
    return openKey_ ? toList(machine_.subkeyNames(root_, openKey_->toStdString())) : QStringList();
}

QStringList TRegistry::GetValueNames() const {
    QStringList names;
    if (openKey_) {
        for (const auto& v : machine_.values(root_, openKey_->toStdString())
                                 .value_or(std::vector<platform::RegValue>{})) {
            names << QString::fromStdString(v.name);
        }
    }
    return names;
}

bool TRegistry::ValueExists(const QString& name) const {
    return ReadValue(name).has_value();
}

std::optional<platform::RegValue> TRegistry::ReadValue(const QString& name) const {
    if (!openKey_) {
        return std::nullopt;
    }
    return machine_.value(root_, openKey_->toStdString(), name.toStdString());
}

bool TRegistry::DeleteKey(const QString& key) {
    return !readOnly_ && machine_.deleteKeyTree(root_, key.toStdString()).ok();
}

bool TRegistry::DeleteValue(const QString& name) {
    return !readOnly_ && openKey_ &&
           machine_.deleteValue(root_, openKey_->toStdString(), name.toStdString()).ok();
}

std::unique_ptr<TRegistry> CreateRegistry(platform::Machine& machine, int aMode) {
    return std::make_unique<TRegistry>(machine, aMode == 2);
}

bool RegKeyExists(platform::Machine& machine, const QString& aPath, bool) {
    platform::RegRoot root = platform::RegRoot::CurrentUser;
    QString key;
    SplitRegPath(aPath, root, key);
    return machine.keyExists(root, key.toStdString());
}

QString ReadRegText(platform::Machine& machine, const QString& aPath, const QString& aValueName,
                    bool aSearchSubkeys) {
    platform::RegRoot root = platform::RegRoot::CurrentUser;
    QString key;
    SplitRegPath(aPath, root, key);
    if (!machine.keyExists(root, key.toStdString())) {
        return {};
    }
    const QString text =
        findText(machine, root, key.toStdString(), aValueName.toStdString(), aSearchSubkeys);
    return text.isEmpty() ? text : ExpandPathVars(machine, text);
}

QString ReadRegValueText(const TRegistry& AReg, const QString& aValueName,
                         const QString& aDefault) {
    const auto v = AReg.ReadValue(aValueName);
    if (!v) {
        return aDefault;
    }
    if (v->isString()) {
        return QString::fromStdString(v->text());
    }
    if (const auto n = v->qword();
        n && (v->type == platform::RegType::Dword || v->type == platform::RegType::DwordBigEndian ||
              v->type == platform::RegType::Qword)) {
        return QString::number(*n);
    }
    return aDefault;
}

bool DeleteRegKey(platform::Machine& machine, TRegistry* AReg, int aRootIndex,
                  const QString& aKey) {
    std::unique_ptr<TRegistry> own;
    if (!AReg) {
        own = CreateRegistry(machine, 0);
        AReg = own.get();
    }
    AReg->SetRootKey(IndexToRootKey(aRootIndex));
    const bool deleted = AReg->DeleteKey(aKey);
    AReg->CloseKey();
    return deleted;
}

bool DeleteRegValue(platform::Machine& machine, TRegistry* AReg, int aRootIndex,
                    const QString& aKey, const QString& aValueName) {
    std::unique_ptr<TRegistry> own;
    if (!AReg) {
        own = CreateRegistry(machine, 0);
        AReg = own.get();
    }
    AReg->SetRootKey(IndexToRootKey(aRootIndex));
    const bool deleted = AReg->OpenKey(aKey, false) && AReg->DeleteValue(aValueName);
    AReg->CloseKey();
    return deleted;
}

bool GetRegisteredExtensions(const platform::Machine& machine, QStringList& AList) {
    AList.clear();
    for (const std::string& name : machine.subkeyNames(platform::RegRoot::ClassesRoot, "")
                                       .value_or(std::vector<std::string>{})) {
        if (!name.empty() && name.front() == '.') {
            AList << QString::fromStdString(name);
        }
    }
    return !AList.isEmpty();
}

}  // namespace tidora::helpers
