// What editing costs in the edit control's model on big documents: loading
// 1, 10 and 100 MB, a keystroke and a caret move at the end of 100 MB against
// 1 KB (word wrap off and on), and laying out one screen for painting; the
// same on one logical line of 8 MB, and Enter typed into it.

#include "memo/edit/EditControl.h"
#include "bench/SampleText.h"
#include "platform/codec/IconvCp932Codec.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

using namespace kp::memo;

constexpr int64_t kKB = 1 << 10;
constexpr int64_t kMB = 1 << 20;

const std::string& Text(size_t size) { return kp::bench::CachedJapaneseText(size); }

// The sample text as one logical line: its line breaks become letters, with a
// tab about every 100 bytes.
const std::string& OneLineText(size_t size)
{
    static std::map<size_t, std::string> cache;
    std::string& text = cache[size];
    if (!text.empty()) return text;
    text = Text(size);
    size_t sinceTab = 0;
    for (size_t at = 0; at < text.size(); ++at, ++sinceTab) {
        const auto byte = static_cast<uint8_t>(text[at]);
        if (byte == '\r' || byte == '\n') text[at] = 'z';
        if (byte >= 0x81) {  // keep the double-byte character whole
            ++at;
            ++sinceTab;
            continue;
        }
        if (sinceTab >= 100 && text[at] != 'z') {
            text[at] = '\t';
            sinceTab = 0;
        }
    }
    return text;
}

struct Editor {
    explicit Editor(size_t size, bool wrap) : Editor(Text(size), wrap) {}
    Editor(const std::string& text, bool wrap) : control(metrics, codec, nullptr)
    {
        control.SetClientSize(800, 600);
        control.SetWordWrap(wrap);
        control.SetText(text);
        control.MoveCaret(CaretMove::DocumentEnd, false);
    }
    FixedGlyphMetrics metrics;
    kp::platform::IconvCp932Codec codec;
    EditControl control;
};

void BM_Load(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    const bool wrap = state.range(1) != 0;
    Text(size);
    Editor editor(1, wrap);
    for (auto _ : state) editor.control.SetText(Text(size));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}
