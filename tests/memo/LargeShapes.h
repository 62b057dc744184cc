#pragma once
// Documents of extreme shapes, for the memo's tests natively and under the
// real window: one very long line, nothing but empty lines, nothing but
// double-byte characters, nothing but lone lead bytes. Full size is a 50 MB
// line, 10 million empty lines, 50 MB of double-byte characters and 10
// million lone lead bytes; tests run them scaled down (KP_LARGE_SHAPES_SCALE
// sets the scale, 1 for full size) and walk the same checks.
//
// Beside each document: what it must show, computed from the bytes by the
// code-page-932 rules alone: its logical lines, the widths of its lines in
// the fixed metrics (single bytes 8 px, double-byte characters 16 px) and
// where its characters start.

#include "base/Cp932.h"

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace kp::test {

struct LargeShape {
    const char* name;
    std::function<std::string(double scale)> make;
    bool oneLine;  // no line break in the whole document
};

inline double LargeShapeScale(double fallback)
{
    const char* text = std::getenv("KP_LARGE_SHAPES_SCALE");
    const double scale = text ? std::atof(text) : 0;
    return scale > 0 ? scale : fallback;
}

inline size_t Scaled(double full, double scale) { return static_cast<size_t>(full * scale); }

inline const std::vector<LargeShape>& LargeShapes()
{
    static const std::vector<LargeShape> shapes = {
        {"OneLongLine",
         [](double scale) {
             // Words of letters and kana, a tab now and then, no line break.
             const size_t size = Scaled(50 << 20, scale);
             std::string s;
             s.reserve(size + 2);
             for (uint32_t i = 0; s.size() < size; ++i) {
                 if (i % 7 == 0) s += ' ';
                 else if (i % 5 == 0) s += "\x82\xA0\x82\xA2";
                 else if (i % 997 == 0) s += '\t';
                 else s += static_cast<char>('a' + i % 26);
             }
             return s;
         },
         true},
        {"EmptyLines",
         [](double scale) {
             std::string s;
             const size_t lines = Scaled(10'000'000, scale);
             s.reserve(2 * lines);
             for (size_t i = 0; i < lines; ++i) s += "\r\n";
             return s;
         },
         false},
        {"DoubleByteOnly",
         [](double scale) {
             // Kana and kanji of both lead ranges, no line break.
             const size_t pairs = Scaled(25 << 20, scale);
             std::string s;
             s.reserve(2 * pairs);
             for (size_t i = 0; i < pairs; ++i) {
                 s += static_cast<char>(i % 3 == 0 ? 0x88 + i % 0x10 : i % 3 == 1 ? 0x82 : 0xE0 + i % 0x0B);
                 s += static_cast<char>(0xA0 + i % 0x50);
             }
             return s;
         },
         true},
        {"LoneLeadBytes",
         [](double scale) {
             // Every line one lead byte that has no trail byte after it,
             // the last at the very end of the text.
             const size_t count = Scaled(10'000'000, scale);
             std::string s;
             s.reserve(3 * count);
             for (size_t i = 0; i < count; ++i) {
                 if (i) s += i % 2 ? "\r\n" : "\n";
                 s += static_cast<char>(i % 2 ? 0x81 + i % 0x1F : 0xE0 + i % 0x1D);
             }
             return s;
         },
         false},
    };
    return shapes;
}

// Logical lines: one more than the line breaks (CR LF, a lone CR or LF).
inline size_t LogicalLines(const std::string& bytes)
{
    size_t lines = 1;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))) ++lines;
    }
    return lines;
}

// Where characters start (a lone lead byte is a character of its own).
inline std::vector<bool> CharStarts(const std::string& bytes)
{
    std::vector<bool> starts(bytes.size() + 1, false);
    for (size_t i = 0; i <= bytes.size(); i += i < bytes.size() ? cp932::CharLength(bytes, i) : 1) starts[i] = true;
    return starts;
}

// The width of a line without a break in the fixed metrics; tabs go to the
// next multiple of 64 px.
inline int64_t FixedWidth(const std::string& bytes)
{
    int64_t x = 0;
    for (size_t i = 0; i < bytes.size();) {
        const size_t length = cp932::CharLength(bytes, i);
        x = bytes[i] == '\t' ? (x / 64 + 1) * 64 : x + (length == 2 ? 16 : 8);
        i += length;
    }
    return x;
}

}  // namespace kp::test
