#include "platform/registry/Win32Registry.h"

#include "base/Utf.h"

#include <windows.h>

namespace kp::platform {

namespace {

std::wstring Wide(std::string_view utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* text, size_t length)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

RegStatus StatusOf(LONG result)
{
    switch (result) {
    case ERROR_SUCCESS: return RegStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return RegStatus::NotFound;
    case ERROR_ACCESS_DENIED: return RegStatus::AccessDenied;
    default: return RegStatus::Failed;
    }
}

HKEY H(uintptr_t handle) { return reinterpret_cast<HKEY>(handle); }

}  // namespace

RegStatus Win32Registry::CreateKey(std::string_view path, RegKey& out)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr,
                                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                        nullptr);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    Attach(out, this, reinterpret_cast<uintptr_t>(key));
    return RegStatus::Ok;
}

RegStatus Win32Registry::OpenKey(std::string_view path, RegAccess access, RegKey& out)
{
    HKEY key = nullptr;
    const REGSAM sam = access == RegAccess::Full ? KEY_ALL_ACCESS : KEY_READ;
    const LONG result = RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, sam, &key);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    Attach(out, this, reinterpret_cast<uintptr_t>(key));
    return RegStatus::Ok;
}

RegStatus Win32Registry::QueryValue(const RegKey& key, std::string_view name, RegValue& out)
{
    const std::wstring wname = Wide(name);
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExW(H(HandleOf(key)), wname.c_str(), nullptr, &type, nullptr, &size);
    std::string bytes;
    // The value may grow between the two calls; ask again until it fits.
    for (int attempt = 0; attempt < 4 && (result == ERROR_SUCCESS || result == ERROR_MORE_DATA);
         ++attempt) {
        bytes.assign(size + sizeof(wchar_t), '\0');
        DWORD got = size;
        result = RegQueryValueExW(H(HandleOf(key)), wname.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(bytes.data()), &got);
        if (result == ERROR_SUCCESS) {
            bytes.resize(got);
            break;
        }
        if (result == ERROR_MORE_DATA) size = got;
    }
    if (result != ERROR_SUCCESS) return StatusOf(result);
    out.type = static_cast<RegType>(type);
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        size_t units = bytes.size() / sizeof(wchar_t);
        const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
        // Stored strings may or may not carry their terminating zero.
        size_t length = 0;
        while (length < units && text[length] != L'\0') ++length;
        out.data = Narrow(text, length);
    } else {
        out.data = std::move(bytes);
    }
    return RegStatus::Ok;
}

RegStatus Win32Registry::SetString(const RegKey& key, std::string_view name, std::string_view text,
                                   RegType type)
{
    const std::wstring wtext = Wide(text.substr(0, text.find('\0')));
    const DWORD size = static_cast<DWORD>((wtext.size() + 1) * sizeof(wchar_t));
    return StatusOf(RegSetValueExW(H(HandleOf(key)), Wide(name).c_str(), 0,
                                   static_cast<DWORD>(type),
                                   reinterpret_cast<const BYTE*>(wtext.c_str()), size));
}

RegStatus Win32Registry::SetRaw(const RegKey& key, std::string_view name, RegType type,
                                std::string_view bytes)
{
    return StatusOf(RegSetValueExW(H(HandleOf(key)), Wide(name).c_str(), 0,
                                   static_cast<DWORD>(type),
                                   reinterpret_cast<const BYTE*>(bytes.data()),
                                   static_cast<DWORD>(bytes.size())));
}

RegStatus Win32Registry::DeleteValue(const RegKey& key, std::string_view name)
{
    return StatusOf(RegDeleteValueW(H(HandleOf(key)), Wide(name).c_str()));
}

RegStatus Win32Registry::EnumSubKeys(const RegKey& key, std::vector<std::string>& out)
{
    out.clear();
    DWORD count = 0;
    DWORD maxLength = 0;
    LONG result = RegQueryInfoKeyW(H(HandleOf(key)), nullptr, nullptr, nullptr, &count, &maxLength,
                                   nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (result != ERROR_SUCCESS) return StatusOf(result);
    std::wstring buffer(maxLength + 1, L'\0');
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(buffer.size());
        result = RegEnumKeyExW(H(HandleOf(key)), i, buffer.data(), &length, nullptr, nullptr,
                               nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {
            buffer.assign(buffer.size() * 2 + 256, L'\0');
            --i;
            continue;
        }
        if (result != ERROR_SUCCESS) return StatusOf(result);
        out.push_back(Narrow(buffer.data(), length));
    }
    return RegStatus::Ok;
}

RegStatus Win32Registry::DeleteSubKey(const RegKey& key, std::string_view name)
{
    return StatusOf(RegDeleteKeyW(H(HandleOf(key)), Wide(name).c_str()));
}

void Win32Registry::CloseHandle(uintptr_t handle)
{
    RegCloseKey(H(handle));
}

}  // namespace kp::platform
