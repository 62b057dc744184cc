#include "memo/win32/EditWindow.h"

#include "memo/edit/WindowMessages.h"

#include "base/Cp932.h"
#include "base/Error.h"
#include "base/Utf.h"
#include "memo/edit/RichEditMessages.h"

#include <richedit.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>

namespace kp::memo {

// The model speaks the platform's numbers and structure layouts.
static_assert(re::kEnChange == EN_CHANGE && re::kEnSelChange == EN_SELCHANGE);
static_assert(re::kGetSel == EM_GETSEL && re::kSetSel == EM_SETSEL);
static_assert(re::kExGetSel == EM_EXGETSEL && re::kExSetSel == EM_EXSETSEL);
static_assert(re::kGetImeColor == EM_GETIMECOLOR && re::kSetEventMask == EM_SETEVENTMASK);
static_assert(sizeof(re::CharRange) == sizeof(CHARRANGE) && sizeof(re::Rect) == sizeof(RECT));
static_assert(sizeof(re::PointL) == sizeof(POINTL) && sizeof(re::CompColor) == sizeof(COMPCOLOR));
static_assert(sizeof(re::FindText) == sizeof(FINDTEXTA) && sizeof(re::TextRange) == sizeof(TEXTRANGEA));

namespace {

// Every edit and rich-edit message the model answers.
constexpr UINT kModelMessages[] = {
    re::kGetSel, re::kSetSel, re::kGetRect, re::kSetRect, re::kSetRectNp, re::kScrollCaret,
    re::kGetModify, re::kSetModify, re::kGetLineCount, re::kLineIndex, re::kLineLength,
    re::kReplaceSel, re::kCanUndo, re::kUndo, re::kLineFromChar, re::kEmptyUndoBuffer,
    re::kGetFirstVisibleLine, re::kSetReadOnly, re::kPosFromChar, re::kCharFromPos,
    re::kExGetSel, re::kExLimitText, re::kExLineFromChar, re::kExSetSel, re::kFindText,
    re::kGetEventMask, re::kGetSelText, re::kSetBkgndColor, re::kSetEventMask, re::kGetTextRange,
    re::kSetOptions, re::kGetOptions, re::kSetPunctuation, re::kGetPunctuation,
    re::kSetWordWrapMode, re::kGetWordWrapMode, re::kSetImeColor, re::kGetImeColor,
};

bool IsModelMessage(UINT message)
{
    return std::find(std::begin(kModelMessages), std::end(kModelMessages), message) != std::end(kModelMessages);
}

constexpr char kCannotCreate[] = "編集ウィンドウを作成できませんでした。";
constexpr char kUnexpectedError[] = "予期しないエラーが発生しました。";
constexpr char kErrorCaption[] = "ｴﾗｰ";

}  // namespace

// ---- Creation ------------------------------------------------------------------

void EditWindow::RegisterWindowClass()
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kEditWindowClass;
        return RegisterClassExW(&windowClass);
    }();
    if (!atom) throw Error(kCannotCreate);
}

EditWindow::EditWindow(HWND parent, int id, const RECT& bounds, DWORD style, DWORD exStyle)
    : glyphs_(textMetrics_, codec_),
      control_(glyphs_, codec_, &clipboard_),
      input_(control_, codec_),
      id_(id),
      glyphUnits_(0x10000, u'\0')
{
    RegisterWindowClass();
    control_.SetListener(this);
    CreateWindowExW(exStyle, kEditWindowClass, L"", WS_CHILD | WS_VISIBLE | style, bounds.left, bounds.top,
                    bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), this);
    if (!hwnd_) throw Error(kCannotCreate);
    ApplyDpi();
    SetFont(platform::FontSpec{});
}

EditWindow::~EditWindow()
{
    hook_ = nullptr;
    control_.SetListener(nullptr);
    if (hwnd_) DestroyWindow(hwnd_);
    DeleteFonts();
}

// Exceptions stop here: they must not unwind through the system's frames.
// What the handling throws goes to the exception handler.
LRESULT CALLBACK EditWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<EditWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (!self) return FALSE;  // the class is only made through EditWindow
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<EditWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    ++self->dispatchDepth_;
    try {
        result = self->Dispatch(message, wParam, lParam);
    } catch (const std::exception& e) {
        self->Report(e);
    } catch (...) {
        self->Report(Error(kUnexpectedError));
    }
    --self->dispatchDepth_;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->focused_ = false;
    }
    if (self->dispatchDepth_ == 0 && self->updatePending_) self->UpdateBarsAndCaret();
    return result;
}

