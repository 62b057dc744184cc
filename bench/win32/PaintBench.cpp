// What painting one screen of the edit window costs under the real
// platform: a document of 1 KB and one of 100 MB, at its start and at its
// end, with word wrap off and on. Prints milliseconds per paint.
//
//   kp_paint_bench.exe [repetitions]

#include "bench/SampleText.h"
#include "memo/win32/EditWindow.h"

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

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    HWND host = CreateHost();
    kp::memo::EditWindow edit(host, 1, RECT{0, 0, 800, 600});
    edit.SetFont(kp::platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, 128});
    for (const size_t size : {size_t{1} << 10, size_t{100} << 20}) {
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
    DestroyWindow(host);
    return 0;
}
