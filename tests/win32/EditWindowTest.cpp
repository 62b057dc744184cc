// The edit control's window, driven in-process with real messages: what
// other programs and the parent see (UTF-16 text, byte offsets,
// notifications), keyboard and mouse, scrolling of huge documents, and
// painting (captured through WM_PRINTCLIENT).

#include "memo/win32/EditWindow.h"

#include "platform/clipboard/Win32Clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>
#include <richedit.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kp::test {
namespace {

using memo::EditWindow;
using Range = std::pair<LONG, LONG>;
constexpr int kEditId = 42;

// What the control tells its parent.
struct Received {
    int changes = 0;
    std::vector<SELCHANGE> selChanges;
};

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* received = reinterpret_cast<Received*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (received && message == WM_COMMAND && wParam == MAKEWPARAM(kEditId, EN_CHANGE) &&
        GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == kEditId)
        ++received->changes;
    if (received && message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == EN_SELCHANGE)
        received->selChanges.push_back(*reinterpret_cast<SELCHANGE*>(lParam));
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateParent(Received* received)
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ParentProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KestrelpadEditTestParent";
        return RegisterClassExW(&windowClass);
    }();
    HWND parent = CreateWindowExW(0, MAKEINTATOM(atom), L"EditWindowTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  640, 400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(parent, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(received));
    return parent;
}

