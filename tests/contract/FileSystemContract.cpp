// What loading and saving documents rely on from the file system, checked
// against every implementation: the real one under Wine and the simulation.

#include "tests/contract/FileSystemContract.h"

#include "memo/TextFile.h"
#include "platform/files/SimFileSystem.h"

#include <algorithm>
#include <cstdio>
#include <random>
#include <utility>

#ifdef _WIN32
#include "base/Utf.h"

#include <windows.h>
#endif

namespace kp::test {

using platform::FileHandle;
using platform::FileInfo;
using platform::FileStatus;
using platform::FileSystem;
using platform::JoinPath;

std::string UniqueScratchName()
{
    static std::mt19937 random{std::random_device{}()};
    char name[32];
    std::snprintf(name, sizeof name, "kp-files-%08X", static_cast<unsigned>(random()));
    return name;
}

void RemoveTree(FileSystem& files, const std::string& folder)
{
    std::vector<std::string> names;
    if (files.ListFolder(folder, names) != FileStatus::Ok) return;
    for (const std::string& name : names) {
        const std::string path = JoinPath(folder, name);
        files.SetReadOnly(path, false);
        // A link goes by Delete without touching what it leads to.
        if (files.Delete(path) != FileStatus::Ok) RemoveTree(files, path);
    }
    files.RemoveFolder(folder);
}

void FileSystemContract::SetUp()
{
    under = GetParam().make();
    files = under->files.get();
    folder = under->scratch;
    RemoveTree(*files, folder);
    ASSERT_EQ(files->CreateFolder(folder), FileStatus::Ok) << folder;
}

void FileSystemContract::TearDown()
{
    if (files) RemoveTree(*files, folder);
}

namespace {

// Writes a file the way a save does: a temporary file put in place.
void Put(FileSystem& files, const std::string& path, std::string_view bytes)
{
    std::string temp;
    FileHandle file;
    ASSERT_EQ(files.CreateTempFile(platform::ParentFolder(path), temp, file), FileStatus::Ok);
    ASSERT_EQ(files.Write(file, bytes), FileStatus::Ok);
    ASSERT_EQ(files.Flush(file), FileStatus::Ok);
    file.Close();
    ASSERT_EQ(files.Replace(path, temp), FileStatus::Ok) << path;
}

std::string Read(FileSystem& files, const std::string& path)
{
    std::string bytes;
    EXPECT_EQ(files.ReadAll(path, bytes), FileStatus::Ok) << path;
    return bytes;
}

std::vector<std::string> Listed(FileSystem& files, const std::string& folder)
{
    std::vector<std::string> names;
    EXPECT_EQ(files.ListFolder(folder, names), FileStatus::Ok) << folder;
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

#ifdef _WIN32
std::wstring Wide(std::string_view utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

bool RunOnUnix(const char* program, const char* option, const std::string& first, const std::string& second)
{
    using Spawn = LONG(CDECL*)(char* const argv[], int wait);
    using UnixName = char*(CDECL*)(LPCWSTR);
    const FARPROC spawnProc = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "__wine_unix_spawnvp");
    const FARPROC nameProc =
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    if (!spawnProc || !nameProc) return false;
    const auto spawn = reinterpret_cast<Spawn>(reinterpret_cast<void (*)()>(spawnProc));
    const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void (*)()>(nameProc));
    std::vector<char*> owned;
    for (const std::string* path : {&first, &second})
        if (!path->empty()) owned.push_back(unixName(Wide(*path).c_str()));
    bool ran = std::find(owned.begin(), owned.end(), nullptr) == owned.end();
    if (ran) {
        std::vector<char*> argv{const_cast<char*>(program), const_cast<char*>(option)};
        argv.insert(argv.end(), owned.begin(), owned.end());
        argv.push_back(nullptr);
        ran = spawn(argv.data(), 1) == 0;
    }
    for (char* name : owned) HeapFree(GetProcessHeap(), 0, name);
    return ran;
}
#endif

bool MakeSymbolicLink(FileSystem& files, const std::string& link, const std::string& target, bool folder)
{
    if (auto* sim = dynamic_cast<platform::SimFileSystem*>(&files))
        return sim->MakeSymbolicLink(link, target) == FileStatus::Ok;
#ifdef _WIN32
    if (RunOnUnix("/bin/ln", "-s", target, link)) return true;
    constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
    const DWORD flags = kUnprivileged | (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
    return CreateSymbolicLinkW(Wide(link).c_str(), Wide(target).c_str(), flags) != 0;
#else
    (void)folder;
    return false;
#endif
}

void RemoveSymbolicLink(FileSystem& files, const std::string& link, bool folder)
{
    if (dynamic_cast<platform::SimFileSystem*>(&files)) {
        files.Delete(link);
        return;
    }
#ifdef _WIN32
    if (RunOnUnix("/bin/rm", "-f", link)) return;
    const std::wstring wide = Wide(link);
    if (folder)
        RemoveDirectoryW(wide.c_str());
    else
        DeleteFileW(wide.c_str());
#else
    (void)folder;
#endif
}

HeldFile::HeldFile(FileSystem& files, const std::string& path) : files_(files), path_(path)
{
    if (auto* sim = dynamic_cast<platform::SimFileSystem*>(&files)) {
        sim->HoldOpen(path, true);
        held_ = true;
        return;
    }
#ifdef _WIN32
    const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    held_ = handle != INVALID_HANDLE_VALUE;
    handle_ = reinterpret_cast<uintptr_t>(handle);
#endif
}

void HeldFile::Release()
{
    if (!std::exchange(held_, false)) return;
    if (auto* sim = dynamic_cast<platform::SimFileSystem*>(&files_)) {
        sim->HoldOpen(path_, false);
        return;
    }
#ifdef _WIN32
    ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
#endif
}

ReadOnlyFolder::ReadOnlyFolder(FileSystem& files, const std::string& folder) : files_(files), folder_(folder)
{
    if (auto* sim = dynamic_cast<platform::SimFileSystem*>(&files)) {
        sim->SetFolderReadOnly(folder, true);
        how_ = How::Sim;
        return;
    }
#ifdef _WIN32
    // Write permission taken away stops a user; a privileged one passes
    // it, and only a read-only mount stops it.
    if (RunOnUnix("/bin/chmod", "a-w", folder)) {
        how_ = How::Permissions;
        if (Refuses()) return;
        Lift();
    }
    if (RunOnUnix("/bin/mount", "--bind", folder, folder)) {
        how_ = How::Mount;
        if (RunOnUnix("/bin/mount", "-oremount,bind,ro", folder) && Refuses()) return;
        Lift();
    }
#endif
}

// Whether a new file in the folder is refused (one that is made anyway goes
// again at once).
bool ReadOnlyFolder::Refuses()
{
    std::string temp;
    FileHandle file;
    if (files_.CreateTempFile(folder_, temp, file) != FileStatus::Ok) return true;
    file.Close();
    files_.Delete(temp);
    return false;
}

void ReadOnlyFolder::Lift()
{
    switch (std::exchange(how_, How::None)) {
    case How::None: break;
    case How::Sim: static_cast<platform::SimFileSystem&>(files_).SetFolderReadOnly(folder_, false); break;
#ifdef _WIN32
    case How::Permissions: RunOnUnix("/bin/chmod", "u+w", folder_); break;
    case How::Mount: RunOnUnix("/bin/umount", "-l", folder_); break;
#else
    default: break;
#endif
    }
}

TEST_P(FileSystemContract, EveryByteValueRoundTrips)
{
    std::string bytes;
    for (int high = 0; high < 256; ++high) {
        for (int low = 0; low < 256; ++low) {
            bytes += static_cast<char>(high);
            bytes += static_cast<char>(low);
        }
    }
    bytes += "\r\n\r\r\n\n\x1A";
    std::string temp;
    FileHandle file;
    ASSERT_EQ(files->CreateTempFile(folder, temp, file), FileStatus::Ok);
    for (size_t at = 0; at < bytes.size(); at += 4093)
        ASSERT_EQ(files->Write(file, std::string_view(bytes).substr(at, 4093)), FileStatus::Ok);
    ASSERT_EQ(files->Flush(file), FileStatus::Ok);
    file.Close();
    ASSERT_EQ(files->Replace(In("all.bin"), temp), FileStatus::Ok);
    EXPECT_TRUE(Read(*files, In("all.bin")) == bytes);
    EXPECT_EQ(files->Query(In("all.bin")).size, bytes.size());

    Put(*files, In("empty.txt"), "");
    EXPECT_EQ(Read(*files, In("empty.txt")), "");
    EXPECT_TRUE(platform::FileExists(*files, In("empty.txt")));
}

TEST_P(FileSystemContract, LargeFilesTakeOneWriteAndOneRead)
{
    std::string bytes((100u << 20) + 7, '\0');
    for (size_t i = 0; i < bytes.size(); i += 997) bytes[i] = static_cast<char>(i >> 10);
    bytes.back() = '$';
    Put(*files, In("large.bin"), bytes);
    EXPECT_EQ(files->Query(In("large.bin")).size, bytes.size());
    EXPECT_TRUE(Read(*files, In("large.bin")) == bytes);
}

TEST_P(FileSystemContract, ReadingInPiecesGivesTheBytesInOrderThenNothing)
{
    std::string bytes(300000, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919) >> 3);
    Put(*files, In("pieces.bin"), bytes);
    FileHandle file;
    uint64_t size = 0;
    ASSERT_EQ(files->OpenForRead(In("PIECES.bin"), file, size), FileStatus::Ok);
    EXPECT_EQ(size, bytes.size());
    std::string read;
    const size_t capacities[] = {1, 2, 4093, 65536, 1, 200000};
    std::vector<char> buffer(200000);
    for (size_t i = 0;; ++i) {
        const size_t capacity = capacities[i % std::size(capacities)];
        size_t got = capacity + 1;
        ASSERT_EQ(files->Read(file, buffer.data(), capacity, got), FileStatus::Ok);
        ASSERT_LE(got, capacity);
        if (got == 0) break;
        read.append(buffer.data(), got);
        ASSERT_LT(read.size(), bytes.size() + 1);
    }
    EXPECT_TRUE(read == bytes);
    char more[8];
    size_t got = 1;
    EXPECT_EQ(files->Read(file, more, sizeof more, got), FileStatus::Ok);
    EXPECT_EQ(got, 0u);
    file.Close();
    EXPECT_EQ(files->Delete(In("pieces.bin")), FileStatus::Ok);  // nothing holds it open

    Put(*files, In("empty.txt"), "");
    ASSERT_EQ(files->OpenForRead(In("empty.txt"), file, size), FileStatus::Ok);
    EXPECT_EQ(size, 0u);
    got = 1;
    EXPECT_EQ(files->Read(file, more, sizeof more, got), FileStatus::Ok);
    EXPECT_EQ(got, 0u);
    file.Close();

    FileHandle none;
    EXPECT_EQ(files->OpenForRead(In("none.txt"), none, size), FileStatus::NotFound);
    EXPECT_EQ(files->OpenForRead(In("no folder\\none.txt"), none, size), FileStatus::NotFound);
    EXPECT_NE(files->OpenForRead(folder, none, size), FileStatus::Ok);
    EXPECT_FALSE(none.IsOpen());
}

TEST_P(FileSystemContract, MissingFilesAndFoldersAreNotFound)
{
    std::string bytes;
    EXPECT_EQ(files->ReadAll(In("none.txt"), bytes), FileStatus::NotFound);
    EXPECT_EQ(files->ReadAll(In("no folder\\none.txt"), bytes), FileStatus::NotFound);
    EXPECT_FALSE(files->Query(In("none.txt")).exists);
    EXPECT_FALSE(files->Query(In("no folder\\none.txt")).exists);
    FileHandle file;
    EXPECT_EQ(files->OpenForOverwrite(In("none.txt"), file), FileStatus::NotFound);
    EXPECT_FALSE(file.IsOpen());
    std::string temp;
    EXPECT_EQ(files->CreateTempFile(In("no folder"), temp, file), FileStatus::NotFound);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(files->Delete(In("none.txt")), FileStatus::NotFound);
    EXPECT_EQ(files->Replace(In("a.txt"), In("none.txt")), FileStatus::NotFound);
    std::vector<std::string> names;
    EXPECT_EQ(files->ListFolder(In("no folder"), names), FileStatus::NotFound);
    EXPECT_TRUE(Listed(*files, folder).empty());
}

TEST_P(FileSystemContract, QueryDescribesFilesAndFolders)
{
    Put(*files, In("a.txt"), "12345");
    const FileInfo file = files->Query(In("a.txt"));
    EXPECT_TRUE(file.exists);
    EXPECT_FALSE(file.directory);
    EXPECT_FALSE(file.readOnly);
    EXPECT_FALSE(file.symbolicLink);
    EXPECT_EQ(file.hardLinks, 1u);
    EXPECT_EQ(file.size, 5u);
    EXPECT_EQ(files->Query(In("A.TXT")).size, 5u);  // names match without regard to case

    const FileInfo self = files->Query(folder);
    EXPECT_TRUE(self.exists);
    EXPECT_TRUE(self.directory);
    EXPECT_FALSE(platform::FileExists(*files, folder));
    std::string bytes;
    EXPECT_NE(files->ReadAll(folder, bytes), FileStatus::Ok);

    uint64_t free = 0;
    EXPECT_EQ(files->FreeSpace(In("a.txt"), free), FileStatus::Ok);
    EXPECT_GT(free, 0u);
    free = 0;
    EXPECT_EQ(files->FreeSpace(In("not yet.txt"), free), FileStatus::Ok);
    EXPECT_GT(free, 0u);
}

TEST_P(FileSystemContract, AReadOnlyFileRefusesOverwritingReplacingAndDeleting)
{
    const std::string path = In("ro.txt");
    Put(*files, path, "kept");
    ASSERT_EQ(files->SetReadOnly(path, true), FileStatus::Ok);
    EXPECT_TRUE(files->Query(path).readOnly);

    FileHandle file;
    EXPECT_EQ(files->OpenForOverwrite(path, file), FileStatus::AccessDenied);
    EXPECT_FALSE(file.IsOpen());
    std::string temp;
    ASSERT_EQ(files->CreateTempFile(folder, temp, file), FileStatus::Ok);
    ASSERT_EQ(files->Write(file, "new"), FileStatus::Ok);
    file.Close();
    EXPECT_EQ(files->Replace(path, temp), FileStatus::AccessDenied);
    EXPECT_EQ(files->Delete(path), FileStatus::AccessDenied);
    EXPECT_EQ(Read(*files, path), "kept");
    EXPECT_EQ(Read(*files, temp), "new");

    ASSERT_EQ(files->SetReadOnly(path, false), FileStatus::Ok);
    EXPECT_EQ(files->Replace(path, temp), FileStatus::Ok);
    EXPECT_EQ(Read(*files, path), "new");
}

TEST_P(FileSystemContract, ReplaceGivesTheTargetsNameTheReplacementsContent)
{
    Put(*files, In("Doc.txt"), "old");
    std::string temp;
    FileHandle file;
    ASSERT_EQ(files->CreateTempFile(folder, temp, file), FileStatus::Ok);
    ASSERT_EQ(files->Write(file, "new"), FileStatus::Ok);
    file.Close();
    ASSERT_EQ(files->Replace(In("Doc.txt"), temp), FileStatus::Ok);
    EXPECT_EQ(Read(*files, In("Doc.txt")), "new");
    EXPECT_FALSE(platform::FileExists(*files, temp));
    EXPECT_EQ(Listed(*files, folder), std::vector<std::string>{"Doc.txt"});

    // With no file of that name yet, the replacement is renamed into place.
    Put(*files, In("fresh.txt"), "first");
    EXPECT_EQ(Read(*files, In("fresh.txt")), "first");
    EXPECT_EQ(Listed(*files, folder), (std::vector<std::string>{"Doc.txt", "fresh.txt"}));
}

TEST_P(FileSystemContract, TempFilesAreNewEmptyAndInTheGivenFolder)
{
    std::string first, second;
    FileHandle a, b;
    ASSERT_EQ(files->CreateTempFile(folder, first, a), FileStatus::Ok);
    ASSERT_EQ(files->CreateTempFile(folder, second, b), FileStatus::Ok);
    EXPECT_NE(first, second);
    EXPECT_EQ(platform::ParentFolder(first), folder);
    EXPECT_EQ(files->Query(first).size, 0u);
    EXPECT_EQ(Listed(*files, folder).size(), 2u);

    // A file still open is neither deleted nor renamed.
    EXPECT_NE(files->Delete(first), FileStatus::Ok);
    EXPECT_NE(files->Replace(In("x.txt"), first), FileStatus::Ok);
    a.Close();
    EXPECT_EQ(files->Delete(first), FileStatus::Ok);
    EXPECT_EQ(Listed(*files, folder),
              std::vector<std::string>{std::string(platform::FileNameOf(second))});
}

TEST_P(FileSystemContract, OverwritingWritesThroughEveryHardLink)
{
    Put(*files, In("a.txt"), "the original, longer content");
    ASSERT_EQ(files->MakeHardLink(In("a.txt"), In("b.txt")), FileStatus::Ok);
    EXPECT_EQ(files->Query(In("a.txt")).hardLinks, 2u);
    EXPECT_EQ(files->Query(In("b.txt")).hardLinks, 2u);
    EXPECT_FALSE(files->Query(In("b.txt")).symbolicLink);

    FileHandle file;
    ASSERT_EQ(files->OpenForOverwrite(In("b.txt"), file), FileStatus::Ok);
    EXPECT_EQ(files->Query(In("a.txt")).size, 0u);
    ASSERT_EQ(files->Write(file, "new"), FileStatus::Ok);
    ASSERT_EQ(files->Flush(file), FileStatus::Ok);
    file.Close();
    EXPECT_EQ(Read(*files, In("a.txt")), "new");
    EXPECT_EQ(Read(*files, In("b.txt")), "new");

    ASSERT_EQ(files->Delete(In("b.txt")), FileStatus::Ok);
    EXPECT_EQ(files->Query(In("a.txt")).hardLinks, 1u);
    EXPECT_EQ(Read(*files, In("a.txt")), "new");
}

TEST_P(FileSystemContract, JapaneseNamesRoundTrip)
{
    const std::string sub = In("文書 ﾃｽﾄ");
    ASSERT_EQ(files->CreateFolder(sub), FileStatus::Ok);
    const std::string path = JoinPath(sub, "表①～.txt");
    Put(*files, path, "\x95\x5C\x82\xA0");
    EXPECT_EQ(Read(*files, path), "\x95\x5C\x82\xA0");
    EXPECT_FALSE(files->Query(path).symbolicLink);
    EXPECT_EQ(files->Query(path).hardLinks, 1u);
    EXPECT_EQ(Listed(*files, sub), std::vector<std::string>{"表①～.txt"});
    EXPECT_EQ(Listed(*files, folder), std::vector<std::string>{"文書 ﾃｽﾄ"});
}

TEST_P(FileSystemContract, FoldersAreCreatedAndOnlyRemovedWhenEmpty)
{
    const std::string sub = In("sub");
    ASSERT_EQ(files->CreateFolder(sub), FileStatus::Ok);
    EXPECT_NE(files->CreateFolder(sub), FileStatus::Ok);
    EXPECT_EQ(files->CreateFolder(In("x\\y")), FileStatus::NotFound);
    Put(*files, JoinPath(sub, "f.txt"), "x");
    EXPECT_NE(files->RemoveFolder(sub), FileStatus::Ok);
    EXPECT_EQ(files->Delete(sub), FileStatus::AccessDenied);
    ASSERT_EQ(files->Delete(JoinPath(sub, "f.txt")), FileStatus::Ok);
    EXPECT_EQ(files->RemoveFolder(sub), FileStatus::Ok);
    EXPECT_FALSE(files->Query(sub).exists);
}

// Resolving is how a save finds the file to replace, so a plain name must
// come back as the same file, spelt as the file system keeps it.
TEST_P(FileSystemContract, ResolvingAPlainNameGivesTheSameFile)
{
    Put(*files, In("Plain.txt"), "plain");
    std::string resolved;
    ASSERT_EQ(files->ResolveLinks(In("PLAIN.txt"), resolved), FileStatus::Ok);
    EXPECT_EQ(platform::FileNameOf(resolved), "Plain.txt");
    EXPECT_EQ(Read(*files, resolved), "plain");
    std::string resolvedFolder;
    ASSERT_EQ(files->ResolveLinks(folder, resolvedFolder), FileStatus::Ok);
    EXPECT_EQ(platform::ParentFolder(resolved), resolvedFolder);
    std::string again;
    ASSERT_EQ(files->ResolveLinks(resolved, again), FileStatus::Ok);
    EXPECT_EQ(again, resolved);

    EXPECT_EQ(files->ResolveLinks(In("none.txt"), resolved), FileStatus::NotFound);
    EXPECT_EQ(files->ResolveLinks(In("no folder\\none.txt"), resolved), FileStatus::NotFound);
}

TEST_P(FileSystemContract, ASymbolicLinkIsToldApartAndResolvedToItsFile)
{
    ASSERT_EQ(files->CreateFolder(In("real")), FileStatus::Ok);
    const std::string target = In("real\\Target.txt");
    Put(*files, target, "through the link");
    if (!MakeSymbolicLink(*files, In("link.txt"), target))
        GTEST_SKIP() << "this user may not make symbolic links here";

    const FileInfo link = files->Query(In("link.txt"));
    EXPECT_TRUE(link.exists);
    EXPECT_FALSE(link.directory);
    EXPECT_TRUE(link.symbolicLink);
    EXPECT_EQ(link.hardLinks, 1u);
    EXPECT_EQ(link.size, 16u);
    EXPECT_FALSE(files->Query(target).symbolicLink);
    EXPECT_EQ(Read(*files, In("link.txt")), "through the link");

    std::string resolved, direct;
    ASSERT_EQ(files->ResolveLinks(In("link.txt"), resolved), FileStatus::Ok);
    ASSERT_EQ(files->ResolveLinks(In("REAL\\target.TXT"), direct), FileStatus::Ok);
    EXPECT_EQ(resolved, direct);
    EXPECT_EQ(platform::FileNameOf(resolved), "Target.txt");
    EXPECT_FALSE(files->Query(resolved).symbolicLink);

    // The file's other names show through the link.
    ASSERT_EQ(files->MakeHardLink(target, In("real\\second.txt")), FileStatus::Ok);
    EXPECT_EQ(files->Query(In("link.txt")).hardLinks, 2u);
    EXPECT_TRUE(files->Query(In("link.txt")).symbolicLink);
    ASSERT_EQ(files->Delete(In("real\\second.txt")), FileStatus::Ok);

    // Replacing the file the link resolves to leaves the link leading to the
    // new file, and nothing else in either folder.
    Put(*files, resolved, "new");
    EXPECT_EQ(Read(*files, In("link.txt")), "new");
    EXPECT_TRUE(files->Query(In("link.txt")).symbolicLink);
    EXPECT_EQ(Listed(*files, folder), (std::vector<std::string>{"link.txt", "real"}));
    EXPECT_EQ(Listed(*files, In("real")), std::vector<std::string>{"Target.txt"});

    // Deleting the link (which Wine refuses) never deletes what it leads to.
    files->Delete(In("link.txt"));
    EXPECT_EQ(Read(*files, target), "new");
    RemoveSymbolicLink(*files, In("link.txt"));
    EXPECT_EQ(Listed(*files, folder), std::vector<std::string>{"real"});
}

TEST_P(FileSystemContract, AFolderLinkIsFollowedOnTheWay)
{
    ASSERT_EQ(files->CreateFolder(In("real")), FileStatus::Ok);
    Put(*files, In("real\\doc.txt"), "inside");
    if (!MakeSymbolicLink(*files, In("via"), In("real"), true))
        GTEST_SKIP() << "this user may not make symbolic links here";
    const FileInfo info = files->Query(In("via\\doc.txt"));
    EXPECT_TRUE(info.exists);
    EXPECT_FALSE(info.symbolicLink);  // the name itself is the file's own
    std::string resolved, direct;
    ASSERT_EQ(files->ResolveLinks(In("via\\doc.txt"), resolved), FileStatus::Ok);
    ASSERT_EQ(files->ResolveLinks(In("real\\doc.txt"), direct), FileStatus::Ok);
    EXPECT_EQ(resolved, direct);
    RemoveSymbolicLink(*files, In("via"), true);
    EXPECT_EQ(Read(*files, In("real\\doc.txt")), "inside");
}

TEST_P(FileSystemContract, ALinkThatLeadsNowhereIsNotAFile)
{
    if (!MakeSymbolicLink(*files, In("dangling.txt"), In("gone.txt")))
        GTEST_SKIP() << "this user may not make symbolic links here";
    EXPECT_FALSE(files->Query(In("dangling.txt")).exists);
    std::string text;
    EXPECT_EQ(files->ReadAll(In("dangling.txt"), text), FileStatus::NotFound);
    EXPECT_EQ(files->ResolveLinks(In("dangling.txt"), text), FileStatus::NotFound);
    RemoveSymbolicLink(*files, In("dangling.txt"));
}

// A save through either kind of link, on every file system: the links and
// the other names stay, and all of them show the new document.
TEST_P(FileSystemContract, SavingThroughLinksKeepsThem)
{
    ASSERT_EQ(files->CreateFolder(In("real")), FileStatus::Ok);
    const std::string doc = In("real\\doc.txt");
    Put(*files, doc, "old");
    ASSERT_EQ(files->MakeHardLink(doc, In("second.txt")), FileStatus::Ok);
    memo::SaveTextFile(*files, In("second.txt"), "saved by its second name");
    EXPECT_EQ(Read(*files, doc), "saved by its second name");
    EXPECT_EQ(files->Query(In("second.txt")).hardLinks, 2u);
    EXPECT_EQ(Listed(*files, In("real")), std::vector<std::string>{"doc.txt"});

    if (!MakeSymbolicLink(*files, In("link.txt"), doc))
        GTEST_SKIP() << "this user may not make symbolic links here";
    memo::SaveTextFile(*files, In("link.txt"), "saved through the link");
    EXPECT_EQ(Read(*files, doc), "saved through the link");
    EXPECT_EQ(Read(*files, In("second.txt")), "saved through the link");
    EXPECT_TRUE(files->Query(In("link.txt")).symbolicLink);

    ASSERT_EQ(files->Delete(In("second.txt")), FileStatus::Ok);
    memo::SaveTextFile(*files, In("link.txt"), "its only name");
    EXPECT_EQ(Read(*files, doc), "its only name");
    EXPECT_TRUE(files->Query(In("link.txt")).symbolicLink);
    EXPECT_EQ(Listed(*files, folder), (std::vector<std::string>{"link.txt", "real"}));
    EXPECT_EQ(Listed(*files, In("real")), std::vector<std::string>{"doc.txt"});
    RemoveSymbolicLink(*files, In("link.txt"));
}

}  // namespace kp::test

namespace kp::test {

TEST_P(FileSystemContract, WriteTimesAreSetAndReadBackForFilesAndFolders)
{
    // 2020-02-29 12:34:56 and 1999-12-31 23:59:58 (whole seconds: every file
    // system keeps those).
    constexpr uint64_t kLeapDay = 132274772960000000u;
    constexpr uint64_t kOldYear = 125910719980000000u;
    Put(*files, In("a.txt"), "abc");
    ASSERT_EQ(files->CreateFolder(In("sub")), FileStatus::Ok);
    for (const auto& [name, time] : {std::pair{"a.txt", kLeapDay}, std::pair{"sub", kOldYear}}) {
        ASSERT_EQ(files->SetLastWriteTime(In(name), time), FileStatus::Ok) << name;
        EXPECT_EQ(files->Query(In(name)).lastWriteTime, time) << name;
    }
    EXPECT_EQ(Read(*files, In("a.txt")), "abc");
    EXPECT_EQ(files->SetLastWriteTime(In("missing.txt"), kLeapDay), FileStatus::NotFound);
}

TEST_P(FileSystemContract, TheHiddenAttributeComesAndGoes)
{
    Put(*files, In("h.txt"), "x");
    ASSERT_EQ(files->CreateFolder(In("hf")), FileStatus::Ok);
    for (const char* name : {"h.txt", "hf"}) {
        EXPECT_FALSE(files->Query(In(name)).hidden) << name;
        ASSERT_EQ(files->SetHidden(In(name), true), FileStatus::Ok) << name;
        EXPECT_TRUE(files->Query(In(name)).hidden) << name;
        EXPECT_EQ(Listed(*files, folder).size(), 2u) << "hidden names are still listed";
    }
    ASSERT_EQ(files->SetHidden(In("h.txt"), false), FileStatus::Ok);
    EXPECT_FALSE(files->Query(In("h.txt")).hidden);
    EXPECT_EQ(files->SetHidden(In("missing"), true), FileStatus::NotFound);
}

TEST_P(FileSystemContract, RenameMovesNamesAndRefusesExistingOnes)
{
    Put(*files, In("one.txt"), "1");
    Put(*files, In("two.txt"), "22");
    ASSERT_EQ(files->CreateFolder(In("dir")), FileStatus::Ok);
    Put(*files, In("dir\\inner.txt"), "in");

    ASSERT_EQ(files->Rename(In("one.txt"), In("表ソ.txt")), FileStatus::Ok);
    EXPECT_EQ(Read(*files, In("表ソ.txt")), "1");
    EXPECT_FALSE(files->Query(In("one.txt")).exists);

    // An existing name is refused and both files keep their bytes.
    EXPECT_EQ(files->Rename(In("表ソ.txt"), In("two.txt")), FileStatus::Failed);
    EXPECT_EQ(Read(*files, In("表ソ.txt")), "1");
    EXPECT_EQ(Read(*files, In("two.txt")), "22");

    // A change of case alone goes through and shows in the listing.
    ASSERT_EQ(files->Rename(In("two.txt"), In("TWO.txt")), FileStatus::Ok);
    EXPECT_EQ(Listed(*files, folder), (std::vector<std::string>{"TWO.txt", "dir", "表ソ.txt"}));

    // A folder takes what it holds along.
    ASSERT_EQ(files->Rename(In("dir"), In("moved")), FileStatus::Ok);
    EXPECT_EQ(Read(*files, In("moved\\inner.txt")), "in");

    EXPECT_EQ(files->Rename(In("missing.txt"), In("x.txt")), FileStatus::NotFound);
    EXPECT_EQ(files->Rename(In("TWO.txt"), In("nowhere\\x.txt")), FileStatus::NotFound);
    EXPECT_EQ(Read(*files, In("TWO.txt")), "22");
}

// Names match without regard to the case of Latin-1, Greek, Cyrillic and
// full-width letters too, as they are added, renamed, replaced and removed
// among many others.
TEST_P(FileSystemContract, NamesMatchWithoutRegardToCaseAsTheyComeAndGo)
{
    for (int i = 0; i < 300; ++i) ASSERT_EQ(files->CreateFolder(In("f" + std::to_string(i))), FileStatus::Ok);
    const struct {
        const char* name;
        const char* otherCase;
    } kNames[] = {{"Äpfel.txt", "äPFEL.TXT"}, {"ωmega.txt", "ΩMEGA.txt"}, {"Жук.txt", "жУК.txt"},
                  {"ａｂｃ.txt", "ＡＢＣ.txt"}, {"plain.txt", "PLAIN.txt"}};
    for (const auto& n : kNames) Put(*files, In(n.name), n.name);
    for (const auto& n : kNames) {
        SCOPED_TRACE(n.name);
        EXPECT_EQ(Read(*files, In(n.otherCase)), n.name);
        EXPECT_TRUE(files->Query(In(std::string("F299\\..\\") + n.otherCase)).exists);
        // A save under the other case keeps one file, under the name it had.
        Put(*files, In(n.otherCase), "saved");
        EXPECT_EQ(Read(*files, In(n.name)), "saved");
        EXPECT_EQ(files->CreateFolder(In(n.otherCase)), FileStatus::Failed);
    }
    EXPECT_EQ(Listed(*files, folder).size(), 305u);

    // A change of case alone: found under both spellings, listed under the new.
    ASSERT_EQ(files->Rename(In("Äpfel.txt"), In("äPFEL.TXT")), FileStatus::Ok);
    EXPECT_EQ(Read(*files, In("Äpfel.txt")), "saved");
    std::vector<std::string> names = Listed(*files, folder);
    EXPECT_EQ(std::count(names.begin(), names.end(), "äPFEL.TXT"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Äpfel.txt"), 0);

    // Gone under every spelling once deleted; the name is free again.
    ASSERT_EQ(files->Delete(In("ΩMEGA.TXT")), FileStatus::Ok);
    EXPECT_FALSE(files->Query(In("ωmega.txt")).exists);
    ASSERT_EQ(files->CreateFolder(In("ΩMEGA.TXT")), FileStatus::Ok);
    EXPECT_TRUE(files->Query(In("ωmega.txt")).directory);
    ASSERT_EQ(files->RemoveFolder(In("F150")), FileStatus::Ok);
    EXPECT_FALSE(files->Query(In("f150")).exists);
    EXPECT_TRUE(files->Query(In("F151")).exists);
}

}  // namespace kp::test

namespace kp::test {

// Another program holding the document open and sharing it for nothing:
// questions about it are answered, everything else waits until it lets go.
TEST_P(FileSystemContract, AFileHeldOpenWithoutSharingIsLeftAlone)
{
    const std::string doc = In("held.txt");
    Put(*files, doc, "kept");
    HeldFile held(*files, doc);
    ASSERT_TRUE(held.Held());
    EXPECT_TRUE(files->Query(doc).exists);
    std::string bytes;
    EXPECT_NE(files->ReadAll(doc, bytes), FileStatus::Ok);
    FileHandle file;
    uint64_t size = 0;
    EXPECT_NE(files->OpenForRead(doc, file, size), FileStatus::Ok);
    EXPECT_NE(files->OpenForOverwrite(doc, file), FileStatus::Ok);
    EXPECT_FALSE(file.IsOpen());
    std::string temp;
    ASSERT_EQ(files->CreateTempFile(folder, temp, file), FileStatus::Ok);
    ASSERT_EQ(files->Write(file, "new"), FileStatus::Ok);
    file.Close();
    EXPECT_NE(files->Replace(doc, temp), FileStatus::Ok);
    EXPECT_NE(files->Delete(doc), FileStatus::Ok);
    EXPECT_NE(files->Rename(doc, In("moved.txt")), FileStatus::Ok);
    held.Release();
    EXPECT_EQ(Read(*files, doc), "kept");
    EXPECT_EQ(files->Replace(doc, temp), FileStatus::Ok);
    EXPECT_EQ(Read(*files, doc), "new");
}

// A folder that takes no new names: its files read, but nothing is made,
// put in place, renamed or deleted there.
TEST_P(FileSystemContract, AReadOnlyFolderTakesNoNewNames)
{
    const std::string inner = In("ro");
    ASSERT_EQ(files->CreateFolder(inner), FileStatus::Ok);
    const std::string doc = JoinPath(inner, "doc.txt");
    Put(*files, doc, "kept");
    std::string outside;
    FileHandle file;
    ASSERT_EQ(files->CreateTempFile(folder, outside, file), FileStatus::Ok);
    file.Close();
    ReadOnlyFolder readOnly(*files, inner);
    if (!readOnly.Applied()) GTEST_SKIP() << "no way to make a read-only folder here";
    std::string temp;
    EXPECT_NE(files->CreateTempFile(inner, temp, file), FileStatus::Ok);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_NE(files->Replace(doc, outside), FileStatus::Ok);
    EXPECT_NE(files->Replace(JoinPath(inner, "new.txt"), outside), FileStatus::Ok);
    EXPECT_NE(files->Delete(doc), FileStatus::Ok);
    EXPECT_NE(files->Rename(doc, JoinPath(inner, "moved.txt")), FileStatus::Ok);
    EXPECT_NE(files->CreateFolder(JoinPath(inner, "sub")), FileStatus::Ok);
    EXPECT_EQ(Read(*files, doc), "kept");
    EXPECT_EQ(Listed(*files, inner), std::vector<std::string>{"doc.txt"});
    readOnly.Lift();
    EXPECT_EQ(files->Replace(doc, outside), FileStatus::Ok);
    EXPECT_EQ(Read(*files, doc), "");
}

// A name past 255 units names nothing; one of 255 is a file like any other.
// Device names name no file in any folder: reading one is refused rather
// than giving nothing or waiting for input.
TEST_P(FileSystemContract, OverlongNamesAndDevicesAreNoDocuments)
{
    const std::string longest = In(std::string(251, 'n') + ".txt");
    Put(*files, longest, "fits");
    EXPECT_EQ(Read(*files, longest), "fits");
    EXPECT_EQ(files->Delete(longest), FileStatus::Ok);

    const std::string overlong = In(std::string(252, 'n') + ".txt");
    std::string temp;
    FileHandle file;
    ASSERT_EQ(files->CreateTempFile(folder, temp, file), FileStatus::Ok);
    file.Close();
    EXPECT_NE(files->Replace(overlong, temp), FileStatus::Ok);
    EXPECT_FALSE(files->Query(overlong).exists);
    std::string bytes;
    EXPECT_NE(files->ReadAll(overlong, bytes), FileStatus::Ok);
    EXPECT_EQ(files->Delete(temp), FileStatus::Ok);

    for (const std::string& device : {In("NUL"), In("con"), In("nul.txt"), std::string("\\\\.\\NUL")}) {
        SCOPED_TRACE(device);
        EXPECT_NE(files->ReadAll(device, bytes), FileStatus::Ok);
        uint64_t size = 0;
        EXPECT_NE(files->OpenForRead(device, file, size), FileStatus::Ok);
        EXPECT_FALSE(file.IsOpen());
    }
    EXPECT_TRUE(Listed(*files, folder).empty());
}

}  // namespace kp::test
