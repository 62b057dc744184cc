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
// has taken the target's place.
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

    void Placed() { path.clear(); }

    std::string path;
    FileHandle handle;

private:
    platform::FileSystem& files_;
};

void SaveThroughTempFile(platform::FileSystem& files, std::string_view path,
                         std::span<const std::string_view> pieces)
{
    TempFile temp(files);
    if (files.CreateTempFile(platform::ParentFolder(path), temp.path, temp.handle) !=
        FileStatus::Ok) {
        temp.path.clear();  // nothing was created
        CannotCreate(path);
    }
    if (!WriteAll(files, temp.handle, pieces)) WriteFailed();
    temp.handle.Close();
    if (files.Replace(path, temp.path) != FileStatus::Ok) CannotCreate(path);
    temp.Placed();
}

void SaveInPlace(platform::FileSystem& files, std::string_view path,
                 std::span<const std::string_view> pieces)
{
    uint64_t size = 0;
    for (const std::string_view piece : pieces) size += piece.size();
    // Once truncated, the old content is gone, so the whole document must fit
    // without counting on the room the old one frees (a copy-on-write or
    // snapshotted volume may not free it at all). A volume that cannot say how
    // much room it has is not written on.
    uint64_t free = 0;
    if (files.FreeSpace(path, free) != FileStatus::Ok || free < size) WriteFailed();
    FileHandle file;
    if (files.OpenForOverwrite(path, file) != FileStatus::Ok) CannotCreate(path);
    if (!WriteAll(files, file, pieces)) WriteFailed();
}

}  // namespace

TextSnapshot LoadText(platform::FileSystem& files, std::string_view path, TextBuffer::ChunkLimits limits)
{
    FileHandle file;
    uint64_t size = 0;
    if (files.OpenForRead(path, file, size) != FileStatus::Ok)
        throw Error(FormatWithArgument(kCannotOpen, path));
    TextBuffer::Loader loader(size, limits);
    for (;;) {
        const std::span<char> room = loader.Room();
        size_t got = 0;
        if (files.Read(file, room.data(), room.size(), got) != FileStatus::Ok)
            throw Error(FormatWithArgument(kCannotOpen, path));
        if (got == 0) break;
        loader.Commit(got);
    }
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
    if (info.exists && info.linked)
        SaveInPlace(files, path, pieces);
    else
        SaveThroughTempFile(files, path, pieces);
}

void SaveTextFile(platform::FileSystem& files, std::string_view path, std::string_view text)
{
    SaveTextFile(files, path, std::span<const std::string_view>(&text, 1));
}

}  // namespace kp::memo
