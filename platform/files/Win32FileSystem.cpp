#include "platform/files/Win32FileSystem.h"

#include "base/Utf.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <new>

namespace kp::platform {

namespace {

// ReadFile and WriteFile take 32-bit counts; larger files go in pieces.
constexpr DWORD kChunk = 64u << 20;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A reparse tag with this bit stands for another name (symbolic links,
// junctions), as opposed to data kept elsewhere (cloud placeholders).
constexpr DWORD kNameSurrogateTag = 0x20000000;
// Virus scanners, indexers and other readers hold a file open for a moment;
// renaming over it fails meanwhile.
constexpr int kReplaceAttempts = 10;
constexpr DWORD kReplaceRetryMs = 20;

std::wstring Wide(std::string_view utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* text, size_t length)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length));
}

// A path for the W calls; past MAX_PATH an absolute path needs the \\?\ form.
std::wstring WidePath(std::string_view path)
{
    std::wstring w = Wide(path);
    if (w.size() >= MAX_PATH - 12 && w.size() > 2 && w[1] == L':') {
        std::replace(w.begin(), w.end(), L'/', L'\\');
        w.insert(0, L"\\\\?\\");
    }
    return w;
}

FileStatus StatusOf(DWORD error)
{
    switch (error) {
    case ERROR_SUCCESS: return FileStatus::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DIRECTORY: return FileStatus::NotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return FileStatus::AccessDenied;
    default: return FileStatus::Failed;
    }
}

FileStatus LastStatus() { return StatusOf(GetLastError()); }

// Opens a file for reading its bytes. A device (NUL, CON, a pipe, a FIFO) is
// no document: reading one gives nothing or waits for input without end, so
// it is closed again and refused.
FileStatus OpenDiskFileForRead(const std::wstring& path, HANDLE& file)
{
    file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastStatus();
    if (GetFileType(file) == FILE_TYPE_DISK) return FileStatus::Ok;
    ::CloseHandle(file);
    file = INVALID_HANDLE_VALUE;
    return FileStatus::Failed;
}