// Dispatches what arrives (timers) for a while.
void Pump(std::chrono::milliseconds duration)
{
    const auto end = std::chrono::steady_clock::now() + duration;
    for (MSG message; std::chrono::steady_clock::now() < end; Sleep(5))
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

// The client area as WM_PRINTCLIENT paints it.
class Capture {
public:
    explicit Capture(HWND window)
    {
        RECT client{};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;  // top-down
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        GdiFlush();
        pixels_.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + width_ * client.bottom);
        SelectObject(dc, previous);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // How many pixels of the rectangle have the colour.
    int Count(const RECT& rect, COLORREF color) const
    {
        const uint32_t rgb = (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
        int count = 0;
        for (LONG y = std::max(rect.top, 0L); y < std::min(rect.bottom, height_); ++y)
            for (LONG x = std::max(rect.left, 0L); x < std::min(rect.right, width_); ++x) count += (pixels_[y * width_ + x] & 0xFFFFFF) == rgb;
        return count;
    }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

private:
    LONG width_ = 0;
    LONG height_ = 0;
    std::vector<uint32_t> pixels_;
};

int Area(const RECT& rect) { return (rect.right - rect.left) * (rect.bottom - rect.top); }

class EditWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent_ = CreateParent(&received_);
        RECT client{};
        GetClientRect(parent_, &client);
        edit_ = std::make_unique<EditWindow>(parent_, kEditId, client);
        platform::FontSpec font;
        font.face = "ＭＳ Ｐゴシック";
        font.pixelHeight = 15;
        ASSERT_TRUE(edit_->SetFont(font));
        Send(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    }
    void TearDown() override
    {
        edit_.reset();
        DestroyWindow(parent_);
    }

    HWND Edit() const { return edit_->Handle(); }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return SendMessageW(Edit(), message, wParam, lParam);
    }
    std::u16string Text() const
    {
        const auto length = static_cast<size_t>(Send(WM_GETTEXTLENGTH));
        std::u16string text(length + 1, u'\0');
        text.resize(static_cast<size_t>(Send(WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
        EXPECT_EQ(text.size(), length) << "WM_GETTEXTLENGTH must match WM_GETTEXT";
        return text;
    }
    void SetText(const std::u16string& text) const { Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    Range Sel() const
    {
        CHARRANGE range{-5, -5};
        Send(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
        return {range.cpMin, range.cpMax};
    }
    void SetSel(LONG start, LONG end) const { Send(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void Type(std::u16string_view text) const
    {
        for (const char16_t unit : text) Send(WM_CHAR, unit, 1);
    }
    // A key pressed with the modifiers held, as the keyboard state shows them.
    void Key(UINT key, bool shift = false, bool ctrl = false) const
    {
        BYTE saved[256], state[256];
        GetKeyboardState(saved);
        std::copy(std::begin(saved), std::end(saved), std::begin(state));
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
        Send(WM_KEYDOWN, key, 1);
        SetKeyboardState(saved);
    }
    POINT PointOf(LONG offset) const
    {
        POINTL point{};
        Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), offset);
        return POINT{point.x, point.y};
    }
    // Mouse coordinates inside the character that starts at offset.
    LPARAM At(LONG offset) const { return MAKELPARAM(PointOf(offset).x + 2, PointOf(offset).y + LineHeight() / 2); }
    int LineHeight() const { return edit_->Control().LineHeight(); }
    RECT LineRect(LONG offset, LONG left = 0, LONG right = 600) const
    {
        return RECT{left, PointOf(offset).y, right, PointOf(offset).y + LineHeight()};
    }

    Received received_;
    HWND parent_ = nullptr;
    std::unique_ptr<EditWindow> edit_;
};

TEST(EditWindowLifetime, ChildWindowOfItsClassOwnedByTheObject)
{
    Received received;
    HWND parent = CreateParent(&received);
    auto edit = std::make_unique<EditWindow>(parent, kEditId, RECT{0, 0, 300, 200});
    HWND window = edit->Handle();
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    EXPECT_STREQ(className, L"KestrelpadEdit");
    EXPECT_EQ(GetDlgCtrlID(window), kEditId);
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & (WS_CHILD | WS_VSCROLL | WS_HSCROLL), WS_CHILD | WS_VSCROLL | WS_HSCROLL);
    EXPECT_EQ(SendMessageW(window, WM_GETDLGCODE, 0, 0) & (DLGC_WANTALLKEYS | DLGC_WANTTAB), DLGC_WANTALLKEYS | DLGC_WANTTAB);
    edit.reset();
    EXPECT_FALSE(IsWindow(window));

    // The parent going first leaves an object without a window, still usable.
    edit = std::make_unique<EditWindow>(parent, kEditId, RECT{0, 0, 300, 200});
    DestroyWindow(parent);
    EXPECT_EQ(edit->Handle(), nullptr);
    edit->Control().SetText("text");
    EXPECT_EQ(edit->Control().GetText(), "text");
}

using EditWindowText = EditWindowTest;

TEST_F(EditWindowText, TypedJapaneseReadsBackAsUtf16WithByteOffsetsAndNotifies)
{
    Type(u"日本語abc\rx");
    EXPECT_EQ(Text(), u"日本語abc\r\nx");
    EXPECT_EQ(edit_->Control().GetText(), "\x93\xFA\x96\x7B\x8C\xEA" "abc\r\nx");
    EXPECT_EQ(Sel(), Range(12, 12));
    EXPECT_EQ(received_.changes, 8);
    ASSERT_FALSE(received_.selChanges.empty());
    const SELCHANGE& last = received_.selChanges.back();
    EXPECT_EQ(last.nmhdr.hwndFrom, Edit());
    EXPECT_EQ(last.nmhdr.idFrom, static_cast<UINT_PTR>(kEditId));
    EXPECT_EQ(Range(last.chrg.cpMin, last.chrg.cpMax), Range(12, 12));
    EXPECT_EQ(last.seltyp, SEL_EMPTY);

    Type(u"\b\b\b");  // the length is cached between edits
    EXPECT_EQ(Text(), u"日本語ab");

    Send(EM_SETEVENTMASK, 0, ENM_SELCHANGE);
    SetSel(0, 4);
    Type(u"x");
    EXPECT_EQ(received_.changes, 11);
    EXPECT_EQ(received_.selChanges.rbegin()[1].seltyp, SEL_TEXT | SEL_MULTICHAR);
}

TEST_F(EditWindowText, SetTextStoresCodePage932AndGetTextCutsToTheBuffer)
{
    Type(u"old");
    SetText(u"漢字ｶﾅ\r\n2行目");
    EXPECT_EQ(edit_->Control().GetText(), "\x8A\xBF\x8E\x9A\xB6\xC5\r\n2\x8D\x73\x96\xDA");
    EXPECT_EQ(Send(EM_GETMODIFY), 0);
    EXPECT_EQ(Send(EM_CANUNDO), 0);
    wchar_t small[4] = {L'?', L'?', L'?', L'?'};
    EXPECT_EQ(Send(WM_GETTEXT, 4, reinterpret_cast<LPARAM>(small)), 3);
    EXPECT_EQ(std::wstring(small), L"漢字ｶ");
}

// Another program reading a large text: the length without decoding, and
// only as much decoded as its buffer holds, cut at characters that straddle
// the text's chunks and the decoder's slices alike.
TEST_F(EditWindowText, LengthAndTextOfALargeDocumentAgreeWithTheWholeDecodingAtEveryCut)
{
    const std::string_view pieces[] = {"\x93\xFA\x96\x7B", "abc", "\r\n", "\x82", std::string_view("\0", 1),
                                       "\xB6\xC5", "\x80", "\xFD", "\x81\r", "\x88"};
    std::string bytes;
    for (size_t i = 0; bytes.size() < 300 * 1024; i = i * 7 + 3) bytes += pieces[i % std::size(pieces)];
    for (const bool loneLeadAtEnd : {false, true}) {
        if (loneLeadAtEnd) bytes += '\x9F';
        edit_->Control().SetText(bytes);
        const std::u16string whole = edit_->Codec().ToUtf16(bytes);
        ASSERT_EQ(static_cast<size_t>(Send(WM_GETTEXTLENGTH)), whole.size());
        for (const size_t size : {size_t{1}, size_t{2}, size_t{3}, size_t{65537}, size_t{65538}, size_t{100001},
                                  whole.size(), whole.size() + 1, whole.size() + 64}) {
            std::u16string buffer(size + 1, u'?');
            const auto got = static_cast<size_t>(Send(WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer.data())));
            const size_t expected = std::min(size - 1, whole.size());
            ASSERT_EQ(got, expected) << "buffer of " << size;
            EXPECT_TRUE(buffer.compare(0, got, whole, 0, got) == 0) << "buffer of " << size;
            EXPECT_EQ(buffer[got], u'\0');
            EXPECT_EQ(buffer[size], u'?') << "written past the buffer of " << size;
        }
    }
    EXPECT_EQ(Send(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(nullptr)), 0);
}

TEST_F(EditWindowText, ClipboardMessagesAndUndo)
{
    platform::Win32Clipboard clipboard;
    ASSERT_TRUE(clipboard.SetText(u"貼り付け"));
    SetText(u"前後");
    SetSel(2, 2);
    Send(WM_PASTE);
    EXPECT_EQ(Text(), u"前貼り付け後");
    EXPECT_EQ(Sel(), Range(10, 10));
    SetSel(0, 4);
    Send(WM_COPY);
    EXPECT_EQ(clipboard.GetText(), u"前貼");
    Send(WM_CUT);
    EXPECT_EQ(Text(), u"り付け後");
    Send(WM_UNDO);
    Send(WM_UNDO);
    EXPECT_EQ(Text(), u"前後");

    Send(EM_SETREADONLY, TRUE);
    SetSel(0, -1);
    Send(WM_CLEAR);
    Send(WM_PASTE);
    EXPECT_EQ(Text(), u"前後");
}

using EditWindowKeys = EditWindowTest;

TEST_F(EditWindowKeys, ShiftArrowsSelectWholeCharactersAsBytes)
{
    SetText(u"あいう\r\nかき");
    Key(VK_RIGHT);
    Key(VK_RIGHT, true);
    EXPECT_EQ(Sel(), Range(2, 4));
    EXPECT_EQ(received_.selChanges.back().seltyp, SEL_TEXT);  // one double-byte character
    Key(VK_DOWN, true);
    EXPECT_EQ(Sel(), Range(2, 12));
    Key(VK_LEFT);
    EXPECT_EQ(Sel(), Range(2, 2));
    Key(VK_END, true, true);
    EXPECT_EQ(Sel(), Range(2, 12));
    Key(VK_LEFT, false, true);
    EXPECT_EQ(Sel(), Range(8, 8));
}

TEST_F(EditWindowKeys, EditingKeysAndCharacters)
{
    platform::Win32Clipboard clipboard;
    Type(u"ab\tc\r\x01\x1b");  // other control characters type nothing
    EXPECT_EQ(Text(), u"ab\tc\r\n");
    Key(VK_HOME, false, true);
    Key(VK_DELETE);
    Key(VK_INSERT);  // overwrite
    Type(u"全");
    Key(VK_INSERT);
    Type(u"角");
    EXPECT_EQ(Text(), u"全角\tc\r\n");
    Key('Z', false, true);
    EXPECT_EQ(Text(), u"b\tc\r\n");
    SetSel(0, 1);
    Key(VK_INSERT, false, true);
    EXPECT_EQ(clipboard.GetText(), u"b");
    Key(VK_DELETE, true);
    Key(VK_END, false, true);
    Key(VK_INSERT, true);
    EXPECT_EQ(Text(), u"\tc\r\nb");
}

using EditWindowMouse = EditWindowTest;

TEST_F(EditWindowMouse, ClicksDragsDoubleClicksAndTheSelectionBar)
{
    SetFocus(parent_);
    SetText(u"漢字かな abc\r\n二行目\r\n三行目");
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(2));
    EXPECT_EQ(GetFocus(), Edit());
    EXPECT_EQ(GetCapture(), Edit());
    Send(WM_MOUSEMOVE, MK_LBUTTON, At(16));
    Send(WM_LBUTTONUP, 0, At(16));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Sel(), Range(2, 16));
    Send(WM_MOUSEMOVE, 0, At(0));
    Send(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(6));
    Send(WM_LBUTTONUP, 0, At(6));
    EXPECT_EQ(Sel(), Range(2, 6));

    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(10));
    Send(WM_LBUTTONUP, 0, At(10));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, At(10));
    Send(WM_LBUTTONUP, 0, At(10));
    EXPECT_EQ(Sel(), Range(9, 12));

    Send(EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    const POINT bar{1, PointOf(16).y + LineHeight() / 2};
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(bar.x, bar.y));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(bar.x, bar.y + LineHeight()));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(bar.x, bar.y));
    EXPECT_EQ(Sel(), Range(14, 28));

    // The pointer: an arrow over the selection bar, an I-beam over text.
    const HCURSOR beam = LoadCursorW(nullptr, IDC_IBEAM);
    for (const POINT point : {bar, POINT{PointOf(16).x, bar.y}}) {
        POINT screen = point;
        ClientToScreen(Edit(), &screen);
        SetCursorPos(screen.x, screen.y);
        Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(Edit()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(GetCursor() == beam, point.x != bar.x);
    }
}

