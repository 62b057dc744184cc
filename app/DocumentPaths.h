#pragma once
// Names derived from a document's path (UTF-8, Windows form): its file name,
// its folder, and the backup copy beside it.

#include <string>
#include <string_view>

namespace kp::app {

// Everything after the last '\' or ':' (all of path when it has neither).
std::string FileNamePart(std::string_view path);
// Everything up to and including the last '\' or ':' (empty when neither).
std::string FolderPart(std::string_view path);
// "bcp_" + the file name, in the document's folder; "bcp_" alone for an
// unnamed document.
std::string BackupPath(std::string_view currentFile);

}  // namespace kp::app
