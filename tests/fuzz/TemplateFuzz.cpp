// Template files: any bytes (CR, LF, CR LF split between reads, 0x1A
// anywhere, NUL, lone lead bytes), read whole, fed to the reader in random
// pieces, and read from a file of up to 64 KB and more through the
// file system in its own chunks, all give the plain reading's text.

#include "app/Templates.h"
#include "memo/TextFile.h"
#include "platform/files/SimFileSystem.h"
#include "tests/fuzz/FuzzSupport.h"

namespace kp::fuzz {
namespace {

constexpr std::string_view kPieces[] = {"\r", "\n", "\r\n", "\x1A", "a", "line", std::string_view("\0", 1),
                                        "\x82", "\x82\xA0", "\r\r", "\n\r"};

void Run(FuzzInput& in)
{
    std::string file = in.Flag() ? in.Bytes(64) : in.Pieces(kPieces, 24);
    // Now and then a large file, so that reads end inside CR LF pairs.
    if (in.Pick(32) == 0) {
        const std::string unit = file.empty() ? std::string("\r") : file;
        while (file.size() < (1 << 16) + unit.size()) file += unit;
        if (in.Flag()) file.erase(file.find('\x1A') == std::string::npos ? file.size() : file.find('\x1A'));
    }
    const std::string expected = ReferenceTemplateText(file);
    const std::string what = "template file " + Escaped(file.substr(0, 64)) + " (" + std::to_string(file.size()) + " bytes)";

    KP_CHECK(app::TemplateText(file) == expected, what + ": whole reading differs");

    app::TemplateReader reader;
    for (size_t at = 0; at < file.size();) {
        const size_t piece = std::min(file.size() - at, in.Pick(9) + 1);
        const bool more = reader.Feed(std::string_view(file).substr(at, piece));
        at += piece;
        if (!more) break;
    }
    KP_CHECK(reader.Take() == expected, what + ": reading in pieces differs");

    platform::SimFileSystem files;
    files.CreateFolder("C:\\p");
    memo::SaveTextFile(files, "C:\\p\\text1.txt", file);
    std::string text;
    KP_CHECK(app::ReadTemplate(files, "C:\\p\\text1.txt", text), what + ": not read");
    KP_CHECK(text == expected, what + ": reading the file differs");
    KP_CHECK(!app::ReadTemplate(files, "C:\\p\\text2.txt", text), "a missing template was read");
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
