// Painting: the visible display lines only, each glyph at the x the layout
// gave it, the selection in the system's highlight colours (with or without
// focus), and the input method's composition inline at the caret. WM_PAINT
// draws into a memory bitmap first so that nothing flickers.

#include "memo/win32/EditWindow.h"

#include "base/Utf.h"

#include "platform/textmetrics/Win32Font.h"

#include <algorithm>
#include <climits>
#include <string>

namespace kp::memo {

namespace {

// Glyphs of one colour drawn in one call.
struct Run {
    std::wstring text;
    std::vector<INT> dx;
    int64_t left = 0;
    int64_t right = 0;
    bool selected = false;
};

// Positions come from a formatting rectangle a caller may have set anywhere:
// they are computed in 64 bits and clamped when they reach the device.
int Device(int64_t coordinate) { return re::ClampToInt32(coordinate); }

void FillRect(HDC dc, const RECT& rect, COLORREF color)
{
    SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

}  // namespace

// ---- Fonts and colours ---------------------------------------------------------

bool EditWindow::SetFont(const platform::FontSpec& font)
{
    platform::FontSpec scaled = font;
    scaled.pixelHeight = MulDiv(font.pixelHeight, static_cast<int>(dpi_), USER_DEFAULT_SCREEN_DPI);
    if (!textMetrics_.SetFont(scaled)) return false;
    font_ = font;
    CreateFonts(platform::LogFontOf(scaled));
    glyphs_.Reset();
    control_.MetricsChanged();
    caretWidth_ = caretHeight_ = 0;  // a new caret of the new height
    SetImeFont();
    Refresh();
    return true;
}

void EditWindow::CreateFonts(const LOGFONTW& base)
{
    DeleteFonts();
    logFont_ = base;
    for (size_t index = 0; index < fonts_.size(); ++index) {
        LOGFONTW variant = base;
        if (index & 1) variant.lfWeight = FW_BOLD;
        if (index & 2) variant.lfItalic = TRUE;
        fonts_[index] = CreateFontIndirectW(&variant);
    }
}

void EditWindow::DeleteFonts()
{
    for (HFONT& font : fonts_) {
        if (font) DeleteObject(font);
        font = nullptr;
    }
}

HFONT EditWindow::FontFor(uint32_t effects) const
{
    const size_t index = ((effects & re::kCfeBold) ? 1 : 0) | ((effects & re::kCfeItalic) ? 2 : 0);
    return fonts_[index] ? fonts_[index] : fonts_[0];
}

// Decoded once per code; the decoding does not depend on the font.
char16_t EditWindow::GlyphUnit(uint16_t code)
{
    if (code == '\t') return u' ';
    char16_t& unit = glyphUnits_[code];
    if (unit == u'\0') {
        const std::u16string glyph = glyphs_.Glyph(code);
        unit = glyph.size() == 1 ? glyph[0] : kSubstituteGlyph;
    }
    return unit;
}

COLORREF EditWindow::BackgroundColor() const
{
    return control_.UsesSystemBackground() ? GetSysColor(COLOR_WINDOW) : control_.BackgroundColor();
}

// ---- Painting ----------------------------------------------------------------------

void EditWindow::PaintWindow()
{
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(hwnd_, &paint);
    if (!dc) return;
    const int width = std::max(control_.ClientWidth(), 1);
    const int height = std::max(control_.ClientHeight(), 1);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, width, height) : nullptr;
    if (bitmap) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        Paint(memory);
        const RECT& area = paint.rcPaint;
        BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, memory, area.left, area.top,
               SRCCOPY);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    } else {
        Paint(dc);
    }
    if (memory) DeleteDC(memory);
    EndPaint(hwnd_, &paint);
    UpdateScrollBars();  // painting may have met wider lines
}

void EditWindow::Paint(HDC dc)
{
    const RECT client{0, 0, control_.ClientWidth(), control_.ClientHeight()};
    FillRect(dc, client, BackgroundColor());
    const int lineHeight = control_.LineHeight();
    if (lineHeight <= 0 || !fonts_[0]) return;
    const re::Rect rect = control_.FormatRect();
    const int saved = SaveDC(dc);
    // Text stays inside the formatting rectangle; the selection bar left of
    // it keeps the background.
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(dc, FontFor(0));
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetBkMode(dc, OPAQUE);
    const size_t count = control_.LineCount();
    size_t line = control_.FirstVisibleLine();
    for (int64_t y = rect.top; y < rect.bottom && line < count; y += lineHeight, ++line)
        PaintLine(dc, line, static_cast<int>(y));
    RestoreDC(dc, saved);
}

