// What painting one screen of the edit window costs under the real
// platform: a document of 1 KB and one of 100 MB, at its start and at its
// end, with word wrap off and on; one logical line of 8 MB scrolled to its
// start, middle and end, before and after a keystroke at its start. Then the memo over a full-screen window
// with every mark and both markers on, over blank- and tab-rich text: a whole
// paint (text double-buffered, then the marks on the window DC), the same
// paint without marks, and the marks' pass alone. Prints milliseconds per
// paint.
//
//   kp_paint_bench.exe [repetitions] [long]    (long: the 8 MB line only)

#include "bench/SampleText.h"
#include "memo/ExtMemo.h"
#include "memo/win32/EditWindow.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/syscolors/Win32SysColors.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

HWND CreateHost()
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KestrelpadPaintBench";
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, L"KestrelpadPaintBench", L"PaintBench", WS_OVERLAPPEDWINDOW, 0, 0, 820, 640,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

double MillisecondsPerPaint(kp::memo::EditWindow& edit, int repetitions)
{
    RECT client{};
    GetClientRect(edit.Handle(), &client);
    HDC screen = GetDC(edit.Handle());
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    edit.Paint(dc);  // fonts and glyph widths are cached from here on
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i) edit.Paint(dc);
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(edit.Handle(), screen);
    return elapsed.count() / repetitions;
}

// Exposes the mark pass for timing.
class BenchMemo final : public kp::memo::TExtMemo {
public:
    using TExtMemo::TExtMemo;
    void Marks(size_t from, size_t to) { PaintMarks(from, to, false); }
};

std::string BlankRichText(size_t size)
{
    // Tabs, spaces, ideographic spaces and line ends on every line.
    const std::string line = "\tx = 1;  \x82\xA0\x82\xA2\x81\x40\x82\xA4\t\tcomment  \x81\x40\r\n"
                             "  \x93\xFA\x96\x7B\x8C\xEA\x81\x42 a b c d e f g h\t\r\n";
    std::string text;
    text.reserve(size + line.size());
    while (text.size() < size) text += line;
    text.resize(size);
    return text;
}

double MillisecondsPerWindowPaint(HWND window, int repetitions)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repetitions; ++i) {
        InvalidateRect(window, nullptr, FALSE);
        UpdateWindow(window);
    }
    GdiFlush();
    const std::chrono::duration<double, std::milli> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count() / repetitions;
}

void MarksBench(HWND host, int repetitions)
{
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    SetWindowPos(host, nullptr, 0, 0, width, height, SWP_NOZORDER);
    ShowWindow(host, SW_SHOW);
    RECT client{};
    GetClientRect(host, &client);
    kp::platform::Win32KeyState keys;
    kp::platform::Win32SysColors colors;
    kp::memo::Win32MemoWindowFactory factory(host, 2);
    factory.SetBounds(client);
    BenchMemo memo(factory, keys, colors);
    memo.SetFont(kp::platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, 128});
    kp::memo::TEditMark* marks[] = {&memo.EditMarks.CrLf, &memo.EditMarks.Ctrl, &memo.EditMarks.DSp,
                                    &memo.EditMarks.SSp,  &memo.EditMarks.Tab,  &memo.EditMarks.Eot};
    memo.CaretMarker.Enabled = true;
    memo.WordWrapMarker.Enabled = true;
    memo.EditArea.SetEnabled(true);
    for (const bool wrap : {false, true}) {
        memo.SetWordWrap(wrap);
        memo.CreateWnd();
        HWND edit = FindWindowExW(host, nullptr, kp::memo::kEditWindowClass, nullptr);
        for (const size_t size : {size_t{1} << 10, size_t{100} << 20}) {
            memo.SetText(BlankRichText(size));
            for (const bool atEnd : {false, true}) {
                memo.SetSelStart(atEnd ? memo.TextLength() : 0);
                memo.Perform(EM_SCROLLCARET);
                for (kp::memo::TEditMark* mark : marks) mark->Enabled = false;
                const double textOnly = MillisecondsPerWindowPaint(edit, repetitions);
                for (kp::memo::TEditMark* mark : marks) mark->Enabled = true;
                const double whole = MillisecondsPerWindowPaint(edit, repetitions);
                const intptr_t firstLine = memo.Perform(EM_GETFIRSTVISIBLELINE);
                const auto first = static_cast<size_t>(memo.Perform(EM_LINEINDEX, static_cast<uintptr_t>(firstLine)));
                RECT rect{};
                memo.Perform(EM_GETRECT, 0, reinterpret_cast<intptr_t>(&rect));
                POINTL corner{rect.right, rect.bottom};
                const auto last = static_cast<size_t>(memo.Perform(EM_CHARFROMPOS, 0, reinterpret_cast<intptr_t>(&corner)));
                const auto start = std::chrono::steady_clock::now();
                for (int i = 0; i < repetitions; ++i) memo.Marks(first, last);
                GdiFlush();
                const std::chrono::duration<double, std::milli> marksOnly = std::chrono::steady_clock::now() - start;
                std::printf("marks %dx%d %9zu bytes, wrap %-3s, at the %-5s: %.3f ms per paint with every mark, "
                            "%.3f ms without, marks' pass %.3f ms\n",
                            static_cast<int>(client.right), static_cast<int>(client.bottom), size, wrap ? "on" : "off",
                            atEnd ? "end" : "start", whole, textOnly, marksOnly.count() / repetitions);
            }
        }
        memo.DestroyWnd();
    }
}

