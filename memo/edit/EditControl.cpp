#include "memo/edit/EditControl.h"

#include "base/CaseMap.h"
#include "base/Cp932.h"
#include "memo/edit/CharClass.h"
#include "memo/edit/Find.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/codec/Cp932Codec.h"

#include <algorithm>

namespace kp::memo {

namespace defaults {

namespace {

// Japanese line-breaking sets in common use: characters that may not start a
// line (following), may not end one (leading), may hang past the margin
// (overflow), and that delimit words. Level 2 adds the small kana and the
// prolonged sound mark to the following set, and currency signs to the
// leading set.
constexpr std::string_view kPunctuation[8] = {
    // level 1, type 1: 、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃､｡･ﾞﾟ!),.:;?]}
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x46\x81\x47\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x66\x81\x68\x81\x6A\x81\x6C\x81\x6E\x81\x70\x81\x72\x81\x74\x81\x76\x81\x78\x81\x7A\x81\x8B\x81\x8C\x81\x8D\x81\x8E\xA4\xA1\xA5\xDE\xDF\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D",
    // level 1, type 2: ‘“（〔［｛〈《「『【([{
    "\x81\x65\x81\x67\x81\x69\x81\x6B\x81\x6D\x81\x6F\x81\x71\x81\x73\x81\x75\x81\x77\x81\x79\x28\x5B\x7B",
    // level 1, type 3: 、。，．､｡,.
    "\x81\x41\x81\x42\x81\x43\x81\x44\xA4\xA1\x2C\x2E",
    // level 1, type 4:  　!?,.;:
    "\x20\x81\x40\x21\x3F\x2C\x2E\x3B\x3A",
    // level 2, type 1: 、。，．・：；？！゛゜ヽヾゝゞ々ー’”）〕］｝〉》」』】°′″℃ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ､｡･ﾞﾟｧｨｩｪｫｬｭｮｯｰ!),.:;?]}
    "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x46\x81\x47\x81\x48\x81\x49\x81\x4A\x81\x4B\x81\x52\x81\x53\x81\x54\x81\x55\x81\x58\x81\x5B\x81\x66\x81\x68\x81\x6A\x81\x6C\x81\x6E\x81\x70\x81\x72\x81\x74\x81\x76\x81\x78\x81\x7A\x81\x8B\x81\x8C\x81\x8D\x81\x8E\x82\x9F\x82\xA1\x82\xA3\x82\xA5\x82\xA7\x82\xC1\x82\xE1\x82\xE3\x82\xE5\x82\xEC\x83\x40\x83\x42\x83\x44\x83\x46\x83\x48\x83\x62\x83\x83\x83\x85\x83\x87\x83\x8E\x83\x95\x83\x96\xA4\xA1\xA5\xDE\xDF\xA7\xA8\xA9\xAA\xAB\xAC\xAD\xAE\xAF\xB0\x21\x29\x2C\x2E\x3A\x3B\x3F\x5D\x7D",
    // level 2, type 2: ‘“（〔［｛〈《「『【￥＄([{\$
    "\x81\x65\x81\x67\x81\x69\x81\x6B\x81\x6D\x81\x6F\x81\x71\x81\x73\x81\x75\x81\x77\x81\x79\x81\x8F\x81\x90\x28\x5B\x7B\x5C\x24",
    // level 2, type 3: 、。，．､｡,.
    "\x81\x41\x81\x42\x81\x43\x81\x44\xA4\xA1\x2C\x2E",
    // level 2, type 4:  　!?,.;:
    "\x20\x81\x40\x21\x3F\x2C\x2E\x3B\x3A",
};

}  // namespace

std::string_view Punctuation(int level, uint32_t type)
{
    if (level < 1 || level > 2 || type < 1 || type > 4) return {};
    return kPunctuation[(level - 1) * 4 + (type - 1)];
}

std::array<re::CompColor, re::kImeColorCount> ImeColors()
{
    return {{
        {0x000000, 0xFFFFFF, re::kCfeUnderline},  // input not yet converted
        {0xFFFFFF, 0x800000, re::kCfeUnderline},  // target clause, converted
        {0x000000, 0xFFFFFF, re::kCfeUnderline},  // converted
        {0xFFFFFF, 0x808080, re::kCfeUnderline},  // target clause, not yet converted
    }};
}

}  // namespace defaults

namespace {

constexpr int kSelectionBarWidth96 = 8;
constexpr uint16_t kOverflowCellCode = 0x81A0;  // □

bool IsBreakByte(uint8_t b) { return b == '\r' || b == '\n'; }

}  // namespace

EditControl::EditControl(GlyphMetrics& metrics, const platform::Cp932Codec& codec,
                         platform::Clipboard* clipboard)
    : metrics_(metrics),
      codec_(codec),
      clipboard_(clipboard),
      layout_(text_, metrics),
      wordWrapMode_(defaults::kWordWrapMode),
      imeColors_(defaults::ImeColors())
{
    ApplyRules();
}

// ---- Notifications -------------------------------------------------------------

void EditControl::SelectionChanged()
{
    if (listener_) {
        listener_->Invalidate();
        if (eventMask_ & re::kEnmSelChange) listener_->Notify(re::kEnSelChange);
    }
}

void EditControl::TextChanged()
{
    if (listener_ && (eventMask_ & re::kEnmChange)) listener_->Notify(re::kEnChange);
}

// ---- Positions -------------------------------------------------------------------

size_t EditControl::Snap(size_t offset) const
{
    offset = std::min(offset, text_.Length());
    offset = text_.CharStart(offset);
    // Never between the CR and the LF of one line break.
    if (offset > 0 && offset < text_.Length() && text_.At(offset) == '\n' && text_.At(offset - 1) == '\r')
        --offset;
    return offset;
}

size_t EditControl::StepLeft(size_t offset) const
{
    if (offset == 0) return 0;
    if (offset >= 2 && text_.At(offset - 1) == '\n' && text_.At(offset - 2) == '\r') return offset - 2;
    return text_.PrevChar(offset);
}

size_t EditControl::StepRight(size_t offset) const
{
    if (offset >= text_.Length()) return text_.Length();
    if (text_.At(offset) == '\r' && text_.At(offset + 1) == '\n' && offset + 1 < text_.Length())
        return offset + 2;
    return text_.NextChar(offset);
}

uint16_t EditControl::CodeAt(size_t offset) const
{
    const std::string bytes = text_.Read(offset, 2);
    if (bytes.empty()) return '\n';
    const size_t length = cp932::CharLength(bytes, 0);
    return length == 2 ? static_cast<uint16_t>((static_cast<uint8_t>(bytes[0]) << 8) | static_cast<uint8_t>(bytes[1]))
                       : static_cast<uint8_t>(bytes[0]);
}

size_t EditControl::WordRight(size_t offset) const
{
    const size_t length = text_.Length();
    if (offset >= length) return length;
    const CharClass start = ClassOf(CodeAt(offset));
    if (start == CharClass::LineBreak) return StepRight(offset);
    // Skip the run of the caret's class, then the blanks after it.
    while (offset < length && ClassOf(CodeAt(offset)) == start && start != CharClass::Blank)
        offset = StepRight(offset);
    while (offset < length && ClassOf(CodeAt(offset)) == CharClass::Blank) offset = StepRight(offset);
    return offset;
}

size_t EditControl::WordLeft(size_t offset) const
{
    if (offset == 0) return 0;
    size_t at = StepLeft(offset);
    if (ClassOf(CodeAt(at)) == CharClass::LineBreak) return at;
    while (at > 0 && ClassOf(CodeAt(at)) == CharClass::Blank) {
        const size_t before = StepLeft(at);
        if (ClassOf(CodeAt(before)) == CharClass::LineBreak) return at;
        at = before;
    }
    const CharClass cls = ClassOf(CodeAt(at));
    while (at > 0) {
        const size_t before = StepLeft(at);
        if (ClassOf(CodeAt(before)) != cls) break;
        at = before;
    }
    return at;
}

// ---- Selection -----------------------------------------------------------------

void EditControl::SetSelection(size_t anchor, size_t caret, bool keepDesiredX, bool lineEnd)
{
    anchor = Snap(anchor);
    caret = Snap(caret);
    if (!keepDesiredX) desiredX_.reset();
    typingOpen_ = false;
    lineEnd = lineEnd && layout_.IsWrapPoint(caret);
    const bool sideChanged = lineEnd != caretLineEnd_;
    caretLineEnd_ = lineEnd;
    if (anchor == anchor_ && caret == caret_) {
        // The same offsets, the caret drawn on the other line.
        if (sideChanged && listener_) listener_->Invalidate();
        return;
    }
    anchor_ = anchor;
    caret_ = caret;
    SelectionChanged();
}

void EditControl::SelectTo(Spot spot, bool extend)
{
    SetSelection(extend ? anchor_ : spot.offset, spot.offset, false, spot.lineEnd);
}

bool EditControl::CaretAtLineEnd() const
{
    return caretLineEnd_ && layout_.IsWrapPoint(caret_);
}

size_t EditControl::CaretLine() const
{
    const size_t line = layout_.DisplayLineOfOffset(caret_);
    return CaretAtLineEnd() ? line - 1 : line;
}

int EditControl::CaretX() const
{
    return layout_.XOnLine(CaretLine(), caret_);
}

re::PointL EditControl::CaretPos() const
{
    const re::Rect rect = FormatRect();
    const int64_t row = static_cast<int64_t>(CaretLine()) - static_cast<int64_t>(firstLine_);
    return re::PointL{re::ClampToInt32(static_cast<int64_t>(rect.left) + CaretX() - xScroll_),
                      re::ClampToInt32(rect.top + row * LineHeight())};
}

void EditControl::SetSel(int64_t start, int64_t end)
{
    const size_t length = text_.Length();
    if (start < 0) {
        SetSelection(SelEnd(), SelEnd());
        return;
    }
    const size_t s = std::min<size_t>(static_cast<size_t>(start), length);
    const size_t e = end < 0 ? length : std::min<size_t>(static_cast<size_t>(end), length);
    SetSelection(s, e);
}

std::string EditControl::SelText() const
{
    return text_.Read(SelStart(), SelLength());
}

void EditControl::SelectWordAt(size_t offset)
{
    offset = Snap(offset);
    const size_t length = text_.Length();
    if (offset >= length) {
        SetSelection(length, length);
        return;
    }
    const CharClass cls = ClassOf(CodeAt(offset));
    if (cls == CharClass::LineBreak) {
        SetSelection(offset, offset);
        return;
    }
    size_t start = offset;
    while (start > 0) {
        const size_t before = StepLeft(start);
        if (ClassOf(CodeAt(before)) != cls) break;
        start = before;
    }
    size_t end = offset;
    while (end < length && ClassOf(CodeAt(end)) == cls) end = StepRight(end);
    // A word takes the blanks after it, as word selection usually does.
    if (cls != CharClass::Blank)
        while (end < length && ClassOf(CodeAt(end)) == CharClass::Blank) end = StepRight(end);
    SetSelection(start, end);
}

void EditControl::SelectLineAt(size_t displayLine, bool extend)
{
    displayLine = std::min(displayLine, LineCount() - 1);
    const size_t start = layout_.DisplayLineStart(displayLine);
    const size_t next = layout_.DisplayLineNext(displayLine);
    if (extend)
        SetSelection(anchor_, start < anchor_ ? start : next);
    else
        SetSelection(start, next);
}

// ---- Editing ---------------------------------------------------------------------

void EditControl::Edit(size_t offset, size_t count, std::string_view bytes, bool typing, bool canUndo)
{
    offset = std::min(offset, text_.Length());
    count = std::min(count, text_.Length() - offset);
    if (count == 0 && bytes.empty()) return;
    if (!canUndo) {
        // Older steps restore texts from before this edit: they would undo it
        // silently along with themselves.
        undo_.clear();
    } else {
        UndoStep* last = undo_.empty() ? nullptr : &undo_.back();
        if (typing && typingOpen_ && last && last->typing && last->offset + last->inserted == offset) {
            last->removed += count;
            last->inserted += bytes.size();
        } else {
            undo_.push_back(UndoStep{text_.Snapshot(), anchor_, caret_, offset, count, bytes.size(), typing});
            if (undo_.size() > defaults::kUndoLimit) undo_.pop_front();
        }
    }
    text_.Replace(offset, count, bytes);
    layout_.Update(offset, count, bytes.size());
    modified_ = true;
    // The edit may have joined a lone lead byte with the byte after it, or a
    // CR with an LF: the caret goes to a boundary as on every other path.
    anchor_ = caret_ = Snap(offset + bytes.size());
    caretLineEnd_ = false;
    desiredX_.reset();
    typingOpen_ = typing;
    ScrollCaretIntoView();
    if (listener_) listener_->Invalidate();
    TextChanged();
    SelectionChanged();
}

void EditControl::ReplaceSel(std::string_view bytes, bool canUndo)
{
    Edit(SelStart(), SelLength(), bytes, false, canUndo);
}

void EditControl::SetOverwrite(bool on)
{
    if (on == overwrite_) return;
    overwrite_ = on;
    if (listener_) listener_->Invalidate();  // the caret's shape follows the mode
}

void EditControl::DeleteSelection()
{
    if (ReadOnly()) return;
    if (SelLength() > 0) Edit(SelStart(), SelLength(), {}, false, true);
}

void EditControl::Type(std::string_view bytes)
{
    TypeText(bytes, overwrite_);
}

void EditControl::NewLine()
{
    TypeText("\r\n", false);
}

void EditControl::TypeText(std::string_view bytes, bool overwrite)
{
    if (ReadOnly()) return;
    size_t remove = SelLength();
    if (remove == 0 && overwrite) {
        // As many characters as the typed text brings, up to the line's end.
        size_t end = caret_;
        for (size_t at = 0; at < bytes.size(); at += cp932::CharLength(bytes, at)) {
            if (end >= text_.Length() || IsBreakByte(text_.At(end))) break;
            end = StepRight(end);
        }
        remove = end - caret_;
    }
    const bool typing = typingOpen_ || SelLength() == 0;
    Edit(SelStart(), remove, bytes, typing, true);
}

void EditControl::Backspace()
{
    if (ReadOnly()) return;
    if (SelLength() > 0) {
        DeleteSelection();
        return;
    }
    if (caret_ == 0) return;
    const size_t from = StepLeft(caret_);
    Edit(from, caret_ - from, {}, false, true);
}

void EditControl::DeleteForward()
{
    if (ReadOnly()) return;
    if (SelLength() > 0) {
        DeleteSelection();
        return;
    }
    if (caret_ >= text_.Length()) return;
    Edit(caret_, StepRight(caret_) - caret_, {}, false, true);
}

void EditControl::SetText(std::string_view bytes)
{
    SetText(TextBuffer(bytes).Snapshot());
}

void EditControl::SetText(const TextSnapshot& text)
{
    text_.Restore(text);
    layout_.Reset();
    undo_.clear();
    anchor_ = caret_ = 0;
    caretLineEnd_ = false;
    desiredX_.reset();
    typingOpen_ = false;
    modified_ = false;
    firstLine_ = 0;
    xScroll_ = 0;
    if (listener_) listener_->Invalidate();
    TextChanged();
    SelectionChanged();
}

void EditControl::ReplaceAll(std::string_view bytes, size_t caret)
{
    ReplaceAll(TextBuffer(bytes).Snapshot(), caret);
}

void EditControl::ReplaceAll(const TextSnapshot& text, size_t caret)
{
    if (text_.Snapshot() == text) {
        SetSelection(caret, caret);
        return;
    }
    UndoStep step{text_.Snapshot(), anchor_, caret_, 0, text_.Length(), text.Length(), false};
    text_.Restore(text);
    FinishRangeEdit(std::move(step), caret, true);
}

// ---- Range edits -----------------------------------------------------------------

void EditControl::FinishRangeEdit(UndoStep step, size_t caret, bool relayOutAll)
{
    const size_t first = firstLine_;
    if (relayOutAll) layout_.Reset();
    else layout_.Update(step.offset, step.removed, step.inserted);
    undo_.push_back(std::move(step));
    if (undo_.size() > defaults::kUndoLimit) undo_.pop_front();
    modified_ = true;
    typingOpen_ = false;
    anchor_ = caret_ = Snap(caret);
    caretLineEnd_ = false;
    desiredX_.reset();
    ScrollToLine(first);
    ScrollCaretIntoView();
    if (listener_) listener_->Invalidate();
    TextChanged();
    SelectionChanged();
}

void EditControl::ReplaceRange(size_t offset, size_t count, std::string_view bytes, size_t caret)
{
    offset = std::min(offset, text_.Length());
    count = std::min(count, text_.Length() - offset);
    bool same = count == bytes.size();
    if (same) {
        size_t at = 0;
        text_.Visit(offset, count, [&](std::string_view piece) {
            same = piece == bytes.substr(at, piece.size());
            at += piece.size();
            return same;
        });
    }
    if (same) {
        SetSelection(caret, caret);
        return;
    }
    UndoStep step{text_.Snapshot(), anchor_, caret_, offset, count, bytes.size(), false, firstLine_, xScroll_};
    text_.Replace(offset, count, bytes);
    FinishRangeEdit(std::move(step), caret, false);
}

void EditControl::Crop(size_t offset, size_t count)
{
    const size_t length = text_.Length();
    offset = std::min(offset, length);
    count = std::min(count, length - offset);
    if (count == length) {
        SetSelection(0, 0);
        return;
    }
    UndoStep step{text_.Snapshot(), anchor_, caret_, 0, length, count, false, firstLine_, xScroll_};
    text_.Erase(offset + count, length - offset - count);
    text_.Erase(0, offset);
    // What remains is laid out anew: its size, not the old text's.
    FinishRangeEdit(std::move(step), 0, true);
}

void EditControl::MapCase(CaseMapping mapping, size_t offset, size_t count, size_t caret)
{
    const auto to = mapping == CaseMapping::Upper ? cp932::LetterCase::Upper : cp932::LetterCase::Lower;
    UndoStep step{text_.Snapshot(), anchor_, caret_, 0, 0, 0, false, firstLine_, xScroll_};
    const TextBuffer::Span span = text_.Rewrite(offset, count, [to](std::string_view bytes, char* out) {
        const cp932::CaseMapResult result = cp932::MapCase(to, bytes, out);
        return TextBuffer::RewriteResult{result.consumed, result.changed};
    });
    if (span.Empty()) {
        SetSelection(caret, caret);
        return;
    }
    step.offset = span.first;
    step.removed = step.inserted = span.last - span.first;
    FinishRangeEdit(std::move(step), caret, false);
}

EditControl::State EditControl::SaveState() const
{
    return State{text_.Snapshot(), anchor_, caret_, firstLine_, xScroll_, undo_, modified_};
}

void EditControl::RestoreState(const State& state)
{
    const bool sameText = text_.Snapshot().SharesStateWith(state.text);
    if (!sameText) {
        text_.Restore(state.text);
        layout_.Reset();
    }
    undo_ = state.undo;
    modified_ = state.modified;
    typingOpen_ = false;
    desiredX_.reset();
    anchor_ = Snap(state.anchor);
    caret_ = Snap(state.caret);
    caretLineEnd_ = false;
    firstLine_ = std::min(state.firstLine, LineCount() - 1);
    xScroll_ = state.xScroll;
    if (listener_) listener_->Invalidate();
    if (!sameText) TextChanged();
    SelectionChanged();
}

bool EditControl::Undo()
{
    if (undo_.empty() || ReadOnly()) return false;
    UndoStep step = std::move(undo_.back());
    undo_.pop_back();
    text_.Restore(step.before);
    layout_.Update(step.offset, step.inserted, step.removed);
    modified_ = true;
    typingOpen_ = false;
    anchor_ = Snap(step.anchor);
    caret_ = Snap(step.caret);
    caretLineEnd_ = false;
    desiredX_.reset();
    if (step.firstLine) {
        firstLine_ = std::min(*step.firstLine, LineCount() - 1);
        xScroll_ = step.xScroll;
    } else {
        ScrollCaretIntoView();
    }
    if (listener_) listener_->Invalidate();
    TextChanged();
    SelectionChanged();
    return true;
}

std::string EditControl::LineText(size_t displayLine) const
{
    if (displayLine >= LineCount()) return {};
    const size_t start = layout_.DisplayLineStart(displayLine);
    return text_.Read(start, layout_.DisplayLineEnd(displayLine) - start);
}

void EditControl::DeleteLine(size_t displayLine)
{
    if (displayLine >= LineCount()) return;
    const size_t start = layout_.DisplayLineStart(displayLine);
    const size_t next = layout_.DisplayLineNext(displayLine);
    Edit(start, next - start, {}, false, true);
}

// ---- Clipboard -------------------------------------------------------------------

bool EditControl::Copy()
{
    if (!clipboard_ || SelLength() == 0) return false;
    return clipboard_->SetText(codec_.ToUtf16(SelText()));
}

bool EditControl::Cut()
{
    if (ReadOnly() || !Copy()) return false;
    DeleteSelection();
    return true;
}

bool EditControl::Paste()
{
    if (!clipboard_ || ReadOnly()) return false;
    const std::optional<std::u16string> text = clipboard_->GetText();
    if (!text) return false;
    ReplaceSel(codec_.FromUtf16(*text));
    return true;
}

// ---- Caret movement ------------------------------------------------------------

EditControl::Spot EditControl::SpotAtX(size_t line, int x) const
{
    const size_t offset = layout_.OffsetAtX(line, x);
    // Past the last glyph of a wrapped line: its end, not the next line's start.
    return Spot{offset, layout_.DisplayLineOfOffset(offset) != line};
}

EditControl::Spot EditControl::MoveVertically(int64_t lines)
{
    const size_t line = CaretLine();
    if (!desiredX_) desiredX_ = CaretX();
    const int64_t target = std::clamp<int64_t>(static_cast<int64_t>(line) + lines, 0,
                                               static_cast<int64_t>(LineCount()) - 1);
    return SpotAtX(static_cast<size_t>(target), *desiredX_);
}

void EditControl::MoveCaret(CaretMove move, bool extend)
{
    Spot caret{caret_};
    bool keepX = false;
    const bool collapse = !extend && SelLength() > 0;
    const int64_t page = static_cast<int64_t>(std::max<size_t>(VisibleLineCount(), 1));
    switch (move) {
    case CaretMove::Left:
        caret.offset = collapse ? SelStart() : StepLeft(caret_);
        break;
    case CaretMove::Right:
        // From a wrapped line's end, one step is the next line's start.
        if (collapse)
            caret.offset = SelEnd();
        else if (!CaretAtLineEnd())
            caret.offset = StepRight(caret_);
        break;
    case CaretMove::Up:
        caret = MoveVertically(-1);
        keepX = true;
        break;
    case CaretMove::Down:
        caret = MoveVertically(1);
        keepX = true;
        break;
    case CaretMove::PageUp:
        caret = MoveVertically(-page);
        ScrollLines(-static_cast<int64_t>(VisibleLineCount()));
        keepX = true;
        break;
    case CaretMove::PageDown:
        caret = MoveVertically(page);
        ScrollLines(static_cast<int64_t>(VisibleLineCount()));
        keepX = true;
        break;
    case CaretMove::Home:
        caret.offset = layout_.DisplayLineStart(CaretLine());
        break;
    case CaretMove::End:
        // A wrapped line ends where the next begins: the caret stays on this one.
        caret = Spot{layout_.DisplayLineEnd(CaretLine()), true};
        break;
    case CaretMove::DocumentStart:
        caret.offset = 0;
        break;
    case CaretMove::DocumentEnd:
        caret.offset = text_.Length();
        break;
    case CaretMove::WordLeft:
        caret.offset = WordLeft(caret_);
        break;
    case CaretMove::WordRight:
        caret.offset = WordRight(caret_);
        break;
    }
    const std::optional<int> x = desiredX_;
    SetSelection(extend ? anchor_ : caret.offset, caret.offset, keepX, caret.lineEnd);
    if (keepX) desiredX_ = x;
    ScrollCaretIntoView();
}

// ---- Search --------------------------------------------------------------------

int64_t EditControl::FindText(int64_t cpMin, int64_t cpMax, std::string_view pattern, uint32_t flags) const
{
    const size_t length = text_.Length();
    const size_t from = cpMin < 0 ? 0 : std::min<size_t>(static_cast<size_t>(cpMin), length);
    const size_t to = cpMax < 0 ? length : std::min<size_t>(static_cast<size_t>(cpMax), length);
    return FindInText(text_, from, to, pattern,
                      FindOptions{(flags & re::kFtMatchCase) != 0, (flags & re::kFtWholeWord) != 0});
}

// ---- Geometry ------------------------------------------------------------------

re::Rect EditControl::FormatRect() const
{
    if (formatRect_) return *formatRect_;
    const int bar = (options_ & re::kEcoSelectionBar) ? kSelectionBarWidth96 : 1;
    return re::Rect{bar, 0, std::max(bar, clientWidth_), std::max(0, clientHeight_)};
}

void EditControl::SetFormatRect(const re::Rect& rect)
{
    const bool reset = rect.left == 0 && rect.top == 0 && rect.right == 0 && rect.bottom == 0;
    // The same rectangle again changes nothing: no layout, no repaint.
    if (reset && !formatRect_) return;
    if (!reset && formatRect_ && formatRect_->left == rect.left && formatRect_->top == rect.top &&
        formatRect_->right == rect.right && formatRect_->bottom == rect.bottom)
        return;
    if (reset)
        formatRect_.reset();
    else
        formatRect_ = rect;
    ApplyWrapWidth();
    if (listener_) listener_->Invalidate();
}

void EditControl::SetClientSize(int width, int height)
{
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
    ApplyWrapWidth();
}

void EditControl::SetWordWrap(bool on)
{
    wordWrap_ = on;
    ApplyWrapWidth();
}

void EditControl::ApplyWrapWidth()
{
    const int width = wordWrap_ ? re::ClampToInt32(std::max<int64_t>(1, re::Width(FormatRect()))) : 0;
    if (width != layout_.WrapWidth()) {
        layout_.SetWrapWidth(width);
        if (wordWrap_) xScroll_ = 0;
        firstLine_ = std::min(firstLine_, LineCount() - 1);
        if (listener_) listener_->Invalidate();
    }
}

void EditControl::MetricsChanged()
{
    // The overflow cell is as wide as a full-width square in the font.
    layout_.SetRules(layout_.Rules(), OverflowCellWidth());
    layout_.Reset();
    firstLine_ = std::min(firstLine_, LineCount() - 1);
    if (listener_) listener_->Invalidate();
}

int64_t EditControl::LineIndex(int64_t line) const
{
    if (line < 0) return static_cast<int64_t>(layout_.DisplayLineStart(layout_.DisplayLineOfOffset(caret_)));
    if (static_cast<size_t>(line) >= LineCount()) return -1;
    return static_cast<int64_t>(layout_.DisplayLineStart(static_cast<size_t>(line)));
}

size_t EditControl::LineLength(size_t offset) const
{
    const size_t line = layout_.DisplayLineOfOffset(offset);
    return layout_.DisplayLineEnd(line) - layout_.DisplayLineStart(line);
}

size_t EditControl::VisibleLineCount() const
{
    const int height = std::max(LineHeight(), 1);
    return static_cast<size_t>(std::max<int64_t>(0, re::Height(FormatRect())) / height);
}

void EditControl::ScrollToLine(size_t line)
{
    line = std::min(line, LineCount() - 1);
    if (line == firstLine_) return;
    firstLine_ = line;
    if (listener_) listener_->Invalidate();
}

void EditControl::ScrollLines(int64_t delta)
{
    const int64_t target = static_cast<int64_t>(firstLine_) + delta;
    ScrollToLine(static_cast<size_t>(std::max<int64_t>(target, 0)));
}

int EditControl::MaxXScroll() const
{
    // Lines not painted yet may be wider than any measured so far.
    const size_t end = std::min(LineCount(), firstLine_ + std::max<size_t>(VisibleLineCount(), 1));
    for (size_t line = firstLine_; line < end; ++line) layout_.LineWidth(line);
    return layout_.MaxLineWidth();
}

void EditControl::SetXScroll(int64_t x)
{
    const int clamped = static_cast<int>(std::clamp<int64_t>(x, 0, MaxXScroll()));
    if (clamped == xScroll_) return;
    xScroll_ = clamped;
    if (listener_) listener_->Invalidate();
}

void EditControl::ScrollCaretIntoView()
{
    const size_t line = CaretLine();
    const size_t visible = std::max<size_t>(VisibleLineCount(), 1);
    if (line < firstLine_)
        ScrollToLine(line);
    else if (line >= firstLine_ + visible)
        ScrollToLine(line - visible + 1);
    if (wordWrap_ || clientWidth_ <= 0) return;
    const int64_t width = std::max<int64_t>(1, re::Width(FormatRect()));
    const int64_t x = CaretX();
    if (x < xScroll_)
        SetXScroll(x - width / 3);
    else if (x >= xScroll_ + width)
        SetXScroll(x - width + width / 3);
}

re::PointL EditControl::PosFromChar(size_t offset) const
{
    offset = std::min(offset, text_.Length());
    const re::Rect rect = FormatRect();
    const size_t line = layout_.DisplayLineOfOffset(offset);
    const int64_t row = static_cast<int64_t>(line) - static_cast<int64_t>(firstLine_);
    return re::PointL{re::ClampToInt32(static_cast<int64_t>(rect.left) + layout_.XOfOffset(offset) - xScroll_),
                      re::ClampToInt32(rect.top + row * LineHeight())};
}

size_t EditControl::LineAtY(int32_t y) const
{
    const re::Rect rect = FormatRect();
    const int height = std::max(LineHeight(), 1);
    const int64_t row = y < rect.top ? -1 : (static_cast<int64_t>(y) - rect.top) / height;
    return static_cast<size_t>(std::clamp<int64_t>(static_cast<int64_t>(firstLine_) + row, 0,
                                                   static_cast<int64_t>(LineCount()) - 1));
}

EditControl::Spot EditControl::SpotFromPos(re::PointL point) const
{
    const int64_t x = static_cast<int64_t>(point.x) - FormatRect().left + xScroll_;
    return SpotAtX(LineAtY(point.y), re::ClampToInt32(x));
}

// ---- Options -------------------------------------------------------------------

uint32_t EditControl::SetOptions(uint32_t operation, uint32_t value)
{
    switch (operation) {
    case re::kEcoopSet: options_ = value; break;
    case re::kEcoopOr: options_ |= value; break;
    case re::kEcoopAnd: options_ &= value; break;
    case re::kEcoopXor: options_ ^= value; break;
    default: break;
    }
    ApplyWrapWidth();
    if (listener_) listener_->Invalidate();
    return options_;
}

uint32_t EditControl::SetEventMask(uint32_t mask)
{
    const uint32_t previous = eventMask_;
    eventMask_ = mask;
    return previous;
}

uint32_t EditControl::SetBackgroundColor(bool useSystem, uint32_t rgb)
{
    const uint32_t previous = background_;
    systemBackground_ = useSystem;
    if (!useSystem) background_ = rgb & 0x00FFFFFF;
    if (listener_) listener_->Invalidate();
    return previous;
}

uint32_t EditControl::SetWordWrapMode(uint32_t mode)
{
    const uint32_t previous = wordWrapMode_;
    wordWrapMode_ = mode;
    if (mode != previous) ApplyRules();
    return previous;
}

namespace {

// The rule a mode word selects: level 1 with the level-1 bit alone, the
// custom sets with the custom bit and no level bit, level 2 otherwise (no
// rule bit, or both level bits).
int RuleLevel(uint32_t mode)
{
    constexpr uint32_t kLevels = re::kWbfLevel1 | re::kWbfLevel2;
    if ((mode & kLevels) == re::kWbfLevel1) return 1;
    if ((mode & (kLevels | re::kWbfCustom)) == re::kWbfCustom) return 0;
    return 2;
}

}  // namespace

std::string EditControl::Punctuation(uint32_t type) const
{
    if (type < 1 || type > 4) return {};
    const int level = RuleLevel(wordWrapMode_);
    if (level == 0) return customPunctuation_[type - 1];
    return std::string(defaults::Punctuation(level, type));
}

bool EditControl::SetPunctuation(uint32_t type, std::string_view characters)
{
    if (type < 1 || type > 4) return false;
    bool valid = !characters.empty() && characters.size() <= 255;
    for (size_t at = 0; valid && at < characters.size();) {
        const auto b = static_cast<uint8_t>(characters[at]);
        const size_t length = cp932::CharLength(characters, at);
        if (b < 0x20 || b == 0x7F) valid = false;
        if (length == 1 && cp932::IsLeadByte(b)) valid = false;  // a lead byte without its partner
        at += length;
    }
    // A refused set leaves the type empty, as the option object that sent it
    // clears its copy.
    const std::string set = valid ? std::string(characters) : std::string();
    if (set != customPunctuation_[type - 1]) {
        customPunctuation_[type - 1] = set;
        if (RuleLevel(wordWrapMode_) == 0) ApplyRules();
    }
    return valid;
}

void EditControl::HoldRules(bool hold)
{
    rulesHeld_ = hold;
    if (!hold) ApplyRules();
}

int EditControl::OverflowCellWidth() const
{
    return metrics_.CharWidth(kOverflowCellCode);
}

void EditControl::ApplyRules()
{
    if (rulesHeld_) return;
    std::pair<uint32_t, std::array<std::string, 4>> rules{
        wordWrapMode_, {Punctuation(1), Punctuation(2), Punctuation(3), Punctuation(4)}};
    if (appliedRules_ == rules) return;
    appliedRules_ = rules;
    const std::string_view views[4] = {rules.second[0], rules.second[1], rules.second[2], rules.second[3]};
    layout_.SetRules(Kinsoku(wordWrapMode_, views), OverflowCellWidth());
    firstLine_ = std::min(firstLine_, LineCount() - 1);
    if (listener_) listener_->Invalidate();
}

}  // namespace kp::memo
