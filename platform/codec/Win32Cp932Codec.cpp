#include "platform/codec/Win32Cp932Codec.h"

#include "base/Cp932.h"

#include <windows.h>

namespace kp::platform {

namespace {

constexpr UINT kCodePage = 932;
constexpr char16_t kReplacement = 0xFFFD;
// Input goes to the platform in slices of about this size, so that one bad
// character sends only its own slice through the character-by-character path
// (and no length ever nears the int the API takes).
constexpr size_t kSliceBytes = 8192;
constexpr size_t kSliceUnits = 4096;

bool IsSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDFFF; }

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

}  // namespace

Win32Cp932Codec::Win32Cp932Codec()
{
    for (int b = 0; b < 256; ++b) lead_[b] = IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(b)) != 0;
}

bool Win32Cp932Codec::IsLeadByte(uint8_t byte) const
{
    return lead_[byte];
}

std::u16string Win32Cp932Codec::ToUtf16(std::string_view bytes) const
{
    std::u16string out;
    out.reserve(bytes.size());

    // Decodes a run of whole characters: single bytes and lead bytes with a
    // trail byte. Only an unassigned pair can fail; then the run goes
    // character by character and each such pair gives one U+FFFD.
    auto decodeRun = [&](std::string_view run) {
        if (run.empty()) return;
        const int size = static_cast<int>(run.size());
        const int units = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data(), size,
                                              nullptr, 0);
        if (units > 0) {
            const size_t at = out.size();
            out.resize(at + static_cast<size_t>(units));
            if (MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data(), size,
                                    reinterpret_cast<wchar_t*>(out.data() + at), units) == units)
                return;
            out.resize(at);
        }
        for (size_t i = 0; i < run.size();) {
            const size_t length = lead_[static_cast<uint8_t>(run[i])] ? 2 : 1;
            wchar_t unit = 0;
            const int got = MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, run.data() + i,
                                                static_cast<int>(length), &unit, 1);
            out += got == 1 ? static_cast<char16_t>(unit) : kReplacement;
            i += length;
        }
    };

    size_t runStart = 0;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (lead_[b] && i + 1 < bytes.size() && cp932::IsTrailByte(static_cast<uint8_t>(bytes[i + 1]))) {
            i += 2;
        } else if (!lead_[b] && cp932::IsSingleByteChar(b)) {
            i += 1;
        } else {
            // A lead byte with no trail byte after it, or 0x80, 0xA0, 0xFD-0xFF:
            // one U+FFFD for this byte; the next byte starts a new character.
            decodeRun(bytes.substr(runStart, i - runStart));
            out += kReplacement;
            runStart = ++i;
            continue;
        }
        if (i - runStart >= kSliceBytes) {
            decodeRun(bytes.substr(runStart, i - runStart));
            runStart = i;
        }
    }
    decodeRun(bytes.substr(runStart));
    return out;
}

std::string Win32Cp932Codec::FromUtf16(std::u16string_view text) const
{
    std::string out;
    out.reserve(text.size() * 2);

    // Encodes a slice without surrogates. Best-fit look-alikes are refused by
    // the flag; what the platform still encodes but our decoder does not give
    // back (U+0080 -> 0x80, U+F8F0 -> 0xA0, ...) is caught by decoding the
    // result again.
    auto encodeSlice = [&](std::u16string_view slice) {
        const size_t start = out.size();
        const int units = static_cast<int>(slice.size());
        const int size = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, Wide(slice.data()),
                                             units, nullptr, 0, "?", nullptr);
        if (size > 0) {
            out.resize(start + static_cast<size_t>(size));
            BOOL usedDefault = FALSE;
            const int got = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, Wide(slice.data()),
                                                units, out.data() + start, size, "?", &usedDefault);
            if (got == size && !usedDefault &&
                ToUtf16(std::string_view(out).substr(start)) == slice)
                return;
            out.resize(start);
        }
        for (size_t i = 0; i < slice.size(); ++i) {
            char bytes[4];
            BOOL usedDefault = FALSE;
            const int got = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS,
                                                Wide(slice.data() + i), 1, bytes, sizeof bytes,
                                                "?", &usedDefault);
            const std::string_view encoded(bytes, got > 0 ? static_cast<size_t>(got) : 0);
            if (got > 0 && !usedDefault && ToUtf16(encoded) == slice.substr(i, 1))
                out += encoded;
            else
                out += '?';
        }
    };

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
        encodeSlice(text.substr(i, end - i));
        i = end;
    }
    return out;
}

}  // namespace kp::platform
