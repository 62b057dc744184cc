// What only the real platform can show: proportional fonts, widths against
// GDI's own text extents, and a clipboard shared with other programs.

#include "base/Utf.h"
#include "platform/clipboard/Win32Clipboard.h"
#include "platform/textmetrics/Win32TextMetrics.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstring>
#include <future>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace kp::test {
namespace {

using namespace std::string_literals;
using platform::FontSpec;
using platform::Win32Clipboard;
using platform::Win32TextMetrics;

FontSpec Face(const char* face, int pixelHeight)
{
    FontSpec font;
    font.face = face;
    font.pixelHeight = pixelHeight;
    return font;
}

const wchar_t* Wide(const std::u16string& text)
{
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The extent GDI itself gives the text in the font, from a DC of its own.
int GdiExtent(const FontSpec& font, const std::u16string& text)
{
    LOGFONTW logFont{};
    logFont.lfHeight = -font.pixelHeight;
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = font.charset;
    const std::u16string face = Utf8ToUtf16(font.face);
    std::memcpy(logFont.lfFaceName, face.c_str(), (face.size() + 1) * sizeof(char16_t));
    HDC dc = CreateCompatibleDC(nullptr);
    HFONT handle = CreateFontIndirectW(&logFont);
    HGDIOBJ previous = SelectObject(dc, handle);
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    DeleteObject(handle);
    DeleteDC(dc);
    return size.cx;
}

TEST(Win32TextMetrics, ProportionalFaceHasNarrowAndWideCharacters)
{
    Win32TextMetrics metrics;
    for (const int size : {15, 16}) {
        ASSERT_TRUE(metrics.SetFont(Face("ＭＳ Ｐゴシック", size)));
        EXPECT_LT(metrics.CharWidth(u'i'), metrics.CharWidth(u'W')) << size;
        EXPECT_LT(metrics.CharWidth(u'ｉ'), metrics.CharWidth(u'Ｗ')) << size;
        EXPECT_LT(metrics.AverageCharWidth(), metrics.CharWidth(u'W')) << size;
        EXPECT_GE(metrics.LineHeight(), size);
    }
}

TEST(Win32TextMetrics, RunWidthsAddUpToGdiTextExtent)
{
    const std::u16string text = u"Wide and narrow: iiiWWW 定義文書ｴﾗｰ「かな」ABC xyz 12345";
    Win32TextMetrics metrics;
    for (const char* face : {"ＭＳ ゴシック", "ＭＳ Ｐゴシック"}) {
        for (const int size : {12, 15, 16, 21}) {
            const FontSpec font = Face(face, size);
            ASSERT_TRUE(metrics.SetFont(font));
            std::vector<int> widths;
            metrics.RunWidths(text, widths);
            EXPECT_EQ(std::accumulate(widths.begin(), widths.end(), 0), GdiExtent(font, text))
                << face << " " << size;
        }
    }
}

// Puts one block of bytes on the clipboard in the format, as another program
// would.
void PutRaw(UINT format, const void* bytes, size_t size)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    EXPECT_NE(SetClipboardData(format, block), nullptr);
    CloseClipboard();
}

TEST(Win32Clipboard, ReadsTextOtherProgramsPutInOtherForms)
{
    Win32Clipboard clipboard;
    const std::string ansi = "\x93\xFA\x96\x7B\x8C\xEA text\r\n";  // 日本語 in code page 932
    PutRaw(CF_TEXT, ansi.c_str(), ansi.size() + 1);
    EXPECT_TRUE(clipboard.HasText());
    EXPECT_EQ(clipboard.GetText(), u"日本語 text\r\n");

    const std::u16string withNul = u"ab\0cd\0"s;
    PutRaw(CF_UNICODETEXT, withNul.data(), withNul.size() * sizeof(char16_t));
    EXPECT_EQ(clipboard.GetText(), u"ab");
}

TEST(Win32Clipboard, NonTextContentIsNoText)
{
    Win32Clipboard clipboard;
    ASSERT_TRUE(clipboard.SetText(u"text"));
    const UINT format = RegisterClipboardFormatW(L"Kestrelpad test data");
    PutRaw(format, "data", 4);
    EXPECT_FALSE(clipboard.HasText());
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
}

TEST(Win32Clipboard, TextOutlivesTheObjectThatSetIt)
{
    {
        Win32Clipboard clipboard;
        ASSERT_TRUE(clipboard.SetText(u"残る text"));
    }
    Win32Clipboard other;
    EXPECT_EQ(other.GetText(), u"残る text");
}

// Another thread stands in for another program: the clipboard belongs to one
// thread at a time.
class ClipboardHolder {
public:
    explicit ClipboardHolder(std::chrono::milliseconds hold)
        : thread_([this, hold] {
              opened_.set_value(OpenClipboard(nullptr) != FALSE);
              release_.get_future().wait_for(hold);
              CloseClipboard();
          })
    {
        holding_ = opened_.get_future().get();
    }
    ~ClipboardHolder() { Release(); }
    bool Holding() const { return holding_; }
    void Release()
    {
        if (!thread_.joinable()) return;
        release_.set_value();
        thread_.join();
    }

private:
    std::promise<bool> opened_;
    std::promise<void> release_;
    bool holding_ = false;
    std::thread thread_;
};

TEST(Win32Clipboard, HeldByAnotherProgramFailsAccessButKeepsTheContent)
{
    Win32Clipboard clipboard;
    ASSERT_TRUE(clipboard.SetText(u"before"));
    ClipboardHolder holder(std::chrono::seconds(10));
    ASSERT_TRUE(holder.Holding());
    EXPECT_FALSE(clipboard.SetText(u"after"));
    EXPECT_EQ(clipboard.GetText(), std::nullopt);
    EXPECT_TRUE(clipboard.HasText());
    holder.Release();
    EXPECT_EQ(clipboard.GetText(), u"before");
}

TEST(Win32Clipboard, WaitsBrieflyForAnotherProgramToLetGo)
{
    Win32Clipboard clipboard;
    ClipboardHolder holder(std::chrono::milliseconds(30));
    ASSERT_TRUE(holder.Holding());
    EXPECT_TRUE(clipboard.SetText(u"after a short wait"));
    EXPECT_EQ(clipboard.GetText(), u"after a short wait");
}

}  // namespace
}  // namespace kp::test
