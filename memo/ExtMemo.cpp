#include "memo/ExtMemo.h"

#include "memo/MarkPainter.h"
#include "memo/TextFile.h"
#include "memo/edit/WindowMessages.h"
#include "platform/keyboard/KeyState.h"
#include "platform/syscolors/ColorToRGB.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <array>
#include <utility>
#include <vector>

namespace kp::memo {

namespace {

constexpr uint32_t kMemoEventMask = 0x002C0001;  // change, selection change, resize request, protected

bool IsArrow(uint32_t key)
{
    return key == vk::kLeft || key == vk::kUp || key == vk::kRight || key == vk::kDown;
}

}  // namespace

TExtMemo::TExtMemo(MemoWindowFactory& factory, const platform::KeyState& keys, const platform::SysColors& colors)
    : factory_(factory), keys_(keys), sysColors_(colors)
{
}

TExtMemo::~TExtMemo()
{
    // The drawing surface goes before the window it was taken from.
    Canvas.Release();
    window_.reset();
}

uint32_t TExtMemo::ColorToRgb(TColor color) const
{
    return platform::ColorToRGB(color, sysColors_);
}

EditControl* TExtMemo::Control() const
{
    return window_ ? &window_->Control() : nullptr;
}

intptr_t TExtMemo::Perform(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    return window_ ? window_->Send(message, wParam, lParam) : 0;
}

// ---- Window lifecycle -----------------------------------------------------------

void TExtMemo::CreateWnd()
{
    if (window_) return;
    MemoWindowStyle style;
    style.hideSelection = HideSelection;
    style.wantTabs = WantTabs;
    window_ = factory_.Create(style, [this](uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return WndProc(message, wParam, lParam);
    });
    CreateWindowSteps();
}

void TExtMemo::CreateWindowSteps()
{
    // 1. The control's own creation. Everything that decides where lines
    //    break (wrapping, font, the selection bar and vertical layout, which
    //    change the formatting rectangle) goes in before the document, so
    //    that the document is laid out once, when it is put back. It is put
    //    back before notifications are asked for, so that it raises none
    //    before the drawing surface exists. Then notifications and the
    //    background.
    EditControl& control = window_->Control();
    control.SetWordWrap(wordWrap_);
    window_->SetFont(font_);
    window_->SetTextColor(ColorToRgb(fontColor_));
    control.SetOverwrite(!insertMode_);
    uint32_t options = 0;
    if (lineSelect_) options |= re::kEcoSelectionBar;
    if (vertical_) options |= re::kEcoVertical;
    if (options != 0) Perform(re::kSetOptions, re::kEcoopOr, static_cast<intptr_t>(options));
    RestoreDocument();
    Perform(re::kSetEventMask, 0, kMemoEventMask);
    Perform(re::kSetBkgndColor, 0, static_cast<intptr_t>(ColorToRgb(color_)));

    // 2. The drawing surface.
    Canvas.Bind(window_->GetDC());
    Canvas.penMode = TCanvas::PenMode::Copy;
    Canvas.penWidth = 1;

    // 3. The selection bar and vertical layout went in with step 1; the
    //    modified flag is the one kept.

    // 4. The control's built-in punctuation sets; 5. the edit area.
    ReadPunctuationSets();
    DeriveEditArea();
    if (OnWindowCreated) OnWindowCreated();
}

// The document as the previous window left it (text, modified flag, caret
// and selection, undo history). The view starts where the old one did,
// moved as little as it takes to show the caret's line.
void TExtMemo::RestoreDocument()
{
    EditControl& control = window_->Control();
    control.RestoreState(held_);
    control.ScrollToLine(control.LineFromChar(heldFirstVisible_));
    if (wordWrap_) control.SetXScroll(0);
    control.ScrollCaretIntoView();
    held_ = EditControl::State{};
    heldFirstVisible_ = 0;
}

void TExtMemo::DestroyWnd()
{
    if (!window_) return;
    Canvas.Release();
    const EditControl& control = window_->Control();
    held_ = control.SaveState();
    heldFirstVisible_ = static_cast<size_t>(std::max<int64_t>(
        control.LineIndex(static_cast<int64_t>(control.FirstVisibleLine())), 0));
    window_.reset();
}

void TExtMemo::RecreateWnd()
{
    if (!window_) return;
    DestroyWnd();
    CreateWnd();
}

void TExtMemo::SetLineSelect(bool value)
{
    if (value == lineSelect_) return;
    lineSelect_ = value;
    RecreateWnd();
}

void TExtMemo::SetVertical(bool value)
{
    if (value == vertical_) return;
    vertical_ = value;
    RecreateWnd();
}

void TExtMemo::SetWordWrap(bool value)
{
    if (value == wordWrap_) return;
    wordWrap_ = value;
    RecreateWnd();
}

void TExtMemo::SetFont(const platform::FontSpec& font)
{
    font_ = font;
    if (window_) window_->SetFont(font_);
}

void TExtMemo::SetFontColor(TColor color)
{
    fontColor_ = color;
    if (window_) window_->SetTextColor(ColorToRgb(color));
}

void TExtMemo::SetColor(TColor color)
{
    if (color == color_) return;
    color_ = color;
    Perform(re::kSetBkgndColor, 0, static_cast<intptr_t>(ColorToRgb(color_)));
}

void TExtMemo::SetFocus()
{
    if (window_) window_->SetFocus();
}

void TExtMemo::Repaint()
{
    if (window_) window_->Invalidate();
}

// ---- Message handling ------------------------------------------------------------

intptr_t TExtMemo::WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    switch (message) {
    case wm::kNcPaint:
        ApplyEditArea();
        window_->DefaultProc(message, wParam, lParam);
        return 0;
    case wm::kPaint:
        return HandlePaint(message, wParam, lParam);
    case wm::kCnNotify:
        return HandleNotify(wParam, lParam);
    case wm::kLButtonDown: {
        EraseCaretLine();
        const intptr_t result = window_->DefaultProc(message, wParam, lParam);
        DrawCaretLine();
        return result;
    }
    case wm::kLButtonDblClk:
        EraseCaretLine();
        return window_->DefaultProc(message, wParam, lParam);
    case wm::kKeyDown:
        return HandleKeyDown(wParam, lParam);
    case wm::kChar:
        return HandleChar(wParam, lParam);
    case wm::kContextMenu:
        if (OnContextPopup) {
            OnContextPopup(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
            return 0;
        }
        return window_->DefaultProc(message, wParam, lParam);
    case wm::kMouseMove:
        if (OnMouseMove)
            OnMouseMove(static_cast<int16_t>(lParam & 0xFFFF), static_cast<int16_t>((lParam >> 16) & 0xFFFF));
        return window_->DefaultProc(message, wParam, lParam);
    default:
        return window_->DefaultProc(message, wParam, lParam);
    }
}

void TExtMemo::VisibleRange(size_t& first, size_t& last)
{
    re::Rect rect{};
    Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    re::PointL corner{rect.right, rect.bottom};
    last = static_cast<size_t>(Perform(re::kCharFromPos, 0, reinterpret_cast<intptr_t>(&corner)));
    const intptr_t firstLine = Perform(re::kGetFirstVisibleLine);
    first = static_cast<size_t>(Perform(re::kLineIndex, static_cast<uintptr_t>(firstLine)));
}

intptr_t TExtMemo::HandlePaint(uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    const intptr_t result = window_->DefaultProc(message, wParam, lParam);
    size_t first = 0;
    size_t last = 0;
    VisibleRange(first, last);
    PaintMarks(first, last, false);
    DrawWrapLine();
    // The paint has wiped the underline.
    if (MarkedLine >= 0) MarkedLine = ~MarkedLine;
    DrawCaretLine();
    return result;
}

intptr_t TExtMemo::HandleNotify(uintptr_t wParam, intptr_t lParam)
{
    const intptr_t result = window_->DefaultProc(wm::kCnNotify, wParam, lParam);
    if (wParam != re::kEnSelChange) return result;
    if (OnSelectionChange) OnSelectionChange();
    // A paint already due over the whole window draws the marks for the new
    // selection; drawing them now as well would double the cost of every key
    // on a full screen.
    if (window_ && !window_->WholePaintDue()) {
        size_t first = 0;
        size_t last = 0;
        VisibleRange(first, last);
        PaintMarks(first, last, false);
    }
    DrawWrapLine();
    DrawCaretLine();
    return result;
}

intptr_t TExtMemo::HandleKeyDown(uintptr_t wParam, intptr_t lParam)
{
    const auto key = static_cast<uint32_t>(wParam);
    const bool shift = keys_.IsDown(vk::kShift);
    const bool ctrl = keys_.IsDown(vk::kControl);
    const bool toggles = key == vk::kInsert && !shift && !ctrl;
    if (toggles) insertMode_ = !insertMode_;
    if (IsArrow(key) && shift) EraseCaretLine();  // a selection is starting
    KeyEvent event{key, shift, ctrl, keys_.IsDown(0x12)};
    if (OnKeyDown) OnKeyDown(event);
    const intptr_t result = event.key == 0 ? 0 : window_->DefaultProc(wm::kKeyDown, event.key, lParam);
    // The control follows InsertMode, also when a handler took the key.
    if (toggles && window_) window_->Control().SetOverwrite(!insertMode_);
    return result;
}

// Keeps the marks of trailing blanks right while typing: when the caret
// stands before a run of blanks that reaches the end of its line or of the
// text, their marks are wiped before the character goes in and drawn after.
intptr_t TExtMemo::HandleChar(uintptr_t wParam, intptr_t lParam)
{
    if (wParam == 8) return window_->DefaultProc(wm::kChar, wParam, lParam);
    const EditControl& control = window_->Control();
    const TextBuffer& text = control.Text();
    const size_t length = control.TextLength();  // bytes, as every position here
    const size_t s = control.SelStart();
    auto isLineEnd = [&](size_t at) { return at >= length || text.At(at) == '\r' || text.At(at) == '\n'; };

    if (isLineEnd(s)) {
        PaintMarks(s, s, true);
        const intptr_t result = window_->DefaultProc(wm::kChar, wParam, lParam);
        PaintMarks(s, window_->Control().SelStart(), false);
        DrawWrapLine();
        return result;
    }
    size_t i = s;
    for (;;) {
        const uint8_t c = text.At(i);
        if (c > 0x20 && c != 0x81) break;
        if (c == 0x81) {
            if (text.At(i + 1) != 0x40) break;
            i += 2;  // ideographic space
        } else {
            i += 1;
        }
        if (isLineEnd(i)) {
            PaintMarks(s, i, true);
            const intptr_t result = window_->DefaultProc(wm::kChar, wParam, lParam);
            PaintMarks(s, i + 1, false);
            DrawWrapLine();
            return result;
        }
    }
    return window_->DefaultProc(wm::kChar, wParam, lParam);
}

// ---- Edit area and punctuation sets ------------------------------------------------

namespace {

constexpr int kMinimumLeftMargin96 = 10;  // room for the selection bar

int ClampToInt(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

}  // namespace

int TExtMemo::OverflowCellWidth() const
{
    return window_ ? window_->Control().OverflowCellWidth() : 0;
}

// The formatting rectangle: the text column after the left margin, the
// overflow zone after it, the bottom margin above the client's bottom.
void TExtMemo::ApplyEditArea()
{
    if (!wordWrap_ || vertical_ || !EditArea.Enabled()) return;
    const int dpi = window_ ? window_->Dpi() : 96;
    const int minimum = ClampToInt(static_cast<int64_t>(kMinimumLeftMargin96) * dpi / 96);
    TEditMargin& margin = EditArea.margin_;
    if (lineSelect_ && margin.left_ < minimum) margin.left_ = minimum;
    if (!window_) return;
    re::Rect rect{margin.left_, margin.top_,
                  ClampToInt(static_cast<int64_t>(margin.left_) + EditArea.width_ + EditArea.overFlow_),
                  ClampToInt(static_cast<int64_t>(window_->ClientHeight()) - margin.bottom_)};
    Perform(re::kSetRect, 0, reinterpret_cast<intptr_t>(&rect));
}

// The edit area as the new window lays text out: its rectangle's margins,
// an overflow cell of one full-width square, the rest of the width for text.
void TExtMemo::DeriveEditArea()
{
    if (!window_) return;
    re::Rect rect{};
    Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    TEditMargin& margin = EditArea.margin_;
    margin.left_ = rect.left;
    margin.top_ = rect.top;
    margin.bottom_ = ClampToInt(static_cast<int64_t>(window_->ClientHeight()) - rect.bottom);
    EditArea.overFlow_ = OverflowCellWidth();
    EditArea.width_ = std::max(0, ClampToInt(static_cast<int64_t>(rect.right) - rect.left - EditArea.overFlow_));
}

// The control's built-in sets of both levels, read under each level and the
// control's own mode put back. A set the control does not answer is empty.
void TExtMemo::ReadPunctuationSets()
{
    if (!window_) return;
    EditControl& control = window_->Control();
    control.HoldRules(true);  // the document is laid out at most once, for the mode put back
    const intptr_t saved = Perform(re::kGetWordWrapMode);
    constexpr uint32_t kAllFlags = re::kWbfWordWrap | re::kWbfWordBreak | re::kWbfOverflow;
    const std::pair<uint32_t, std::array<std::string, 4>*> levels[] = {
        {kAllFlags | re::kWbfLevel1, &wordWrapOption_.level1}, {kAllFlags | re::kWbfLevel2, &wordWrapOption_.level2}};
    std::vector<char> buffer(2048);
    for (const auto& [mode, sets] : levels) {
        Perform(re::kSetWordWrapMode, mode);
        for (uint32_t type = re::kPcFollowing; type <= re::kPcDelimiter; ++type) {
            buffer[0] = '\0';
            re::Punctuation query{static_cast<uint32_t>(buffer.size()), buffer.data()};
            const bool answered = Perform(re::kGetPunctuation, type, reinterpret_cast<intptr_t>(&query)) != 0;
            (*sets)[type - 1] = answered ? std::string(buffer.data(), strnlen(buffer.data(), buffer.size())) : "";
        }
    }
    Perform(re::kSetWordWrapMode, static_cast<uintptr_t>(saved));
    control.HoldRules(false);
}

// ---- Option objects ------------------------------------------------------------------

TImeColors& TExtMemo::ImeColors()
{
    if (!loading_) RefreshImeColors();
    return imeColors_;
}

void TExtMemo::SetImeColors(const TImeColors& colors)
{
    if (!imeColors_.SameColors(colors)) imeColors_ = colors;
}

TWordWrapOption& TExtMemo::WordWrapOption()
{
    if (!loading_) wordWrapOption_.modeWord = static_cast<uint32_t>(Perform(re::kGetWordWrapMode));
    return wordWrapOption_;
}

namespace {

constexpr std::pair<TFontStyle, uint32_t> kEffects[] = {
    {fsBold, re::kCfeBold}, {fsItalic, re::kCfeItalic}, {fsUnderline, re::kCfeUnderline}, {fsStrikeOut, re::kCfeStrikeOut}};

}  // namespace

// All four composition states at once, as RGB values with their effects.
void TExtMemo::SendImeColors()
{
    std::array<re::CompColor, re::kImeColorCount> colors{};
    for (size_t i = 0; i < colors.size(); ++i) {
        const TImeColor& state = *imeColors_.States(i);
        uint32_t effects = 0;
        for (const auto& [style, effect] : kEffects)
            if (state.Style() & style) effects |= effect;
        colors[i] = re::CompColor{ColorToRgb(state.icText()), ColorToRgb(state.icBackground()), effects};
    }
    Perform(re::kSetImeColor, 0, reinterpret_cast<intptr_t>(colors.data()));
}

// The control's colours, when it answers; other effect bits are ignored.
void TExtMemo::RefreshImeColors()
{
    std::array<re::CompColor, re::kImeColorCount> colors{};
    if (Perform(re::kGetImeColor, 0, reinterpret_cast<intptr_t>(colors.data())) == 0) return;
    for (size_t i = 0; i < colors.size(); ++i) {
        TImeColor& state = *imeColors_.States(i);
        TFontStyles style = 0;
        for (const auto& [fontStyle, effect] : kEffects)
            if (colors[i].dwEffects & effect) style |= fontStyle;
        state.text_ = colors[i].crText & 0x00FFFFFF;
        state.background_ = colors[i].crBackground & 0x00FFFFFF;
        state.style_ = style;
    }
}

// The custom sets go in under the custom rule, then the object's own mode
// word. A set the control refuses is cleared. Without a window there is no
// control to refuse anything: the sets stay as they are.
void TExtMemo::SendWordWrapOption()
{
    if (!window_) return;
    constexpr uint32_t kCustomWithAllWrapFlags = re::kWbfCustom | re::kWbfWordWrap | re::kWbfWordBreak | re::kWbfOverflow;
    Perform(re::kSetWordWrapMode, kCustomWithAllWrapFlags);
    for (uint32_t type = re::kPcFollowing; type <= re::kPcDelimiter; ++type) {
        std::string& set = wordWrapOption_.custom[type - 1];
        re::Punctuation punctuation{static_cast<uint32_t>(set.size() + 1), set.data()};
        if (Perform(re::kSetPunctuation, type, reinterpret_cast<intptr_t>(&punctuation)) == 0) set.clear();
    }
    Perform(re::kSetWordWrapMode, wordWrapOption_.modeWord);
}

// ---- Marks and markers -----------------------------------------------------------------

namespace {

re::Rect Intersect(const re::Rect& a, const re::Rect& b)
{
    return re::Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
}

}  // namespace

MarkColors TExtMemo::ColorsOf(const TEditMark& mark, bool erase) const
{
    const uint32_t background = ColorToRgb(color_);
    if (erase) return {background, background};
    if (mark.Reversed) return {ColorToRgb(mark.Color), background};
    return {background, ColorToRgb(mark.Color)};
}

// The marks of [from, to]: the end of the text when `to` reaches it, then
// each blank, control character and line end of the range outside the
// selection, taking positions from one walk of each display line. Drawing
// (not erasing) a pass that walked fills the bands outside the formatting
// rectangle with the background.
void TExtMemo::PaintMarks(size_t from, size_t to, bool erase)
{
    if (vertical_ || !window_ || !Canvas.Bound()) return;
    EditControl& control = window_->Control();
    const Layout& layout = control.GetLayout();
    const TextBuffer& text = control.Text();
    const int size = OverflowCellWidth() - 2;
    re::Rect rect{};
    Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    const re::Rect client{0, 0, window_->ClientWidth(), window_->ClientHeight()};
    const re::Rect bounds = Intersect(rect, client);
    const auto length = static_cast<int64_t>(control.TextLength());
    const size_t selStart = control.SelStart();
    const size_t selEnd = control.SelEnd();
    const bool hasSel = selEnd > selStart;
    int64_t last = static_cast<int64_t>(std::min<size_t>(to, static_cast<size_t>(INT64_MAX)));
    MarkBatch batch;

    if (length <= last) {
        if (EditMarks.Eot.Enabled && (!hasSel || static_cast<size_t>(length) > selEnd)) {
            const re::PointL pt = control.PosFromChar(static_cast<size_t>(length));
            if (pt.x < rect.right)
                PaintMark(batch, MarkKind::EndOfText, MarkCell{pt.x, pt.y, 0, size, bounds},
                          ColorsOf(EditMarks.Eot, erase), erase);
        }
        last = length - 1;
    }
    const TEditMarks& marks = EditMarks;
    const bool walks = last >= 0 && (marks.CrLf.Enabled || marks.Ctrl.Enabled || marks.DSp.Enabled ||
                                     marks.SSp.Enabled || marks.Tab.Enabled);
    if (walks && static_cast<int64_t>(from) <= last) {
        const auto inRange = [&](size_t offset) {
            return offset >= from && static_cast<int64_t>(offset) <= last &&
                   !(hasSel && offset >= selStart && offset < selEnd);
        };
        const int lineHeight = std::max(control.LineHeight(), 1);
        const auto firstVisible = static_cast<int64_t>(control.FirstVisibleLine());
        const size_t lastLine = control.LineFromChar(static_cast<size_t>(last));
        for (size_t line = control.LineFromChar(from); line <= lastLine; ++line) {
            const int64_t y = rect.top + (static_cast<int64_t>(line) - firstVisible) * lineHeight;
            if (y >= bounds.bottom) break;
            if (y + lineHeight <= bounds.top) continue;
            const int x0 = rect.left - control.XScroll();
            // Only the glyphs near the bounds can carry a visible mark.
            const int margin = std::max(size, 0) + lineHeight;
            for (const Layout::Glyph& glyph : layout.Glyphs(line, bounds.left - x0 - margin, bounds.right - x0 + margin)) {
                if (!inRange(glyph.offset)) continue;
                const MarkCell cell{x0 + glyph.x, static_cast<int>(y), glyph.width, size, bounds};
                const uint8_t c = text.At(glyph.offset);
                if (glyph.length == 2) {
                    if (c == 0x81 && text.At(glyph.offset + 1) == 0x40 && marks.DSp.Enabled)
                        PaintMark(batch, MarkKind::IdeographicSpace, cell, ColorsOf(marks.DSp, erase), erase);
                } else if (c == '\t') {
                    if (marks.Tab.Enabled) PaintMark(batch, MarkKind::Tab, cell, ColorsOf(marks.Tab, erase), erase);
                } else if (c == ' ') {
                    if (marks.SSp.Enabled) PaintMark(batch, MarkKind::Space, cell, ColorsOf(marks.SSp, erase), erase);
                } else if (c < 0x20 && marks.Ctrl.Enabled) {
                    PaintMark(batch, MarkKind::Control, cell, ColorsOf(marks.Ctrl, erase), erase,
                              static_cast<char>(c + 0x40), &font_);
                }
            }
            // The line break after the display line's characters, if any.
            const size_t end = layout.DisplayLineEnd(line);
            if (marks.CrLf.Enabled && layout.DisplayLineNext(line) > end && inRange(end)) {
                const MarkKind kind = text.At(end) == '\n' ? MarkKind::LoneLf : MarkKind::LineEnd;
                PaintMark(batch, kind, MarkCell{x0 + layout.LineWidth(line), static_cast<int>(y), 0, size, bounds},
                          ColorsOf(marks.CrLf, erase), erase);
            }
        }
    }
    if (walks && !erase) {
        const uint32_t background = ColorToRgb(color_);
        batch.Fill({client.left, client.top, rect.left, client.bottom}, background);
        batch.Fill({client.left, client.top, client.right, rect.top}, background);
        batch.Fill({client.left, rect.bottom, client.right, client.bottom}, background);
        batch.Fill({rect.right, client.top, client.right, client.bottom}, background);
    }
    if (batch.Empty()) return;
    CanvasDevice& device = *Canvas.Device();
    CanvasPass pass(&device);
    device.HideCaret();
    batch.Draw(device);
    device.ShowCaret();
}

// A vertical line at the wrap width, over the whole client height.
void TExtMemo::DrawWrapLine()
{
    if (vertical_ || !wordWrap_ || !WordWrapMarker.Enabled || !EditArea.Enabled() || !window_ || !Canvas.Bound())
        return;
    const int64_t x = static_cast<int64_t>(EditArea.Margin().Left()) + EditArea.Width() + (EditArea.OverFlow() > 0);
    const int height = window_->ClientHeight();
    if (x < 0 || x >= window_->ClientWidth() || height <= 0) return;
    CanvasDevice& device = *Canvas.Device();
    CanvasPass pass(&device);
    const auto column = static_cast<int32_t>(x);
    device.Polylines({{column, 0}, {column, height - 1}}, {2}, ColorToRgb(WordWrapMarker.Color));
}

// The underline of a display line, one full-width square below its top,
// from the rectangle's left to the wrap width.
void TExtMemo::DrawUnderline(int32_t line, TColor color)
{
    re::Rect rect{};
    Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    const intptr_t start = Perform(re::kLineIndex, static_cast<uintptr_t>(line));
    re::PointL pt{};
    Perform(re::kPosFromChar, reinterpret_cast<uintptr_t>(&pt), start);
    const int64_t y = static_cast<int64_t>(pt.y) + OverflowCellWidth();
    const int64_t right = std::min<int64_t>(static_cast<int64_t>(EditArea.Margin().Left()) + EditArea.Width(),
                                            window_->ClientWidth() - 1);
    if (y < 0 || y >= window_->ClientHeight() || right < rect.left) return;
    CanvasDevice& device = *Canvas.Device();
    CanvasPass pass(&device);
    device.HideCaret();
    device.Polylines({{rect.left, static_cast<int32_t>(y)}, {static_cast<int32_t>(right), static_cast<int32_t>(y)}},
                     {2}, ColorToRgb(color));
    device.ShowCaret();
}

int32_t TExtMemo::LastVisibleLine()
{
    re::Rect rect{};
    Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
    re::PointL corner{rect.left, rect.bottom};
    const intptr_t bottom = Perform(re::kCharFromPos, 0, reinterpret_cast<intptr_t>(&corner));
    return static_cast<int32_t>(Perform(re::kExLineFromChar, 0, bottom));
}

// The caret's display line is underlined when nothing is selected: with the
// focus where the caret is shown (at a wrap point, the line it stands on),
// without it the line underlined last.
void TExtMemo::DrawCaretLine()
{
    if (vertical_ || !wordWrap_ || !CaretMarker.Enabled || !EditArea.Enabled() || !window_ || !Canvas.Bound()) return;
    if (SelLength() > 0) return;
    const bool focused = window_->Focused();
    auto line = static_cast<int32_t>(focused ? Perform(re::kExLineFromChar, 0, static_cast<intptr_t>(SelStart()))
                                             : (MarkedLine >= 0 ? MarkedLine : ~MarkedLine));
    const auto first = static_cast<int32_t>(Perform(re::kGetFirstVisibleLine));
    if (line < first || line > LastVisibleLine()) return;
    if (focused) {
        const re::PointL caret = window_->CaretPos();
        re::PointL pt{};
        Perform(re::kPosFromChar, reinterpret_cast<uintptr_t>(&pt), static_cast<intptr_t>(SelStart()));
        if (line == first && pt.x != caret.x) return;
        re::Rect rect{};
        Perform(re::kGetRect, 0, reinterpret_cast<intptr_t>(&rect));
        re::PointL at{rect.left, caret.y};
        const intptr_t shown = Perform(re::kCharFromPos, 0, reinterpret_cast<intptr_t>(&at));
        line = static_cast<int32_t>(Perform(re::kExLineFromChar, 0, shown));
        if (line == MarkedLine) return;
    }
    if (MarkedLine >= 0) EraseCaretLine();
    MarkedLine = line;
    DrawUnderline(line, CaretMarker.Color);
}

void TExtMemo::EraseCaretLine()
{
    if (vertical_ || !window_ || !Canvas.Bound()) return;
    const int32_t old = MarkedLine;
    if (old >= 0) MarkedLine = ~old;
    if (SelLength() > 0 || old < 0) return;
    if (old < static_cast<int32_t>(Perform(re::kGetFirstVisibleLine)) || old > LastVisibleLine()) return;
    DrawUnderline(old, color_);
    DrawWrapLine();
}

// ---- Operations ----------------------------------------------------------------------

int TExtMemo::CaretLine()
{
    return static_cast<int>(Perform(re::kExLineFromChar, 0, static_cast<intptr_t>(SelStart())));
}

int TExtMemo::CaretColumn()
{
    return static_cast<int>(SelStart()) -
           static_cast<int>(Perform(re::kLineIndex, static_cast<uintptr_t>(CaretLine())));
}

void TExtMemo::SelectAll()
{
    if (!vertical_ && wordWrap_ && CaretMarker.Enabled) EraseCaretLine();
    re::CharRange all{0, -1};
    Perform(re::kExSetSel, 0, reinterpret_cast<intptr_t>(&all));
}

void TExtMemo::Undo()
{
    Perform(re::kUndo, 0, 0);
}

std::string TExtMemo::Text() const
{
    return window_ ? window_->Control().GetText() : held_.text.Text();
}

// A whole-text replacement is one edit: the modified flag is set when the
// text changes, and the caret goes to the start. With a window it is one
// undoable step; without one there is no history to add it to, and what was
// held of the old text's history goes with it.
void TExtMemo::SetText(std::string_view bytes) { SetText(TextBuffer(bytes).Snapshot()); }

void TExtMemo::SetText(const TextSnapshot& text)
{
    if (window_) {
        window_->Control().ReplaceAll(text, 0);
        return;
    }
    if (text == held_.text) {
        held_.anchor = held_.caret = 0;
        return;
    }
    HoldText(text, true);
}

void TExtMemo::HoldText(const TextSnapshot& text, bool modified)
{
    held_ = EditControl::State{};
    held_.text = text;
    held_.modified = modified;
    heldFirstVisible_ = 0;
}

TextSnapshot TExtMemo::Snapshot() const
{
    return window_ ? window_->Control().Snapshot() : held_.text;
}

size_t TExtMemo::TextLength() const
{
    return window_ ? window_->Control().TextLength() : held_.text.Length();
}

size_t TExtMemo::SelStart() const
{
    return window_ ? window_->Control().SelStart() : 0;
}

void TExtMemo::SetSelStart(size_t offset)
{
    const auto at = static_cast<int64_t>(offset);
    if (window_) window_->Control().SetSel(at, at);
}

size_t TExtMemo::SelLength() const
{
    return window_ ? window_->Control().SelLength() : 0;
}

void TExtMemo::SetSelLength(size_t length)
{
    if (!window_) return;
    EditControl& control = window_->Control();
    const auto start = static_cast<int64_t>(control.SelStart());
    control.SetSel(start, start + static_cast<int64_t>(length));
}

std::string TExtMemo::SelText() const
{
    return window_ ? window_->Control().SelText() : std::string();
}

void TExtMemo::SetSelText(std::string_view bytes)
{
    if (window_) window_->Control().ReplaceSel(bytes);
}

bool TExtMemo::Modified() const
{
    return window_ ? window_->Control().Modified() : held_.modified;
}

void TExtMemo::SetModified(bool modified)
{
    if (window_) window_->Control().SetModified(modified);
    else held_.modified = modified;
}

void TExtMemo::Clear()
{
    SetText("");
}

void TExtMemo::ClearSelection()
{
    if (window_) window_->Control().DeleteSelection();
}

void TExtMemo::CopyToClipboard()
{
    if (window_) window_->Control().Copy();
}

void TExtMemo::CutToClipboard()
{
    if (window_) window_->Control().Cut();
}

void TExtMemo::PasteFromClipboard()
{
    if (window_) window_->Control().Paste();
}

int64_t TExtMemo::FindText(std::string_view pattern, int64_t start, int64_t length, uint32_t flags)
{
    const std::string zeroTerminated(pattern);
    re::FindText find{{static_cast<int32_t>(start), length < 0 ? -1 : static_cast<int32_t>(start + length)},
                      zeroTerminated.c_str()};
    if (!window_) return -1;
    return static_cast<int64_t>(Perform(re::kFindText, flags, reinterpret_cast<intptr_t>(&find)));
}

size_t TExtMemo::LineCount() const
{
    return window_ ? window_->Control().LineCount() : 0;
}

std::string TExtMemo::Line(size_t index) const
{
    return window_ ? window_->Control().LineText(index) : std::string();
}

void TExtMemo::DeleteLine(size_t index)
{
    if (window_) window_->Control().DeleteLine(index);
}

void TExtMemo::ReplaceRange(size_t offset, size_t count, std::string_view bytes, size_t caret)
{
    if (window_) window_->Control().ReplaceRange(offset, count, bytes, caret);
}

void TExtMemo::Crop(size_t offset, size_t count)
{
    if (window_) window_->Control().Crop(offset, count);
}

void TExtMemo::MapCase(CaseMapping mapping, size_t offset, size_t count, size_t caret)
{
    if (window_) window_->Control().MapCase(mapping, offset, count, caret);
}

void TExtMemo::LoadFromFile(platform::FileSystem& files, std::string_view path)
{
    const TextSnapshot text = LoadText(files, path);
    if (!window_) {
        HoldText(text, false);
        return;
    }
    window_->Control().SetText(text);
}

void TExtMemo::SaveToFile(platform::FileSystem& files, std::string_view path) const
{
    // The pieces stay valid while the text is not edited, which saving does not do.
    const TextBuffer heldText(held_.text);
    const TextBuffer& text = window_ ? window_->Control().Text() : heldText;
    std::vector<std::string_view> pieces;
    text.Visit(0, text.Length(), [&](std::string_view piece) {
        pieces.push_back(piece);
        return true;
    });
    SaveTextFile(files, path, pieces);
}

}  // namespace kp::memo
