// Template documents: the reader of template files and the commands Text1 …
// Text9, which insert template n in place of the selection.

#include "app/Templates.h"

#include "app/MainForm.h"
#include "platform/files/FileSystem.h"

#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

namespace kp::app {

bool TemplateReader::Feed(std::string_view bytes)
{
    if (ended_) return false;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    if (const void* stop = std::memchr(p, '\x1A', bytes.size())) {
        end = static_cast<const char*>(stop);
        ended_ = true;
    }
    while (p != end) {
        if (afterCr_) {
            afterCr_ = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        const void* cr = std::memchr(p, '\r', static_cast<size_t>(end - p));
        const char* run = p;
        p = cr ? static_cast<const char*>(cr) : end;
        if (p != run) {
            if (lineEnded_) text_ += "\r\n";
            lineEnded_ = false;
            text_.append(run, p);
        }
        if (p == end) break;
        // A CR: the line ends here. Its CR LF is written only when another
        // line follows, so the last line of the file gets none.
        if (lineEnded_) text_ += "\r\n";
        lineEnded_ = true;
        afterCr_ = true;
        ++p;
    }
    return !ended_;
}

std::string TemplateText(std::string_view fileBytes)
{
    TemplateReader reader;
    reader.Feed(fileBytes);
    return reader.Take();
}

std::string TemplatePath(std::string_view programFolder, int n)
{
    return std::string(programFolder) + "text" + std::to_string(n) + ".txt";
}

std::string TemplateMissingMessage(int n)
{
    return "テキストファイル \"Text" + std::to_string(n) + ".txt\" が見つかりません。";
}

bool ReadTemplate(platform::FileSystem& files, std::string_view path, std::string& text)
{
    using platform::FileStatus;
    try {
        platform::FileHandle file;
        uint64_t size = 0;
        if (files.OpenForRead(path, file, size) != FileStatus::Ok) return false;
        TemplateReader reader;
        reader.Reserve(size);
        constexpr size_t kChunk = 1 << 16;
        const auto buffer = std::make_unique<char[]>(kChunk);
        for (;;) {
            size_t got = 0;
            if (files.Read(file, buffer.get(), kChunk, got) != FileStatus::Ok) return false;
            if (got == 0 || !reader.Feed(std::string_view(buffer.get(), got))) break;
        }
        text = reader.Take();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
}

// ---- The commands ----------------------------------------------------------------

void TEditForm::ConnectTemplateCommands()
{
    for (int n = 1; n <= kTemplateCount; ++n)
        MenuItem("Text" + std::to_string(n))->OnClick = [this, n] { TemplateClick(n); };
}

// The template takes the selection's place in one edit (one undo step), the
// caret directly after it. A template that cannot be read leaves the memo
// as it was.
void TEditForm::TemplateClick(int n)
{
    std::string text;
    if (!ReadTemplate(services_.files, TemplatePath(services_.programFolder, n), text)) {
        ui::MessageDlg(services_.application.Dialogs(), TemplateMissingMessage(n), ui::DialogKind::Error, ui::mbOK);
        return;
    }
    const size_t start = Memo.SelStart();
    const size_t length = Memo.SelLength();
    if (text.empty() && length == 0) return;
    Memo.ReplaceRange(start, length, text, start + text.size());
}

}  // namespace kp::app
