#pragma once
// What every fuzz target shares: reading decisions out of the input bytes,
// failing loudly (the driver or libFuzzer then prints the input), and plain
// reference readings that the targets compare the product against.

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kp::fuzz {

// Ends the run: a failed check is a finding like a crash.
[[noreturn]] inline void Fail(const std::string& what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::fflush(stderr);
    std::abort();
}

// The message is built only when the check fails.
#define KP_CHECK(holds, what)                \
    do {                                     \
        if (!(holds)) ::kp::fuzz::Fail(what); \
    } while (0)

// The entry point of a fuzz target: each input is one run of RUN(FuzzInput&).
#define KP_FUZZ_TARGET(run)                                                     \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)     \
    {                                                                           \
        ::kp::fuzz::FuzzInput in(data, size);                                   \
        run(in);                                                                \
        return 0;                                                               \
    }

// Prints bytes as C escapes, for the messages of failed checks.
inline std::string Escaped(std::string_view bytes)
{
    std::string out = "\"";
    for (const char c : bytes) {
        const auto b = static_cast<uint8_t>(c);
        if (b >= 0x20 && b < 0x7F && c != '"' && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", b);
            out += hex;
        }
    }
    return out + "\"";
}

// Decisions taken from the input, front to back. An exhausted input answers
// zeros, so every input is a complete, deterministic run.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return at_ >= size_; }
    size_t Remaining() const { return size_ - at_; }

    uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t U32()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
        return v;
    }
    // A number in [0, n); n must be positive.
    size_t Pick(size_t n)
    {
        if (n <= 256) return Byte() % n;
        return ((static_cast<size_t>(Byte()) << 8 | Byte()) << 8 | Byte()) % n;
    }
    bool Flag() { return Byte() & 1; }
    // Up to `most` raw bytes, their count taken first.
    std::string Bytes(size_t most)
    {
        const size_t wanted = Pick(most + 1);
        const size_t n = std::min(wanted, Remaining());
        std::string out(reinterpret_cast<const char*>(data_ + at_), n);
        at_ += n;
        return out;
    }
    // A text joined from up to `most` pieces of a dictionary.
    std::string Pieces(std::span<const std::string_view> dictionary, size_t most)
    {
        std::string out;
        for (size_t n = Pick(most + 1); n > 0; --n) out += dictionary[Pick(dictionary.size())];
        return out;
    }
    template <typename T>
    const T& Choose(std::span<const T> items)
    {
        return items[Pick(items.size())];
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

// The integer a stored text means, read with the C library instead of the
// store's parser: optional sign and decimal digits within 32 bits, or "0x"
// and hexadecimal digits up to 0xFFFFFFFF (wrapping to the signed value).
inline std::optional<int32_t> ReferenceInteger(std::string_view text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isHex = [&](char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); };
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        for (const char c : text.substr(2))
            if (!isHex(c)) return std::nullopt;
        const std::string digits(text.substr(2));
        errno = 0;
        const unsigned long long v = std::strtoull(digits.c_str(), nullptr, 16);
        if (errno == ERANGE || v > 0xFFFFFFFFull) return std::nullopt;
        return static_cast<int32_t>(static_cast<uint32_t>(v));
    }
    const size_t first = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (first == text.size()) return std::nullopt;
    for (const char c : text.substr(first))
        if (!isDigit(c)) return std::nullopt;
    const std::string digits(text);
    errno = 0;
    const long long v = std::strtoll(digits.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(v);
}

// Character boundaries of code page 932 by a forward scan from the start: a
// lead byte (0x81-0x9F, 0xE0-0xFC) pairs with a following trail byte
// (0x40-0x7E, 0x80-0xFC). boundary[i] for i in [0, size].
inline std::vector<bool> ReferenceBoundaries(std::string_view text)
{
    const auto lead = [](uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); };
    const auto trail = [](uint8_t b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); };
    std::vector<bool> boundary(text.size() + 1, false);
    for (size_t i = 0; i < text.size();) {
        boundary[i] = true;
        const bool pair = i + 1 < text.size() && lead(static_cast<uint8_t>(text[i])) &&
                          trail(static_cast<uint8_t>(text[i + 1]));
        i += pair ? 2 : 1;
    }
    boundary[text.size()] = true;
    return boundary;
}

// Line starts by the plain rule: CR LF, a lone CR and a lone LF each end a
// line; the first line starts at 0.
inline std::vector<size_t> ReferenceLineStarts(std::string_view text)
{
    std::vector<size_t> starts{0};
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') starts.push_back(i + 1);
    }
    return starts;
}

// A template file's text by the plain rule: the bytes up to the first 0x1A,
// their lines ended by CR (an LF right after it belongs to it), joined by
// CR LF; the empty line after a last CR is no line.
inline std::string ReferenceTemplateText(std::string_view file)
{
    file = file.substr(0, file.find('\x1A'));
    std::vector<std::string> lines{""};
    for (size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r') {
            lines.back() += file[i];
            continue;
        }
        if (i + 1 < file.size() && file[i + 1] == '\n') ++i;
        lines.emplace_back();
    }
    if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return text;
}

}  // namespace kp::fuzz
