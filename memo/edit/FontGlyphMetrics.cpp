#include "memo/edit/FontGlyphMetrics.h"

#include "platform/codec/Cp932Codec.h"
#include "platform/textmetrics/TextMetrics.h"

namespace kp::memo {

FontGlyphMetrics::FontGlyphMetrics(const platform::TextMetrics& metrics, const platform::Cp932Codec& codec)
    : metrics_(metrics), codec_(codec), widths_(0x10000, -1)
{
}

void FontGlyphMetrics::Reset()
{
    std::fill(widths_.begin(), widths_.end(), -1);
}

std::u16string FontGlyphMetrics::Glyph(uint16_t code) const
{
    if (code < 0x20 || code == 0x7F) return std::u16string(1, kSubstituteGlyph);
    char bytes[2];
    size_t length = 1;
    if (code > 0xFF) {
        bytes[0] = static_cast<char>(code >> 8);
        bytes[1] = static_cast<char>(code & 0xFF);
        length = 2;
    } else {
        bytes[0] = static_cast<char>(code);
    }
    std::u16string text = codec_.ToUtf16(std::string_view(bytes, length));
    if (text.empty()) text.assign(1, kSubstituteGlyph);
    return text;
}

int FontGlyphMetrics::CharWidth(uint16_t code)
{
    int32_t& width = widths_[code];
    if (width < 0) {
        const std::u16string glyph = Glyph(code);
        width = glyph.size() == 2 ? metrics_.CharWidth(glyph[0], glyph[1]) : metrics_.CharWidth(glyph[0]);
        if (width < 0) width = 0;
    }
    return width;
}

int FontGlyphMetrics::LineHeight() { return metrics_.LineHeight(); }
int FontGlyphMetrics::Ascent() { return metrics_.Ascent(); }
int FontGlyphMetrics::AveCharWidth() { return metrics_.AverageCharWidth(); }

}  // namespace kp::memo
