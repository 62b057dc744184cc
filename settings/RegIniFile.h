#pragma once
// The settings store: an ini-file-like view of one registry key of the current
// user. Sections are sub-keys, idents are value names. Nothing is cached:
// every read and write goes to the registry at once, so two stores on the
// same key always agree.
//
// Every value is a string value; integers are decimal text, flags "0"/"1".
// Failures throw kp::Error with the user-visible message.

#include "platform/registry/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kp {

class TRegIniFile {
public:
    // Opens (creating with its parents) the key at keyPath under
    // HKEY_CURRENT_USER; the empty path is HKEY_CURRENT_USER itself.
    TRegIniFile(platform::Registry& registry, std::string keyPath);
    // A store on a key that could not be created: reads give their defaults,
    // writes try to create their section and fail as usual.
    enum NoCreate { kNoCreate };
    TRegIniFile(platform::Registry& registry, std::string keyPath, NoCreate);

    const std::string& KeyPath() const { return keyPath_; }

    std::string ReadString(std::string_view section, std::string_view ident,
                           std::string_view defaultValue) const;
    int32_t ReadInteger(std::string_view section, std::string_view ident,
                        int32_t defaultValue) const;
    bool ReadBool(std::string_view section, std::string_view ident, bool defaultValue) const;

    void WriteString(std::string_view section, std::string_view ident, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view ident, int32_t value);
    void WriteBool(std::string_view section, std::string_view ident, bool value);

    // Deletes every section (sub-key) of the store's key, recursively.
    // Values of the key itself stay. False when something could not be
    // deleted (what could be deleted is gone).
    bool EraseAllSections();

private:
    platform::Registry& registry_;
    std::string keyPath_;
};

// The integer reading of a stored text: optional sign and decimal digits, or
// "0x"/"0X" and up to eight hexadecimal digits (wrapping to the signed 32-bit
// value). Returns false for anything else.
bool ParseStoredInteger(std::string_view text, int32_t& value);

}  // namespace kp
