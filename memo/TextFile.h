#pragma once
// Loading and saving a document's bytes, never losing any of them.
//
// Saving writes the document into a new file in the target's folder, makes it
// durable, then puts it in the target's place in one step, so that at every
// moment the target's name holds either the old document or the new one,
// complete. When anything fails, the old file is left as it was, the new one
// is deleted, and kp::Error carries the message for the user, naming the
// document (never the temporary file, nor the file a link leads to).
//
// A document reached through a symbolic link is saved the same way at the
// file the link leads to (the new file is made beside that file), so the link
// stays and leads to the new document.
//
// A file with other names (hard links) is written in place instead: putting a
// new file in its place would cut it off from the other names. Before its old
// bytes are overwritten, a copy of them is made beside it; if writing fails,
// they are put back, and only then is the copy deleted. That is done only
// once the volume has room for the copy and the whole document together.

#include "memo/text/TextBuffer.h"
#include "platform/files/FileSystem.h"

#include <span>
#include <string>
#include <string_view>

namespace kp::memo {

// The file's bytes, without any conversion, read straight into the chunks of
// a text: no copy of the whole file is made on the way, and nothing but the
// text is left when it returns. A file that grows while it is read gives the
// bytes read up to its end; one that ends before the size it had when opened
// fails, as a file that cannot be opened does. limits are for tests.
TextSnapshot LoadText(platform::FileSystem& files, std::string_view path,
                      TextBuffer::ChunkLimits limits = {});
// The same bytes in one string.
std::string LoadTextFile(platform::FileSystem& files, std::string_view path);

// Saves the document given as consecutive pieces (a large document is never
// copied into one string).
void SaveTextFile(platform::FileSystem& files, std::string_view path,
                  std::span<const std::string_view> pieces);
void SaveTextFile(platform::FileSystem& files, std::string_view path, std::string_view text);

}  // namespace kp::memo
