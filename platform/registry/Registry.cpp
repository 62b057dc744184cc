#include "platform/registry/Registry.h"

namespace kp::platform {

std::string JoinKeyPath(std::string_view parent, std::string_view child)
{
    if (parent.empty()) return std::string(child);
    if (child.empty()) return std::string(parent);
    std::string out(parent);
    out += '\\';
    out += child;
    return out;
}

RegStatus DeleteSubKeysRecursively(Registry& registry, std::string_view path)
{
    RegKey key;
    RegStatus status = registry.OpenKey(path, RegAccess::Full, key);
    if (status != RegStatus::Ok) return status;
    std::vector<std::string> names;
    status = registry.EnumSubKeys(key, names);
    if (status != RegStatus::Ok) return status;
    // Keep going past a failure so that everything deletable is gone.
    RegStatus first = RegStatus::Ok;
    for (const std::string& name : names) {
        status = DeleteSubKeysRecursively(registry, JoinKeyPath(path, name));
        if (status == RegStatus::Ok) status = registry.DeleteSubKey(key, name);
        if (first == RegStatus::Ok) first = status;
    }
    return first;
}

}  // namespace kp::platform
