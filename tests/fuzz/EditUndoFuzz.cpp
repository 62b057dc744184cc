// The edit control's text under the user's edits and undo, against a plain
// string and a stack of earlier texts: selections set anywhere (inside
// double-byte characters, between CR and LF) snap to a character boundary
// outside any CR LF pair; typing, overwriting, deleting either way, replacing
// the selection or everything, deleting lines, clearing and restoring saved
// states, the range edits (replace a range, crop, case conversion of the
// whole characters inside a range) change the string as the edit rules say; every undo step brings back
// the text from before that step (a typing run is one step). After every step
// the bytes, the display lines, the snapshot and the undo depth must agree.

#include "base/CaseMap.h"
#include "base/Cp932.h"
#include "memo/edit/EditControl.h"
#include "memo/edit/GlyphMetrics.h"
#include "platform/codec/IconvCp932Codec.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>
#include <memory>

namespace kp::fuzz {
namespace {

using memo::CaretMove;
using memo::EditControl;
using memo::TextBuffer;

// Fewer steps than the undo limit: every step is then observable.
constexpr int kMaxSteps = 90;

constexpr std::string_view kPieces[] = {
    "a", " ", "\r\n", "\r", "\n", "\x82\xA0", "\x83\x5C", "\x82", "\xA0", "\xB1", "\x81\x40", "\x81",
    "\t", "xy", std::string_view("\0", 1), "\xFC\xFC", "\x82\r\n", "Q", "\x82\x60", "\x83\xBF", "\xFA\x40"};

std::string SomeBytes(FuzzInput& in)
{
    return in.Pick(6) == 0 ? in.Bytes(8) : in.Pieces(kPieces, 3);
}

class Model {
public:
    std::string text;
    std::vector<std::string> undo;  // texts from before each undo step, oldest first

