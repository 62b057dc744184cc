#include "app/DocumentPaths.h"


namespace kp::app {

namespace {

// Paths are UTF-8 here, where no character's bytes contain '\' or ':' but
// those characters themselves; a path never splits inside a character.
size_t LastSeparator(std::string_view path)
{
    const size_t at = path.find_last_of("\\:");
    return at == std::string_view::npos ? std::string_view::npos : at;
}

}  // namespace

std::string FileNamePart(std::string_view path)
{
    const size_t at = LastSeparator(path);
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string FolderPart(std::string_view path)
{
    const size_t at = LastSeparator(path);
    return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at + 1));
}

std::string BackupPath(std::string_view currentFile)
{
    return FolderPart(currentFile) + "bcp_" + FileNamePart(currentFile);
}

}  // namespace kp::app
