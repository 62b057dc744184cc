#pragma once
// TExtMemo: the main window's text control. A plain-text memo over our own
// edit control (byte offsets into code-page-932 text, display lines), with
// the line-breaking options, edit area, marks and IME colours of a Japanese
// editor, an insert/overwrite state and caret line and column queries.
//
// It holds its properties while it has no window; creating the window applies
// them. Recreating it (LineSelect, Vertical, WordWrap) keeps the document as
// the user left it: text, modified flag, caret and selection, undo history and
// the insert/overwrite state, with the caret's line in view. The text is held
// as a snapshot of the control's buffer, never copied.
//
// Replacing the whole text (SetText, Clear) is an edit like any other: it sets
// the modified flag when the text changes and leaves it alone when it does
// not, with or without a window. Loading a file clears the flag.

#include "base/Color.h"
#include "memo/MarkPainter.h"
#include "memo/MemoOptions.h"
#include "memo/MemoWindow.h"
#include "memo/text/TextBuffer.h"
#include "platform/textmetrics/TextMetrics.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace kp::platform {
class KeyState;
class SysColors;
class FileSystem;
}  // namespace kp::platform

namespace kp::memo {

class TCanvas {
public:
    enum class PenMode { Copy, Xor, Not };

    void Bind(std::unique_ptr<CanvasDevice> device) { device_ = std::move(device); }
    void Release() { device_.reset(); }
    bool Bound() const { return device_ != nullptr; }
    CanvasDevice* Device() const { return device_.get(); }

    PenMode penMode = PenMode::Copy;
    int penWidth = 1;
    TColor penColor = clBlack;

private:
    std::unique_ptr<CanvasDevice> device_;
};

struct KeyEvent {
    uint32_t key;
    bool shift;
    bool ctrl;
    bool alt;
};

class TExtMemo {
public:
    TExtMemo(MemoWindowFactory& factory, const platform::KeyState& keys, const platform::SysColors& colors);
    virtual ~TExtMemo();

    // ---- Window lifecycle ----
    void CreateWnd();
    void DestroyWnd();
    void RecreateWnd();
    bool HandleAllocated() const { return window_ != nullptr; }
    // Sends to the window; yields 0 while there is none.
    intptr_t Perform(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);

    // ---- State of its own ----
    int32_t MarkedLine = -1;
    bool InsertMode() const { return insertMode_; }
    bool LineSelect() const { return lineSelect_; }
    void SetLineSelect(bool value);
    bool Vertical() const { return vertical_; }
    void SetVertical(bool value);

    TEditArea EditArea{this};
    TEditMarks EditMarks;
    TMarker CaretMarker;
    TMarker WordWrapMarker;
    TCanvas Canvas;

    // The IME colours and line-breaking options. Reading refreshes them from
    // the control first, except while loading (the IME colours keep theirs
    // when the control does not answer; the mode word takes the answer, 0
    // without a window). Assigning the IME colours copies them only when a
    // state differs.
    TImeColors& ImeColors();
    void SetImeColors(const TImeColors& colors);
    TWordWrapOption& WordWrapOption();
    void SetWordWrapOption(const TWordWrapOption& option) { wordWrapOption_ = option; }

    // The memo is being configured by its form (loading) or written to one.
    bool Loading() const { return loading_; }
    void SetLoading(bool value) { loading_ = value; }
    bool Writing() const { return writing_; }
    void SetWriting(bool value) { writing_ = value; }

    // ---- Operations ----
    int CaretLine();
    int CaretColumn();
    void SelectAll();
    void Undo();

    // ---- Rich-edit memo members the program relies on ----
    std::string Text() const;
    void SetText(std::string_view bytes);
    // The whole text without copying it (while the window exists).
    TextSnapshot Snapshot() const;
    void SetText(const TextSnapshot& text);
    size_t TextLength() const;
    size_t SelStart() const;
    void SetSelStart(size_t offset);
    size_t SelLength() const;
    void SetSelLength(size_t length);
    std::string SelText() const;
    void SetSelText(std::string_view bytes);
    bool Modified() const;
    void SetModified(bool modified);
    void Clear();
    void ClearSelection();
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    // EM_FINDTEXT over [start, start + length) with kFtMatchCase/kFtWholeWord
    // flags; the offset of the first match or -1.
    int64_t FindText(std::string_view pattern, int64_t start, int64_t length, uint32_t flags);

