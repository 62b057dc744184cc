#include "app/TextPrinter.h"

#include "base/Cp932.h"

#include <algorithm>

namespace kp::app {

namespace {
constexpr int kLineGap = 2;
constexpr int kTabColumns = 8;
}  // namespace

void TextPrinter::Begin(const std::string& title, const platform::FontSpec& screenFont, uint32_t rgb)
{
    device_.BeginDoc(title);
    platform::FontSpec font = screenFont;
    const int64_t scaled = (static_cast<int64_t>(screenFont.pixelHeight) * device_.DpiY() + 48) / 96;
    font.pixelHeight = static_cast<int>(std::clamp<int64_t>(scaled, 1, INT32_MAX / 4));
    device_.SetFont(font, rgb);
    widths_.assign(0x10000, -1);
    pageWidth_ = device_.PageWidth();
    pageHeight_ = device_.PageHeight();
    charHeight_ = std::max(device_.CharHeight(), 1);
    tabWidth_ = std::max(device_.AverageCharWidth(), 1) * kTabColumns;
    x_ = y_ = tallest_ = pendingPages_ = 0;
    run_.clear();
}

int TextPrinter::Width(uint16_t code)
{
    int& width = widths_[code];
    if (width < 0) width = std::max(device_.CharWidth(code), 0);
    return width;
}

void TextPrinter::Write(std::string_view bytes)
{
    for (size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<uint8_t>(bytes[at]);
        switch (byte) {
        case '\n': EndLine(); ++at; continue;
        case '\r': ++at; continue;
        case '\t': Tab(); ++at; continue;
        case '\f':
            Flush();
            ++pendingPages_;
            x_ = y_ = tallest_ = 0;
            ++at;
            continue;
        default: break;
        }
        const size_t length = cp932::CharLength(bytes, at);
        const uint16_t code = length == 2 ? static_cast<uint16_t>(byte << 8 | static_cast<uint8_t>(bytes[at + 1]))
                                          : byte;
        PutChar(bytes.substr(at, length), code);
        at += length;
    }
    // The device decodes what it draws: a lead byte ending this piece must
    // not meet the first byte of the next.
    Flush();
}

void TextPrinter::PutChar(std::string_view bytes, uint16_t code)
{
    const int width = Width(code);
    if (x_ > 0 && x_ + width > pageWidth_) EndLine();
    while (pendingPages_ > 0) {
        device_.NewPage();
        --pendingPages_;
    }
    if (run_.empty()) runX_ = x_;
    run_ += bytes;
    x_ += width;
    tallest_ = std::max(tallest_, charHeight_);
}

void TextPrinter::Tab()
{
    Flush();
    const int stop = (x_ / tabWidth_ + 1) * tabWidth_;
    if (stop > pageWidth_)
        EndLine();
    else
        x_ = stop;
}

void TextPrinter::Flush()
{
    if (run_.empty()) return;
    device_.Draw(runX_, y_, run_);
    run_.clear();
}

void TextPrinter::EndLine()
{
    Flush();
    y_ += tallest_ > 0 ? tallest_ + kLineGap : charHeight_;
    x_ = tallest_ = 0;
    if (y_ + 2 * (charHeight_ + kLineGap) > pageHeight_) {
        ++pendingPages_;
        y_ = 0;
    }
}

void TextPrinter::End()
{
    Flush();
    device_.EndDoc();
}

}  // namespace kp::app