    std::vector<bool> Boundaries() const { return ReferenceBoundaries(text); }
    bool InsidePair(size_t at) const { return at > 0 && at < text.size() && text[at - 1] == '\r' && text[at] == '\n'; }
    // Where a position lands: the character boundary at or before it, and
    // never between the CR and LF of one line break.
    size_t Snap(size_t at) const
    {
        const std::vector<bool> b = Boundaries();
        at = std::min(at, text.size());
        while (!b[at]) --at;
        return InsidePair(at) ? at - 1 : at;
    }
    bool Snapped(size_t at) const { return at <= text.size() && Boundaries()[at] && !InsidePair(at); }
    size_t StepRight(size_t at) const
    {
        if (at + 1 < text.size() && text[at] == '\r' && text[at + 1] == '\n') return at + 2;
        const std::vector<bool> b = Boundaries();
        while (!b[++at]) {}
        return at;
    }
    size_t StepLeft(size_t at) const
    {
        if (at >= 2 && text[at - 1] == '\n' && text[at - 2] == '\r') return at - 2;
        const std::vector<bool> b = Boundaries();
        while (!b[--at]) {}
        return at;
    }
};

// The characters wholly inside [start, end), delimited from the text's
// start, in the case asked for, one at a time.
std::string MapReference(const std::string& text, size_t start, size_t end, cp932::LetterCase to)
{
    std::string out = text;
    for (size_t i = 0; i < text.size();) {
        const size_t length = cp932::CharLength(text, i);
        if (i >= start && i + length <= end) {
            uint16_t code = static_cast<uint8_t>(text[i]);
            if (length == 2) code = static_cast<uint16_t>((code << 8) | static_cast<uint8_t>(text[i + 1]));
            const uint16_t mapped = cp932::CasePartner(to, code);
            if (length == 2) out[i] = static_cast<char>(mapped >> 8);
            out[i + length - 1] = static_cast<char>(mapped & 0xFF);
        }
        i += length;
    }
    return out;
}

size_t SomeOffset(FuzzInput& in, const std::string& text)
{
    const size_t from = in.Pick(text.size() + 1);
    switch (in.Pick(4)) {
    case 0:
        for (size_t i = from; i < text.size(); ++i)
            if (static_cast<uint8_t>(text[i]) >= 0x81) return i + 1;
        return from;
    case 1: {
        const size_t at = text.find("\r\n", from);
        return at == std::string::npos ? from : at + 1;
    }
    case 2: return text.size() + in.Pick(3);
    default: return from;
    }
}

void CheckControl(const EditControl& control, const Model& model, bool wrap, FuzzInput& in)
{
    const std::string& text = model.text;
    KP_CHECK(control.GetText() == text, "bytes differ: " + Escaped(control.GetText()) + "\nexpected " + Escaped(text));
    const std::string structure = control.Text().CheckStructure();
    KP_CHECK(structure.empty(), "structure: " + structure);
    KP_CHECK(control.Snapshot() == TextBuffer(text).Snapshot(), "the snapshot differs from the same text built anew");
    KP_CHECK(control.UndoDepth() == model.undo.size(), "undo depth " + std::to_string(control.UndoDepth()) +
                                                        ", expected " + std::to_string(model.undo.size()));
    KP_CHECK(control.SelStart() <= control.SelEnd() && control.SelEnd() <= text.size(), "the selection lies outside");
    KP_CHECK(control.FirstVisibleLine() < control.LineCount(), "the first visible line lies past the last");

    const std::vector<size_t> starts = ReferenceLineStarts(text);
    if (!wrap) {
        KP_CHECK(control.LineCount() == starts.size(), "line count " + std::to_string(control.LineCount()) + " for " +
                                                        std::to_string(starts.size()) + " in " + Escaped(text));
        for (size_t line = 0; line < starts.size(); ++line)
            KP_CHECK(control.LineIndex(static_cast<int64_t>(line)) == static_cast<int64_t>(starts[line]),
                  "line " + std::to_string(line) + " starts elsewhere in " + Escaped(text));
        for (int n = 0; n < 8; ++n) {
            const size_t offset = in.Pick(text.size() + 1);
            const size_t line =
                static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin()) - 1;
            KP_CHECK(control.LineFromChar(offset) == line, "offset " + std::to_string(offset) + " on another line");
        }
    } else {
        KP_CHECK(control.LineCount() >= starts.size(), "fewer display lines than lines");
        for (const size_t start : starts)
            KP_CHECK(control.LineIndex(static_cast<int64_t>(control.LineFromChar(start))) == static_cast<int64_t>(start),
                  "a line start " + std::to_string(start) + " is no display line start in " + Escaped(text));
    }
}

void CheckSnapped(const EditControl& control, const Model& model, const std::string& after)
{
    KP_CHECK(model.Snapped(control.Caret()) && model.Snapped(control.Anchor()),
          after + " left the selection " + std::to_string(control.Anchor()) + ".." + std::to_string(control.Caret()) +
              " inside a character or a line break of " + Escaped(model.text));
}

// An edit of the control's rules applied to the model: offset, removed
// bytes, inserted bytes; undoable unless told otherwise.
void Apply(Model& model, size_t offset, size_t count, const std::string& bytes, size_t depthBefore,
           const EditControl& control, bool typing, bool canUndo = true)
{
    if (count == 0 && bytes.empty()) return;
    const std::string before = model.text;
    model.text.replace(offset, count, bytes);
    if (!canUndo) {
        model.undo.clear();
    } else if (!(typing && control.UndoDepth() == depthBefore && !model.undo.empty())) {
        model.undo.push_back(before);  // a typing run that went on is the same step
    }
    // After the edit, or before the character the edit's end joined.
    KP_CHECK(control.Caret() == model.Snap(offset + bytes.size()) && control.Anchor() == control.Caret(),
          "the caret is not after the edit");
}

void Run(FuzzInput& in)
{
    static const platform::IconvCp932Codec codec;
    memo::FixedGlyphMetrics metrics;
    auto control = std::make_unique<EditControl>(metrics, codec, nullptr);
    control->SetClientSize(static_cast<int>(in.Pick(200)), static_cast<int>(in.Pick(100)));
    const bool wrap = in.Flag();
    control->SetWordWrap(wrap);
    Model model;
    model.text = SomeBytes(in);
    control->SetText(model.text);
    std::optional<std::pair<EditControl::State, Model>> saved;

    for (int step = 0; step < kMaxSteps && !in.Empty(); ++step) {
        const size_t depth = control->UndoDepth();
        const size_t selStart = control->SelStart(), selLength = control->SelLength(), caret = control->Caret();
        const std::string& text = model.text;
        switch (in.Pick(15)) {
        case 0:
        case 1: {
            const int64_t start = in.Pick(10) == 0 ? -1 : static_cast<int64_t>(SomeOffset(in, text));
            const int64_t end = in.Pick(10) == 0 ? -1 : static_cast<int64_t>(SomeOffset(in, text));
            control->SetSel(start, end);
            CheckSnapped(*control, model, "SetSel");
            if (start >= 0)
                KP_CHECK(control->Anchor() == model.Snap(static_cast<size_t>(start)) &&
                          control->Caret() == model.Snap(end < 0 ? text.size() : static_cast<size_t>(end)),
                      "SetSel(" + std::to_string(start) + ", " + std::to_string(end) + ") selected " +
                          std::to_string(control->Anchor()) + ".." + std::to_string(control->Caret()));
            break;
        }
        case 2: {
            const std::string bytes = SomeBytes(in);
            const bool canUndo = in.Pick(8) != 0;
            control->ReplaceSel(bytes, canUndo);
            Apply(model, selStart, selLength, bytes, depth, *control, false, canUndo);
            break;
        }
        case 3:
        case 4: {
            const std::string bytes = in.Pieces(kPieces, 1);
            // Overwriting takes as many characters as the typed bytes hold,
            // up to the line's end.
            size_t remove = selLength;
            if (remove == 0 && control->Overwrite()) {
                const std::vector<bool> typed = ReferenceBoundaries(bytes);
                size_t end = caret;
                for (size_t n = std::count(typed.begin(), typed.end(), true) - 1; n > 0; --n) {
                    if (end >= text.size() || text[end] == '\r' || text[end] == '\n') break;
                    end = model.StepRight(end);
                }
                remove = end - caret;
            }
            control->Type(bytes);
            Apply(model, selStart, remove, bytes, depth, *control, true);
            break;
        }
        case 5:
            control->Backspace();
            if (selLength > 0) Apply(model, selStart, selLength, "", depth, *control, false);
            else if (caret > 0) Apply(model, model.StepLeft(caret), caret - model.StepLeft(caret), "", depth, *control, false);
            break;
        case 6:
            control->DeleteForward();
            if (selLength > 0) Apply(model, selStart, selLength, "", depth, *control, false);
            else if (caret < text.size()) Apply(model, caret, model.StepRight(caret) - caret, "", depth, *control, false);
            break;
        case 7: {
            const bool undone = control->Undo();
            KP_CHECK(undone == !model.undo.empty(), "Undo answered " + std::to_string(undone));
            if (undone) {
                model.text = model.undo.back();
                model.undo.pop_back();
                CheckSnapped(*control, model, "Undo");
            }
            break;
        }
        case 8: {
            const size_t line = in.Pick(control->LineCount() + 1);
            size_t start = 0, next = 0;
            if (line < control->LineCount()) {
                start = static_cast<size_t>(control->LineIndex(static_cast<int64_t>(line)));
                next = line + 1 < control->LineCount() ? static_cast<size_t>(control->LineIndex(static_cast<int64_t>(line + 1)))
                                                       : text.size();
            }
            control->DeleteLine(line);
            Apply(model, start, next - start, "", depth, *control, false);
            break;
        }
        case 9: {
            const std::string bytes = in.Flag() ? text : SomeBytes(in) + text.substr(0, in.Pick(text.size() + 1));
            const size_t at = in.Pick(bytes.size() + 2);
            control->ReplaceAll(bytes, at);
            if (bytes != text) {
                model.undo.push_back(text);
                model.text = bytes;
            }
            CheckSnapped(*control, model, "ReplaceAll");
            KP_CHECK(control->Caret() == model.Snap(at), "ReplaceAll put the caret elsewhere");
            break;
        }
        case 10:
            model.text = SomeBytes(in);
            model.undo.clear();
            control->SetText(model.text);
            KP_CHECK(control->Caret() == 0 && !control->Modified(), "SetText left a caret or the modified flag");
            break;
        case 11:
            if (in.Flag() || !saved) {
                saved.emplace(control->SaveState(), model);
            } else {
                control->RestoreState(saved->first);
                model = saved->second;
                CheckSnapped(*control, model, "RestoreState");
            }
            break;
        case 12:
            control->ToggleOverwrite();
            break;
        case 13: {
            const size_t offset = SomeOffset(in, text);
            const size_t count = in.Pick(text.size() + 2);
            size_t at = SomeOffset(in, text);
            const size_t start = std::min(offset, text.size());
            const size_t end = start + std::min(count, text.size() - start);
            std::string expected;
            switch (in.Pick(3)) {
            case 0: {
                const std::string bytes = SomeBytes(in);
                control->ReplaceRange(offset, count, bytes, at);
                expected = text.substr(0, start) + bytes + text.substr(end);
                break;
            }
            case 1:
                control->Crop(offset, count);
                expected = text.substr(start, end - start);
                at = 0;
                break;
            default: {
                const bool upper = in.Flag();
                control->MapCase(upper ? memo::CaseMapping::Upper : memo::CaseMapping::Lower, offset, count, at);
                expected = MapReference(text, start, end, upper ? cp932::LetterCase::Upper : cp932::LetterCase::Lower);
                break;
            }
            }
            if (expected != model.text) {
                model.undo.push_back(model.text);
                model.text = expected;
            }
            CheckSnapped(*control, model, "A range edit");
            KP_CHECK(control->Caret() == model.Snap(at) && control->SelLength() == 0,
                     "a range edit put the caret at " + std::to_string(control->Caret()) + ", not " +
                         std::to_string(model.Snap(at)));
            break;
        }
        default:
            control->MoveCaret(static_cast<CaretMove>(in.Pick(12)), in.Flag());
            KP_CHECK(model.Snapped(control->Caret()), "MoveCaret left the caret at " + std::to_string(control->Caret()) +
                                                       " inside a character or a line break of " + Escaped(model.text));
            break;
        }
        CheckControl(*control, model, wrap, in);
    }
    // Undoing everything goes back through every earlier text.
    while (!model.undo.empty()) {
        KP_CHECK(control->Undo(), "an undo step went missing");
        model.text = model.undo.back();
        model.undo.pop_back();
        CheckControl(*control, model, wrap, in);
    }
    KP_CHECK(!control->Undo(), "an undo step too many");
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
