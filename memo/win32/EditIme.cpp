// The caret and the input method: a system caret while the window has the
// focus (as wide as the character under it in overwrite mode, hidden while
// outside the view), and inline composition: the window draws the
// composition string itself at the caret in the control's IME colours and
// places the input method's windows beside it.

#include "memo/win32/EditWindow.h"

#include <imm.h>

#include <algorithm>

namespace kp::memo {

namespace {

// The slot of ImeColors() for a composition attribute.
int ColorSlot(uint8_t attribute)
{
    switch (attribute) {
    case ATTR_TARGET_CONVERTED: return 1;
    case ATTR_CONVERTED:
    case ATTR_FIXEDCONVERTED: return 2;
    case ATTR_TARGET_NOTCONVERTED: return 3;
    default: return 0;  // ATTR_INPUT, ATTR_INPUT_ERROR
    }
}

std::u16string CompositionString(HIMC context, DWORD index)
{
    const LONG bytes = ImmGetCompositionStringW(context, index, nullptr, 0);
    if (bytes <= 0) return {};
    std::u16string text(static_cast<size_t>(bytes) / sizeof(char16_t), u'\0');
    ImmGetCompositionStringW(context, index, text.data(), static_cast<DWORD>(bytes));
    return text;
}

std::vector<uint8_t> CompositionAttributes(HIMC context)
{
    const LONG bytes = ImmGetCompositionStringW(context, GCS_COMPATTR, nullptr, 0);
    if (bytes <= 0) return {};
    std::vector<uint8_t> attributes(static_cast<size_t>(bytes));
    ImmGetCompositionStringW(context, GCS_COMPATTR, attributes.data(), static_cast<DWORD>(bytes));
    return attributes;
}

int SystemCaretWidth()
{
    DWORD width = 1;
    SystemParametersInfoW(SPI_GETCARETWIDTH, 0, &width, 0);
    return std::max<int>(1, static_cast<int>(width));
}

}  // namespace

// ---- Caret -------------------------------------------------------------------------

void EditWindow::FocusGained()
{
    focused_ = true;
    caretWidth_ = caretHeight_ = 0;
    UpdateCaret();
    SetImeFont();
    if (hideSelection_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditWindow::FocusLost()
{
    focused_ = false;
    DestroyCaret();
    caretShown_ = false;
    caretWidth_ = caretHeight_ = 0;
    if (hideSelection_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void EditWindow::UpdateCaret()
{
    if (!hwnd_ || !focused_) return;
    const int width = CaretWidth();
    const int height = std::max(control_.LineHeight(), 1);
    if (width != caretWidth_ || height != caretHeight_) {
        DestroyCaret();
        CreateCaret(hwnd_, nullptr, width, height);
        caretWidth_ = width;
        caretHeight_ = height;
        caretShown_ = false;
    }
    const POINT point = CaretPoint();
    SetCaretPos(point.x, point.y);
    const bool visible = InView(point);
    if (visible != caretShown_) {
        if (visible)
            ShowCaret(hwnd_);
        else
            HideCaret(hwnd_);
        caretShown_ = visible;
    }
    if (composition_) PlaceImeWindows();
}

POINT EditWindow::CaretPoint()
{
    // At a wrap point the caret may stand at the upper line's end.
    const re::PointL at = control_.CaretPos();
    POINT point{at.x, at.y};
    if (composition_ && !composition_->text.empty() && hwnd_) {
        HDC dc = GetDC(hwnd_);
        point.x = re::ClampToInt32(static_cast<int64_t>(point.x) + CompositionX(dc, composition_->cursor));
        ReleaseDC(hwnd_, dc);
    }
    return point;
}

// Overwrite mode shows a block over the character typing would replace.
int EditWindow::CaretWidth() const
{
    if (!control_.Overwrite() || composition_) return SystemCaretWidth();
    const Layout& layout = control_.GetLayout();
    const size_t caret = control_.Caret();
    const int x = control_.CaretX();
    for (const Layout::Glyph& glyph : layout.Glyphs(control_.CaretLine(), x, x + 1))
        if (glyph.offset == caret) return std::max(glyph.width, 1);
    return std::max(layout.Metrics().AveCharWidth(), 1);
}

bool EditWindow::InView(POINT point) const
{
    const re::Rect rect = control_.FormatRect();
    return point.y >= rect.top && point.y < rect.bottom && point.x >= rect.left && point.x <= rect.right;
}

// ---- Composition ---------------------------------------------------------------

void EditWindow::SetComposition(Composition composition)
{
    composition.attributes.resize(composition.text.size(), ATTR_INPUT);
    composition.cursor = std::min(composition.cursor, composition.text.size());
    composition_ = std::move(composition);
    Refresh();
}

void EditWindow::EndComposition()
{
    composition_.reset();
    Refresh();
}

std::vector<EditWindow::CompositionRun> EditWindow::MeasureComposition(HDC dc) const
{
    std::vector<CompositionRun> runs;
    if (!composition_) return runs;
    const std::u16string& text = composition_->text;
    const std::vector<uint8_t>& attributes = composition_->attributes;
    HGDIOBJ previous = GetCurrentObject(dc, OBJ_FONT);
    int x = 0;
    for (size_t begin = 0; begin < text.size();) {
        size_t end = begin + 1;
        while (end < text.size() && attributes[end] == attributes[begin]) ++end;
        const int slot = ColorSlot(attributes[begin]);
        SelectObject(dc, FontFor(control_.ImeColors()[static_cast<size_t>(slot)].dwEffects));
        SIZE size{};
        GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.c_str() + begin), static_cast<int>(end - begin),
                              &size);
        runs.push_back(CompositionRun{begin, end, x, static_cast<int>(size.cx), slot});
        x += size.cx;
        begin = end;
    }
    SelectObject(dc, previous);
    return runs;
}

int EditWindow::CompositionX(HDC dc, size_t units) const
{
    if (!composition_ || units == 0) return 0;
    HGDIOBJ previous = GetCurrentObject(dc, OBJ_FONT);
    int x = 0;
    for (const CompositionRun& run : MeasureComposition(dc)) {
        if (units >= run.end) {
            x = run.x + run.width;
            continue;
        }
        SelectObject(dc, FontFor(control_.ImeColors()[static_cast<size_t>(run.slot)].dwEffects));
        SIZE size{};
        GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(composition_->text.c_str() + run.begin),
                              static_cast<int>(units - run.begin), &size);
        x = run.x + size.cx;
        break;
    }
    SelectObject(dc, previous);
    return x;
}

LRESULT EditWindow::ImeComposition(LPARAM changes)
{
    HIMC context = ImmGetContext(hwnd_);
    if (!context) return 0;
    if (changes & GCS_RESULTSTR) {
        const std::u16string result = CompositionString(context, GCS_RESULTSTR);
        composition_.reset();
        input_.Commit(result);
    }
    if (changes & GCS_COMPSTR) {
        Composition composition;
        composition.text = CompositionString(context, GCS_COMPSTR);
        if (changes & GCS_COMPATTR) composition.attributes = CompositionAttributes(context);
        composition.cursor = composition.text.size();
        if (changes & GCS_CURSORPOS)
            composition.cursor = static_cast<size_t>(std::max<LONG>(ImmGetCompositionStringW(context, GCS_CURSORPOS, nullptr, 0), 0));
        SetComposition(std::move(composition));
    } else if (!(changes & GCS_RESULTSTR)) {
        SetComposition(Composition{});  // the composition string was emptied
    } else {
        Refresh();
    }
    ImmReleaseContext(hwnd_, context);
    return 0;
}

void EditWindow::PlaceImeWindows()
{
    if (!hwnd_ || !focused_) return;
    HIMC context = ImmGetContext(hwnd_);
    if (!context) return;
    const re::PointL start = control_.CaretPos();
    COMPOSITIONFORM composition{};
    composition.dwStyle = CFS_POINT;
    composition.ptCurrentPos = POINT{start.x, start.y};
    ImmSetCompositionWindow(context, &composition);
    // The candidate list goes next to the caret, never over its line.
    const POINT caret = CaretPoint();
    CANDIDATEFORM candidate{};
    candidate.dwIndex = 0;
    candidate.dwStyle = CFS_EXCLUDE;
    candidate.ptCurrentPos = caret;
    candidate.rcArea = RECT{caret.x, caret.y, re::ClampToInt32(static_cast<int64_t>(caret.x) + std::max(caretWidth_, 1)),
                            re::ClampToInt32(static_cast<int64_t>(caret.y) + control_.LineHeight())};
    ImmSetCandidateWindow(context, &candidate);
    ImmReleaseContext(hwnd_, context);
}

void EditWindow::SetImeFont()
{
    if (!hwnd_ || !focused_) return;
    HIMC context = ImmGetContext(hwnd_);
    if (!context) return;
    LOGFONTW font = logFont_;
    ImmSetCompositionFontW(context, &font);
    ImmReleaseContext(hwnd_, context);
}

}  // namespace kp::memo
