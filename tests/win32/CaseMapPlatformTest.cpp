// The case table against the platform's ANSI case mapping, over every code of
// code page 932 (each single byte alone, each lead byte with each trail
// byte). Where CharUpperBuffA/CharLowerBuffA give the partner that the
// Unicode mapping (CharUpperBuffW/CharLowerBuffW) and the encoder give, ours
// gives the same; everywhere else ours keeps the bytes. The codes where the
// platform and ours differ are printed by kind: unassigned pairs the platform
// turns into 81 45, codes it writes as their twin (the same character in the
// other row), and any other.

#include "base/CaseMap.h"
#include "base/Cp932.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using cp932::LetterCase;

std::string Hex(const std::string& bytes)
{
    std::string out;
    char buffer[4];
    for (const char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X", static_cast<unsigned char>(c));
        out += buffer;
    }
    return out;
}

// The partner by way of UTF-16: empty when the code does not decode to one
// character, the character keeps its case, or its partner has no code.
std::string UnicodePartner(LetterCase to, const std::string& bytes)
{
    wchar_t c = 0;
    if (MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &c, 1) != 1)
        return {};
    wchar_t mapped = c;
    if (to == LetterCase::Upper) CharUpperBuffW(&mapped, 1);
    else CharLowerBuffW(&mapped, 1);
    if (mapped == c) return {};
    char out[2];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &mapped, 1, out, 2, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return {};
    return std::string(out, static_cast<size_t>(length));
}

std::string Platform(LetterCase to, std::string bytes)
{
    if (to == LetterCase::Upper) CharUpperBuffA(bytes.data(), static_cast<DWORD>(bytes.size()));
    else CharLowerBuffA(bytes.data(), static_cast<DWORD>(bytes.size()));
    return bytes;
}

// The character a code decodes to, 0 when it does not decode to one.
wchar_t Decoded(const std::string& bytes)
{
    wchar_t c = 0;
    return MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), &c, 1) == 1
               ? c
               : 0;
}

// Codes by their places in the list, consecutive ones as ranges.
std::string Ranges(const std::vector<std::string>& codes, const std::vector<size_t>& places)
{
    std::string out;
    for (size_t k = 0; k < places.size();) {
        size_t last = k;
        while (last + 1 < places.size() && places[last + 1] == places[last] + 1) ++last;
        out += " " + Hex(codes[places[k]]);
        if (last > k) out += "-" + Hex(codes[places[last]]);
        k = last + 1;
    }
    return out;
}

std::string Ours(LetterCase to, const std::string& bytes)
{
    std::string out(bytes.size(), '\0');
    cp932::MapCase(to, bytes, out.data());
    return out;
}

TEST(CaseMapPlatformTest, OursGivesThePlatformsPartnersAndKeepsEveryOtherCode)
{
    if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
    std::vector<std::string> codes;
    for (int b = 0; b < 0x100; ++b) codes.emplace_back(1, static_cast<char>(b));
    for (int lead = 0; lead < 0x100; ++lead)
        for (int trail = 0; trail < 0x100; ++trail)
            if (cp932::IsLeadByte(static_cast<uint8_t>(lead)) && cp932::IsTrailByte(static_cast<uint8_t>(trail)))
                codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});

    size_t partners = 0;
    for (const LetterCase to : {LetterCase::Upper, LetterCase::Lower}) {
        const char* name = to == LetterCase::Upper ? "upper" : "lower";
        std::vector<size_t> unassigned, twins;
        std::string others;
        for (size_t place = 0; place < codes.size(); ++place) {
            const std::string& code = codes[place];
            const std::string platform = Platform(to, code);
            const std::string partner = UnicodePartner(to, code);
            const std::string ours = Ours(to, code);
            if (!partner.empty() && platform == partner) {
                EXPECT_EQ(Hex(ours), Hex(partner)) << name << " of " << Hex(code);
                ++partners;
            } else {
                EXPECT_EQ(Hex(ours), Hex(code)) << name << " of " << Hex(code);
            }
            if (platform == ours) continue;
            if (platform == "\x81\x45" && Decoded(code) == 0) unassigned.push_back(place);
            else if (Decoded(platform) != 0 && Decoded(platform) == Decoded(code)) twins.push_back(place);
            else others += " " + Hex(code) + "->" + Hex(platform);
        }
        std::printf("%s: the platform writes 8145 for %zu unassigned pairs:%s\n", name, unassigned.size(),
                    Ranges(codes, unassigned).c_str());
        std::printf("%s: the platform writes %zu codes as their twin:%s\n", name, twins.size(),
                    Ranges(codes, twins).c_str());
        std::printf("%s: the platform differs from ours otherwise at:%s\n", name, others.empty() ? " none" : others.c_str());
    }
    // Letters of every row the platform changes were met (a platform that
    // maps nothing would otherwise pass by keeping every byte).
    EXPECT_GE(partners, 2u * (26 + 26 + 24 + 33));
    std::printf("partners given by the platform and by ours: %zu\n", partners);
}

}  // namespace
}  // namespace kp::test
