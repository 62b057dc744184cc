#pragma once
// The real file system (kernel32, wide-character calls).
//
// Replacing renames the new file over the old one with MoveFileExW, which is
// one atomic step; ReplaceFileW is not used because under Wine it moves the
// old file aside first, so for a moment neither name holds the document (and
// a failed call leaves a stray file behind). What ReplaceFileW would have
// kept - the hidden, system and not-indexed attributes and the creation time -
// is copied onto the new file before the rename.

#include "platform/files/FileSystem.h"

namespace kp::platform {

class Win32FileSystem final : public FileSystem {
public:
    FileStatus ReadAll(std::string_view path, std::string& out) override;
    FileStatus OpenForRead(std::string_view path, FileHandle& out, uint64_t& size) override;
    FileStatus Read(const FileHandle& file, char* into, size_t capacity, size_t& got) override;
    FileInfo Query(std::string_view path) override;
    FileStatus ResolveLinks(std::string_view path, std::string& out) override;
    FileStatus FreeSpace(std::string_view path, uint64_t& bytes) override;
    FileStatus CreateTempFile(std::string_view folder, std::string& path, FileHandle& out) override;
    FileStatus OpenForOverwrite(std::string_view path, FileHandle& out) override;
    FileStatus Write(const FileHandle& file, std::string_view bytes) override;
    FileStatus Flush(const FileHandle& file) override;
    FileStatus Replace(std::string_view target, std::string_view replacement) override;
    FileStatus Delete(std::string_view path) override;
    FileStatus CreateFolder(std::string_view path) override;
    FileStatus RemoveFolder(std::string_view path) override;
    FileStatus ListFolder(std::string_view path, std::vector<std::string>& names) override;
    FileStatus SetReadOnly(std::string_view path, bool readOnly) override;
    FileStatus MakeHardLink(std::string_view existing, std::string_view newPath) override;
    FileStatus SetLastWriteTime(std::string_view path, uint64_t fileTime) override;
    FileStatus SetHidden(std::string_view path, bool hidden) override;
    FileStatus Rename(std::string_view from, std::string_view to) override;

    // This user's folder for temporary files (GetTempPathW), without the
    // trailing '\'.
    static std::string TempFolder();

protected:
    void CloseHandle(uintptr_t handle) override;
};

}  // namespace kp::platform