void EditWindow::PaintLine(HDC dc, size_t line, int y)
{
    const Layout& layout = control_.GetLayout();
    const size_t end = layout.DisplayLineEnd(line);
    const re::Rect rect = control_.FormatRect();
    const int64_t left = static_cast<int64_t>(rect.left) - control_.XScroll();
    const int lineHeight = control_.LineHeight();
    const int bottom = Device(static_cast<int64_t>(y) + lineHeight);
    // A memo that hides its selection shows it only while it has the focus.
    const bool showSelection = !hideSelection_ || focused_;
    const size_t selStart = showSelection ? control_.SelStart() : 0;
    const size_t selEnd = showSelection ? control_.SelEnd() : 0;

    // A composition shows at the caret and pushes the rest of the line aside.
    const size_t caret = control_.Caret();
    const bool composing = composition_ && !composition_->text.empty() && control_.CaretLine() == line;
    const int shift = composing ? CompositionX(dc, composition_->text.size()) : 0;

    // Only the stretch of the line inside the rectangle is measured and read.
    const auto lineX = [](int64_t x) { return static_cast<int>(std::clamp<int64_t>(x, INT_MIN, INT_MAX)); };
    const std::vector<Layout::Glyph> glyphs =
        layout.Glyphs(line, lineX(rect.left - left - shift), lineX(rect.right - left));
    const size_t start = glyphs.empty() ? end : glyphs.front().offset;
    const size_t stop = glyphs.empty() ? end : glyphs.back().offset + glyphs.back().length;
    const std::string bytes = control_.Text().Read(start, stop - start);

    Run run;
    auto flush = [&] {
        if (run.text.empty()) return;
        ::SetTextColor(dc, run.selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : TextColor());
        SetBkColor(dc, run.selected ? GetSysColor(COLOR_HIGHLIGHT) : BackgroundColor());
        const RECT box{Device(run.left), y, Device(run.right), bottom};
        ExtTextOutW(dc, box.left, y, ETO_OPAQUE | ETO_CLIPPED, &box, run.text.c_str(),
                    static_cast<UINT>(run.text.size()), run.dx.data());
        run = Run{};
    };
    for (const Layout::Glyph& glyph : glyphs) {
        const int64_t x = left + glyph.x + (composing && glyph.offset >= caret ? shift : 0);
        if (x + glyph.width <= rect.left) continue;
        if (x >= rect.right) break;
        const bool selected = glyph.offset >= selStart && glyph.offset < selEnd;
        if (run.text.empty() || selected != run.selected || x != run.right) {
            flush();
            run.left = run.right = x;
            run.selected = selected;
        }
        const size_t at = glyph.offset - start;
        const auto lead = static_cast<uint8_t>(bytes[at]);
        const uint16_t code = glyph.length == 2 ? static_cast<uint16_t>((lead << 8) | static_cast<uint8_t>(bytes[at + 1]))
                                                : lead;
        run.text += static_cast<wchar_t>(GlyphUnit(code));
        run.dx.push_back(glyph.width);
        run.right = x + glyph.width;
    }
    flush();

    // A selected line break shows as a highlighted cell after the text.
    if (selStart <= end && selEnd > end && layout.DisplayLineNext(line) > end) {
        const int64_t textEnd = left + layout.LineWidth(line) + shift;
        const int width = std::max(2, control_.GetLayout().Metrics().AveCharWidth());
        FillRect(dc, RECT{Device(textEnd), y, Device(textEnd + width), bottom}, GetSysColor(COLOR_HIGHLIGHT));
    }
    if (composing) PaintComposition(dc, left + control_.CaretX(), y);
}

void EditWindow::PaintComposition(HDC dc, int64_t x, int y)
{
    const int lineHeight = control_.LineHeight();
    const auto& colors = control_.ImeColors();
    const std::u16string& text = composition_->text;
    for (const CompositionRun& run : MeasureComposition(dc)) {
        const re::CompColor& color = colors[static_cast<size_t>(run.slot)];
        const RECT box{Device(x + run.x), y, Device(x + run.x + run.width), Device(static_cast<int64_t>(y) + lineHeight)};
        SelectObject(dc, FontFor(color.dwEffects));
        ::SetTextColor(dc, color.crText);
        SetBkColor(dc, color.crBackground);
        ExtTextOutW(dc, box.left, y, ETO_OPAQUE | ETO_CLIPPED, &box,
                    reinterpret_cast<const wchar_t*>(text.c_str() + run.begin), static_cast<UINT>(run.end - run.begin),
                    nullptr);
        if (color.dwEffects & re::kCfeUnderline) {
            // The clause being converted gets a thicker line; a gap keeps clauses apart.
            const int thickness = (run.slot == 1 || run.slot == 3) ? 2 : 1;
            FillRect(dc, RECT{box.left + 1, box.bottom - thickness, box.right - 1, box.bottom}, color.crText);
        }
        if (color.dwEffects & re::kCfeStrikeOut) {
            // Through the middle of the letters' body.
            const int middle = y + control_.GetLayout().Metrics().Ascent() * 5 / 8;
            FillRect(dc, RECT{box.left, middle, box.right, middle + 1}, color.crText);
        }
    }
    SelectObject(dc, FontFor(0));
}

}  // namespace kp::memo
