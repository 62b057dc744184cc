#include "dialogs/CountDlg.h"

#include "memo/ExtMemo.h"
#include "memo/text/TextBuffer.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kp::dialogs {

namespace {

constexpr int kClientWidth = 120;
constexpr int kClientHeight = 85;
constexpr int kMargin = 8;
constexpr int kRowHeight = 20;
constexpr int kLabelHeight = 12;
constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 25;

size_t CountBytewise(const unsigned char* p, size_t n)
{
    size_t count = 0;
    for (size_t i = 0; i < n; ++i) count += (p[i] == '\r') + (p[i] == '\n');
    return count;
}

}  // namespace

size_t LineBreakBytes(std::string_view bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t n = bytes.size();
    size_t count = 0;
#if defined(__SSE2__)
    // 64 bytes a step; each byte lane of `hits` gains at most 4 a step, so
    // 63 steps fit in it before it is summed.
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const auto breaks = [&](const unsigned char* at) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        return _mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf));
    };
    while (n >= 64) {
        __m128i hits = _mm_setzero_si128();
        for (int step = 0; step < 63 && n >= 64; ++step, p += 64, n -= 64) {
            hits = _mm_sub_epi8(hits, breaks(p));
            hits = _mm_sub_epi8(hits, breaks(p + 16));
            hits = _mm_sub_epi8(hits, breaks(p + 32));
            hits = _mm_sub_epi8(hits, breaks(p + 48));
        }
        const __m128i sums = _mm_sad_epu8(hits, _mm_setzero_si128());
        count += static_cast<size_t>(_mm_cvtsi128_si64(sums)) +
                 static_cast<size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums)));
    }
#endif
    return count + CountBytewise(p, n);
}

size_t LineBreakBytes(const memo::TextBuffer& text)
{
    size_t count = 0;
    text.Visit(0, text.Length(), [&](std::string_view piece) {
        count += LineBreakBytes(piece);
        return true;
    });
    return count;
}

TextCount CountText(const memo::TextBuffer& text, size_t displayLines)
{
    const size_t length = text.Length();
    // The line after a final line break (or the only line of an empty text)
    // is empty and not counted.
    const bool lastEmpty = length == 0 || text.At(length - 1) == '\r' || text.At(length - 1) == '\n';
    TextCount count;
    count.lines = displayLines > 0 && lastEmpty ? displayLines - 1 : displayLines;
    count.characters = length - LineBreakBytes(text);
    return count;
}

void TCountForm::FormShow()
{
    count_ = CountText(memo::TextBuffer(memo_.Snapshot()), memo_.LineCount());
}

ui::ModalResult TCountForm::ShowModal(ui::FormService& forms)
{
    FormShow();
    return forms.ShowModal(Spec());
}

ui::FormSpec TCountForm::Spec() const
{
    ui::FormSpec form;
    form.name = "TCountForm";
    form.caption = "カウント";
    form.clientWidth = kClientWidth;
    form.clientHeight = kClientHeight;
    form.font = {"MS UI Gothic", 9, 0, false, false};
    form.position = ui::FormPosition::OwnerCenter;
    form.escapeResult = ui::mrNone;

    const auto label = [](std::string name, int left, int top, int width, std::string text, ui::FormAlign align) {
        ui::FormControl control;
        control.kind = ui::FormControlKind::Label;
        control.name = std::move(name);
        control.left = left;
        control.top = top;
        control.width = width;
        control.height = width ? kLabelHeight : 0;
        control.text = std::move(text);
        control.align = align;
        return control;
    };
    // The numbers fill the row from the captions to the right margin.
    const int numberLeft = kClientWidth / 2 - kMargin;
    const int numberWidth = kClientWidth - kMargin - numberLeft;
    const int second = kMargin + kRowHeight;
    form.controls.push_back(label("Label1", kMargin, kMargin, 0, "文字数", ui::FormAlign::Left));
    form.controls.push_back(label("CharCount", numberLeft, kMargin, numberWidth, std::to_string(count_.characters),
                                  ui::FormAlign::Right));
    form.controls.push_back(label("Label2", kMargin, second, 0, "行数", ui::FormAlign::Left));
    form.controls.push_back(label("LineCount", numberLeft, second, numberWidth, std::to_string(count_.lines),
                                  ui::FormAlign::Right));

    ui::FormControl ok;
    ok.kind = ui::FormControlKind::Button;
    ok.name = "OKBtn";
    ok.left = (kClientWidth - kButtonWidth) / 2;
    ok.top = kClientHeight - kMargin - kButtonHeight;
    ok.width = kButtonWidth;
    ok.height = kButtonHeight;
    ok.text = "&OK";
    ok.result = ui::mrOk;
    ok.isDefault = true;
    form.controls.push_back(ok);
    return form;
}

}  // namespace kp::dialogs