HANDLE H(uintptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// Opens what path leads to (following links) just to ask about it.
HANDLE OpenForQuery(const std::wstring& path)
{
    return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The path the platform resolves an open file to, in plain "C:\..." or
// "\\server\..." form; empty if it cannot tell.
std::wstring FinalPath(HANDLE handle)
{
    DWORD size = GetFinalPathNameByHandleW(handle, nullptr, 0, FILE_NAME_NORMALIZED);
    if (size == 0) return {};
    std::wstring path(size, L'\0');
    size = GetFinalPathNameByHandleW(handle, path.data(), size, FILE_NAME_NORMALIZED);
    if (size == 0 || size >= path.size()) return {};
    path.resize(size);
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\" + path.substr(7);
    if (path.starts_with(L"\\\\?\\")) return path.substr(4);
    return path;
}

// Whether the open file is the entry of that name in the folder path names,
// rather than something a link at path leads to. Unknown counts as yes: a
// save then replaces the name itself, which costs the link but no data.
bool IsOwnEntry(HANDLE file, std::string_view path)
{
    const std::wstring resolved = FinalPath(file);
    if (resolved.empty()) return true;
    const HANDLE folder = OpenForQuery(WidePath(ParentFolder(path)));
    if (folder == INVALID_HANDLE_VALUE) return true;
    std::wstring expected = FinalPath(folder);
    ::CloseHandle(folder);
    if (expected.empty()) return true;
    if (expected.back() != L'\\') expected += L'\\';
    expected += Wide(FileNameOf(path));
    return CompareStringOrdinal(resolved.c_str(), -1, expected.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool IsLinkEntry(const std::wstring& path, DWORD attributes)
{
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileW(path.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return true;
    FindClose(find);
    return (data.dwReserved0 & kNameSurrogateTag) != 0;
}

// Gives the file about to take an old file's place what identifies it to the
// user besides its content. Failing here costs nothing worse than a plain
// rename would, so failures are not reported.
void CarryOverIdentity(const std::wstring& replacement, const WIN32_FILE_ATTRIBUTE_DATA& old)
{
    const DWORD kept =
        old.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    SetFileAttributesW(replacement.c_str(), kept | FILE_ATTRIBUTE_ARCHIVE);
    const HANDLE file = CreateFileW(replacement.c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    SetFileTime(file, &old.ftCreationTime, nullptr, nullptr);
    ::CloseHandle(file);
}

uint32_t NextTempNumber()
{
    static std::atomic<uint32_t> counter{0};
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    uint64_t x = static_cast<uint64_t>(now.QuadPart) ^ (uint64_t{GetCurrentProcessId()} << 32) ^
                 (uint64_t{++counter} * 0x9E3779B97F4A7C15u);
    x ^= x >> 31;
    x *= 0xBF58476D1CE4E5B9u;
    x ^= x >> 27;
    return static_cast<uint32_t>(x);
}

}  // namespace

FileStatus Win32FileSystem::ReadAll(std::string_view path, std::string& out)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    FileStatus status = OpenDiskFileForRead(WidePath(path), file);
    if (status != FileStatus::Ok) return status;
    try {
        LARGE_INTEGER size;
        out.clear();
        if (GetFileSizeEx(file, &size) && static_cast<uint64_t>(size.QuadPart) < out.max_size())
            out.resize(static_cast<size_t>(size.QuadPart));
        // Read until the end even if the file has grown meanwhile: once the
        // expected size is in, a small read tells whether more follows.
        size_t got = 0;
        char probe[4096];
        for (;;) {
            const bool full = got == out.size();
            char* into = full ? probe : out.data() + got;
            const size_t left = std::min<size_t>(out.size() - got, kChunk);
            const DWORD want = full ? DWORD{sizeof probe} : static_cast<DWORD>(left);
            DWORD read = 0;
            if (!::ReadFile(file, into, want, &read, nullptr)) {
                status = LastStatus();
                break;
            }
            if (read == 0) break;
            if (full) out.append(probe, read);
            got += read;
        }
        out.resize(got);
    } catch (const std::bad_alloc&) {
        status = FileStatus::Failed;
    }
    ::CloseHandle(file);
    if (status != FileStatus::Ok) out.clear();
    return status;
}

FileStatus Win32FileSystem::OpenForRead(std::string_view path, FileHandle& out, uint64_t& size)
{
    HANDLE file = INVALID_HANDLE_VALUE;
    if (const FileStatus status = OpenDiskFileForRead(WidePath(path), file); status != FileStatus::Ok)
        return status;
    LARGE_INTEGER length;
    if (!GetFileSizeEx(file, &length)) {
        const FileStatus status = LastStatus();
        ::CloseHandle(file);
        return status;
    }
    size = static_cast<uint64_t>(length.QuadPart);
    Attach(out, this, reinterpret_cast<uintptr_t>(file));
    return FileStatus::Ok;
}

FileStatus Win32FileSystem::Read(const FileHandle& file, char* into, size_t capacity, size_t& got)
{
    got = 0;
    if (!file.IsOpen()) return FileStatus::Failed;
    DWORD read = 0;
    if (!::ReadFile(H(HandleOf(file)), into, static_cast<DWORD>(std::min<size_t>(capacity, kChunk)), &read,
                    nullptr))
        return LastStatus();
    got = read;
    return FileStatus::Ok;
}

FileInfo Win32FileSystem::Query(std::string_view path)
{
    FileInfo info;
    const std::wstring wide = WidePath(path);
    const DWORD own = GetFileAttributesW(wide.c_str());
    if (own == INVALID_FILE_ATTRIBUTES) return info;
    const bool linkEntry = IsLinkEntry(wide, own);
    const HANDLE file = OpenForQuery(wide);
    BY_HANDLE_FILE_INFORMATION data;
    if (file == INVALID_HANDLE_VALUE) {
        // A link whose target is gone leads nowhere.
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return info;
        // Something this user may not open at all: its own attributes are all there is.
        info.exists = true;
        info.directory = (own & FILE_ATTRIBUTE_DIRECTORY) != 0;
        info.readOnly = (own & FILE_ATTRIBUTE_READONLY) != 0;
        info.hidden = (own & FILE_ATTRIBUTE_HIDDEN) != 0;
        info.symbolicLink = linkEntry && !info.directory;
        return info;
    }
    if (!GetFileInformationByHandle(file, &data)) {
        data = {};
        data.dwFileAttributes = own;
        data.nNumberOfLinks = 1;
    }
    info.exists = true;
    info.directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    info.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.hidden = (own & FILE_ATTRIBUTE_HIDDEN) != 0;
    info.lastWriteTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                         data.ftLastWriteTime.dwLowDateTime;
    info.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    if (!info.directory) {
        // Wine shows a Unix symbolic link as a plain file; only the path the
        // handle resolves to gives it away.
        info.symbolicLink = linkEntry || !IsOwnEntry(file, path);
        info.hardLinks = std::max<DWORD>(data.nNumberOfLinks, 1);
    }
    ::CloseHandle(file);
    return info;
}

FileStatus Win32FileSystem::ResolveLinks(std::string_view path, std::string& out)
{
    const HANDLE file = OpenForQuery(WidePath(path));
    if (file == INVALID_HANDLE_VALUE) return LastStatus();
    const std::wstring resolved = FinalPath(file);
    ::CloseHandle(file);
    if (resolved.empty()) return FileStatus::Failed;
    out = Narrow(resolved.data(), resolved.size());
    return FileStatus::Ok;
}

FileStatus Win32FileSystem::FreeSpace(std::string_view path, uint64_t& bytes)
{
    // The volume of the file itself when there is one (a link may lead to
    // another volume), otherwise of the folder that would hold it.
    std::wstring folder;
    const HANDLE file = OpenForQuery(WidePath(path));
    if (file != INVALID_HANDLE_VALUE) {
        BY_HANDLE_FILE_INFORMATION data;
        if (GetFileInformationByHandle(file, &data) &&
            !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            const std::wstring resolved = FinalPath(file);
            const size_t cut = resolved.find_last_of(L'\\');
            if (cut != std::wstring::npos) folder = resolved.substr(0, cut);
        }
        ::CloseHandle(file);
    }
    if (folder.empty()) folder = WidePath(ParentFolder(path));
    if (folder.empty()) return FileStatus::NotFound;
    if (folder.back() != L'\\') folder += L'\\';
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr)) return LastStatus();
    bytes = available.QuadPart;
    return FileStatus::Ok;
}

FileStatus Win32FileSystem::CreateTempFile(std::string_view folder, std::string& path,
                                           FileHandle& out)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[24];
        std::snprintf(name, sizeof name, "~kp%08X.tmp", static_cast<unsigned>(NextTempNumber()));
        std::string candidate = JoinPath(folder, name);
        const HANDLE file = CreateFileW(WidePath(candidate).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                        nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            path = std::move(candidate);
            Attach(out, this, reinterpret_cast<uintptr_t>(file));
            return FileStatus::Ok;
        }
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return StatusOf(error);
    }
    return FileStatus::Failed;
}

