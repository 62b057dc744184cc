#pragma once
// The Win32 view of the edit control: a child window of class
// "KestrelpadEdit" that paints an EditControl, feeds it keyboard, mouse and
// input-method input, answers the edit and rich-edit messages through it and
// tells its parent about changes (EN_CHANGE as WM_COMMAND, EN_SELCHANGE as
// WM_NOTIFY) as far as the control's event mask lets them through.
//
// Ownership: the EditWindow object owns its window. Destroying the object
// destroys the window. When the window goes first (its parent was destroyed),
// the object stays valid, Handle() becomes null and the model keeps its text.
//
// Positions in EM_GETSEL, EM_SETSEL, EM_EXGETSEL, EM_EXSETSEL and every other
// edit message are byte offsets into the code-page-932 document, not UTF-16
// units. Only WM_GETTEXT, WM_GETTEXTLENGTH and WM_SETTEXT speak UTF-16, so
// that other programs can read and set the window's text.
//
// Painting, caret and input method live in EditPaint.cpp and EditIme.cpp;
// scroll bars and mouse in EditScroll.cpp.

#include "memo/edit/EditControl.h"
#include "memo/edit/EditInput.h"
#include "memo/edit/FontGlyphMetrics.h"
#include "platform/clipboard/Win32Clipboard.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/textmetrics/Win32TextMetrics.h"