// A handler that throws itself is not asked again: nothing is left to report with.
void EditWindow::Report(const std::exception& failure) noexcept
{
    try {
        if (onException_) {
            // A copy: the handler may replace itself while it runs.
            const ExceptionHandler handler = onException_;
            handler(failure);
            return;
        }
        const std::u16string text = Utf8ToUtf16(failure.what());
        const std::u16string caption = Utf8ToUtf16(kErrorCaption);
        MessageBoxW(hwnd_ ? GetAncestor(hwnd_, GA_ROOT) : nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                    reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
}

LRESULT EditWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hook_) {
        // A copy: the hook may replace itself while it runs.
        const MessageHook hook = hook_;
        if (const std::optional<LRESULT> result = hook(message, wParam, lParam)) return *result;
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT EditWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (IsModelMessage(message)) return ModelMessage(message, wParam, lParam);
    return WindowMessage(message, wParam, lParam);
}

// EM_GETSEL, EM_SETSEL, EM_EXGETSEL, EM_EXSETSEL and every other position
// here are byte offsets into the code-page-932 document, not UTF-16 units.
LRESULT EditWindow::ModelMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = control_.Message(message, wParam, lParam);
    // The model reports a changed formatting rectangle only when the wrap
    // width changed with it.
    if (message == re::kSetRect) Refresh();
    if (message == re::kSetRectNp) {
        UpdateScrollBars();
        UpdateCaret();
    }
    return result;
}

LRESULT EditWindow::WindowMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_GETTEXT: return GetText(wParam, lParam);
    case WM_GETTEXTLENGTH: return GetTextLength();
    case WM_SETTEXT: return SetText(lParam);
    case WM_CUT: control_.Cut(); return 0;
    case WM_COPY: control_.Copy(); return 0;
    case WM_PASTE: control_.Paste(); return 0;
    case WM_CLEAR:
        if (!control_.ReadOnly()) control_.DeleteSelection();
        return 0;
    case WM_UNDO: return control_.Undo() ? TRUE : FALSE;
    case WM_GETDLGCODE: return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KEYDOWN:
        if (input_.KeyDown(static_cast<uint32_t>(wParam),
                           Modifiers{GetKeyState(VK_SHIFT) < 0, GetKeyState(VK_CONTROL) < 0, GetKeyState(VK_MENU) < 0})) {
            updatePending_ = true;  // Insert changes the caret's shape without telling the listener
            return 0;
        }
        break;
    case WM_CHAR: input_.Char(static_cast<char16_t>(wParam)); return 0;
    case WM_SIZE:
        control_.SetClientSize(LOWORD(lParam), HIWORD(lParam));
        Refresh();
        return 0;
    case WM_SETFOCUS: FocusGained(); return 0;
    case WM_KILLFOCUS: FocusLost(); return 0;
    case WM_LBUTTONDOWN: ButtonDown(wParam, lParam); return 0;
    case WM_LBUTTONDBLCLK:
        input_.DoubleClick(re::PointL{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
        return 0;
    case WM_MOUSEMOVE: MouseMove(lParam); return 0;
    case WM_LBUTTONUP: ButtonUp(); return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd_) StopDrag();
        return 0;
    case WM_TIMER:
        if (wParam != kAutoScrollTimer) break;
        AutoScroll();
        return 0;
    case WM_MOUSEWHEEL: input_.Wheel(GET_WHEEL_DELTA_WPARAM(wParam)); return 0;
    case WM_VSCROLL: VerticalScroll(wParam); return 0;
    case WM_HSCROLL: HorizontalScroll(wParam); return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && SetCursorShape()) return TRUE;
        break;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintWindow(); return 0;
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SYSCOLORCHANGE: Refresh(); return 0;
    case WM_DPICHANGED_AFTERPARENT:
        ApplyDpi();
        SetFont(font_);
        return 0;
    case WM_IME_SETCONTEXT:
        // The composition is drawn inline: the input method must not show its own window.
        if (wParam) lParam &= ~static_cast<LPARAM>(ISC_SHOWUICOMPOSITIONWINDOW);
        break;
    case WM_IME_STARTCOMPOSITION:
        SetComposition(Composition{});
        return 0;  // no default composition window
    case WM_IME_COMPOSITION: return ImeComposition(lParam);
    case WM_IME_ENDCOMPOSITION: EndComposition(); return 0;
    default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---- Notifications ---------------------------------------------------------------

void EditWindow::Notify(uint32_t code)
{
    if (!hwnd_ || !GetParent(hwnd_)) return;
    if (code == re::kEnChange)
        SendMessageW(GetParent(hwnd_), WM_COMMAND, MAKEWPARAM(id_, EN_CHANGE), reinterpret_cast<LPARAM>(hwnd_));
    else if (code == re::kEnSelChange)
        NotifySelChange();
    // Reflected back to the window, where a wrapper's hook sees it after the
    // parent has.
    if (hwnd_) SendMessageW(hwnd_, wm::kCnNotify, code, 0);
}

