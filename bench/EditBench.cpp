// What editing costs in the edit control's model on big documents: loading
// 1, 10 and 100 MB, a keystroke and a caret move at the end of 100 MB against
// 1 KB (word wrap off and on), and laying out one screen for painting.

#include "memo/edit/EditControl.h"
#include "platform/codec/IconvCp932Codec.h"

#include <benchmark/benchmark.h>

#include <map>
#include <random>
#include <string>

namespace {

using namespace kp::memo;

constexpr int64_t kKB = 1 << 10;
constexpr int64_t kMB = 1 << 20;

// Japanese-like text: ASCII words and double-byte kana and kanji, CR LF
// every 40 to 80 bytes.
const std::string& Text(size_t size)
{
    static std::map<size_t, std::string> cache;
    std::string& s = cache[size];
    if (!s.empty()) return s;
    std::mt19937 rng(2026);
    s.reserve(size + 8);
    size_t lineStart = 0;
    while (s.size() < size) {
        const uint32_t r = rng();
        if (s.size() - lineStart >= 40 + r % 41) {
            s += "\r\n";
            lineStart = s.size();
        } else if (r % 3 == 0) {
            s += static_cast<char>('a' + (r >> 8) % 26);
        } else {
            s += static_cast<char>(0x82 + (r >> 8) % 2);
            s += static_cast<char>(0x9F + (r >> 12) % 80);
        }
    }
    s.resize(size);
    return s;
}

struct Editor {
    explicit Editor(size_t size, bool wrap) : control(metrics, codec, nullptr)
    {
        control.SetClientSize(800, 600);
        control.SetWordWrap(wrap);
        control.SetText(Text(size));
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

}  // namespace
