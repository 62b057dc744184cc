#pragma once
// An in-memory registry that behaves as the Win32 one does for everything the
// core relies on: case-insensitive names, keys created with their parents,
// deletion refused while sub-keys remain, handles that outlive a deleted key
// (every use then fails), and key names limited to 255 UTF-16 units.

#include "platform/registry/Registry.h"

#include <map>
#include <memory>

namespace kp::platform {

class SimRegistry final : public Registry {
public:
    SimRegistry();
    ~SimRegistry() override;

    RegStatus CreateKey(std::string_view path, RegKey& out) override;
    RegStatus OpenKey(std::string_view path, RegAccess access, RegKey& out) override;
    RegStatus QueryValue(const RegKey& key, std::string_view name, RegValue& out) override;
    RegStatus SetString(const RegKey& key, std::string_view name, std::string_view text,
                        RegType type) override;
    RegStatus SetRaw(const RegKey& key, std::string_view name, RegType type,
                     std::string_view bytes) override;
    RegStatus DeleteValue(const RegKey& key, std::string_view name) override;
    RegStatus EnumSubKeys(const RegKey& key, std::vector<std::string>& out) override;
    RegStatus DeleteSubKey(const RegKey& key, std::string_view name) override;

    // Test controls with no counterpart in the platform's API: a key whose
    // permissions allow reading only (opening it for full access, writing
    // into it and creating keys below it are refused).
    void SetReadOnly(std::string_view path, bool readOnly);
    // How many handles are open now (a leak shows up here).
    size_t OpenHandleCount() const { return handles_.size(); }

    struct Node;

protected:
    void CloseHandle(uintptr_t handle) override;

private:
    struct Handle {
        std::shared_ptr<Node> node;
        RegAccess access;
    };
    const Handle* Find(const RegKey& key) const;
    std::shared_ptr<Node> Walk(std::string_view path, bool create, RegStatus& status);
    RegStatus Attach(RegKey& out, std::shared_ptr<Node> node, RegAccess access);

    std::shared_ptr<Node> root_;
    std::map<uintptr_t, Handle> handles_;
    uintptr_t nextHandle_ = 1;
};

}  // namespace kp::platform
