// The failure table's file rows on real files under Wine: read-only through
// the attribute, held open through a handle that shares nothing, a read-only
// folder through permissions or a read-only mount, links made on the Unix
// side, devices, a named pipe and a FIFO, and a full disk: a tmpfs of a few
// hundred kilobytes mounted for the row (which needs root; other users skip
// those rows), filled, and always unmounted at the row's end.

#include "platform/files/Win32FileSystem.h"
#include "tests/app/FailureMatrix.h"

#include <windows.h>

#include <cstdio>

namespace kp::app::matrix {
namespace {

// The Unix form of a Windows path under Wine; empty elsewhere.
std::string UnixPath(const std::string& path)
{
    using UnixName = char*(CDECL*)(LPCWSTR);
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!proc) return {};
    char* name = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(proc))(test::Wide(path).c_str());
    if (!name) return {};
    std::string out(name);
    HeapFree(GetProcessHeap(), 0, name);
    return out;
}

// Runs a Unix program with its arguments as they are and waits for it; true
// when it ran and succeeded.
bool RunUnix(std::vector<std::string> argv)
{
    using Spawn = LONG(CDECL*)(char* const argv[], int wait);
    const FARPROC proc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
    if (!proc) return false;
    std::vector<char*> pointers;
    for (std::string& arg : argv) pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    return reinterpret_cast<Spawn>(reinterpret_cast<void (*)()>(proc))(pointers.data(), 1) == 0;
}

class RealFailureMatrix : public FailureMatrixFixture, public ::testing::WithParamInterface<Row> {
protected:
    void TearDown() override
    {
        FailureMatrixFixture::TearDown();
        if (pipe_ != INVALID_HANDLE_VALUE) CloseHandle(pipe_);
        if (!mounted_.empty()) RunUnix({"/bin/umount", "-l", mounted_});
        // Whatever the file system's own calls could not take away (a Unix
        // link Wine will not delete, a folder that was a mount point).
        if (!unixRoot_.empty()) RunUnix({"/bin/rm", "-rf", unixRoot_});
    }

    platform::FileSystem& Disk() override { return real_; }

    std::string MakeRoot(bool small) override
    {
        const std::string root = JoinPath(platform::Win32FileSystem::TempFolder(), test::UniqueScratchName());
        if (real_.CreateFolder(root) != FileStatus::Ok) {
            skip_ = "no scratch folder in " + platform::Win32FileSystem::TempFolder();
            return {};
        }
        unixRoot_ = UnixPath(root);
        if (!small) return root;
        if (unixRoot_.empty() || !RunUnix({"/bin/mount", "-t", "tmpfs", "-o", "size=384k", "kp-matrix", unixRoot_})) {
            skip_ = "a full disk is a small tmpfs mounted for the row, which needs root";
            return {};
        }
        mounted_ = unixRoot_;
        return root;
    }

    // Writes a filler file until the volume refuses more.
    bool FillVolume() override
    {
        filler_ = JoinPath(Root(), "filler.bin");
        const HANDLE file = CreateFileW(test::Wide(filler_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        const std::string block(4096, 'f');
        DWORD written = 0;
        int blocks = 0;
        while (blocks < 4096 && WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) &&
               written == block.size())
            ++blocks;
        CloseHandle(file);
        uint64_t free = 0;
        return blocks < 4096 && real_.FreeSpace(filler_, free) == FileStatus::Ok && free < block.size();
    }

    void EmptyVolume() override
    {
        if (!filler_.empty()) DeleteFileW(test::Wide(filler_).c_str());
        filler_.clear();
    }

    bool ShrinkWhileRead(const std::string&, std::string) override { return false; }

    bool MakeFifo(const std::string& path) override
    {
        const std::string folder = UnixPath(platform::ParentFolder(path));
        return !folder.empty() && RunUnix({"/usr/bin/mkfifo", "-m", "600", folder + "/" + std::string(platform::FileNameOf(path))});
    }

    std::string MakePipe() override
    {
        char name[64];
        std::snprintf(name, sizeof name, "\\\\.\\pipe\\kp-matrix-%lu", GetCurrentProcessId());
        pipe_ = CreateNamedPipeW(test::Wide(name).c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096,
                                 4096, 0, nullptr);
        EXPECT_NE(pipe_, INVALID_HANDLE_VALUE);
        return name;
    }

private:
    platform::Win32FileSystem real_;
    std::string unixRoot_, mounted_, filler_;
    HANDLE pipe_ = INVALID_HANDLE_VALUE;
};

TEST_P(RealFailureMatrix, NothingIsLostAndTheWindowGoesOn)
{
    RunRow(GetParam());
}

INSTANTIATE_TEST_SUITE_P(FileRows, RealFailureMatrix, ::testing::ValuesIn(FileRows()), RowName);

}  // namespace
}  // namespace kp::app::matrix