void EditWindow::NotifySelChange()
{
    SELCHANGE change{};
    change.nmhdr.hwndFrom = hwnd_;
    change.nmhdr.idFrom = static_cast<UINT_PTR>(id_);
    change.nmhdr.code = EN_SELCHANGE;
    // Byte offsets, like every position of this control.
    change.chrg.cpMin = static_cast<LONG>(control_.SelStart());
    change.chrg.cpMax = static_cast<LONG>(control_.SelEnd());
    if (control_.SelLength() > 0) {
        // A CR LF pair is one character, as the caret moves over it.
        const TextBuffer& text = control_.Text();
        const size_t start = control_.SelStart();
        const size_t firstChar = text.At(start) == '\r' && text.At(start + 1) == '\n' ? 2 : text.NextChar(start) - start;
        change.seltyp = SEL_TEXT | (control_.SelLength() > firstChar ? SEL_MULTICHAR : 0);
    } else {
        change.seltyp = SEL_EMPTY;
    }
    SendMessageW(GetParent(hwnd_), WM_NOTIFY, static_cast<WPARAM>(id_), reinterpret_cast<LPARAM>(&change));
}

void EditWindow::SetHideSelection(bool hide)
{
    hideSelection_ = hide;
    Refresh();
}

void EditWindow::Refresh()
{
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateBarsAndCaret();
}

// One edit reports several changes; placing the caret lays out its line, so
// that waits for the end of the message being handled.
void EditWindow::Invalidate()
{
    if (!hwnd_) return;
    InvalidateRect(hwnd_, nullptr, FALSE);
    if (dispatchDepth_ > 0)
        updatePending_ = true;
    else
        UpdateBarsAndCaret();
}

void EditWindow::UpdateBarsAndCaret()
{
    updatePending_ = false;
    UpdateScrollBars();
    UpdateCaret();
}

// ---- Text --------------------------------------------------------------------------

// Every character gives one UTF-16 unit (see GetTextLength), so the bytes of
// the first size - 1 characters are found by walking forward from the start
// and only they are decoded, a slice at a time: a caller's small buffer costs
// no copy of a large document.
LRESULT EditWindow::GetText(WPARAM size, LPARAM buffer)
{
    auto* out = reinterpret_cast<char16_t*>(buffer);
    if (!out || size == 0) return 0;
    const size_t room = static_cast<size_t>(size) - 1;
    size_t written = 0;
    std::string slice;  // whole characters, decoded together
    const auto flush = [&] {
        const std::u16string units = codec_.ToUtf16(slice);
        const size_t count = std::min(units.size(), room - written);
        std::memcpy(out + written, units.data(), count * sizeof(char16_t));
        written += count;
        slice.clear();
    };
    constexpr size_t kSliceBytes = 64 * 1024;
    size_t pending = 0;  // characters in slice
    bool lead = false;   // slice ends in a lead byte that may pair with the next byte
    const TextBuffer& text = control_.Text();
    text.Visit(0, text.Length(), [&](std::string_view piece) {
        for (const char c : piece) {
            const auto b = static_cast<uint8_t>(c);
            if (lead && cp932::IsTrailByte(b)) {
                slice += c;
                lead = false;
                continue;
            }
            // A new character starts at b.
            if (written + pending == room) return false;
            if (!lead && slice.size() >= kSliceBytes) {
                flush();
                pending = 0;
            }
            slice += c;
            ++pending;
            lead = cp932::IsLeadByte(b);
        }
        return true;
    });
    flush();
    out[written] = u'\0';
    return static_cast<LRESULT>(written);
}

// Every character of code page 932, and every byte that does not decode,
// becomes one UTF-16 unit, so the length is the character count, which the
// text keeps per chunk: no decoding, and after an edit only the edited
// chunks are counted again.
LRESULT EditWindow::GetTextLength()
{
    const uint64_t version = control_.Text().Version();
    if (lengthVersion_ != version) {
        utf16Length_ = control_.Text().CharCount();
        lengthVersion_ = version;
    }
    return static_cast<LRESULT>(utf16Length_);
}

LRESULT EditWindow::SetText(LPARAM text)
{
    const auto* units = reinterpret_cast<const char16_t*>(text);
    control_.SetText(codec_.FromUtf16(units ? std::u16string_view(units) : std::u16string_view()));
    return TRUE;
}

// ---- Font, colour, DPI ---------------------------------------------------------

void EditWindow::ApplyDpi()
{
    const UINT dpi = hwnd_ ? GetDpiForWindow(hwnd_) : 0;
    dpi_ = dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void EditWindow::SetTextColor(COLORREF color)
{
    if (color == CLR_DEFAULT)
        textColor_.reset();
    else
        textColor_ = color & 0x00FFFFFF;
    Refresh();
}

COLORREF EditWindow::TextColor() const
{
    return textColor_ ? *textColor_ : GetSysColor(COLOR_WINDOWTEXT);
}

}  // namespace kp::memo
