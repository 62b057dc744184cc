#pragma once
// The real registry of the current user (advapi32, wide-character calls).

#include "platform/registry/Registry.h"

namespace kp::platform {

class Win32Registry final : public Registry {
public:
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

protected:
    void CloseHandle(uintptr_t handle) override;
};

}  // namespace kp::platform
