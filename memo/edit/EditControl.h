#pragma once
// The edit control's model: a code-page-932 document with selection, undo,
// clipboard, search, layout and scrolling, answering the rich-edit messages
// with their meaning. Positions are byte offsets; line numbers are display
// lines. The Win32 view (memo/win32) paints it and feeds it input; tests
// drive it directly.

#include "memo/edit/GlyphMetrics.h"
#include "memo/edit/Layout.h"
#include "memo/edit/RichEditMessages.h"
#include "memo/text/TextBuffer.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kp::platform {
class Clipboard;
class Cp932Codec;
}  // namespace kp::platform

namespace kp::memo {

// Receives the control's notifications (EN_CHANGE, EN_SELCHANGE) as far as
// the event mask lets them through, and requests to repaint.
class EditListener {
public:
    virtual ~EditListener() = default;
    virtual void Notify(uint32_t code) = 0;
    virtual void Invalidate() {}
};

enum class CaseMapping { Upper, Lower };

enum class CaretMove {
    Left, Right, Up, Down, Home, End, PageUp, PageDown, DocumentStart, DocumentEnd, WordLeft, WordRight,
};

class EditControl {
public:
    EditControl(GlyphMetrics& metrics, const platform::Cp932Codec& codec, platform::Clipboard* clipboard);

    void SetListener(EditListener* listener) { listener_ = listener; }

    // ---- Text ----
    const TextBuffer& Text() const { return text_; }
    size_t TextLength() const { return text_.Length(); }
    std::string GetText() const { return text_.Text(); }
    // Replaces everything, as setting the window text does: the undo history
    // is cleared, the caret goes to the start, the modified flag is cleared.
    void SetText(std::string_view bytes);
    void SetText(const TextSnapshot& text);  // shares the snapshot's chunks
    // Replaces everything as one undoable edit; sets the modified flag when
    // the text changes. The caret goes to `caret` (clamped, snapped), the
    // first visible line stays where it can.
    void ReplaceAll(std::string_view bytes, size_t caret);
    void ReplaceAll(const TextSnapshot& text, size_t caret);
    TextSnapshot Snapshot() const { return text_.Snapshot(); }

    // Everything an edit can change: text, selection, scroll position, undo
    // history and the modified flag. Restoring a saved state brings the
    // control back exactly, as if nothing had happened in between (used
    // where the program replaces the whole text and then puts it back).
    struct State;
    State SaveState() const;
    void RestoreState(const State& state);

    // ---- Selection ----
    size_t SelStart() const { return std::min(anchor_, caret_); }
    size_t SelEnd() const { return std::max(anchor_, caret_); }
    size_t SelLength() const { return SelEnd() - SelStart(); }
    size_t Caret() const { return caret_; }
    size_t Anchor() const { return anchor_; }

    // A caret position. At a wrap point one offset is two places on screen:
    // the end of the upper display line (lineEnd) or the start of the lower.
    struct Spot {
        size_t offset;
        bool lineEnd = false;
    };
    // End, Up, Down and a click right of a wrapped line leave the caret at
    // the upper line's end; anything else, at the lower line's start. Offset
    // queries (PosFromChar, LineFromChar, LineIndex, ...) do not see it.
    bool CaretAtLineEnd() const;
    // The display line the caret is drawn on, its x from that line's start
    // and its client position.
    size_t CaretLine() const;
    int CaretX() const;
    re::PointL CaretPos() const;

    std::string SelText() const;
    // Rich-edit selection semantics: start -1 removes the selection (caret
    // at its end); end -1 (or past the end) means the end of the text. The
    // caret ends at `end`.
    void SetSel(int64_t start, int64_t end);
    void SelectAll() { SetSel(0, -1); }
    // Moves the caret to a spot, keeping the anchor when extending.
    void SelectTo(Spot spot, bool extend);
    void SelectWordAt(size_t offset);
    void SelectLineAt(size_t displayLine, bool extend);

