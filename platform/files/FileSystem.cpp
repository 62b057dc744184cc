#include "platform/files/FileSystem.h"

namespace kp::platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Where the last part of path starts.
size_t LastPartStart(std::string_view path)
{
    size_t at = path.size();
    while (at > 0 && !IsSeparator(path[at - 1])) --at;
    return at;
}

}  // namespace

std::string ParentFolder(std::string_view path)
{
    while (!path.empty() && IsSeparator(path.back())) path.remove_suffix(1);
    size_t end = LastPartStart(path);
    if (end == 0) return {};
    // Keep the separator of a drive's root ("C:\"), drop any other.
    while (end > 1 && IsSeparator(path[end - 1]) && !(end == 3 && path[1] == ':')) --end;
    return std::string(path.substr(0, end));
}

std::string_view FileNameOf(std::string_view path)
{
    return path.substr(LastPartStart(path));
}

std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string out(folder);
    if (!out.empty() && !IsSeparator(out.back())) out += '\\';
    out += name;
    return out;
}

bool FileExists(FileSystem& files, std::string_view path)
{
    const FileInfo info = files.Query(path);
    return info.exists && !info.directory;
}

}  // namespace kp::platform
