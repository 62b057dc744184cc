#pragma once
// An in-memory file tree with the Windows rules the core relies on: drive
// letters, '\' (or '/') between the parts, names that match without regard to
// case, a read-only attribute that refuses writing, replacing and deleting,
// hard links (names sharing one file) and symbolic links, open files that
// cannot be deleted or replaced, and a free-space budget per drive that makes
// writes come up short when it runs out. A name longer than 255 UTF-16 units
// or a path longer than 32,767 names nothing (Failed), and the reserved
// device names (NUL, CON, PRN, AUX, COM1 to COM9, LPT1 to LPT9, with or
// without an extension) name a device in every folder, which is never opened
// as a file (Failed).
//
// Drive C: exists from the start with plenty of room; other drives appear
// with AddDrive. Test controls inject the failures a real disk can produce.

#include "platform/files/FileSystem.h"

#include <map>
#include <memory>

namespace kp::platform {

class SimFileSystem final : public FileSystem {
public:
    SimFileSystem();
    ~SimFileSystem() override;

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

    // Test controls with no counterpart in the interface.
    // Another drive (an existing one just gets the new budget).
    void AddDrive(char letter, uint64_t freeBytes);
    // The free space left on the drive of path (links are not followed).
    void SetFreeSpace(std::string_view path, uint64_t freeBytes);
    // A symbolic link at linkPath to the absolute path target (which need not
    // exist).
    FileStatus MakeSymbolicLink(std::string_view linkPath, std::string_view target);
    // Another program holds the file open without sharing it for reading.
    void LockAgainstReading(std::string_view path, bool locked);
    // Another program holds the file open and shares it for nothing:
    // reading, overwriting, replacing, renaming and deleting it fail
    // (Failed) until it lets go.
    void HoldOpen(std::string_view path, bool held);
    // No entry may be added to, taken from or renamed in the folder
    // (AccessDenied), as for a folder this user may not write; the files in
    // it still read and write in place.
    void SetFolderReadOnly(std::string_view path, bool readOnly);
    // The nth Write from now (1 = the next) writes half of its bytes and fails;
    // 0 turns this off.
    void FailWriteNumber(int n)
    {
        failWriteIn_ = n;
        failWritesOnward_ = false;
    }
    // The same, and every Write after that one fails the same way.
    void FailWritesFrom(int n)
    {
        failWriteIn_ = n;
        failWritesOnward_ = n > 0;
    }
    void FailFlush(bool fail) { failFlush_ = fail; }
    void FailReplace(bool fail) { failReplace_ = fail; }
    void FailCreateTemp(bool fail) { failCreateTemp_ = fail; }
    void FailFreeSpace(bool fail) { failFreeSpace_ = fail; }
    // Every Read hands out at most this many bytes (0: as many as asked).
    void LimitReads(size_t bytes) { readLimit_ = bytes; }
    // Once a Read has reached offset `after` of the file at path, the file's
    // content becomes `bytes`, as if another program rewrote it meanwhile.
    void ChangeWhileRead(std::string_view path, uint64_t after, std::string bytes);
    // The nth Read from now (1 = the next) fails; 0 turns this off.
    void FailReadNumber(int n) { failReadIn_ = n; }
    // Listing the folder is refused (AccessDenied), as for a folder this
    // user may not read.
    void SetUnlistable(std::string_view path, bool unlistable);
    // Every path on the drive fails (Failed), as a removable drive without
    // its medium does.
    void SetDriveNotReady(char letter, bool notReady);
    // ListFolder with whether each name is a folder (links followed), as
    // Query would say.
    FileStatus ListFolderKinds(std::string_view path, std::vector<std::pair<std::string, bool>>& entries);
    // The letters of the drives, in order.
    std::vector<char> Drives() const;
    // Moves a file or a folder (with what it holds) to the recycle bin.
    FileStatus Recycle(std::string_view path);
    // The paths moved to the recycle bin, oldest first.
    const std::vector<std::string>& Recycled() const { return recycled_; }
    // How many files are open now (a leak shows up here).
    size_t OpenHandleCount() const { return handles_.size(); }

    struct Node;
    struct Data;

protected:
    void CloseHandle(uintptr_t handle) override;

private:
    struct Drive;
    struct Found;
    struct Open {
        std::shared_ptr<Data> data;
        uint64_t position = 0;
    };

    // `withPath`: also spell out the resolved path (a query needs none).
    Found Find(std::string_view path, bool followLast, int depth = 0, bool withPath = true);
    Open* OpenOf(const FileHandle& file);
    FileStatus AttachNew(FileHandle& out, std::shared_ptr<Data> data);
    void Unlink(Data& data);
    uint64_t NextTime();

    std::map<char, std::shared_ptr<Drive>> drives_;
    std::map<uintptr_t, Open> handles_;
    uintptr_t nextHandle_ = 1;
    uint32_t nextTemp_ = 0x1F3A;
    int failWriteIn_ = 0;
    bool failWritesOnward_ = false;
    bool failFlush_ = false;
    bool failReplace_ = false;
    bool failCreateTemp_ = false;
    bool failFreeSpace_ = false;
    size_t readLimit_ = 0;
    int failReadIn_ = 0;
    struct PendingChange {
        std::shared_ptr<Data> data;
        uint64_t after = 0;
        std::string bytes;
    };
    std::vector<PendingChange> changes_;
    std::vector<std::string> recycled_;
    uint64_t ticks_ = 0;
};

}  // namespace kp::platform