FileStatus Win32FileSystem::OpenForOverwrite(std::string_view path, FileHandle& out)
{
    const HANDLE file = CreateFileW(WidePath(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastStatus();
    // Wine lets a privileged user open a read-only file for writing; the
    // attribute still says no, as it does on Windows. Truncating comes after.
    BY_HANDLE_FILE_INFORMATION data;
    FileStatus status = FileStatus::Ok;
    if (!GetFileInformationByHandle(file, &data))
        status = LastStatus();
    else if (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY)
        status = FileStatus::AccessDenied;
    else if (!SetEndOfFile(file))
        status = LastStatus();
    if (status != FileStatus::Ok) {
        ::CloseHandle(file);
        return status;
    }
    Attach(out, this, reinterpret_cast<uintptr_t>(file));
    return FileStatus::Ok;
}

FileStatus Win32FileSystem::Write(const FileHandle& file, std::string_view bytes)
{
    if (!file.IsOpen()) return FileStatus::Failed;
    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), kChunk));
        DWORD written = 0;
        if (!::WriteFile(H(HandleOf(file)), bytes.data(), want, &written, nullptr))
            return LastStatus();
        if (written != want) return FileStatus::Failed;
        bytes.remove_prefix(want);
    }
    return FileStatus::Ok;
}

FileStatus Win32FileSystem::Flush(const FileHandle& file)
{
    if (!file.IsOpen()) return FileStatus::Failed;
    return FlushFileBuffers(H(HandleOf(file))) ? FileStatus::Ok : LastStatus();
}

