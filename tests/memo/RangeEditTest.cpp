// The edit control's range edits (replace a range, crop, case conversion) and
// the chunk-wise rewrite under them: tiny chunks put pairs across chunk
// boundaries, a random soak checks that nothing outside the range moves, and
// every edit is one undo step that brings back text, caret and scroll.

#include "base/CaseMap.h"
#include "base/Cp932.h"
#include "memo/edit/EditControl.h"
#include "memo/text/TextBuffer.h"
#include "tests/TestPlatform.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace kp::memo {
namespace {

using Limits = TextBuffer::ChunkLimits;

// The case mapping of the characters wholly inside [offset, offset + count),
// delimited from the text's start, one character at a time.
std::string MappedReference(const std::string& text, size_t offset, size_t count, CaseMapping mapping)
{
    const auto to = mapping == CaseMapping::Upper ? cp932::LetterCase::Upper : cp932::LetterCase::Lower;
    const size_t end = offset + std::min(count, text.size() - std::min(offset, text.size()));
    std::string out = text;
    for (size_t i = 0; i < text.size();) {
        const size_t length = cp932::CharLength(text, i);
        if (i >= offset && i + length <= end) {
            const uint16_t code = length == 1 ? static_cast<uint8_t>(text[i])
                                              : static_cast<uint16_t>((static_cast<uint8_t>(text[i]) << 8) |
                                                                      static_cast<uint8_t>(text[i + 1]));
            const uint16_t mapped = cp932::CasePartner(to, code);
            if (length == 2) {
                out[i] = static_cast<char>(mapped >> 8);
                out[i + 1] = static_cast<char>(mapped & 0xFF);
            } else {
                out[i] = static_cast<char>(mapped);
            }
        }
        i += length;
    }
    return out;
}

TextBuffer::RewriteResult CaseRewrite(CaseMapping mapping, std::string_view bytes, char* out)
{
    const auto to = mapping == CaseMapping::Upper ? cp932::LetterCase::Upper : cp932::LetterCase::Lower;
    const cp932::CaseMapResult result = cp932::MapCase(to, bytes, out);
    return {result.consumed, result.changed};
}

std::vector<std::string_view> Pieces(const TextBuffer& text)
{
    std::vector<std::string_view> pieces;
    text.Visit(0, text.Length(), [&](std::string_view piece) {
        pieces.push_back(piece);
        return true;
    });
    return pieces;
}

// ａＢγΔёЖⅰⅡ, ASCII, kana and a CR LF: letters of every row, so that with
// chunks of three to five bytes pairs fall across chunk boundaries at every
// parity.
const std::string kMixed =
    "\x82\x81\x82\x61" "a" "\x83\xC1\x83\xA2" "B\r\n" "\x84\x76\x84\x47" "\x82\xA0" "c" "\xEE\xEF\x87\x55" "d"
    "\xFA\x40\xFA\x4B" "\x84\x91";

TEST(RewriteTest, EveryRangeOnTinyChunksMapsWholeCharactersAndSharesUntouchedChunks)
{
    for (const size_t max : {4u, 5u, 6u, 7u}) {
        for (const CaseMapping mapping : {CaseMapping::Upper, CaseMapping::Lower}) {
            for (size_t offset = 0; offset <= kMixed.size(); ++offset) {
                for (size_t count = 0; offset + count <= kMixed.size() + 1; ++count) {
                    TextBuffer text(kMixed, Limits{1, max});
                    const TextSnapshot before = text.Snapshot();  // keeps the old chunks alive
                    const std::vector<std::string_view> old = Pieces(text);
                    const uint64_t version = text.Version();
                    const TextBuffer::Span span = text.Rewrite(offset, count, [&](std::string_view b, char* out) {
                        return CaseRewrite(mapping, b, out);
                    });
                    const std::string expected = MappedReference(kMixed, offset, count, mapping);
                    const std::string where = "max " + std::to_string(max) + " offset " + std::to_string(offset) +
                                              " count " + std::to_string(count);
                    ASSERT_EQ(text.Text(), expected) << where;
                    ASSERT_EQ(text.CheckStructure(), "") << where;
                    ASSERT_EQ(before.Text(), kMixed) << where;
                    ASSERT_EQ(span.Empty(), expected == kMixed) << where;
                    ASSERT_EQ(text.Version() == version, expected == kMixed) << where;
                    for (size_t k = 0; k < expected.size(); ++k) {
                        if (expected[k] != kMixed[k]) {
                            ASSERT_TRUE(k >= span.first && k < span.last) << where << " byte " << k;
                        }
                    }
                    // A chunk is new exactly when its bytes changed.
                    const std::vector<std::string_view> now = Pieces(text);
                    ASSERT_EQ(now.size(), old.size()) << where;
                    for (size_t i = 0; i < now.size(); ++i)
                        ASSERT_EQ(now[i].data() == old[i].data(), now[i] == old[i]) << where << " chunk " << i;
                }
            }
        }
    }
}

// Long runs of lead-range bytes that the mapping breaks up or makes: ａ is
// 82 81 (both lead-range), Ａ 82 60; Α is 83 9F, α 83 BF; 亜 88 9F stays.
TEST(RewriteTest, LeadByteRunsOfRewrittenChunksAreFoundAgain)
{
    std::string text;
    for (const size_t length : {31u, 32u, 33u, 64u, 65u, 100u, 300u}) {
        text += "x";
        for (size_t k = 0; k < length; ++k) text += k % 3 ? "\x82\x81" : "\x88\x9F";
        text += "\r\n";
        for (size_t k = 0; k < length; ++k) text += k % 5 ? "\x83\x9F" : "\x82\x60";
    }
    for (const size_t max : {100u, 1000u, 100000u}) {
        for (const CaseMapping mapping : {CaseMapping::Upper, CaseMapping::Lower}) {
            for (const size_t offset : {0u, 7u, 500u}) {
                TextBuffer buffer(text, Limits{1, max});
                buffer.Rewrite(offset, text.size(), [&](std::string_view b, char* out) {
                    return CaseRewrite(mapping, b, out);
                });
                const std::string where = "max " + std::to_string(max) + " offset " + std::to_string(offset);
                ASSERT_EQ(buffer.Text(), MappedReference(text, offset, text.size(), mapping)) << where;
                ASSERT_EQ(buffer.CheckStructure(), "") << where;
                // And back: the runs come back as they were.
                buffer.Rewrite(0, text.size(), [&](std::string_view b, char* out) {
                    return CaseRewrite(mapping == CaseMapping::Upper ? CaseMapping::Lower : CaseMapping::Upper, b, out);
                });
                ASSERT_EQ(buffer.CheckStructure(), "") << where;
            }
        }
    }
}

class Recorder final : public EditListener {
public:
    void Notify(uint32_t code) override { codes.push_back(code); }
    std::vector<uint32_t> codes;
};

class RangeEditTest : public ::testing::Test {
protected:
    RangeEditTest() : control(metrics, test::TestCodec(), nullptr)
    {
        control.SetListener(&recorder);
        control.SetClientSize(400, 160);  // ten lines of 16 px
    }
    // Loads text on tiny chunks, as a big document has many.
    void Load(const std::string& text, size_t max = 6)
    {
        control.SetText(TextBuffer(text, Limits{1, max}).Snapshot());
    }

