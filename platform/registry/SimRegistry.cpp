#include "platform/registry/SimRegistry.h"

#include "base/Utf.h"

namespace kp::platform {

struct SimRegistry::Node {
    std::string name;
    bool deleted = false;
    bool readOnly = false;
    std::vector<std::pair<std::string, RegValue>> values;
    std::vector<std::shared_ptr<Node>> children;

    std::shared_ptr<Node> Child(std::string_view childName) const
    {
        for (const auto& child : children)
            if (EqualsIgnoreCase(child->name, childName)) return child;
        return nullptr;
    }
    RegValue* Value(std::string_view valueName)
    {
        for (auto& [n, v] : values)
            if (EqualsIgnoreCase(n, valueName)) return &v;
        return nullptr;
    }
};

namespace {

constexpr size_t kMaxKeyNameUnits = 255;

std::vector<std::string_view> SplitPath(std::string_view path)
{
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = path.find('\\', start);
        const std::string_view part =
            path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    return parts;
}

}  // namespace

SimRegistry::SimRegistry() : root_(std::make_shared<Node>()) {}
SimRegistry::~SimRegistry() = default;

const SimRegistry::Handle* SimRegistry::Find(const RegKey& key) const
{
    const auto it = handles_.find(HandleOf(key));
    if (it == handles_.end() || it->second.node->deleted) return nullptr;
    return &it->second;
}

std::shared_ptr<SimRegistry::Node> SimRegistry::Walk(std::string_view path, bool create,
                                                     RegStatus& status)
{
    std::shared_ptr<Node> node = root_;
    for (const std::string_view part : SplitPath(path)) {
        if (Utf8ToUtf16(part).size() > kMaxKeyNameUnits) {
            status = RegStatus::Failed;
            return nullptr;
        }
        std::shared_ptr<Node> child = node->Child(part);
        if (!child) {
            if (!create) {
                status = RegStatus::NotFound;
                return nullptr;
            }
            if (node->readOnly) {
                status = RegStatus::AccessDenied;
                return nullptr;
            }
            child = std::make_shared<Node>();
            child->name = std::string(part);
            node->children.push_back(child);
        }
        node = child;
    }
    status = RegStatus::Ok;
    return node;
}

RegStatus SimRegistry::Attach(RegKey& out, std::shared_ptr<Node> node, RegAccess access)
{
    const uintptr_t handle = nextHandle_++;
    handles_[handle] = Handle{std::move(node), access};
    Registry::Attach(out, this, handle);
    return RegStatus::Ok;
}

RegStatus SimRegistry::CreateKey(std::string_view path, RegKey& out)
{
    RegStatus status;
    std::shared_ptr<Node> node = Walk(path, true, status);
    if (!node) return status;
    if (node->readOnly) return RegStatus::AccessDenied;
    return Attach(out, std::move(node), RegAccess::Full);
}

RegStatus SimRegistry::OpenKey(std::string_view path, RegAccess access, RegKey& out)
{
    RegStatus status;
    std::shared_ptr<Node> node = Walk(path, false, status);
    if (!node) return status;
    if (access == RegAccess::Full && node->readOnly) return RegStatus::AccessDenied;
    return Attach(out, std::move(node), access);
}

RegStatus SimRegistry::QueryValue(const RegKey& key, std::string_view name, RegValue& out)
{
    const Handle* handle = Find(key);
    if (!handle) return RegStatus::Failed;
    const RegValue* value = handle->node->Value(name);
    if (!value) return RegStatus::NotFound;
    out = *value;
    return RegStatus::Ok;
}

RegStatus SimRegistry::SetString(const RegKey& key, std::string_view name, std::string_view text,
                                 RegType type)
{
    // Like the platform, a string value ends at its first zero character.
    const std::string_view stored = text.substr(0, text.find('\0'));
    return SetRaw(key, name, type, stored);
}

RegStatus SimRegistry::SetRaw(const RegKey& key, std::string_view name, RegType type,
                              std::string_view bytes)
{
    const Handle* handle = Find(key);
    if (!handle) return RegStatus::Failed;
    if (handle->access != RegAccess::Full || handle->node->readOnly) return RegStatus::AccessDenied;
    RegValue value{type, std::string(bytes)};
    if (RegValue* existing = handle->node->Value(name))
        *existing = std::move(value);
    else
        handle->node->values.emplace_back(std::string(name), std::move(value));
    return RegStatus::Ok;
}

RegStatus SimRegistry::DeleteValue(const RegKey& key, std::string_view name)
{
    const Handle* handle = Find(key);
    if (!handle) return RegStatus::Failed;
    if (handle->access != RegAccess::Full || handle->node->readOnly) return RegStatus::AccessDenied;
    auto& values = handle->node->values;
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (EqualsIgnoreCase(it->first, name)) {
            values.erase(it);
            return RegStatus::Ok;
        }
    }
    return RegStatus::NotFound;
}

RegStatus SimRegistry::EnumSubKeys(const RegKey& key, std::vector<std::string>& out)
{
    const Handle* handle = Find(key);
    if (!handle) return RegStatus::Failed;
    out.clear();
    for (const auto& child : handle->node->children) out.push_back(child->name);
    return RegStatus::Ok;
}

RegStatus SimRegistry::DeleteSubKey(const RegKey& key, std::string_view name)
{
    const Handle* handle = Find(key);
    if (!handle) return RegStatus::Failed;
    auto& children = handle->node->children;
    for (auto it = children.begin(); it != children.end(); ++it) {
        if (!EqualsIgnoreCase((*it)->name, name)) continue;
        if (!(*it)->children.empty()) return RegStatus::AccessDenied;
        if (handle->node->readOnly || (*it)->readOnly) return RegStatus::AccessDenied;
        (*it)->deleted = true;
        children.erase(it);
        return RegStatus::Ok;
    }
    return RegStatus::NotFound;
}

void SimRegistry::SetReadOnly(std::string_view path, bool readOnly)
{
    RegStatus status;
    if (std::shared_ptr<Node> node = Walk(path, true, status)) node->readOnly = readOnly;
}

void SimRegistry::CloseHandle(uintptr_t handle)
{
    handles_.erase(handle);
}

}  // namespace kp::platform
