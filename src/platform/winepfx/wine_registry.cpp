#include "platform/winepfx/wine_registry.h"

#include <sys/stat.h>

#include <ctime>
#include <unordered_set>

#include "platform/text_utf.h"
#include "platform/winepfx/hive_codec.h"

namespace tidora::platform::winepfx {
namespace {

constexpr int kMaxLinkDepth = 16;
constexpr const char* kHiveNames[] = {"system.reg", "user.reg", "userdef.reg"};
constexpr std::string_view kDefaultUser = ".DEFAULT";

std::vector<std::string> splitKey(std::string_view key) {
    std::vector<std::string> parts;
    hive_codec::forEachPathComponent(key, [&](std::string_view part) { parts.emplace_back(part); });
    return parts;
}

std::string joinKey(const std::vector<std::string>& parts, size_t from = 0) {
    std::string out;
    for (size_t i = from; i < parts.size(); ++i) {
        if (!out.empty()) {
            out += '\\';
        }
        out += parts[i];
    }
    return out;
}

std::string childPath(const std::string& parent, const std::string& name) {
    return parent.empty() ? name : parent + "\\" + name;
}

FileTime now() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return fileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

}  // namespace

WineRegistry::WineRegistry(std::string prefixDir, std::function<OpResult()> canWrite)
    : prefixDir_(std::move(prefixDir)), canWrite_(std::move(canWrite)) {
    for (int i = 0; i < kHiveCount; ++i) {
        files_[i].path = prefixDir_ + "/" + kHiveNames[i];
    }
}

OpResult WineRegistry::load() {
    std::lock_guard lock(mutex_);
    for (int i = 0; i < kHiveCount; ++i) {
        const OpResult r = reload(i);
        if (!r && i != kUserDefault) {
            return r;
        }
    }
    return OpResult::success();
}

bool WineRegistry::takeIdentity(int index) const {
    HiveFile& f = files_[index];
    struct stat st {};
    f.present = ::stat(f.path.c_str(), &st) == 0;
    f.inode = st.st_ino;
    f.size = static_cast<unsigned long long>(st.st_size);
    f.mtimeSec = st.st_mtim.tv_sec;
    f.mtimeNsec = st.st_mtim.tv_nsec;
    return f.present;
}

OpResult WineRegistry::reload(int index) const {
    HiveFile& f = files_[index];
    f.hive.reset();
    if (!takeIdentity(index)) {
        f.error = f.path + ": no such file";
        return OpResult::failure(f.error);
    }
    std::string error;
    f.hive = Hive::load(f.path, &error);
    if (!f.hive) {
        f.error = f.path + ": " + error;
        return OpResult::failure(f.error);
    }
    f.error.clear();
    return OpResult::success();
}

void WineRegistry::refresh(int index) const {
    const HiveFile& f = files_[index];
    struct stat st {};
    const bool present = ::stat(f.path.c_str(), &st) == 0;
    if (present == f.present &&
        (!present ||
         (f.inode == st.st_ino && f.size == static_cast<unsigned long long>(st.st_size) &&
          f.mtimeSec == st.st_mtim.tv_sec && f.mtimeNsec == st.st_mtim.tv_nsec))) {
        return;
    }
    reload(index);
}

void WineRegistry::refreshAll() const {
    for (int i = 0; i < kHiveCount; ++i) {
        refresh(i);
    }
}

std::string WineRegistry::userSid() const {
    std::lock_guard lock(mutex_);
    refresh(kUser);
    return sidLocked();
}

// user.reg says whose it is: ";; All keys relative to REGISTRY\\User\\S-1-5-21-...".
std::string WineRegistry::sidLocked() const {
    if (!files_[kUser].hive) {
        return {};
    }
    const auto parts = splitKey(files_[kUser].hive->relativeRoot());
    return parts.empty() ? std::string() : parts.back();
}

std::string WineRegistry::arch() const {
    std::lock_guard lock(mutex_);
    refresh(kSystem);
    return files_[kSystem].hive ? files_[kSystem].hive->arch() : std::string();
}

std::vector<WineRegistry::Base> WineRegistry::bases(RegRoot root,
                                                    std::vector<std::string>& components) const {
    switch (root) {
        case RegRoot::LocalMachine:
            return {{kSystem, ""}};
        case RegRoot::CurrentUser:
            return {{kUser, ""}};
        case RegRoot::ClassesRoot:
            return {{kUser, "Software\\Classes"}, {kSystem, "Software\\Classes"}};
        case RegRoot::CurrentConfig:
            return {{kSystem, "System\\CurrentControlSet\\Hardware Profiles\\Current"}};
        case RegRoot::Users: {
            if (components.empty()) {
                return {};
            }
            const std::string first = components.front();
            components.erase(components.begin());
            if (equalsNoCase(first, kDefaultUser)) {
                return {{kUserDefault, ""}};
            }
            if (const std::string sid = sidLocked(); !sid.empty() && equalsNoCase(first, sid)) {
                return {{kUser, ""}};
            }
            return {};
        }
        case RegRoot::PerformanceData:
        case RegRoot::DynData:
            return {};
    }
    return {};
}

WineRegistry::Walk WineRegistry::walk(const Base& base, const std::vector<std::string>& components,
                                      bool followLast, int depth) const {
    Walk result;
    const auto& hive = files_[base.hive].hive;
    if (!hive || depth > kMaxLinkDepth) {
        return result;
    }
    const auto start = hive->find(base.path);
    if (!start) {
        return result;
    }
    Location at{base.hive, *start, base.path};
    result.reached = at;
    for (size_t i = 0; i < components.size(); ++i) {
        const Hive& h = *files_[at.hive].hive;
        const auto child = h.findChild(at.node, components[i]);
        if (!child) {
            return result;
        }
        Location next{at.hive, *child, childPath(at.path, h.name(*child))};
        const bool last = i + 1 == components.size();
        if (h.isLink(*child) && (!last || followLast)) {
            const auto target = followLink(next, depth + 1);
            if (!target) {
                return result;
            }
            next = *target;
        }
        at = next;
        result.reached = at;
        result.matched = i + 1;
    }
    return result;
}

std::optional<WineRegistry::Location> WineRegistry::find(const Base& base,
                                                         const std::vector<std::string>& components,
                                                         bool followLast) const {
    const Walk w = walk(base, components, followLast);
    if (w.matched != components.size()) {
        return std::nullopt;
    }
    return w.reached;
}

std::optional<WineRegistry::Location> WineRegistry::followLink(const Location& link,
                                                               int depth) const {
    const auto target = files_[link.hive].hive->value(link.node, "SymbolicLinkValue");
    if (!target) {
        return std::nullopt;
    }
    // \Registry\Machine\..., \Registry\User\<SID or .Default>\...
    auto parts = splitKey(target->text());
    if (parts.size() < 2 || !equalsNoCase(parts[0], "Registry")) {
        return std::nullopt;
    }
    std::vector<Base> targetBase;
    size_t rest = 2;
    if (equalsNoCase(parts[1], "Machine")) {
        targetBase.push_back({kSystem, ""});
    } else if (equalsNoCase(parts[1], "User") && parts.size() >= 3) {
        std::vector<std::string> userParts(parts.begin() + 2, parts.end());
        targetBase = bases(RegRoot::Users, userParts);
        rest = 3;
    }
    if (targetBase.empty()) {
        return std::nullopt;
    }
    const std::vector<std::string> components(parts.begin() + rest, parts.end());
    const Walk w = walk(targetBase.front(), components, true, depth);
    if (w.matched != components.size()) {
        return std::nullopt;
    }
    return w.reached;
}

std::vector<WineRegistry::Location> WineRegistry::findAll(RegRoot root,
                                                          std::string_view key) const {
    refreshAll();
    auto components = splitKey(key);
    std::vector<Location> found;
    for (const Base& base : bases(root, components)) {
        if (auto at = find(base, components)) {
            found.push_back(std::move(*at));
        }
    }
    return found;
}

// HKU itself, HKPD and HKDD are not keys of any hive.
std::optional<std::vector<std::string>> WineRegistry::usersRootSubkeys(std::string_view key) const {
    if (!splitKey(key).empty()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    if (files_[kUserDefault].hive) {
        names.emplace_back(kDefaultUser);
    }
    if (const std::string sid = sidLocked(); !sid.empty()) {
        names.push_back(sid);
    }
    return names;
}

bool WineRegistry::keyExists(RegRoot root, std::string_view key) const {
    return subkeyNames(root, key).has_value();
}

std::optional<std::vector<std::string>> WineRegistry::subkeyNames(RegRoot root,
                                                                  std::string_view key) const {
    std::lock_guard lock(mutex_);
    refreshAll();
    if (root == RegRoot::Users || root == RegRoot::PerformanceData || root == RegRoot::DynData) {
        if (auto top = usersRootSubkeys(key)) {
            return root == RegRoot::Users ? top : std::vector<std::string>{};
        }
    }
    const auto found = findAll(root, key);
    if (found.empty()) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;  // upper-cased, for the merged view of HKCR
    for (const Location& at : found) {
        const Hive& h = *files_[at.hive].hive;
        for (const Hive::NodeId child : h.children(at.node)) {
            const std::string& name = h.name(child);
            if (found.size() == 1 || seen.insert(upperCase(name)).second) {
                names.push_back(name);
            }
        }
    }
    return names;
}

std::optional<std::vector<RegValue>> WineRegistry::values(RegRoot root,
                                                          std::string_view key) const {
    std::lock_guard lock(mutex_);
    if (root == RegRoot::Users || root == RegRoot::PerformanceData || root == RegRoot::DynData) {
        refreshAll();
        if (usersRootSubkeys(key)) {
            return std::vector<RegValue>{};
        }
    }
    const auto found = findAll(root, key);
    if (found.empty()) {
        return std::nullopt;
    }
    std::vector<RegValue> merged;
    for (const Location& at : found) {
        for (auto& v : files_[at.hive].hive->values(at.node)) {
            bool seen = false;
            for (const auto& m : merged) {
                seen = seen || (found.size() > 1 && equalsNoCase(m.name, v.name));
            }
            if (!seen) {
                merged.push_back(std::move(v));
            }
        }
    }
    return merged;
}

std::optional<RegValue> WineRegistry::value(RegRoot root, std::string_view key,
                                            std::string_view name) const {
    std::lock_guard lock(mutex_);
    for (const Location& at : findAll(root, key)) {
        if (auto v = files_[at.hive].hive->value(at.node, name)) {
            return v;
        }
    }
    return std::nullopt;
}

std::optional<FileTime> WineRegistry::keyLastWriteTime(RegRoot root, std::string_view key) const {
    std::lock_guard lock(mutex_);
    const auto found = findAll(root, key);
    if (found.empty()) {
        return std::nullopt;
    }
    return files_[found.front().hive].hive->lastWriteTime(found.front().node);
}

OpResult WineRegistry::save(int index) {
    HiveFile& f = files_[index];
    const OpResult saved = f.hive->save(f.path);
    // Memory follows the disk: after a failure the change is dropped; after a success memory
    // holds what was written, and the hive keeps knowing that it made its backup already.
    if (saved) {
        takeIdentity(index);
    } else {
        reload(index);
    }
    return saved;
}

OpResult WineRegistry::change(RegRoot root, std::string_view key, bool create,
                              const std::function<OpResult(Hive&, Hive::NodeId, FileTime)>& apply) {
    std::lock_guard lock(mutex_);
    if (OpResult allowed = canWrite_(); !allowed) {
        return allowed;
    }
    refreshAll();
    auto components = splitKey(key);
    const auto candidates = bases(root, components);
    if (candidates.empty()) {
        return OpResult::failure("the registry root of " + std::string(key) + " cannot be changed");
    }
    // HKCR writes go to the per-user classes when the key is there, else to the machine's.
    std::optional<Location> target;
    Base createIn = candidates.back();
    for (const Base& base : candidates) {
        if ((target = find(base, components))) {
            break;
        }
    }
    if (!target) {
        if (!create) {
            return OpResult::failure("registry key not found: " + std::string(key));
        }
        const Walk w = walk(createIn, components, true);
        if (!w.reached) {
            return OpResult::failure("registry hive " + std::string(kHiveNames[createIn.hive]) +
                                     " cannot be read: " + files_[createIn.hive].error);
        }
        const std::string path = childPath(w.reached->path, joinKey(components, w.matched));
        Hive& hive = *files_[w.reached->hive].hive;
        target = Location{w.reached->hive, hive.createKey(path, now()), path};
    }
    if (OpResult applied = apply(*files_[target->hive].hive, target->node, now()); !applied) {
        reload(target->hive);
        return applied;
    }
    return save(target->hive);
}

OpResult WineRegistry::createKey(RegRoot root, std::string_view key) {
    return change(root, key, true,
                  [](Hive&, Hive::NodeId, FileTime) { return OpResult::success(); });
}

OpResult WineRegistry::setValue(RegRoot root, std::string_view key, const RegValue& value) {
    return change(root, key, true, [&](Hive& hive, Hive::NodeId node, FileTime time) {
        hive.setValue(node, value, time);
        return OpResult::success();
    });
}

OpResult WineRegistry::deleteValue(RegRoot root, std::string_view key, std::string_view name) {
    return change(root, key, false, [&](Hive& hive, Hive::NodeId node, FileTime time) {
        return hive.deleteValue(node, name, time)
                   ? OpResult::success()
                   : OpResult::failure("registry value not found: " + std::string(key) + "\\" +
                                       std::string(name));
    });
}

OpResult WineRegistry::deleteKeyTree(RegRoot root, std::string_view key) {
    std::lock_guard lock(mutex_);
    if (OpResult allowed = canWrite_(); !allowed) {
        return allowed;
    }
    refreshAll();
    auto components = splitKey(key);
    if (components.empty()) {
        return OpResult::failure("a registry root cannot be deleted");
    }
    const std::string last = components.back();
    components.pop_back();
    // The key itself is deleted, never what a link key points at; HKCR deletes it in both hives.
    bool deleted = false;
    for (const Base& base : bases(root, components)) {
        const auto parent = find(base, components);
        if (!parent) {
            continue;
        }
        Hive& hive = *files_[parent->hive].hive;
        const auto node = hive.findChild(parent->node, last);
        if (!node) {
            continue;
        }
        hive.deleteKeyTree(*node, now());
        if (OpResult saved = save(parent->hive); !saved) {
            return saved;
        }
        deleted = true;
    }
    return deleted ? OpResult::success()
                   : OpResult::failure("registry key not found: " + std::string(key));
}

}  // namespace tidora::platform::winepfx
