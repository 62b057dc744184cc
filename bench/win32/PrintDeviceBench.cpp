// The text printer over the benchmarks' sample text on the platform's printer
// (the default printer, its job written to a file), against the codec's
// conversion of the same text. Prints the median of three runs of each in
// milliseconds, and the pages printed.
//
//   kp_print_bench.exe [MEGABYTES]

#include "app/TextPrinter.h"
#include "bench/SampleText.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/printer/Win32PrintDevice.h"

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

template <class Work>
double MedianMs(Work work)
{
    std::vector<double> ms;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[1];
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 10;
    const std::string text = kp::bench::JapaneseText(megabytes << 20);
    const kp::platform::Win32Cp932Codec codec;

    DWORD size = 0;
    GetDefaultPrinterW(nullptr, &size);
    std::wstring printer(size, L'\0');
    if (size == 0 || !GetDefaultPrinterW(printer.data(), &size)) {
        std::fprintf(stderr, "no default printer\n");
        return 1;
    }
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring output = std::wstring(folder) + L"kp-print-bench.ps";
    char outputUtf8[MAX_PATH * 3];
    WideCharToMultiByte(CP_UTF8, 0, output.c_str(), -1, outputUtf8, sizeof outputUtf8, nullptr, nullptr);

    int pages = 0;
    const double printMs = MedianMs([&] {
        HDC dc = CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr);
        kp::platform::Win32PrintDevice device(dc, codec, outputUtf8);
        kp::app::TextPrinter textPrinter(device);
        textPrinter.Begin("Kestrelpad", kp::platform::FontSpec{"ＭＳ Ｐゴシック", 15, false, false, 128}, 0);
        textPrinter.Write(text);
        textPrinter.End();
        pages = device.PagesStarted();
    });
    const double codecMs = MedianMs([&] { volatile size_t n = codec.ToUtf16(text).size(); (void)n; });
    DeleteFileW(output.c_str());
    std::printf("text printer on the platform's printer %zu MB: %9.1f ms, %d pages\n", megabytes, printMs, pages);
    std::printf("codec conversion to UTF-16          %zu MB: %9.1f ms\n", megabytes, codecMs);
    return 0;
}