    // ---- Editing ----
    void ReplaceSel(std::string_view bytes, bool canUndo = true);
    // Range edits for commands that rewrite part of the text. Each is one
    // undoable step (whose undo also brings back the scroll position), sets
    // the modified flag only when the text changes and adds no step when it
    // does not; afterwards the caret is at `caret` (clamped, snapped) with
    // nothing selected and the first visible line stays where it can. They
    // cost what they change, not the document's size.
    //
    // Replaces [offset, offset + count) (clamped) by bytes.
    void ReplaceRange(size_t offset, size_t count, std::string_view bytes, size_t caret);
    // Keeps only [offset, offset + count); the caret goes to the start.
    void Crop(size_t offset, size_t count);
    // Converts the characters that lie wholly inside [offset, offset + count)
    // (count may run past the end) with the case table of base/CaseMap.h;
    // only letters whose case changes are rewritten, and chunks of the text
    // without one stay shared with the undo history.
    void MapCase(CaseMapping mapping, size_t offset, size_t count, size_t caret);
    // Typing: replaces the selection; in overwrite mode without one, as
    // many characters after the caret as `bytes` holds, never a line break.
    // Consecutive typing is one undo step.
    void Type(std::string_view bytes);
    // A line break typed: inserted in either mode, deleting nothing but the selection.
    void NewLine();
    void Backspace();
    void DeleteForward();
    void DeleteSelection();
    bool Overwrite() const { return overwrite_; }
    void SetOverwrite(bool on);
    void ToggleOverwrite() { SetOverwrite(!overwrite_); }
    bool ReadOnly() const { return (options_ & re::kEcoReadOnly) != 0; }

    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }

    bool CanUndo() const { return !undo_.empty(); }
    bool Undo();
    void EmptyUndoBuffer() { undo_.clear(); }
    size_t UndoDepth() const { return undo_.size(); }

    // ---- Clipboard ----
    bool Copy();
    bool Cut();
    bool Paste();

    // ---- Caret movement ----
    void MoveCaret(CaretMove move, bool extend);

    // ---- Search ----
    int64_t FindText(int64_t cpMin, int64_t cpMax, std::string_view pattern, uint32_t flags) const;

    // ---- Geometry and scrolling ----
    void SetClientSize(int width, int height);
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    re::Rect FormatRect() const;
    // An empty rectangle (all zero) restores the default one.
    void SetFormatRect(const re::Rect& rect);
    void SetWordWrap(bool on);
    bool WordWrap() const { return wordWrap_; }
    // After the font changed.
    void MetricsChanged();

    const Layout& GetLayout() const { return layout_; }
    size_t LineCount() const { return layout_.DisplayLineCount(); }
    size_t LineFromChar(size_t offset) const { return layout_.DisplayLineOfOffset(offset); }
    int64_t LineIndex(int64_t line) const;
    size_t LineLength(size_t offset) const;
    std::string LineText(size_t displayLine) const;
    // Deletes a display line with its line break, as one undoable edit.
    void DeleteLine(size_t displayLine);

    size_t FirstVisibleLine() const { return firstLine_; }
    size_t VisibleLineCount() const;
    void ScrollToLine(size_t line);
    void ScrollLines(int64_t delta);
    int XScroll() const { return xScroll_; }
    // Clamped between 0 and the width of the widest line measured (the
    // visible ones included): past that nothing is left to show.
    void SetXScroll(int64_t x);
    int MaxXScroll() const;
    void ScrollCaretIntoView();
    re::PointL PosFromChar(size_t offset) const;
    size_t CharFromPos(re::PointL point) const { return SpotFromPos(point).offset; }
    // The caret position nearest to a client point: right of a wrapped line,
    // that line's end.
    Spot SpotFromPos(re::PointL point) const;
    // The display line at a client y: the one above the first visible line
    // for a y above the formatting rectangle, the last one below the text.
    size_t LineAtY(int32_t y) const;
    int LineHeight() const { return layout_.Metrics().LineHeight(); }

    // ---- Options held for the view and the option objects ----
    uint32_t Options() const { return options_; }
    uint32_t SetOptions(uint32_t operation, uint32_t value);
    uint32_t EventMask() const { return eventMask_; }
    uint32_t SetEventMask(uint32_t mask);
    uint32_t BackgroundColor() const { return background_; }
    bool UsesSystemBackground() const { return systemBackground_; }
    uint32_t SetBackgroundColor(bool useSystem, uint32_t rgb);
    uint32_t WordWrapMode() const { return wordWrapMode_; }
    uint32_t SetWordWrapMode(uint32_t mode);
    // The punctuation set of a type (1..4) for the current rule: the custom
    // sets when the mode word has the custom bit and no level bit, level 1
    // with the level-1 bit alone, otherwise level 2. The layout wraps by the
    // same rule.
    std::string Punctuation(uint32_t type) const;
    // Stores a custom set. Refused (EM_SETPUNCTUATION answers 0) for a type
    // outside 1..4, an empty set, one longer than 255 bytes, one holding a
    // control character, or one ending in a lead byte without its partner;
    // a refused set of a valid type empties that custom set.
    bool SetPunctuation(uint32_t type, std::string_view characters);
    // While held, changes of the mode and sets wait; releasing applies what
    // changed in between (reading the built-in sets switches levels and back).
    void HoldRules(bool hold);
    // The cell the overflow rule keeps at the wrap width: a full-width square.
    int OverflowCellWidth() const;
    const std::array<re::CompColor, re::kImeColorCount>& ImeColors() const { return imeColors_; }
    void SetImeColors(const std::array<re::CompColor, re::kImeColorCount>& colors) { imeColors_ = colors; }