TEST_F(EditWindowMouse, DraggingBelowTheWindowScrollsOnItsOwn)
{
    std::u16string text;
    for (int line = 0; line < 200; ++line) text += u"行\r\n";
    SetText(text);
    RECT client{};
    GetClientRect(Edit(), &client);
    // The real pointer goes there too: the system sends moves of its own.
    POINT below{10, client.bottom + 20};
    ClientToScreen(Edit(), &below);
    SetCursorPos(below.x, below.y);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, At(0));
    Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, client.bottom + 20));
    const LRESULT afterMove = Send(EM_GETFIRSTVISIBLELINE);
    Pump(std::chrono::milliseconds(400));
    const LRESULT afterWait = Send(EM_GETFIRSTVISIBLELINE);
    EXPECT_GT(afterWait, afterMove + 2) << "the timer goes on scrolling";
    EXPECT_GT(Sel().second, 4 * afterWait);
    Send(WM_LBUTTONUP, 0, MAKELPARAM(10, client.bottom + 20));
    Pump(std::chrono::milliseconds(200));
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), afterWait) << "scrolling stops with the button";
}

using EditWindowScroll = EditWindowTest;

TEST_F(EditWindowScroll, TwentyMegabytesScrollToTheEndByThumbAndPaintFast)
{
    std::string bytes;
    for (int line = 0; bytes.size() < (20u << 20); ++line) bytes += "\x8D\x73 " + std::to_string(line) + " of a long document\r\n";
    edit_->Control().SetText(bytes);
    const size_t lines = edit_->Control().LineCount();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Edit(), SB_VERT, &info));
    EXPECT_EQ(static_cast<size_t>(info.nMax), lines - 1);
    EXPECT_EQ(info.nPage, edit_->Control().VisibleLineCount());

    // The thumb dragged to the end: the message's 16 bits cannot hold the position.
    const int end = static_cast<int>(lines - info.nPage);
    ASSERT_GT(end, 0xFFFF);
    info.fMask = SIF_POS;
    info.nPos = end;
    SetScrollInfo(Edit(), SB_VERT, &info, FALSE);
    Send(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, end & 0xFFFF));
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), end);

    Capture capture(Edit());  // paints there without failing
    Send(WM_VSCROLL, SB_TOP);
    Send(WM_VSCROLL, SB_BOTTOM);
    GetScrollInfo(Edit(), SB_VERT, &info);
    EXPECT_EQ(info.nPos, end) << "the bar follows";
}