    // Display lines, as the program's Lines list uses them.
    size_t LineCount() const;
    std::string Line(size_t index) const;
    void DeleteLine(size_t index);
    // The control's range edits (no-ops without a window).
    void ReplaceRange(size_t offset, size_t count, std::string_view bytes, size_t caret);
    void Crop(size_t offset, size_t count);
    void MapCase(CaseMapping mapping, size_t offset, size_t count, size_t caret);
    void LoadFromFile(platform::FileSystem& files, std::string_view path);
    void SaveToFile(platform::FileSystem& files, std::string_view path) const;

    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    const platform::FontSpec& Font() const { return font_; }
    void SetFont(const platform::FontSpec& font);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool HideSelection = false;
    bool WantTabs = true;
    bool PlainText = true;
    void SetFocus();
    void Repaint();

    // ---- Events ----
    std::function<void()> OnSelectionChange;
    std::function<void(KeyEvent&)> OnKeyDown;
    std::function<void(int x, int y)> OnMouseMove;
    // A window was created for the memo (at first and at every recreation).
    std::function<void()> OnWindowCreated;
    // The right-click menu's place, in screen coordinates (-1, -1 for the
    // menu key: at the caret).
    std::function<void(int screenX, int screenY)> OnContextPopup;

    // The control, while a window exists (tests and the view use it).
    EditControl* Control() const;

protected:
    // Painting of marks and markers, the edit area and the punctuation sets.
    // They take effect with the line-breaking and marks features; until then
    // they do nothing, but are called at every point they belong to.
    virtual void PaintMarks(size_t from, size_t to, bool erase);
    virtual void DrawWrapLine();
    virtual void DrawCaretLine();
    virtual void EraseCaretLine();
    virtual void ApplyEditArea();
    virtual void DeriveEditArea();
    virtual void ReadPunctuationSets();

    // The message handler: everything sent to the window comes here first.
    intptr_t WndProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

private:
    friend class TEditArea;
    friend class TImeColors;
    friend class TWordWrapOption;

    void CreateWindowSteps();
    void RestoreDocument();
    void HoldText(const TextSnapshot& text, bool modified);
    void SendImeColors();
    void RefreshImeColors();
    // The width of a full-width square in the control's font.
    int OverflowCellWidth() const;
    void SendWordWrapOption();
    intptr_t HandlePaint(uint32_t message, uintptr_t wParam, intptr_t lParam);
    intptr_t HandleNotify(uintptr_t wParam, intptr_t lParam);
    intptr_t HandleKeyDown(uintptr_t wParam, intptr_t lParam);
    intptr_t HandleChar(uintptr_t wParam, intptr_t lParam);
    void VisibleRange(size_t& first, size_t& last);
    MarkColors ColorsOf(const TEditMark& mark, bool erase) const;
    void DrawUnderline(int32_t line, TColor color);
    // The display line at the formatting rectangle's bottom left.
    int32_t LastVisibleLine();
    uint32_t ColorToRgb(TColor color) const;

    MemoWindowFactory& factory_;
    const platform::KeyState& keys_;
    const platform::SysColors& sysColors_;
    std::unique_ptr<MemoWindow> window_;

    TImeColors imeColors_{this};
    TWordWrapOption wordWrapOption_{this};
    bool loading_ = false;
    bool writing_ = false;
    bool insertMode_ = true;
    bool lineSelect_ = true;
    bool vertical_ = false;
    bool wordWrap_ = false;
    platform::FontSpec font_{"ＭＳ Ｐゴシック", 15, false, false, platform::kShiftJisCharset};
    TColor fontColor_ = clWindowText;
    TColor color_ = clWindow;

    // The control's state, kept while there is no window and across
    // recreation, and where the first visible line started.
    EditControl::State held_{};
    size_t heldFirstVisible_ = 0;
};

}  // namespace kp::memo