#include <windows.h>
#include <commctrl.h>  // CLR_DEFAULT

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kp::memo {

inline constexpr wchar_t kEditWindowClass[] = L"KestrelpadEdit";

// An input method's composition as the window shows it, inline at the caret.
struct Composition {
    std::u16string text;
    std::vector<uint8_t> attributes;  // ATTR_INPUT, ATTR_TARGET_CONVERTED, ... per UTF-16 unit
    size_t cursor = 0;                // the input method's cursor, in UTF-16 units
};

class EditWindow final : private EditListener {
public:
    // Sees every message before the window's own handling, as a subclass's
    // window procedure would. It may call DefaultProc itself and return a
    // result, or return nullopt to let DefaultProc run afterwards.
    using MessageHook = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;
    // Receives what the handling of a message throws: exceptions must not
    // unwind through the system's frames. Without one, a stop box shows it.
    using ExceptionHandler = std::function<void(const std::exception& failure)>;

    // Creates a visible child window of parent with the control id. style
    // adds to WS_CHILD | WS_VISIBLE (by default both scroll bars; a bar left
    // out is not maintained). Throws kp::Error when the window cannot be made.
    EditWindow(HWND parent, int id, const RECT& bounds, DWORD style = WS_VSCROLL | WS_HSCROLL,
               DWORD exStyle = WS_EX_CLIENTEDGE);
    // Clears the hook, then destroys the window.
    ~EditWindow() override;
    EditWindow(const EditWindow&) = delete;
    EditWindow& operator=(const EditWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    int Id() const { return id_; }
    EditControl& Control() { return control_; }
    const EditControl& Control() const { return control_; }
    EditInput& Input() { return input_; }
    const platform::Cp932Codec& Codec() const { return codec_; }

    void SetHook(MessageHook hook) { hook_ = std::move(hook); }
    void SetExceptionHandler(ExceptionHandler handler) { onException_ = std::move(handler); }
    // The window's own handling of a message.
    LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The font's pixel height is taken at 96 DPI; the window scales it to
    // its own DPI (GetDpiForWindow) and again when WM_DPICHANGED_AFTERPARENT
    // arrives. False keeps the current font.
    bool SetFont(const platform::FontSpec& font);
    const platform::FontSpec& Font() const { return font_; }
    UINT Dpi() const { return dpi_; }
    // Whether the selection shows only while the window has the focus.
    void SetHideSelection(bool hide);
    // CLR_DEFAULT returns to the system's window text colour.
    void SetTextColor(COLORREF color);
    COLORREF TextColor() const;

    // Draws the client area into dc: what WM_PAINT and WM_PRINTCLIENT show.
    void Paint(HDC dc);

    // What WM_IME_COMPOSITION does with a composition string: shows it at the
    // caret until the next call or EndComposition.
    void SetComposition(Composition composition);
    void EndComposition();
    const std::optional<Composition>& CurrentComposition() const { return composition_; }

    // Repaints and updates scroll bars and caret; for model changes the
    // control does not report (the model reports edits, selection and scrolling).
    void Refresh();

private:
    static constexpr UINT_PTR kAutoScrollTimer = 1;

    // Fonts by IME effect: index bit 0 bold, bit 1 italic.
    using FontSet = std::array<HFONT, 4>;
    struct ScrollState {
        int max = -1;
        int page = -1;
        int pos = -1;
    };
    struct CompositionRun {
        size_t begin;
        size_t end;
        int x;      // from the composition's start
        int width;
        int slot;   // index into ImeColors()
    };

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static void RegisterWindowClass();
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    void Report(const std::exception& failure) noexcept;
    LRESULT WindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT ModelMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // EditListener
    void Notify(uint32_t code) override;
    void Invalidate() override;
    void NotifySelChange();
    void UpdateBarsAndCaret();

    // Text and keys (EditWindow.cpp).
    LRESULT GetText(WPARAM size, LPARAM buffer);
    LRESULT GetTextLength();
    LRESULT SetText(LPARAM text);
    void ApplyDpi();

    // Scroll bars and mouse (EditScroll.cpp).
    void UpdateScrollBars();
    void SetScrollBar(int bar, int max, int page, int pos, ScrollState& last);
    void VerticalScroll(WPARAM request);
    void HorizontalScroll(WPARAM request);
    void ButtonDown(WPARAM keys, LPARAM point);
    void MouseMove(LPARAM point);
    void ButtonUp();
    void AutoScroll();
    void StopDrag();
    bool SetCursorShape();

    // Painting (EditPaint.cpp).
    void PaintWindow();
    void PaintLine(HDC dc, size_t line, int y);
    void PaintComposition(HDC dc, int64_t x, int y);
    void CreateFonts(const LOGFONTW& base);
    void DeleteFonts();
    HFONT FontFor(uint32_t effects) const;
    char16_t GlyphUnit(uint16_t code);
    COLORREF BackgroundColor() const;

    // Caret and input method (EditIme.cpp).
    void FocusGained();
    void FocusLost();
    void UpdateCaret();
    POINT CaretPoint();
    int CaretWidth() const;
    bool InView(POINT point) const;
    std::vector<CompositionRun> MeasureComposition(HDC dc) const;
    // The x of a composition unit from the composition's start, in the fonts of its runs.
    int CompositionX(HDC dc, size_t units) const;
    void PlaceImeWindows();
    void SetImeFont();
    LRESULT ImeComposition(LPARAM changes);

    // Members in construction order: the model needs the platform parts.
    platform::Win32Cp932Codec codec_;
    platform::Win32Clipboard clipboard_;
    platform::Win32TextMetrics textMetrics_;
    FontGlyphMetrics glyphs_;
    EditControl control_;
    EditInput input_;

    HWND hwnd_ = nullptr;
    int id_;
    // Messages being handled (nested ones included). While one is, scroll
    // bars and caret follow the model once, when the outermost one ends.
    int dispatchDepth_ = 0;
    bool updatePending_ = false;
    MessageHook hook_;
    ExceptionHandler onException_;
    platform::FontSpec font_;
    LOGFONTW logFont_{};
    FontSet fonts_{};
    UINT dpi_ = 96;
    std::optional<COLORREF> textColor_;
    std::vector<char16_t> glyphUnits_;  // decoded character by code; 0 until needed

    ScrollState vertical_;
    ScrollState horizontal_;
    POINT dragPoint_{};
    bool autoScrolling_ = false;

    bool focused_ = false;
    bool hideSelection_ = false;
    int caretWidth_ = 0;
    int caretHeight_ = 0;
    bool caretShown_ = false;
    std::optional<Composition> composition_;

    std::optional<uint64_t> lengthVersion_;
    size_t utf16Length_ = 0;
};

}  // namespace kp::memo