    // ---- Messages (EditMessages.cpp) ----
    // Answers a rich-edit or edit message; pointers in wParam/lParam point
    // to the structures of RichEditMessages.h. Unknown messages yield 0.
    intptr_t Message(uint32_t message, uintptr_t wParam, intptr_t lParam);

private:
    struct UndoStep {
        TextSnapshot before;
        size_t anchor;
        size_t caret;
        size_t offset;     // where the edit happened
        size_t removed;    // bytes removed there
        size_t inserted;   // bytes inserted there
        bool typing;
        // The scroll position before a range edit, which its undo restores.
        std::optional<size_t> firstLine = std::nullopt;
        int xScroll = 0;
    };

    void Edit(size_t offset, size_t count, std::string_view bytes, bool typing, bool canUndo);
    // Ends a range edit made after `step` was taken: records it, lays out
    // [offset, offset + inserted), places the caret and keeps the scroll.
    void FinishRangeEdit(UndoStep step, size_t caret, bool relayOutAll);
    void TypeText(std::string_view bytes, bool overwrite);
    void SetSelection(size_t anchor, size_t caret, bool keepDesiredX = false, bool lineEnd = false);
    size_t Snap(size_t offset) const;
    size_t StepLeft(size_t offset) const;
    size_t StepRight(size_t offset) const;
    size_t WordLeft(size_t offset) const;
    size_t WordRight(size_t offset) const;
    uint16_t CodeAt(size_t offset) const;
    Spot SpotAtX(size_t line, int x) const;
    Spot MoveVertically(int64_t lines);
    void ApplyWrapWidth();
    // Rebuilds the layout's line-breaking rules from the mode word and sets
    // (unless held), re-laying the document when they changed.
    void ApplyRules();
    void SelectionChanged();
    void TextChanged();

    GlyphMetrics& metrics_;
    const platform::Cp932Codec& codec_;
    platform::Clipboard* clipboard_;
    EditListener* listener_ = nullptr;

    TextBuffer text_;
    Layout layout_;
    size_t anchor_ = 0;
    size_t caret_ = 0;
    bool caretLineEnd_ = false;  // see CaretAtLineEnd
    std::optional<int> desiredX_;
    bool overwrite_ = false;
    bool modified_ = false;
    bool typingOpen_ = false;
    std::deque<UndoStep> undo_;

    int clientWidth_ = 0;
    int clientHeight_ = 0;
    std::optional<re::Rect> formatRect_;
    bool wordWrap_ = false;
    size_t firstLine_ = 0;
    int xScroll_ = 0;

    uint32_t options_ = 0;
    uint32_t eventMask_ = 0;
    uint32_t background_ = 0xFFFFFF;
    bool systemBackground_ = true;
    uint32_t wordWrapMode_;
    std::array<std::string, 4> customPunctuation_;
    bool rulesHeld_ = false;
    // The mode word and sets the layout's rules were built from.
    std::optional<std::pair<uint32_t, std::array<std::string, 4>>> appliedRules_;
    std::array<re::CompColor, re::kImeColorCount> imeColors_;
};

struct EditControl::State {
    TextSnapshot text;
    size_t anchor;
    size_t caret;
    size_t firstLine;
    int xScroll;
    std::deque<UndoStep> undo;
    bool modified;
};

// The control's own defaults, which the option objects read back.
namespace defaults {
// The initial word-wrap mode: wrap, break words, let punctuation overflow,
// level-1 rule.
inline constexpr uint32_t kWordWrapMode = re::kWbfWordWrap | re::kWbfWordBreak | re::kWbfOverflow | re::kWbfLevel1;
// The built-in punctuation sets for a rule level (1 or 2) and a type (1..4),
// as code-page-932 characters.
std::string_view Punctuation(int level, uint32_t type);
std::array<re::CompColor, re::kImeColorCount> ImeColors();
inline constexpr size_t kUndoLimit = 100;
}  // namespace defaults

}  // namespace kp::memo