// The sample text as one logical line, a tab about every 100 bytes.
std::string OneLineText(size_t size)
{
    std::string text = kp::bench::JapaneseText(size);
    size_t sinceTab = 0;
    for (size_t at = 0; at < text.size(); ++at, ++sinceTab) {
        const auto byte = static_cast<uint8_t>(text[at]);
        if (byte == '\r' || byte == '\n') text[at] = 'z';
        if (byte >= 0x81) {
            ++at;
            ++sinceTab;
        } else if (sinceTab >= 100 && text[at] != 'z') {
            text[at] = '\t';
            sinceTab = 0;
        }
    }
    return text;
}

void LongLineBench(kp::memo::EditWindow& edit, int repetitions)
{
    const std::string text = OneLineText(size_t{8} << 20);
    kp::memo::EditControl& control = edit.Control();
    for (const bool wrap : {false, true}) {
        control.SetWordWrap(wrap);
        control.SetText(text);
        for (const bool typed : {false, true}) {
            if (typed) {
                control.SetSel(0, 0);
                control.Type("x");
            }
            double ms[3];
            for (int where = 0; where < 3; ++where) {
                const auto at = static_cast<int64_t>(where == 0 ? 0 : where == 1 ? text.size() / 2 : text.size() + 1);
                control.SetSel(at, at);
                control.ScrollCaretIntoView();
                ms[where] = MillisecondsPerPaint(edit, repetitions);
            }
            std::printf("one 8 MB line, wrap %-3s, %-14s: %.3f ms per paint at the start, %.3f in the middle, "
                        "%.3f at the end\n",
                        wrap ? "on" : "off", typed ? "after typing" : "before typing", ms[0], ms[1], ms[2]);
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    HWND host = CreateHost();
    kp::memo::EditWindow edit(host, 1, RECT{0, 0, 800, 600});
    edit.SetFont(kp::platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, 128});
    const bool longOnly = argc > 2 && std::string(argv[2]) == "long";
    for (const size_t size : {size_t{1} << 10, size_t{100} << 20}) {
        if (longOnly) break;
        const std::string text = kp::bench::JapaneseText(size);
        for (const bool wrap : {false, true}) {
            edit.Control().SetWordWrap(wrap);
            edit.Control().SetText(text);
            edit.Control().SetSel(0, 0);
            const double atStart = MillisecondsPerPaint(edit, repetitions);
            edit.Control().MoveCaret(kp::memo::CaretMove::DocumentEnd, false);
            const double atEnd = MillisecondsPerPaint(edit, repetitions);
            std::printf("%9zu bytes, wrap %-3s: %.3f ms per paint at the start, %.3f ms at the end\n", size,
                        wrap ? "on" : "off", atStart, atEnd);
        }
    }
    LongLineBench(edit, repetitions);
    if (!longOnly) MarksBench(host, repetitions);
    DestroyWindow(host);
    return 0;
}