    FixedGlyphMetrics metrics;
    Recorder recorder;
    EditControl control;
};

TEST_F(RangeEditTest, EachEditGivesItsTextAndCaretWithNothingSelected)
{
    enum class Op { Replace, Crop, Upper, Lower };
    struct Case {
        const char* what;
        Op op;
        size_t offset;
        size_t count;
        const char* bytes;
        size_t caret;
        const char* expected;
        size_t expectedCaret;
    };
    // "ab" あ "Cd" Ｅ ｆ CR LF "g"
    const std::string text = "ab\x82\xA0" "Cd\x82\x64\x82\x86\r\ng";
    const Case cases[] = {
        {"stamp inserted, caret before it", Op::Replace, 2, 0, "12:00", 2, "ab12:00\x82\xA0" "Cd\x82\x64\x82\x86\r\ng", 2},
        {"range replaced, caret after it", Op::Replace, 0, 2, "xyz", 3, "xyz\x82\xA0" "Cd\x82\x64\x82\x86\r\ng", 3},
        {"range clamped to the end", Op::Replace, 12, 100, "!", 12, "ab\x82\xA0" "Cd\x82\x64\x82\x86\r\n!", 12},
        {"caret inside a pair snaps back", Op::Replace, 0, 0, "", 3, "ab\x82\xA0" "Cd\x82\x64\x82\x86\r\ng", 2},
        {"crop to the middle", Op::Crop, 2, 4, "", 9, "\x82\xA0" "Cd", 0},
        {"crop to nothing", Op::Crop, 5, 0, "", 9, "", 0},
        {"crop past the end", Op::Crop, 10, 50, "", 9, "\r\ng", 0},
        {"upper, whole text", Op::Upper, 0, SIZE_MAX, "", 4, "AB\x82\xA0" "CD\x82\x64\x82\x65\r\nG", 4},
        {"lower, whole text", Op::Lower, 0, SIZE_MAX, "", 0, "ab\x82\xA0" "cd\x82\x85\x82\x86\r\ng", 0},
        {"upper, a range", Op::Upper, 1, 8, "", 9, "aB\x82\xA0" "CD\x82\x64\x82\x86\r\ng", 8},
        {"upper, range ends inside a pair", Op::Upper, 0, 9, "", 0, "AB\x82\xA0" "CD\x82\x64\x82\x86\r\ng", 0},
        {"upper, range starts inside a pair", Op::Upper, 9, 4, "", 13, "ab\x82\xA0" "Cd\x82\x64\x82\x86\r\nG", 13},
        {"caret past the end is clamped", Op::Lower, 0, 4, "", 99, "ab\x82\xA0" "Cd\x82\x64\x82\x86\r\ng", 13},
        {"caret between CR and LF snaps back", Op::Upper, 0, 1, "", 11, "Ab\x82\xA0" "Cd\x82\x64\x82\x86\r\ng", 10},
    };
    for (const Case& c : cases) {
        Load(text, 4);
        control.SetSel(1, 3);
        switch (c.op) {
        case Op::Replace: control.ReplaceRange(c.offset, c.count, c.bytes, c.caret); break;
        case Op::Crop: control.Crop(c.offset, c.count); break;
        case Op::Upper: control.MapCase(CaseMapping::Upper, c.offset, c.count, c.caret); break;
        case Op::Lower: control.MapCase(CaseMapping::Lower, c.offset, c.count, c.caret); break;
        }
        EXPECT_EQ(control.GetText(), c.expected) << c.what;
        EXPECT_EQ(control.Caret(), c.expectedCaret) << c.what;
        EXPECT_EQ(control.SelLength(), 0u) << c.what;
        const bool changed = control.GetText() != text;
        EXPECT_EQ(control.Modified(), changed) << c.what;
        EXPECT_EQ(control.UndoDepth(), changed ? 1u : 0u) << c.what;
        EXPECT_EQ(control.Text().CheckStructure(), "") << c.what;
    }
}

TEST_F(RangeEditTest, UndoBringsBackTextCaretAndScrollAndNothingChangedRecordsNothing)
{
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line \x82\x60\x82\x81 " + std::to_string(i) + "\r\n";
    const size_t line25 = text.find("line \x82\x60\x82\x81 25");
    const size_t line26 = text.find("line \x82\x60\x82\x81 26");
    std::vector<std::function<void()>> edits = {
        [&] { control.MapCase(CaseMapping::Upper, 0, SIZE_MAX, control.Caret()); },
        [&] { control.MapCase(CaseMapping::Lower, line25, line26 - line25, line26); },
        [&] { control.Crop(line25, 100); },
        [&] { control.Crop(0, 3); },
        [&] { control.ReplaceRange(line25, 0, "07/12/26 12:00:00", line25); },
        [&] { control.ReplaceRange(0, text.size(), "x", 1); },
    };
    for (size_t e = 0; e < edits.size(); ++e) {
        Load(text, 64);
        control.SetModified(false);
        control.ScrollToLine(20);
        control.SetSel(static_cast<int64_t>(line25 + 3), static_cast<int64_t>(line25 + 1));
        const size_t first = control.FirstVisibleLine();
        edits[e]();
        EXPECT_NE(control.GetText(), text) << "edit " << e;
        EXPECT_TRUE(control.Modified()) << "edit " << e;
        ASSERT_EQ(control.UndoDepth(), 1u) << "edit " << e;
        if (control.LineCount() > first) {
            EXPECT_EQ(control.FirstVisibleLine(), first) << "edit " << e;
        }
        ASSERT_TRUE(control.Undo());
        EXPECT_EQ(control.GetText(), text) << "edit " << e;
        EXPECT_EQ(control.Anchor(), line25 + 3) << "edit " << e;
        EXPECT_EQ(control.Caret(), line25 + 1) << "edit " << e;
        EXPECT_EQ(control.FirstVisibleLine(), first) << "edit " << e;
        EXPECT_FALSE(control.CanUndo()) << "edit " << e;
    }

    // Edits that change nothing: no step, the flag untouched, the caret placed.
    Load("abc \x82\xA0");
    control.SetModified(false);
    control.MapCase(CaseMapping::Lower, 0, SIZE_MAX, 2);
    control.ReplaceRange(1, 2, "bc", 3);
    control.Crop(0, 99);
    EXPECT_FALSE(control.Modified());
    EXPECT_FALSE(control.CanUndo());
    EXPECT_EQ(control.Caret(), 0u);
}

TEST_F(RangeEditTest, NotificationsAreThoseOfAnyEdit)
{
    Load("abc def");
    control.SetEventMask(re::kEnmChange | re::kEnmSelChange);
    control.MapCase(CaseMapping::Upper, 4, 3, 7);
    EXPECT_EQ(recorder.codes, (std::vector<uint32_t>{re::kEnChange, re::kEnSelChange}));
    recorder.codes.clear();
    control.MapCase(CaseMapping::Upper, 4, 3, 7);  // nothing changes, the caret stays
    EXPECT_TRUE(recorder.codes.empty());
    control.ReplaceRange(0, 0, "x", 0);
    control.Crop(0, 2);
    EXPECT_EQ(recorder.codes,
              (std::vector<uint32_t>{re::kEnChange, re::kEnSelChange, re::kEnChange, re::kEnSelChange}));
}

// Capitals twice as wide as other single bytes, so case changes rewrap.
class WideCapitals final : public GlyphMetrics {
public:
    int CharWidth(uint16_t code) override { return code >= 'A' && code <= 'Z' ? 16 : code > 0xFF ? 16 : 8; }
    int LineHeight() override { return 16; }
    int Ascent() override { return 13; }
    int AveCharWidth() override { return 8; }
};

TEST(RangeEditWrapTest, DisplayLinesFollowTheChangedLettersAndTheirUndo)
{
    WideCapitals metrics;
    auto makeControl = [&](const std::string& text) {
        auto control = std::make_unique<EditControl>(metrics, test::TestCodec(), nullptr);
        control->SetClientSize(400, 160);
        control->SetWordWrap(true);
        control->SetText(TextBuffer(text, Limits{1, 8}).Snapshot());
        return control;
    };
    const std::string text = "ab\r\n" + std::string(40, 'i') + "\r\ncd " + std::string(30, 'x');
    auto control = makeControl(text);
    const size_t lines = control->LineCount();
    control->MapCase(CaseMapping::Upper, 4, 60, 0);
    // The display lines are those a fresh layout of the new text gives.
    const auto fresh = makeControl(control->GetText());
    EXPECT_GT(fresh->LineCount(), lines);
    ASSERT_EQ(control->LineCount(), fresh->LineCount());
    for (size_t line = 0; line < fresh->LineCount(); ++line)
        EXPECT_EQ(control->LineText(line), fresh->LineText(line)) << "line " << line;
    ASSERT_TRUE(control->Undo());
    EXPECT_EQ(control->LineCount(), lines);
}

// Random texts on tiny chunks, random edits: bytes outside an edit's range
// never change, case conversion changes only letters, and undoing every
// step gives back the first text.
TEST_F(RangeEditTest, RandomSoakTouchesNothingOutsideTheRange)
{
    const char* pieces[] = {"a", "Z", "q", " ", "\r\n", "\r", "\n", "\x82\x60", "\x82\x9A", "\x83\x9F", "\x83\xD6",
                            "\x84\x46", "\x84\x80", "\x84\x7F", "\x87\x54", "\xEE\xF0", "\xFA\x41", "\xFA\x4B",
                            "\x82\xA0", "\x88\x9F", "\xED\x40", "\x81\xF0", "\x85\xA0", "\xB1", "\x82", "\x81\x81"};
    std::mt19937 rng(1932);
    for (int round = 0; round < 60; ++round) {
        std::string text;
        const size_t size = rng() % 200;
        while (text.size() < size) text += pieces[rng() % std::size(pieces)];
        Load(text, 4 + rng() % 8);
        const std::string first = text;
        std::vector<std::string> history{text};
        for (int step = 0; step < 12; ++step) {
            const size_t length = text.size();
            const size_t offset = rng() % (length + 1);
            const size_t count = rng() % (length + 8);
            const size_t end = offset + std::min(count, length - offset);
            const size_t caret = rng() % (length + 4);
            std::string expected;
            const int kind = static_cast<int>(rng() % 6);
            if (kind < 4) {
                const CaseMapping mapping = kind % 2 ? CaseMapping::Upper : CaseMapping::Lower;
                control.MapCase(mapping, offset, count, caret);
                expected = MappedReference(text, offset, count, mapping);
                ASSERT_EQ(control.GetText().substr(0, offset), text.substr(0, offset)) << "round " << round;
                ASSERT_EQ(control.GetText().substr(end), text.substr(end)) << "round " << round;
            } else if (kind == 4) {
                std::string stamp;
                for (size_t k = rng() % 6; k > 0; --k) stamp += pieces[rng() % std::size(pieces)];
                control.ReplaceRange(offset, count, stamp, caret);
                expected = text.substr(0, offset) + stamp + text.substr(end);
            } else {
                if (rng() % 3 != 0) continue;  // crops empty texts fast
                control.Crop(offset, count);
                expected = text.substr(offset, end - offset);
            }
            ASSERT_EQ(control.GetText(), expected) << "round " << round << " step " << step;
            ASSERT_EQ(control.Text().CheckStructure(), "") << "round " << round;
            ASSERT_EQ(control.SelLength(), 0u);
            if (expected != text) history.push_back(expected);
            text = expected;
        }
        for (size_t k = history.size() - 1; k > 0; --k) {
            ASSERT_EQ(control.GetText(), history[k]);
            ASSERT_TRUE(control.Undo());
        }
        ASSERT_EQ(control.GetText(), first) << "round " << round;
        ASSERT_FALSE(control.CanUndo());
    }
}

}  // namespace
}  // namespace kp::memo
