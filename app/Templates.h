#pragma once
// Template documents: nine snippets, each a plain-text file beside the
// program ("text1.txt" … "text9.txt"), inserted at the caret by the commands
// Text1 … Text9.
//
// A template file is read as lines: a line ends at a CR, and a LF directly
// after that CR belongs to the line end; a LF without a CR is an ordinary
// character. A byte 1A (Ctrl+Z) ends the file. The template text is the lines
// joined by CR LF, with nothing after the last line. CR, LF and 1A are never
// trail bytes in code page 932, so the reading is byte-wise and every other
// byte (a NUL, a lone lead byte) is kept as it is.

#include <cstdint>
#include <string>
#include <string_view>

namespace kp::platform {
class FileSystem;
}

namespace kp::app {

inline constexpr int kTemplateCount = 9;

// Turns a template file's bytes into the template text, fed in pieces as
// they are read.
class TemplateReader {
public:
    // Takes the next bytes of the file; false once the file has ended at a
    // 1A byte (whatever comes later is not wanted).
    bool Feed(std::string_view bytes);
    // Room for a text of about this many bytes (a file's size).
    void Reserve(uint64_t bytes) { text_.reserve(static_cast<size_t>(bytes)); }
    // The template text of everything fed.
    std::string Take() { return std::move(text_); }

private:
    std::string text_;
    bool lineEnded_ = false;  // a line end is owed before the next character
    bool afterCr_ = false;    // the last byte was a CR: a LF now belongs to it
    bool ended_ = false;
};

// The template text of a whole file's bytes.
std::string TemplateText(std::string_view fileBytes);

// "text<n>.txt" in programFolder (which ends with '\').
std::string TemplatePath(std::string_view programFolder, int n);

// The error shown when template n cannot be read.
std::string TemplateMissingMessage(int n);

// Reads template file path into text; false when the file cannot be opened
// or read, or its text does not fit in memory.
bool ReadTemplate(platform::FileSystem& files, std::string_view path, std::string& text);

}  // namespace kp::app
