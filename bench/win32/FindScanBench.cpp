// The edit control's search over 100 MB of the benchmarks' sample text
// (bench/SampleText.h) with the platform's own C library: a pattern that is
// absent, made of ASCII letters, of kana, and of one byte (a plain memchr).
// Prints the median of seven runs of each in milliseconds and GB/s.
//
//   kp_find_bench.exe [MEGABYTES]

#include "bench/SampleText.h"
#include "memo/edit/Find.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    const size_t megabytes = argc > 1 ? static_cast<size_t>(std::atoi(argv[1])) : 100;
    const size_t size = megabytes << 20;
    const kp::memo::TextBuffer text(kp::bench::JapaneseText(size));
    const struct {
        const char* name;
        const char* pattern;
    } patterns[] = {{"ascii", "xyzzy"}, {"kana", "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8"}, {"one byte", "@"}};
    for (const auto& p : patterns) {
        std::vector<double> ms;
        int64_t found = 0;
        for (int run = 0; run < 7; ++run) {
            const auto start = std::chrono::steady_clock::now();
            found = kp::memo::FindInText(text, 0, text.Length(), p.pattern, {.matchCase = true});
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        const double median = ms[ms.size() / 2];
        std::printf("find scan %-8s %zu MB: %8.2f ms  %6.2f GB/s%s\n", p.name, megabytes, median,
                    static_cast<double>(size) / (median / 1000) / 1e9, found >= 0 ? "  (found!)" : "");
    }
    return 0;
}
