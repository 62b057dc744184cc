// Template documents: the reader of template files as a table (fed whole and
// one byte at a time), the commands Text1 … Text9 on the simulated main
// window, their failures, and the template files the program ships.

#include "app/Templates.h"

#include "tests/app/MainFormFixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace kp::app {
namespace {

using namespace std::string_literals;

TEST(TemplateReaderTest, LinesJoinedByCrLfWithNothingAfterTheLast)
{
    const struct {
        const char* name;
        std::string file;
        std::string text;
    } cases[] = {
        {"empty file", "", ""},
        {"one line without an end", "abc", "abc"},
        {"a final line end adds nothing", "abc\r\n", "abc"},
        {"two lines ended by CR LF", "one\r\ntwo\r\n", "one\r\ntwo"},
        {"a lone CR ends a line", "one\rtwo\r", "one\r\ntwo"},
        {"a lone LF is an ordinary character", "one\ntwo\n", "one\ntwo\n"},
        {"a LF after a CR LF starts the next line", "one\r\n\ntwo", "one\r\n\ntwo"},
        {"an empty line before the end keeps its break", "one\r\n\r\n", "one\r\n"},
        {"empty lines alone", "\r\r\n\r", "\r\n\r\n"},
        {"a lone CR ends an empty line", "\r", ""},
        {"1A ends the file", "keep\x1A" "drop\r\nmore", "keep"},
        {"1A after a line end", "keep\r\n\x1A\r\ndrop", "keep"},
        {"1A first", "\x1A" "drop", ""},
        {"NUL is kept", "a\0b\r\n\0"s, "a\0b\r\n\0"s},
        {"a trailing lone lead byte is kept", "x\x82", "x\x82"},
        {"a lead byte before CR keeps both", "x\x82\r\ny", "x\x82\r\ny"},
        {"double-byte characters pass", "\x82\xa0\x83\x41\r\n\x88\x9f", "\x82\xa0\x83\x41\r\n\x88\x9f"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TemplateText(c.file), c.text);
        // Read in pieces, a CR and its LF may come apart.
        TemplateReader reader;
        for (char byte : c.file)
            if (!reader.Feed(std::string_view(&byte, 1))) break;
        EXPECT_EQ(reader.Take(), c.text);
    }
}

class TemplatesTest : public MainFormFixture {
protected:
    static std::string PathOf(int n) { return "C:\\Program Files\\Kestrelpad\\text" + std::to_string(n) + ".txt"; }
    TEditForm& StartWith(std::string_view text, size_t start, size_t length)
    {
        TEditForm& f = Start();
        f.Memo.SetText(text);
        f.Memo.SetModified(false);
        f.Memo.SetSelStart(start);
        f.Memo.SetSelLength(length);
        return f;
    }
    void Run(std::string_view command) { form->MenuItem(command)->Click(); }
};

TEST_F(TemplatesTest, InsertsInPlaceOfTheSelectionCaretAfterIt)
{
    const struct {
        const char* name;
        std::string memo;
        size_t start, length;
        std::string file;
        std::string after;
        size_t caret;
    } cases[] = {
        {"two lines into an empty memo", "", 0, 0, "one\r\ntwo\r\n", "one\r\ntwo", 8},
        {"at the caret", "ab", 1, 0, "X\rY\r\n", "aX\r\nYb", 5},
        {"a selected word is replaced", "say hello!", 4, 5, "bye", "say bye!", 7},
        {"a selection with the template's own text", "abc", 0, 3, "abc", "abc", 3},
        {"an empty template deletes the selection", "say hello!", 4, 5, "", "say !", 4},
        {"an empty template without a selection", "abc", 1, 0, "\r\n", "abc", 1},
        {"only what comes before Ctrl+Z", "[]", 1, 0, "keep\x1A" "drop", "[keep]", 5},
        {"a trailing lone lead byte", "a\r\nb", 1, 0, "x\x82", "ax\x82\r\nb", 3},
        {"a NUL", "ab", 2, 0, "\0z"s, "ab\0z"s, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        File(PathOf(3), c.file);
        TEditForm& f = StartWith(c.memo, c.start, c.length);
        Run("Text3");
        EXPECT_EQ(f.Memo.Text(), c.after);
        EXPECT_EQ(f.Memo.SelStart(), c.caret);
        EXPECT_EQ(f.Memo.SelLength(), 0u);
        EXPECT_EQ(f.Memo.Modified(), c.after != c.memo);
        EXPECT_TRUE(messages.Shown().empty());
    }
}

TEST_F(TemplatesTest, EachCommandReadsItsOwnFileAndIsUndoneInOneStep)
{
    for (int n = 1; n <= kTemplateCount; ++n) File(PathOf(n), "<" + std::to_string(n) + ">\r\n");
    TEditForm& f = StartWith("", 0, 0);
    for (int n = kTemplateCount; n >= 1; --n) Run("Text" + std::to_string(n));
    EXPECT_EQ(f.Memo.Text(), "<9><8><7><6><5><4><3><2><1>");

    File(PathOf(5), "first\r\nsecond");
    f.Memo.SetSelStart(3);
    f.Memo.SetSelLength(6);
    Run("Text5");
    EXPECT_EQ(f.Memo.Text(), "<9>first\r\nsecond<6><5><4><3><2><1>");
    Run("Undo");
    EXPECT_EQ(f.Memo.Text(), "<9><8><7><6><5><4><3><2><1>");
}

// A template that cannot be read: its message, OK, the memo as it was,
// nothing created; the other templates still work.
TEST_F(TemplatesTest, AnUnreadableTemplateShowsItsMessageAndChangesNothing)
{
    enum class Plant { Nothing, Folder, Locked, FailingRead };
    const struct {
        const char* name;
        int n;
        Plant plant;
    } cases[] = {
        {"missing", 4, Plant::Nothing},
        {"a folder", 1, Plant::Folder},
        {"held by another program", 9, Plant::Locked},
        {"a read that fails", 7, Plant::FailingRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        messages.Clear();
        File(PathOf(2), "two");
        TEditForm& f = StartWith("say hello", 4, 5);
        const std::string path = PathOf(c.n);
        switch (c.plant) {
        case Plant::Nothing: break;
        case Plant::Folder: files.CreateFolder(path); break;
        case Plant::Locked:
            File(path, "x");
            files.LockAgainstReading(path, true);
            break;
        case Plant::FailingRead:
            File(path, "x");
            files.FailReadNumber(1);
            break;
        }
        const bool planted = files.Query(path).exists;
        Run("Text" + std::to_string(c.n));
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Last().text, "テキストファイル \"Text" + std::to_string(c.n) + ".txt\" が見つかりません。");
        EXPECT_EQ(messages.Last().kind, ui::DialogKind::Error);
        EXPECT_EQ(messages.Last().buttons, ui::mbOK);
        EXPECT_EQ(f.Memo.Text(), "say hello");
        EXPECT_EQ(f.Memo.SelStart(), 4u);
        EXPECT_EQ(f.Memo.SelLength(), 5u);
        EXPECT_FALSE(f.Memo.Modified());
        EXPECT_EQ(files.Query(path).exists, planted);
        EXPECT_EQ(files.OpenHandleCount(), 0u);
        Run("Text2");
        EXPECT_EQ(f.Memo.Text(), "say two");
    }
}

#ifdef KP_TEMPLATES_DIR
// Code page 932 throughout, every line ended by CR LF, some Japanese in each.
TEST(ShippedTemplatesTest, AreCodePage932WithCrLfLineEnds)
{
    for (int n = 1; n <= kTemplateCount; ++n) {
        const std::string name = "text" + std::to_string(n) + ".txt";
        SCOPED_TRACE(name);
        std::ifstream in(KP_TEMPLATES_DIR + name, std::ios::binary);
        ASSERT_TRUE(in);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_GE(bytes.size(), 2u);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
        for (size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\r') {
                EXPECT_EQ(bytes[i + 1], '\n') << "at " << i;
            }
            if (bytes[i] == '\n') {
                EXPECT_EQ(bytes[i - 1], '\r') << "at " << i;
            }
        }
        EXPECT_EQ(bytes.find_first_of("\0\x1A"s), std::string::npos);
        const std::u16string text = test::TestCodec().ToUtf16(bytes);
        EXPECT_EQ(text.find(u'\uFFFD'), std::u16string::npos);
        EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char16_t c) { return c >= u'\u3000'; }));
    }
}
#endif

}  // namespace
}  // namespace kp::app