TEST_F(EditWindowScroll, LinePageWheelAndSideways)
{
    SetText(std::u16string(400, u'あ') + u"\r\n" + std::u16string(100, u'\n'));
    Capture shown(Edit());  // the long line has been on screen: its width is known
    const auto page = static_cast<LRESULT>(edit_->Control().VisibleLineCount());
    Send(WM_VSCROLL, SB_LINEDOWN);
    Send(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), 1 + page);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA));
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), page - 2);
    Send(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-2 * WHEEL_DELTA)));
    Send(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(Send(EM_GETFIRSTVISIBLELINE), page + 3);
    Send(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_GT(edit_->Control().XScroll(), 0);
    Send(WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(edit_->Control().XScroll(), 0);
}

// A line of a million pixels: the bar's range covers it as soon as the text
// is set, and its right end shows the line's end in the window.
TEST_F(EditWindowScroll, ScrollingRightReachesTheEndOfALongLine)
{
    std::string line;
    while (line.size() < (1u << 20)) line += "kana \x82\xA9\x82\xC8\t";
    edit_->Control().SetText(line + "\r\nshort");
    const int width = edit_->Control().GetLayout().LineWidth(0);
    ASSERT_GT(width, 1000000);
    Send(WM_HSCROLL, SB_RIGHT);
    RECT client{};
    GetClientRect(Edit(), &client);
    const POINT end = PointOf(static_cast<LONG>(line.size()));
    EXPECT_GT(end.x, 0);
    EXPECT_LT(end.x, client.right) << "the line's end is in the window";
    Send(WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(PointOf(0).x, PointOf(static_cast<LONG>(line.size()) + 2).x);
}

// Paging right stops past the widest line, and a formatting rectangle as
// wide as an int allows scrolls and paints without wrapping round.
TEST_F(EditWindowScroll, SidewaysScrollingStopsPastTheWidestLine)
{
    SetText(std::u16string(40, u'あ') + u"\r\nabc");
    for (int page = 0; page < 200; ++page) Send(WM_HSCROLL, SB_PAGERIGHT);
    const int widest = edit_->Control().GetLayout().MaxLineWidth();
    EXPECT_GT(widest, 0);
    EXPECT_LE(edit_->Control().XScroll(), widest);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(Edit(), SB_HORZ, &info));
    EXPECT_LT(info.nMax, 2 * widest + 1000) << "the bar does not grow with every page";

    RECT huge{INT_MIN, INT_MIN / 2, INT_MAX, INT_MAX};
    Send(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&huge));
    for (const WPARAM request : {SB_PAGERIGHT, SB_LINERIGHT, SB_RIGHT, SB_PAGELEFT, SB_LINELEFT}) {
        Send(WM_HSCROLL, request);
        EXPECT_GE(edit_->Control().XScroll(), 0);
        EXPECT_LE(edit_->Control().XScroll(), edit_->Control().GetLayout().MaxLineWidth());
    }
    Capture capture(Edit());  // paints without failing
    POINTL point{};
    Send(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&point), 0);
    EXPECT_EQ(point.y, INT_MIN / 2);
}

