#pragma once
// A FileSystem over a Linux folder, for benchmarks that write real files (a
// tmpfs such as /dev/shm): "C:\a\b" is root/a/b. Only what loading and
// saving a text need is there (open and read, query, temporary file, write,
// flush, replace, delete); everything else answers Failed.

#include "platform/files/FileSystem.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>

namespace kp::bench {

class PosixFiles final : public platform::FileSystem {
public:
    explicit PosixFiles(std::string root) : root_(std::move(root)) {}

    using Status = platform::FileStatus;

    Status ReadAll(std::string_view, std::string&) override { return Status::Failed; }
    Status OpenForRead(std::string_view path, platform::FileHandle& out, uint64_t& size) override
    {
        const int fd = ::open(Native(path).c_str(), O_RDONLY);
        struct stat st {};
        if (fd < 0 || fstat(fd, &st) != 0) {
            if (fd >= 0) ::close(fd);
            return Status::NotFound;
        }
        size = static_cast<uint64_t>(st.st_size);
        Attach(out, this, static_cast<uintptr_t>(fd));
        return Status::Ok;
    }
    Status Read(const platform::FileHandle& file, char* into, size_t capacity, size_t& got) override
    {
        const ssize_t n = ::read(static_cast<int>(HandleOf(file)), into, capacity);
        if (n < 0) return Status::Failed;
        got = static_cast<size_t>(n);
        return Status::Ok;
    }
    platform::FileInfo Query(std::string_view path) override
    {
        platform::FileInfo info;
        struct stat st {};
        if (stat(Native(path).c_str(), &st) != 0) return info;
        info.exists = true;
        info.directory = S_ISDIR(st.st_mode);
        info.size = static_cast<uint64_t>(st.st_size);
        return info;
    }
    Status ResolveLinks(std::string_view, std::string&) override { return Status::Failed; }
    Status FreeSpace(std::string_view, uint64_t&) override { return Status::Failed; }
    Status CreateTempFile(std::string_view folder, std::string& path, platform::FileHandle& out) override
    {
        std::string name = Native(folder) + "/kpXXXXXX";
        const int fd = mkstemp(name.data());
        if (fd < 0) return Status::Failed;
        path = std::string(folder) + "\\" + name.substr(name.rfind('/') + 1);
        Attach(out, this, static_cast<uintptr_t>(fd));
        return Status::Ok;
    }
    Status OpenForOverwrite(std::string_view, platform::FileHandle&) override { return Status::Failed; }
    Status Write(const platform::FileHandle& file, std::string_view bytes) override
    {
        const int fd = static_cast<int>(HandleOf(file));
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd, bytes.data(), bytes.size());
            if (n <= 0) return Status::Failed;
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return Status::Ok;
    }
    Status Flush(const platform::FileHandle& file) override
    {
        return fdatasync(static_cast<int>(HandleOf(file))) == 0 ? Status::Ok : Status::Failed;
    }
    Status Replace(std::string_view target, std::string_view replacement) override
    {
        return rename(Native(replacement).c_str(), Native(target).c_str()) == 0 ? Status::Ok : Status::Failed;
    }
    Status Delete(std::string_view path) override
    {
        return unlink(Native(path).c_str()) == 0 ? Status::Ok : Status::NotFound;
    }
    Status CreateFolder(std::string_view path) override
    {
        return mkdir(Native(path).c_str(), 0700) == 0 ? Status::Ok : Status::Failed;
    }
    Status RemoveFolder(std::string_view path) override
    {
        return rmdir(Native(path).c_str()) == 0 ? Status::Ok : Status::Failed;
    }
    Status ListFolder(std::string_view, std::vector<std::string>&) override { return Status::Failed; }
    Status SetReadOnly(std::string_view, bool) override { return Status::Failed; }
    Status MakeHardLink(std::string_view, std::string_view) override { return Status::Failed; }
    Status SetLastWriteTime(std::string_view, uint64_t) override { return Status::Failed; }
    Status SetHidden(std::string_view, bool) override { return Status::Failed; }
    Status Rename(std::string_view, std::string_view) override { return Status::Failed; }

protected:
    void CloseHandle(uintptr_t handle) override { ::close(static_cast<int>(handle)); }

private:
    // "C:\a\b" -> root/a/b
    std::string Native(std::string_view path) const
    {
        if (path.size() >= 2 && path[1] == ':') path.remove_prefix(2);
        std::string out = root_;
        for (char c : path) out += c == '\\' ? '/' : c;
        return out;
    }

    std::string root_;
};

}  // namespace kp::bench
