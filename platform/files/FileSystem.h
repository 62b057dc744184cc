#pragma once
// Files and folders, as loading and saving documents needs them.
//
// Paths are UTF-8 in Windows form: a drive letter, '\' between the parts
// ("C:\文書\表.txt"). Names match without regard to letter case. The Win32
// implementation converts to UTF-16 at its boundary. Every operation answers
// with a status; nothing here throws.

#include "platform/OwnedHandle.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kp::platform {

enum class FileStatus {
    Ok,
    NotFound,      // no such file, or a folder on the way is missing
    AccessDenied,  // exists, but refuses what was asked (read-only, permissions)
    Failed,        // anything else: sharing, a full disk, a short write, a bad name
};

struct FileInfo {
    bool exists = false;
    bool directory = false;
    bool readOnly = false;
    // The name is a symbolic link (or another reparse point that stands for a
    // name elsewhere) leading to a file; the other fields describe that file.
    // Replacing the name would put a plain file in the link's place.
    bool symbolicLink = false;
    // The names the file has (hard links), this one included; 1 for a folder
    // or when the platform cannot tell. With more than one, replacing the name
    // would cut it off from the file the other names still show.
    uint32_t hardLinks = 1;
    uint64_t size = 0;  // of the file a link leads to
    bool hidden = false;
    // Last write, in 100-nanosecond units since 1601-01-01 UTC (the
    // platform's file time).
    uint64_t lastWriteTime = 0;
};

class FileSystem;
// An open file; closing it is the destructor's job.
using FileHandle = OwnedHandle<FileSystem>;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // The whole content of a file, byte for byte. Reading it and
    // OpenForRead refuse a device (NUL, CON, a pipe): Failed.
    virtual FileStatus ReadAll(std::string_view path, std::string& out) = 0;
    // Opens a file (through a link, if path is one) for reading from its
    // start; size receives its size at that moment. Others may go on writing
    // it meanwhile.
    virtual FileStatus OpenForRead(std::string_view path, FileHandle& out, uint64_t& size) = 0;
    // Reads up to capacity bytes at the handle's position into `into`; got is
    // how many came, 0 only at the end of the file. Fewer than capacity do
    // not mean the end: read until 0 comes.
    virtual FileStatus Read(const FileHandle& file, char* into, size_t capacity, size_t& got) = 0;
    // What is at path, following links (exists is false when nothing is).
    virtual FileInfo Query(std::string_view path) = 0;
    // The path of what path leads to, every link on the way followed, each
    // name spelt as the file system keeps it. NotFound when nothing is there
    // (a link that leads nowhere included).
    virtual FileStatus ResolveLinks(std::string_view path, std::string& out) = 0;
    // Bytes this user may still write on the volume holding path (the volume
    // of the file a link leads to, when path is a link).
    virtual FileStatus FreeSpace(std::string_view path, uint64_t& bytes) = 0;

    // Creates a new, empty file with a name no other file has, in folder, and
    // opens it for writing. out receives its path.
    virtual FileStatus CreateTempFile(std::string_view folder, std::string& path,
                                      FileHandle& out) = 0;
    // Opens an existing file (through a link, if path is one) for writing and
    // truncates it to nothing. Read-only files are refused.
    virtual FileStatus OpenForOverwrite(std::string_view path, FileHandle& out) = 0;
    // Writes all of bytes at the handle's position; anything less (a full
    // disk, a short write) is a failure.
    virtual FileStatus Write(const FileHandle& file, std::string_view bytes) = 0;
    // Makes what was written durable.
    virtual FileStatus Flush(const FileHandle& file) = 0;

    // Gives replacement the name target in one step: an existing target is
    // replaced (a read-only one is refused), a missing one is created. The
    // replacement's name is gone afterwards. Both must be in one folder or at
    // least on one volume, and neither may be open.
    virtual FileStatus Replace(std::string_view target, std::string_view replacement) = 0;
    // Deletes a file: a link itself, never what it leads to (a link that
    // cannot be deleted alone is refused).
    virtual FileStatus Delete(std::string_view path) = 0;

    // Folders and attributes, for tests and tools.
    virtual FileStatus CreateFolder(std::string_view path) = 0;
    virtual FileStatus RemoveFolder(std::string_view path) = 0;  // empty folders only
    // The names (not paths) of what a folder holds, in no particular order.
    virtual FileStatus ListFolder(std::string_view path, std::vector<std::string>& names) = 0;
    virtual FileStatus SetReadOnly(std::string_view path, bool readOnly) = 0;
    // Adds the name newPath to the file existing.
    virtual FileStatus MakeHardLink(std::string_view existing, std::string_view newPath) = 0;
    // Sets the last-write time (units as FileInfo::lastWriteTime) of a file or
    // folder.
    virtual FileStatus SetLastWriteTime(std::string_view path, uint64_t fileTime) = 0;
    virtual FileStatus SetHidden(std::string_view path, bool hidden) = 0;
    // Gives a file or folder another name in the same volume. An existing
    // name at to is refused (Failed) and both stay as they were; a change of
    // letter case alone is a rename.
    virtual FileStatus Rename(std::string_view from, std::string_view to) = 0;

protected:
    friend FileHandle;
    virtual void CloseHandle(uintptr_t handle) = 0;
    static uintptr_t HandleOf(const FileHandle& file) { return FileHandle::ValueOf(file); }
    static void Attach(FileHandle& file, FileSystem* owner, uintptr_t handle) { FileHandle::Bind(file, owner, handle); }
};

// The folder part of a path ("C:\a\b.txt" -> "C:\a", "C:\b.txt" -> "C:\"),
// empty when the path names no folder.
std::string ParentFolder(std::string_view path);
// The last part of a path ("C:\a\b.txt" -> "b.txt").
std::string_view FileNameOf(std::string_view path);
// Joins a folder and a name with one '\'.
std::string JoinPath(std::string_view folder, std::string_view name);
// A file (not a folder) is at path.
bool FileExists(FileSystem& files, std::string_view path);

}  // namespace kp::platform