FileStatus Win32FileSystem::Replace(std::string_view target, std::string_view replacement)
{
    const std::wstring to = WidePath(target);
    const std::wstring from = WidePath(replacement);
    WIN32_FILE_ATTRIBUTE_DATA old;
    if (GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &old)) {
        if (old.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return FileStatus::AccessDenied;
        // Windows refuses to rename over a read-only file; Wine lets a
        // privileged user do it.
        if (old.dwFileAttributes & FILE_ATTRIBUTE_READONLY) return FileStatus::AccessDenied;
        CarryOverIdentity(from, old);
    }
    for (int attempt = 1;; ++attempt) {
        if (MoveFileExW(from.c_str(), to.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return FileStatus::Ok;
        const DWORD error = GetLastError();
        const bool transient = error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ||
                               error == ERROR_LOCK_VIOLATION;
        if (!transient || attempt == kReplaceAttempts) return StatusOf(error);
        Sleep(kReplaceRetryMs);
    }
}

FileStatus Win32FileSystem::Delete(std::string_view path)
{
    const std::wstring wide = WidePath(path);
    // Under Wine, deleting a Unix symbolic link deletes the file it leads to,
    // and nothing deletes the link alone: such a name is refused. (Windows'
    // own links are reparse points, which DeleteFileW removes by themselves.)
    const DWORD own = GetFileAttributesW(wide.c_str());
    if (own != INVALID_FILE_ATTRIBUTES && !IsLinkEntry(wide, own)) {
        const HANDLE file = OpenForQuery(wide);
        if (file != INVALID_HANDLE_VALUE) {
            const bool ownEntry = IsOwnEntry(file, path);
            ::CloseHandle(file);
            if (!ownEntry) return FileStatus::AccessDenied;
        }
    }
    if (!DeleteFileW(wide.c_str())) return LastStatus();
    // Wine removes the name only when the file is closed, and reports
    // success even when that fails (a folder on a read-only volume): the
    // name must be gone. (A file Windows still holds for another handle is
    // pending deletion and answers no attributes either.)
    return GetFileAttributesW(wide.c_str()) == INVALID_FILE_ATTRIBUTES ? FileStatus::Ok : FileStatus::AccessDenied;
}

FileStatus Win32FileSystem::CreateFolder(std::string_view path)
{
    return CreateDirectoryW(WidePath(path).c_str(), nullptr) ? FileStatus::Ok : LastStatus();
}

FileStatus Win32FileSystem::RemoveFolder(std::string_view path)
{
    return RemoveDirectoryW(WidePath(path).c_str()) ? FileStatus::Ok : LastStatus();
}

FileStatus Win32FileSystem::ListFolder(std::string_view path, std::vector<std::string>& names)
{
    names.clear();
    WIN32_FIND_DATAW data;
    const HANDLE find = FindFirstFileExW(WidePath(JoinPath(path, "*")).c_str(), FindExInfoBasic,
                                         &data, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? FileStatus::Ok : StatusOf(error);
    }
    do {
        const std::wstring_view name = data.cFileName;
        if (name != L"." && name != L"..") names.push_back(Narrow(name.data(), name.size()));
    } while (FindNextFileW(find, &data));
    const DWORD error = GetLastError();
    FindClose(find);
    return error == ERROR_NO_MORE_FILES ? FileStatus::Ok : StatusOf(error);
}

FileStatus Win32FileSystem::SetReadOnly(std::string_view path, bool readOnly)
{
    const std::wstring wide = WidePath(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastStatus();
    attributes = readOnly ? (attributes | FILE_ATTRIBUTE_READONLY)
                          : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(wide.c_str(), attributes) ? FileStatus::Ok : LastStatus();
}

FileStatus Win32FileSystem::MakeHardLink(std::string_view existing, std::string_view newPath)
{
    return CreateHardLinkW(WidePath(newPath).c_str(), WidePath(existing).c_str(), nullptr)
               ? FileStatus::Ok
               : LastStatus();
}

FileStatus Win32FileSystem::SetLastWriteTime(std::string_view path, uint64_t fileTime)
{
    const HANDLE file = CreateFileW(WidePath(path).c_str(), FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastStatus();
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(fileTime);
    time.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    const FileStatus status = SetFileTime(file, nullptr, nullptr, &time) ? FileStatus::Ok : LastStatus();
    ::CloseHandle(file);
    return status;
}

FileStatus Win32FileSystem::SetHidden(std::string_view path, bool hidden)
{
    const std::wstring wide = WidePath(path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastStatus();
    attributes = hidden ? (attributes | FILE_ATTRIBUTE_HIDDEN) : (attributes & ~DWORD{FILE_ATTRIBUTE_HIDDEN});
    if (attributes == 0) attributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileAttributesW(wide.c_str(), attributes) ? FileStatus::Ok : LastStatus();
}

FileStatus Win32FileSystem::Rename(std::string_view from, std::string_view to)
{
    // Without MOVEFILE_REPLACE_EXISTING an existing name is refused. A change
    // of letter case alone goes by a temporary name: Wine takes the new name
    // for the same file and keeps the old spelling.
    if (from != to && EqualsIgnoreCase(from, to)) {
        char suffix[24];
        std::snprintf(suffix, sizeof suffix, ".~kp%08X", static_cast<unsigned>(NextTempNumber()));
        const std::wstring aside = WidePath(std::string(from) + suffix);
        if (!MoveFileExW(WidePath(from).c_str(), aside.c_str(), 0)) return LastStatus();
        if (MoveFileExW(aside.c_str(), WidePath(to).c_str(), 0)) return FileStatus::Ok;
        const FileStatus status = LastStatus();
        MoveFileExW(aside.c_str(), WidePath(from).c_str(), 0);
        return status;
    }
    if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), 0)) return FileStatus::Ok;
    const DWORD error = GetLastError();
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? FileStatus::Failed : StatusOf(error);
}

std::string Win32FileSystem::TempFolder()
{
    wchar_t buffer[MAX_PATH + 1];
    DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    if (length == 0 || length > MAX_PATH) return {};
    while (length > 3 && buffer[length - 1] == L'\\') --length;
    return Narrow(buffer, length);
}

void Win32FileSystem::CloseHandle(uintptr_t handle)
{
    ::CloseHandle(H(handle));
}

}  // namespace kp::platform