BENCHMARK(BM_Load)->ArgsProduct({{kMB, 10 * kMB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond);

// Typing one character then taking it back (so the document stays the same
// size), at the end of the document.
void BM_KeystrokeAtEnd(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        editor.control.Type("x");
        editor.control.Backspace();
    }
}
BENCHMARK(BM_KeystrokeAtEnd)->ArgsProduct({{kKB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMicrosecond);

void BM_CaretMoveAtEnd(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    for (auto _ : state) {
        editor.control.MoveCaret(CaretMove::Up, false);
        editor.control.MoveCaret(CaretMove::Left, false);
        editor.control.MoveCaret(CaretMove::Down, false);
        editor.control.MoveCaret(CaretMove::DocumentEnd, false);
    }
}
BENCHMARK(BM_CaretMoveAtEnd)->ArgsProduct({{kKB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMicrosecond);

// What a paint asks of the model: the glyphs of every visible line and the
// caret's position.
void BM_LayOutOneScreen(benchmark::State& state)
{
    Editor editor(static_cast<size_t>(state.range(0)), state.range(1) != 0);
    const EditControl& control = editor.control;
    for (auto _ : state) {
        const size_t first = control.FirstVisibleLine();
        const size_t end = std::min(control.LineCount(), first + control.VisibleLineCount() + 1);
        size_t glyphs = 0;
        for (size_t line = first; line < end; ++line) glyphs += control.GetLayout().Glyphs(line).size();
        benchmark::DoNotOptimize(glyphs);
        benchmark::DoNotOptimize(control.PosFromChar(control.Caret()));
    }
}
BENCHMARK(BM_LayOutOneScreen)->ArgsProduct({{kKB, 100 * kMB}, {0, 1}})->Unit(benchmark::kMicrosecond);

// One logical line of 8 MB, the caret at its start (0), middle (1) or end (2).
constexpr size_t kLongLine = 8 * kMB;

struct LongLineEditor : Editor {
    LongLineEditor(int64_t where, bool wrap) : Editor(OneLineText(kLongLine), wrap)
    {
        if (where == 0) control.MoveCaret(CaretMove::DocumentStart, false);
        if (where == 1) {
            control.SetSel(static_cast<int64_t>(kLongLine / 2), static_cast<int64_t>(kLongLine / 2));
            control.MoveCaret(CaretMove::Left, false);  // onto a character boundary
        }
    }
    static const char* Label(int64_t where) { return where == 0 ? "start" : where == 1 ? "middle" : "end"; }
};

void BM_LongLineKeystroke(benchmark::State& state)
{
    LongLineEditor editor(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        editor.control.Type("x");
        editor.control.Backspace();
    }
    state.SetLabel(LongLineEditor::Label(state.range(0)));
}
BENCHMARK(BM_LongLineKeystroke)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Enter then Backspace: the line split in two at the caret and joined again.
void BM_LongLineEnter(benchmark::State& state)
{
    LongLineEditor editor(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        editor.control.NewLine();
        editor.control.Backspace();
    }
    state.SetLabel(LongLineEditor::Label(state.range(0)));
}
BENCHMARK(BM_LongLineEnter)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Six caret moves a round: Right, Left, Up and Down with the desired x, and a
// hit test at the caret's own position.
void BM_LongLineCaretMove(benchmark::State& state)
{
    LongLineEditor editor(state.range(0), state.range(1) != 0);
    EditControl& control = editor.control;
    for (auto _ : state) {
        control.MoveCaret(CaretMove::Right, false);
        control.MoveCaret(CaretMove::Left, false);
        control.MoveCaret(CaretMove::Up, false);
        control.MoveCaret(CaretMove::Down, false);
        benchmark::DoNotOptimize(control.CharFromPos(control.PosFromChar(control.Caret())));
    }
    state.SetLabel(LongLineEditor::Label(state.range(0)));
}
BENCHMARK(BM_LongLineCaretMove)->ArgsProduct({{0, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

// Home then End on the display line: with wrap off, the whole 8 MB line.
void BM_LongLineHomeEnd(benchmark::State& state)
{
    LongLineEditor editor(state.range(0), state.range(1) != 0);
    for (auto _ : state) {
        editor.control.MoveCaret(CaretMove::Home, false);
        editor.control.MoveCaret(CaretMove::End, false);
    }
    state.SetLabel(LongLineEditor::Label(state.range(0)));
}
BENCHMARK(BM_LongLineHomeEnd)->ArgsProduct({{0, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

// What a paint asks of the model scrolled to the line's end.
void BM_LongLineLayOutOneScreen(benchmark::State& state)
{
    LongLineEditor editor(2, state.range(0) != 0);
    const EditControl& control = editor.control;
    for (auto _ : state) {
        const size_t first = control.FirstVisibleLine();
        const size_t end = std::min(control.LineCount(), first + control.VisibleLineCount() + 1);
        size_t glyphs = 0;
        for (size_t line = first; line < end; ++line)
            glyphs += control.GetLayout().Glyphs(line, control.XScroll(), control.XScroll() + 800).size();
        benchmark::DoNotOptimize(glyphs);
        benchmark::DoNotOptimize(control.PosFromChar(control.Caret()));
    }
}
BENCHMARK(BM_LongLineLayOutOneScreen)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);



// Laying out 100 MB wrapped with the Japanese line-breaking rules (level 2,
// wrap, word break and overflow) against wrapping at the width alone.
void BM_LayOutWrapped(benchmark::State& state)
{
    const auto size = static_cast<size_t>(state.range(0));
    const bool rules = state.range(1) != 0;
    Text(size);
    Editor editor(1, true);
    editor.control.SetWordWrapMode(rules ? re::kWbfLevel2 | re::kWbfWordWrap | re::kWbfWordBreak | re::kWbfOverflow
                                         : re::kWbfLevel2);
    for (auto _ : state) editor.control.SetText(Text(size));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
    state.SetLabel(rules ? "line-breaking rules" : "at the width");
}
BENCHMARK(BM_LayOutWrapped)->ArgsProduct({{100 * kMB}, {0, 1}})->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
