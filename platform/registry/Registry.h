#pragma once
// The registry of the current user, as the core sees it.
//
// Key paths are relative to HKEY_CURRENT_USER, with '\' between the parts; the
// empty path is HKEY_CURRENT_USER itself. Names are UTF-8 and match without
// regard to letter case. String data is UTF-8 here and UTF-16 in the real
// registry; the Win32 implementation converts at the boundary.

#include "platform/OwnedHandle.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kp::platform {

enum class RegType : uint32_t {
    None = 0,
    String = 1,        // REG_SZ
    ExpandString = 2,  // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD
    MultiString = 7,   // REG_MULTI_SZ
    Qword = 11,        // REG_QWORD
};

enum class RegStatus {
    Ok,
    NotFound,      // no such key or value
    AccessDenied,  // the key exists but not with the access asked for
    Failed,        // anything else the platform refused
};

enum class RegAccess { Read, Full };

struct RegValue {
    RegType type = RegType::None;
    // String and ExpandString: the text as UTF-8, without the terminating zero.
    // Any other type: the raw bytes.
    std::string data;
};

class Registry;
// An open key; closing it is the destructor's job.
using RegKey = OwnedHandle<Registry>;

class Registry {
public:
    virtual ~Registry() = default;

    // Opens the key, creating it and any missing parents, with full access.
    virtual RegStatus CreateKey(std::string_view path, RegKey& out) = 0;
    virtual RegStatus OpenKey(std::string_view path, RegAccess access, RegKey& out) = 0;

    virtual RegStatus QueryValue(const RegKey& key, std::string_view name, RegValue& out) = 0;
    // Writes a string value (REG_SZ, or REG_EXPAND_SZ when asked) from UTF-8 text.
    virtual RegStatus SetString(const RegKey& key, std::string_view name, std::string_view text,
                                RegType type = RegType::String) = 0;
    // Writes raw bytes under any type (for tools and tests that plant odd values).
    virtual RegStatus SetRaw(const RegKey& key, std::string_view name, RegType type,
                             std::string_view bytes) = 0;
    virtual RegStatus DeleteValue(const RegKey& key, std::string_view name) = 0;

    // Names of the direct sub-keys, in the platform's order.
    virtual RegStatus EnumSubKeys(const RegKey& key, std::vector<std::string>& out) = 0;
    // Deletes a direct sub-key that has no sub-keys of its own; a key that
    // still has sub-keys is refused (the platform does the same).
    virtual RegStatus DeleteSubKey(const RegKey& key, std::string_view name) = 0;

protected:
    friend RegKey;
    virtual void CloseHandle(uintptr_t handle) = 0;
    static uintptr_t HandleOf(const RegKey& key) { return RegKey::ValueOf(key); }
    static void Attach(RegKey& key, Registry* owner, uintptr_t handle) { RegKey::Bind(key, owner, handle); }
};

// Joins two parts of a key path with '\' (either may be empty).
std::string JoinKeyPath(std::string_view parent, std::string_view child);

// Deletes every sub-key of the key at path, depth first. Values of the key
// itself stay. Goes on past a failure and returns the first one.
RegStatus DeleteSubKeysRecursively(Registry& registry, std::string_view path);

}  // namespace kp::platform
