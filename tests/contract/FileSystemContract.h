#pragma once

#include "platform/files/FileSystem.h"
#include "tests/contract/Contract.h"

namespace kp::test {

// A file system under test and the folder its tests work in: the fixture
// makes it fresh before each test (its parent must exist) and removes it with
// everything in it afterwards.
struct FileSystemUnderTest {
    std::unique_ptr<platform::FileSystem> files;
    std::string scratch;
};

template <class Files>
Implementation<FileSystemUnderTest> FilesUnderTest(std::string name,
                                                   std::function<std::string()> scratch)
{
    return {std::move(name), [scratch] {
                return std::make_unique<FileSystemUnderTest>(
                    FileSystemUnderTest{std::make_unique<Files>(), scratch()});
            }};
}

// A name no earlier call returned, for scratch folders shared between runs.
std::string UniqueScratchName();

class FileSystemContract : public ::testing::TestWithParam<Implementation<FileSystemUnderTest>> {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string In(std::string_view name) const { return platform::JoinPath(folder, name); }

    std::unique_ptr<FileSystemUnderTest> under;
    platform::FileSystem* files = nullptr;
    std::string folder;
};

// Deletes a folder and everything below it, read-only files too.
void RemoveTree(platform::FileSystem& files, const std::string& folder);

// A symbolic link at link to the absolute path target, made the way the file
// system under test allows: the simulation's own control; under Wine a Unix
// link; on Windows CreateSymbolicLinkW, which needs a privilege or developer
// mode. False when it cannot be made.
bool MakeSymbolicLink(platform::FileSystem& files, const std::string& link, const std::string& target,
                      bool folder = false);
// Removes a link made by MakeSymbolicLink, if it is still there, never what
// it leads to (Delete refuses a Unix link under Wine, and a folder link on
// Windows).
void RemoveSymbolicLink(platform::FileSystem& files, const std::string& link, bool folder = false);

// Another program holding a file open and sharing it for nothing, until
// Release or the end of this object.
class HeldFile {
public:
    HeldFile(platform::FileSystem& files, const std::string& path);
    ~HeldFile() { Release(); }
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;
    bool Held() const { return held_; }
    void Release();

private:
    platform::FileSystem& files_;
    std::string path_;
    bool held_ = false;
    uintptr_t handle_ = 0;
};

// A folder that takes no new names, until Lift or the end of this object:
// the simulation's control; under Wine the folder's write permission taken
// away, or, for a user that passes permissions, a read-only mount of it.
class ReadOnlyFolder {
public:
    ReadOnlyFolder(platform::FileSystem& files, const std::string& folder);
    ~ReadOnlyFolder() { Lift(); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
    // False when no way to make it read-only worked here.
    bool Applied() const { return how_ != How::None; }
    void Lift();

private:
    enum class How { None, Sim, Permissions, Mount };
    bool Refuses();

    platform::FileSystem& files_;
    std::string folder_;
    How how_ = How::None;
};

#ifdef _WIN32
std::wstring Wide(std::string_view utf8);
// Under Wine, runs a Unix program with an option and the Unix forms of one
// or two paths and waits for it, as the user's own tools would. False when
// not under Wine, or the program could not be started or did not succeed.
bool RunOnUnix(const char* program, const char* option, const std::string& first,
               const std::string& second = {});
#endif

}  // namespace kp::test