using EditWindowPaint = EditWindowTest;

TEST_F(EditWindowPaint, SelectionIsHighlightedWithoutFocus)
{
    SetFocus(nullptr);
    SetText(u"選択されない 選択される 選択されない\r\n次の行");
    SetSel(13, 24);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    const Capture capture(Edit());
    const RECT selected = LineRect(13, PointOf(13).x, PointOf(24).x);
    EXPECT_GT(capture.Count(selected, highlight), Area(selected) / 2);
    EXPECT_GT(capture.Count(selected, GetSysColor(COLOR_HIGHLIGHTTEXT)), 0);
    for (const RECT& rect : {LineRect(13, 0, PointOf(13).x), LineRect(24, PointOf(24).x + 1), LineRect(38)})
        EXPECT_EQ(capture.Count(rect, highlight), 0);
    EXPECT_GT(capture.Count(LineRect(13, 0, PointOf(13).x), GetSysColor(COLOR_WINDOWTEXT)), 0);

    SetSel(13, 40);  // a selected line break shows after the line's text
    EXPECT_GT(Capture(Edit()).Count(LineRect(36, PointOf(36).x, PointOf(36).x + 2), highlight), 0);
}

TEST_F(EditWindowPaint, ColoursSelectionBarAndUndecodableBytes)
{
    Send(EM_SETOPTIONS, ECOOP_OR, ECO_SELECTIONBAR);
    Send(EM_SETBKGNDCOLOR, 0, RGB(0, 0, 128));
    edit_->SetTextColor(RGB(255, 255, 0));
    edit_->Control().SetText("\x80\xFD\x01 text");
    RECT format{};
    Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const Capture capture(Edit());
    const RECT bar = LineRect(0, 0, format.left);
    EXPECT_EQ(capture.Count(bar, RGB(0, 0, 128)), Area(bar));
    const RECT substitutes = LineRect(0, format.left, PointOf(3).x);
    EXPECT_GT(substitutes.right - substitutes.left, 12);
    EXPECT_GT(capture.Count(substitutes, RGB(255, 255, 0)), 10);
    EXPECT_GT(capture.Count(LineRect(3, PointOf(3).x), RGB(255, 255, 0)), 10);

    edit_->SetTextColor(CLR_DEFAULT);
    Send(EM_SETBKGNDCOLOR, 1, 0);
    const Capture system(Edit());
    EXPECT_EQ(system.Count(bar, GetSysColor(COLOR_WINDOW)), Area(bar));
    EXPECT_GT(system.Count(LineRect(0), GetSysColor(COLOR_WINDOWTEXT)), 10);
}

