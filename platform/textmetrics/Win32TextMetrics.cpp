#include "platform/textmetrics/Win32TextMetrics.h"

#include "platform/textmetrics/Win32Font.h"

#include <windows.h>

#include <algorithm>

namespace kp::platform {

namespace {

HDC D(void* dc) { return static_cast<HDC>(dc); }

}  // namespace

Win32TextMetrics::Win32TextMetrics() : dc_(CreateCompatibleDC(nullptr))
{
    if (dc_) initialFont_ = GetCurrentObject(D(dc_), OBJ_FONT);
    SetFont(FontSpec{});
}

Win32TextMetrics::~Win32TextMetrics()
{
    if (!dc_) return;
    SelectObject(D(dc_), static_cast<HGDIOBJ>(initialFont_));
    if (font_) DeleteObject(static_cast<HGDIOBJ>(font_));
    DeleteDC(D(dc_));
}

LOGFONTW LogFontOf(const FontSpec& spec)
{
    LOGFONTW logFont{};
    logFont.lfHeight = -spec.pixelHeight;  // negative: the character height, not the cell's
    logFont.lfWeight = spec.bold ? FW_BOLD : FW_NORMAL;
    logFont.lfItalic = spec.italic ? TRUE : FALSE;
    logFont.lfUnderline = spec.underline ? TRUE : FALSE;
    logFont.lfStrikeOut = spec.strikeOut ? TRUE : FALSE;
    logFont.lfCharSet = spec.charset;
    logFont.lfOutPrecision = OUT_DEFAULT_PRECIS;
    logFont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logFont.lfQuality = DEFAULT_QUALITY;
    logFont.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::u16string face = Utf8ToUtf16(spec.face).substr(0, LF_FACESIZE - 1);
    std::copy(face.begin(), face.end(), logFont.lfFaceName);
    return logFont;
}

bool Win32TextMetrics::SetFont(const FontSpec& spec)
{
    if (!dc_ || !IsUsableFontSpec(spec)) return false;
    const LOGFONTW logFont = LogFontOf(spec);

    HFONT font = CreateFontIndirectW(&logFont);
    if (!font) return false;
    HGDIOBJ previous = SelectObject(D(dc_), font);
    TEXTMETRICW metrics{};
    if (!previous || !GetTextMetricsW(D(dc_), &metrics)) {
        if (previous) SelectObject(D(dc_), previous);
        DeleteObject(font);
        return false;
    }
    if (font_) DeleteObject(static_cast<HGDIOBJ>(font_));
    font_ = font;
    lineHeight_ = metrics.tmHeight;
    ascent_ = metrics.tmAscent;
    averageWidth_ = metrics.tmAveCharWidth;
    for (auto& page : pages_) page.reset();
    supplementary_.clear();
    return true;
}

int Win32TextMetrics::CharWidth(char16_t unit) const
{
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) unit = 0xFFFD;
    std::unique_ptr<Page>& page = pages_[unit >> 8];
    if (!page) {
        page = std::make_unique<Page>();
        const UINT first = unit & 0xFF00u;
        if (!GetCharWidth32W(D(dc_), first, first + 0xFF, page->data())) page->fill(0);
    }
    return (*page)[unit & 0xFF];
}

int Win32TextMetrics::CharWidth(char16_t high, char16_t low) const
{
    if (!IsHighSurrogate(high) || !IsLowSurrogate(low)) return CharWidth(u'\uFFFD');
    const char32_t code = 0x10000 + ((char32_t(high) - 0xD800) << 10) + (char32_t(low) - 0xDC00);
    const auto found = supplementary_.find(code);
    if (found != supplementary_.end()) return found->second;
    const wchar_t pair[2] = {static_cast<wchar_t>(high), static_cast<wchar_t>(low)};
    SIZE size{};
    const int width = GetTextExtentPoint32W(D(dc_), pair, 2, &size) ? size.cx : 0;
    supplementary_.emplace(code, width);
    return width;
}

}  // namespace kp::platform
