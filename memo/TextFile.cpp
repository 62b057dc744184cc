#include "memo/TextFile.h"

#include "base/Error.h"

namespace kp::memo {

using platform::FileHandle;
using platform::FileStatus;

namespace {

constexpr std::string_view kCannotOpen = "ﾌｧｲﾙ %s は開けません";
constexpr std::string_view kCannotCreate = "ﾌｧｲﾙ %s を作成できません";
constexpr std::string_view kWriteFailed = "ｽﾄﾘｰﾑへの書き込みに失敗しました";

[[noreturn]] void CannotCreate(std::string_view path)
{
    throw Error(FormatWithArgument(kCannotCreate, path));
}

[[noreturn]] void WriteFailed()
{
    throw Error(std::string(kWriteFailed));
}

// Writes every piece, then flushes; false if any of it fails.
bool WriteAll(platform::FileSystem& files, const FileHandle& file,
              std::span<const std::string_view> pieces)
{
    for (const std::string_view piece : pieces)
        if (!piece.empty() && files.Write(file, piece) != FileStatus::Ok) return false;
    return files.Flush(file) == FileStatus::Ok;
}

// The temporary file of one save: closed and deleted on the way out unless it
// has taken the target's place or must be kept.
class TempFile {
public:
    explicit TempFile(platform::FileSystem& files) : files_(files) {}
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile()
    {
        handle.Close();
        if (!path.empty()) files_.Delete(path);
    }

    void Keep() { path.clear(); }

    std::string path;
    FileHandle handle;

private:
    platform::FileSystem& files_;
};

// Writes the document into a new file beside target and puts it in target's
// place. Messages name path, the document as the user knows it.
void SaveThroughTempFile(platform::FileSystem& files, std::string_view path,
                         std::string_view target, std::span<const std::string_view> pieces)
{
    TempFile temp(files);
    if (files.CreateTempFile(platform::ParentFolder(target), temp.path, temp.handle) !=
        FileStatus::Ok) {
        temp.path.clear();  // nothing was created
        CannotCreate(path);
    }
    if (!WriteAll(files, temp.handle, pieces)) WriteFailed();
    temp.handle.Close();
    if (files.Replace(target, temp.path) != FileStatus::Ok) CannotCreate(path);
    temp.Keep();
}

// Overwrites the file at target with bytes.
bool Overwrite(platform::FileSystem& files, std::string_view target, std::string_view bytes)
{
    FileHandle file;
    if (files.OpenForOverwrite(target, file) != FileStatus::Ok) return false;
    return WriteAll(files, file, std::span<const std::string_view>(&bytes, 1));
}

// Writes the document into the file at target itself, so that its other
// names (hard links) show the new text too. Until that has succeeded, a copy
// of the old bytes waits beside it; a failed write is undone from them.
void SaveKeepingLinks(platform::FileSystem& files, std::string_view path,
                      std::string_view target, std::span<const std::string_view> pieces)
{
    std::string original;
    if (files.ReadAll(target, original) != FileStatus::Ok) CannotCreate(path);
    uint64_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    // The copy and the whole document must fit side by side, without counting
    // on the room truncating frees (a copy-on-write or snapshotted volume may
    // not free it at all). A volume that cannot say how much room it has is
    // not written on.
    uint64_t free = 0;
    if (files.FreeSpace(target, free) != FileStatus::Ok || free < size ||
        free - size < original.size())
        WriteFailed();

    TempFile copy(files);
    if (files.CreateTempFile(platform::ParentFolder(target), copy.path, copy.handle) !=
        FileStatus::Ok) {
        copy.path.clear();  // nothing was created
        CannotCreate(path);
    }
    const std::string_view old = original;
    if (!WriteAll(files, copy.handle, std::span<const std::string_view>(&old, 1)))
        WriteFailed();
    copy.handle.Close();

    FileHandle file;
    if (files.OpenForOverwrite(target, file) != FileStatus::Ok) CannotCreate(path);
    if (WriteAll(files, file, pieces)) return;
    file.Close();
    // Should putting the old bytes back fail as well, the copy is the one
    // place still holding them, and stays.
    if (!Overwrite(files, target, original)) copy.Keep();
    WriteFailed();
}

}  // namespace

TextSnapshot LoadText(platform::FileSystem& files, std::string_view path, TextBuffer::ChunkLimits limits)
{
    FileHandle file;
    uint64_t size = 0;
    if (files.OpenForRead(path, file, size) != FileStatus::Ok)
        throw Error(FormatWithArgument(kCannotOpen, path));
    TextBuffer::Loader loader(size, limits);
    uint64_t total = 0;
    for (;;) {
        const std::span<char> room = loader.Room();
        size_t got = 0;
        if (files.Read(file, room.data(), room.size(), got) != FileStatus::Ok)
            throw Error(FormatWithArgument(kCannotOpen, path));
        if (got == 0) break;
        loader.Commit(got);
        total += got;
    }
    // Ending short of the size it had when opened, the file was cut or
    // rewritten meanwhile: what was read is no state of it to show as the
    // document (saving it would cut the file for good).
    if (total < size) throw Error(FormatWithArgument(kCannotOpen, path));
    return loader.Finish().Snapshot();
}

std::string LoadTextFile(platform::FileSystem& files, std::string_view path)
{
    return LoadText(files, path).Text();
}

void SaveTextFile(platform::FileSystem& files, std::string_view path,
                  std::span<const std::string_view> pieces)
{
    const platform::FileInfo info = files.Query(path);
    if (info.exists && (info.directory || info.readOnly)) CannotCreate(path);
    // A symbolic link stays as it is; the file it leads to is what gets saved.
    std::string target(path);
    if (info.exists && info.symbolicLink && files.ResolveLinks(path, target) != FileStatus::Ok)
        CannotCreate(path);
    if (info.exists && info.hardLinks > 1)
        SaveKeepingLinks(files, path, target, pieces);
    else
        SaveThroughTempFile(files, path, target, pieces);
}

void SaveTextFile(platform::FileSystem& files, std::string_view path, std::string_view text)
{
    SaveTextFile(files, path, std::span<const std::string_view>(&text, 1));
}

}  // namespace kp::memo