// One line of 8 MB typed into at its start, then scrolled to its end (and
// back): the same pixels as a window freshly opened on the same text, which
// lays the line out whole. Wrap off and on.
TEST_F(EditWindowPaint, ALongLineTypedIntoPaintsAsAWindowFreshlyOpenedOnIt)
{
    std::string line;
    while (line.size() < (8u << 20)) line += "abc \x82\xA0\x82\xA2 kana\t\x83\x65\x83\x4C\x83\x58 text ";
    const std::string typed = "\x8E\x9A" + line;  // 字
    const auto end = static_cast<LONG>(typed.size());
    RECT client{};
    GetClientRect(parent_, &client);
    for (const bool wrap : {false, true}) {
        SCOPED_TRACE(wrap ? "wrap on" : "wrap off");
        edit_->Control().SetWordWrap(wrap);
        edit_->Control().SetText(line);
        Capture before(Edit());  // laid out and painted before the edit
        SetSel(0, 0);
        Type(u"字");
        SetSel(end, end);
        Send(EM_SCROLLCARET);
        const Capture atEnd(Edit());
        const LRESULT endLine = Send(EM_GETFIRSTVISIBLELINE);
        SetSel(0, 0);
        Send(EM_SCROLLCARET);
        const Capture atStart(Edit());

        EditWindow fresh(parent_, kEditId + 1, client);
        platform::FontSpec font;
        font.face = "ＭＳ Ｐゴシック";
        font.pixelHeight = 15;
        ASSERT_TRUE(fresh.SetFont(font));
        fresh.Control().SetWordWrap(wrap);
        fresh.Control().SetText(typed);
        SendMessageW(fresh.Handle(), EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageW(fresh.Handle(), EM_SCROLLCARET, 0, 0);
        EXPECT_EQ(endLine, SendMessageW(fresh.Handle(), EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_TRUE(wrap ? endLine > 100000 : endLine == 0) << "first visible line " << endLine;
        const Capture freshAtEnd(fresh.Handle());
        SendMessageW(fresh.Handle(), EM_SETSEL, 0, 0);
        SendMessageW(fresh.Handle(), EM_SCROLLCARET, 0, 0);
        const Capture freshAtStart(fresh.Handle());

        EXPECT_TRUE(atEnd.Pixels() == freshAtEnd.Pixels()) << "at the line's end";
        EXPECT_TRUE(atStart.Pixels() == freshAtStart.Pixels()) << "at the line's start";
        const RECT text = LineRect(0);
        EXPECT_GT(atStart.Count(text, GetSysColor(COLOR_WINDOWTEXT)), 10) << "text is drawn";
        EXPECT_FALSE(atStart.Pixels() == atEnd.Pixels()) << "the window scrolled";
    }
}

using EditWindowIme = EditWindowTest;

RECT CaretRect()
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetCurrentThreadId(), &info);
    return info.rcCaret;
}

TEST_F(EditWindowIme, CaretFollowsTheModelAndWidensForOverwrite)
{
    SetText(u"あいう\r\n");
    SetFocus(Edit());
    SetSel(2, 2);
    EXPECT_EQ(CaretRect().left, PointOf(2).x);
    EXPECT_EQ(CaretRect().top, PointOf(2).y);
    EXPECT_EQ(CaretRect().bottom - CaretRect().top, LineHeight());
    const LONG narrow = CaretRect().right - CaretRect().left;
    Key(VK_INSERT);
    EXPECT_EQ(CaretRect().right - CaretRect().left, PointOf(4).x - PointOf(2).x);
    EXPECT_GT(PointOf(4).x - PointOf(2).x, narrow);
    Key(VK_INSERT);
    EXPECT_EQ(CaretRect().right - CaretRect().left, narrow);
}

// With word wrap on, End leaves the caret at the end of the wrapped display
// line, and the window draws it there; the offset is still the next line's
// start for every offset query. Home goes back, Up and clicks keep the side.
TEST_F(EditWindowIme, AtAWrapTheCaretIsDrawnAtTheUpperLinesEnd)
{
    SetText(std::u16string(30, u'あ'));
    const LONG w = PointOf(2).x - PointOf(0).x;
    ASSERT_GT(w, 0);
    RECT rect{};
    Send(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    rect.right = rect.left + 11 * w + w / 2;  // eleven characters a line
    Send(EM_SETWORDWRAPMODE, 0x0080);         // wrapping at the width, no line-breaking rules
    edit_->Control().SetWordWrap(true);
    Send(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    ASSERT_EQ(Send(EM_GETLINECOUNT), 3);
    SetFocus(Edit());
    auto caret = [] {
        POINT point{};
        GetCaretPos(&point);
        return point;
    };

    Key(VK_END);
    EXPECT_EQ(Sel(), Range(22, 22));
    EXPECT_EQ(caret().x, PointOf(20).x + w);
    EXPECT_EQ(caret().y, PointOf(0).y);
    EXPECT_EQ(CaretRect().left, caret().x);
    EXPECT_EQ(PointOf(22).y, PointOf(0).y + LineHeight());
    EXPECT_EQ(Send(EM_EXLINEFROMCHAR, 0, 22), 1);
    Key(VK_END);
    EXPECT_EQ(caret().y, PointOf(0).y) << "End again stays on the line";
    Key(VK_HOME);
    EXPECT_EQ(Sel(), Range(0, 0));
    EXPECT_EQ(caret().x, PointOf(0).x);

    const LPARAM rightOfSecondLine = MAKELPARAM(rect.right - 2, PointOf(22).y + LineHeight() / 2);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, rightOfSecondLine);
    Send(WM_LBUTTONUP, 0, rightOfSecondLine);
    EXPECT_EQ(Sel(), Range(44, 44));
    EXPECT_EQ(caret().x, PointOf(42).x + w);
    EXPECT_EQ(caret().y, PointOf(22).y);
    Key(VK_UP);
    EXPECT_EQ(Sel(), Range(22, 22));
    EXPECT_EQ(caret().x, PointOf(20).x + w);
    EXPECT_EQ(caret().y, PointOf(0).y);
    Key(VK_RIGHT);  // the next line's start: the same offset, drawn below
    EXPECT_EQ(Sel(), Range(22, 22));
    EXPECT_EQ(caret().x, PointOf(22).x);
    EXPECT_EQ(caret().y, PointOf(22).y);
}

TEST_F(EditWindowIme, CompositionDrawsInlineInTheImeColours)
{
    SetText(u"前後");
    SetFocus(Edit());
    SetSel(2, 2);
    const POINT at = PointOf(2);
    const COLORREF target = edit_->Control().ImeColors()[1].crBackground;
    ASSERT_EQ(Capture(Edit()).Count(LineRect(0), target), 0);

    edit_->SetComposition(memo::Composition{u"かんじ", {ATTR_TARGET_CONVERTED, ATTR_TARGET_CONVERTED, ATTR_INPUT}, 2});
    const Capture composing(Edit());
    const RECT clause{at.x + 1, at.y, at.x + 10, at.y + LineHeight() - 3};
    EXPECT_GT(composing.Count(clause, target), Area(clause) / 3);
    EXPECT_EQ(composing.Count(LineRect(0, 0, at.x), target), 0) << "nothing before the caret";
    // The caret stands after the target clause; the text is unchanged.
    const int clauseWidth = composing.Count(RECT{at.x, at.y + 1, 600, at.y + 2}, target);
    EXPECT_NEAR(CaretRect().left, at.x + clauseWidth, 2);
    EXPECT_EQ(Text(), u"前後");

    edit_->EndComposition();
    EXPECT_EQ(Capture(Edit()).Count(LineRect(0), target), 0);
    EXPECT_EQ(CaretRect().left, at.x);
}

TEST(EditWindowHook, SeesEveryMessageFirstAndMayCallTheBaseItself)
{
    Received received;
    HWND parent = CreateParent(&received);
    EditWindow edit(parent, kEditId, RECT{0, 0, 300, 200});
    std::vector<UINT> seen;
    edit.SetHook([&](UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        seen.push_back(message);
        if (message == WM_CHAR && wParam == 'a') return edit.DefaultProc(WM_CHAR, 'b', lParam);
        if (message == WM_CHAR && wParam == 'q') return 7;
        return std::nullopt;
    });
    for (const char typed : {'a', 'q', 'c'}) SendMessageW(edit.Handle(), WM_CHAR, typed, 1);
    EXPECT_EQ(edit.Control().GetText(), "bc");
    EXPECT_EQ(SendMessageW(edit.Handle(), WM_CHAR, 'q', 1), 7);
    SendMessageW(edit.Handle(), EM_SETSEL, 0, 1);
    EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(EM_SETSEL)), seen.end());

    // A hook may replace itself while it runs.
    edit.SetHook([&](UINT, WPARAM, LPARAM) -> std::optional<LRESULT> {
        edit.SetHook(nullptr);
        return std::nullopt;
    });
    SendMessageW(edit.Handle(), WM_CHAR, 'z', 1);
    EXPECT_EQ(edit.Control().GetText(), "zc");
    DestroyWindow(parent);
}

}  // namespace
}  // namespace kp::test
