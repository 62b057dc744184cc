#include "platform/codec/IconvCp932Codec.h"

#include "base/Cp932.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kp::platform {

namespace {

constexpr char16_t kReplacement = 0xFFFD;
// Text is encoded in slices of this many UTF-16 units, so that one unmappable
// character sends only its own slice through the character-by-character path.
constexpr size_t kSliceUnits = 4096;

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf16 = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// One conversion descriptor, opened for one call of the codec (descriptors
// carry state, and the codec is used through const methods).
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from))
    {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Appends the conversion of input to out until the end or the first
    // sequence iconv refuses; input is left at that sequence. Returns 0 at the
    // end, otherwise the errno of the refusal (EILSEQ, or EINVAL for an
    // incomplete sequence at the end). The output grows in steps that start
    // small and double, so that text with many refusals costs no more than
    // its length: each step is zero-filled before iconv writes it.
    int Run(std::string_view& input, std::string& out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        size_t step = 64;
        while (!input.empty()) {
            const size_t at = out.size();
            out.resize(at + std::min<size_t>(std::max<size_t>(input.size() * 2, 16), step));
            step *= 2;
            char* in = const_cast<char*>(input.data());
            size_t inLeft = input.size();
            char* outPtr = out.data() + at;
            size_t outLeft = out.size() - at;
            const size_t result = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            const int error = result == static_cast<size_t>(-1) ? errno : 0;
            input.remove_prefix(input.size() - inLeft);
            out.resize(static_cast<size_t>(outPtr - out.data()));
            if (error != E2BIG) return error;
        }
        return 0;
    }

private:
    iconv_t cd_;
};

void AppendUnit(std::string& raw, char16_t unit)
{
    char bytes[sizeof unit];
    std::memcpy(bytes, &unit, sizeof unit);
    raw.append(bytes, sizeof unit);
}

std::u16string UnitsOf(const std::string& raw)
{
    std::u16string units(raw.size() / sizeof(char16_t), u'\0');
    std::memcpy(units.data(), raw.data(), units.size() * sizeof(char16_t));
    return units;
}

std::string_view BytesOf(std::u16string_view text)
{
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)};
}

std::u16string Decode(Converter& decoder, std::string_view bytes)
{
    std::string raw;
    raw.reserve(bytes.size() * sizeof(char16_t));
    while (decoder.Run(bytes, raw) != 0) {
        // glibc refuses exactly the sequences that do not decode, at their
        // first byte; one U+FFFD stands for the character the lead-byte rule
        // delimits there.
        AppendUnit(raw, kReplacement);
        bytes.remove_prefix(cp932::CharLength(bytes, 0));
    }
    return UnitsOf(raw);
}

// Encodes text with no surrogates; a character iconv refuses becomes '?'.
void EncodeLoosely(Converter& encoder, std::u16string_view text, std::string& out)
{
    std::string_view input = BytesOf(text);
    while (encoder.Run(input, out) != 0) {
        out += '?';
        input.remove_prefix(std::min(input.size(), sizeof(char16_t)));
    }
}

// Encodes a slice with no surrogates and keeps only what decodes back to the
// very same characters.
void EncodeSlice(Converter& encoder, Converter& decoder, std::u16string_view slice, std::string& out)
{
    const size_t start = out.size();
    EncodeLoosely(encoder, slice, out);
    if (Decode(decoder, std::string_view(out).substr(start)) == slice) return;
    out.resize(start);
    for (size_t i = 0; i < slice.size(); ++i) {
        const size_t at = out.size();
        EncodeLoosely(encoder, slice.substr(i, 1), out);
        if (Decode(decoder, std::string_view(out).substr(at)) != slice.substr(i, 1)) {
            out.resize(at);
            out += '?';
        }
    }
}

}  // namespace

IconvCp932Codec::IconvCp932Codec()
{
    // Fail at construction rather than at the first conversion.
    Converter probe(kUtf16, kCp932);
}

std::u16string IconvCp932Codec::ToUtf16(std::string_view bytes) const
{
    Converter decoder(kUtf16, kCp932);
    return Decode(decoder, bytes);
}

std::string IconvCp932Codec::FromUtf16(std::u16string_view text) const
{
    Converter encoder(kCp932, kUtf16);
    Converter decoder(kUtf16, kCp932);
    std::string out;
    out.reserve(text.size() * 2);
    size_t i = 0;
    while (i < text.size()) {
        if (IsSurrogate(text[i])) {
            // A surrogate pair is one character with no code-page-932 form; a
            // lone surrogate is no character at all.
            const bool pair = text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                              text[i + 1] <= 0xDFFF;
            out += '?';
            i += pair ? 2 : 1;
            continue;
        }
        size_t end = i;
        while (end < text.size() && end - i < kSliceUnits && !IsSurrogate(text[end])) ++end;
        EncodeSlice(encoder, decoder, text.substr(i, end - i), out);
        i = end;
    }
    return out;
}

bool IconvCp932Codec::IsLeadByte(uint8_t byte) const
{
    return cp932::IsLeadByte(byte);
}

}  // namespace kp::platform
