// The memo over its real window: the memo's handler sees the window's
// messages before the control does, the control's notifications come back
// reflected, recreation keeps the document, and what a handler throws goes to
// the exception handler the windows were given.

#include "memo/ExtMemo.h"

#include "base/Error.h"
#include "base/Utf.h"
#include "memo/edit/WindowMessages.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/syscolors/Win32SysColors.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace kp::test {
namespace {

HWND CreateHost()
{
    static const ATOM atom = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KestrelpadMemoTestHost";
        return RegisterClassExW(&windowClass);
    }();
    return CreateWindowExW(0, MAKEINTATOM(atom), L"ExtMemoWindowTest", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640,
                           400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

std::u16string TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return std::u16string(text.begin(), text.end());
}

// Keeps the caption and text of every message box this thread shows while it
// lives, and closes each from a timer its modal loop dispatches, so that a
// box shown in a test cannot hang it.
class BoxCatcher {
public:
    BoxCatcher()
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~BoxCatcher()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    std::vector<std::pair<std::u16string, std::u16string>> boxes;  // caption, text

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        if (!current_) return;
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM) -> BOOL {
                wchar_t name[16] = {};
                GetClassNameW(window, name, 16);
                if (std::wstring(name) == L"#32770" && IsWindowVisible(window) &&
                    current_->closed_.insert(window).second) {
                    current_->boxes.emplace_back(TextOf(window), TextOf(GetDlgItem(window, 0xFFFF)));
                    EndDialog(window, IDOK);
                }
                return TRUE;
            },
            0);
    }

    static inline BoxCatcher* current_ = nullptr;
    UINT_PTR timer_ = 0;
    std::set<HWND> closed_;
};

class ExtMemoWindowTest : public ::testing::Test {
protected:
    ExtMemoWindowTest() : host(CreateHost()), factory(host, 7), memo(factory, keys, colors)
    {
        factory.SetBounds(RECT{0, 0, 600, 360});
        factory.SetExceptionHandler([this](const std::exception& failure) { failures.emplace_back(failure.what()); });
        memo.CreateWnd();
    }
    ~ExtMemoWindowTest() override
    {
        memo.DestroyWnd();
        DestroyWindow(host);
    }
    HWND Edit() const { return FindWindowExW(host, nullptr, memo::kEditWindowClass, nullptr); }
    std::u16string WindowText() const
    {
        const int length = GetWindowTextLengthW(Edit());
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(Edit(), text.data(), length + 1)));
        return std::u16string(text.begin(), text.end());
    }
    POINTL PosOf(size_t offset) const
    {
        POINTL at{};
        SendMessageW(Edit(), EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), static_cast<LPARAM>(offset));
        return at;
    }
    // The pixels of one colour on the screen from x = left to right (not
    // included) over the height of the line whose top is `top`.
    int CountPixels(COLORREF color, int left, int right, int top)
    {
        HDC dc = GetDC(Edit());
        int count = 0;
        for (int x = left; x < right; ++x)
            for (int y = top; y < top + memo.Control()->LineHeight(); ++y) count += GetPixel(dc, x, y) == color;
        ReleaseDC(Edit(), dc);
        return count;
    }
    void SetKeys(bool shift, bool ctrl)
    {
        BYTE state[256]{};
        GetKeyboardState(state);
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CONTROL] = ctrl ? 0x80 : 0;
        SetKeyboardState(state);
    }

    HWND host;
    platform::Win32KeyState keys;
    platform::Win32SysColors colors;
    memo::Win32MemoWindowFactory factory;
    memo::TExtMemo memo;
    std::vector<std::string> failures;
};

TEST_F(ExtMemoWindowTest, TypedCharactersBecomeCodePage932Bytes)
{
    ASSERT_NE(Edit(), nullptr);
    for (const wchar_t c : std::wstring(L"aあ表\r"))
        SendMessageW(Edit(), WM_CHAR, c, 0);
    EXPECT_EQ(memo.Text(), "a\x82\xA0\x95\x5C\r\n");
    EXPECT_EQ(WindowText(), u"aあ表\r\n");
    EXPECT_EQ(memo.TextLength(), 7u);
    EXPECT_TRUE(memo.Modified());
}

TEST_F(ExtMemoWindowTest, InsertTogglesTheMemoAndTheControlTogether)
{
    std::vector<bool> seen;
    memo.OnKeyDown = [&](memo::KeyEvent&) { seen.push_back(memo.InsertMode()); };
    SetKeys(false, false);
    SendMessageW(Edit(), WM_KEYDOWN, VK_INSERT, 0);
    EXPECT_FALSE(memo.InsertMode());
    EXPECT_TRUE(memo.Control()->Overwrite());
    SetKeys(true, false);
    SendMessageW(Edit(), WM_KEYDOWN, VK_INSERT, 0);  // Shift+Insert pastes, no toggle
    SetKeys(false, false);
    EXPECT_EQ(seen, (std::vector<bool>{false, false}));
}

TEST_F(ExtMemoWindowTest, SelectionChangesReachTheMemoThroughTheWindow)
{
    int changes = 0;
    memo.OnSelectionChange = [&] { ++changes; };
    memo.SetText("x\r\n\x82\xA0y");
    const int before = changes;
    SendMessageW(Edit(), EM_SETSEL, 5, 5);
    EXPECT_GT(changes, before);
    EXPECT_EQ(memo.CaretLine(), 1);
    EXPECT_EQ(memo.CaretColumn(), 2);
}

// Type, switch to overwrite, turn word wrap on: the new window overwrites
// at the caret where the old one stood, and undo reaches back past the switch.
TEST_F(ExtMemoWindowTest, RecreatingTheWindowKeepsTheDocumentTheCaretAndOverwrite)
{
    for (const wchar_t c : std::wstring(L"abc\rdef"))
        SendMessageW(Edit(), WM_CHAR, c, 0);
    SendMessageW(Edit(), EM_SETSEL, 5, 5);
    SetKeys(false, false);
    SendMessageW(Edit(), WM_KEYDOWN, VK_INSERT, 0);
    ASSERT_FALSE(memo.InsertMode());
    HWND first = Edit();

    memo.SetWordWrap(true);
    ASSERT_NE(Edit(), nullptr);
    EXPECT_NE(Edit(), first);
    EXPECT_TRUE(memo.Control()->WordWrap());
    EXPECT_TRUE(memo.Canvas.Bound());
    EXPECT_TRUE(memo.Modified());
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(Edit(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 5u);
    EXPECT_EQ(end, 5u);

    SendMessageW(Edit(), WM_CHAR, L'X', 0);
    EXPECT_EQ(memo.Text(), "abc\r\nXef");
    EXPECT_FALSE(memo.InsertMode());
    SendMessageW(Edit(), EM_UNDO, 0, 0);
    EXPECT_EQ(memo.Text(), "abc\r\ndef");
    EXPECT_NE(SendMessageW(Edit(), EM_CANUNDO, 0, 0), 0);
    EXPECT_TRUE(failures.empty());
}

// A new window takes the place the layout gave the old one, so that it wraps
// at the width it shows from the start.
TEST_F(ExtMemoWindowTest, ARecreatedWindowTakesThePlaceOfTheOldOne)
{
    MoveWindow(Edit(), 10, 20, 300, 200, TRUE);
    const int clientWidth = memo.Control()->ClientWidth();
    memo.SetWordWrap(true);
    RECT bounds{};
    GetWindowRect(Edit(), &bounds);
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&bounds), 2);
    EXPECT_EQ(bounds.left, 10);
    EXPECT_EQ(bounds.top, 20);
    EXPECT_EQ(bounds.right, 310);
    EXPECT_EQ(bounds.bottom, 220);
    EXPECT_EQ(memo.Control()->ClientWidth(), clientWidth);
}

// Failures in the memo's events reach the program's handler, never a box of
// the window's own; the window goes on working.
TEST_F(ExtMemoWindowTest, WhatTheMemosEventsThrowGoesToTheExceptionHandler)
{
    struct Case {
        const char* what;
        std::function<void()> arm;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::string reported;
    };
    const std::vector<Case> cases = {
        {"key down", [&] { memo.OnKeyDown = [](memo::KeyEvent&) { throw Error("キーの処理に失敗しました"); }; },
         WM_KEYDOWN, VK_RIGHT, 0, "キーの処理に失敗しました"},
        {"mouse move", [&] { memo.OnMouseMove = [](int, int) { throw std::runtime_error("mouse"); }; },
         WM_MOUSEMOVE, 0, MAKELPARAM(5, 5), "mouse"},
        {"selection change", [&] { memo.OnSelectionChange = [] { throw 42; }; }, EM_SETSEL, 1, 1,
         "予期しないエラーが発生しました。"},
    };
    memo.SetText("abc");
    SetKeys(false, false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        memo.OnKeyDown = nullptr;
        memo.OnMouseMove = nullptr;
        memo.OnSelectionChange = nullptr;
        failures.clear();
        c.arm();
        BoxCatcher catcher;
        SendMessageW(Edit(), c.message, c.wParam, c.lParam);
        EXPECT_EQ(failures, std::vector<std::string>{c.reported});
        EXPECT_TRUE(catcher.boxes.empty());
    }
    memo.OnSelectionChange = nullptr;
    SendMessageW(Edit(), EM_SETSEL, 3, 3);
    SendMessageW(Edit(), WM_CHAR, L'd', 0);
    EXPECT_EQ(memo.Text(), "abcd");
}

// Windows made without a handler show the failure themselves, as an error.
TEST_F(ExtMemoWindowTest, WithoutAnExceptionHandlerAFailureShowsAnErrorBox)
{
    factory.SetExceptionHandler(nullptr);
    memo.RecreateWnd();
    memo.OnKeyDown = [](memo::KeyEvent&) { throw Error("失敗"); };
    SetKeys(false, false);
    BoxCatcher catcher;
    SendMessageW(Edit(), WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(catcher.boxes,
              (std::vector<std::pair<std::u16string, std::u16string>>{{Utf8ToUtf16("ｴﾗｰ"), Utf8ToUtf16("失敗")}}));
}

// The marks reach the screen after the control's own paint, on the window's
// DC taken for the pass: a reversed space mark fills its cell, the character
// after it stays untouched, and the wrap line stands at the wrap width.
TEST_F(ExtMemoWindowTest, MarksArePaintedOverTheTextOnTheScreen)
{
    constexpr COLORREF kMark = RGB(200, 0, 0);
    constexpr COLORREF kWrap = RGB(0, 160, 0);
    memo.EditMarks.SSp.Enabled = true;
    memo.EditMarks.SSp.Reversed = true;
    memo.EditMarks.SSp.Color = kMark;
    memo.WordWrapMarker.Enabled = true;
    memo.WordWrapMarker.Color = kWrap;
    memo.EditArea.SetEnabled(true);
    memo.SetWordWrap(true);
    memo.EditArea.SetWidth(200);
    memo.SetText("a   b");
    RedrawWindow(Edit(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    const POINTL space = PosOf(2);
    const POINTL after = PosOf(4);
    const int marked = CountPixels(kMark, space.x, after.x, space.y);
    const int spilled = CountPixels(kMark, after.x, after.x + 3, after.y);
    const int wrapX = memo.EditArea.Margin().Left() + 200 + 1;
    HDC dc = GetDC(Edit());
    const COLORREF wrapPixel = GetPixel(dc, wrapX, 100);
    ReleaseDC(Edit(), dc);
    EXPECT_GT(marked, 10);
    EXPECT_EQ(spilled, 0);
    EXPECT_EQ(wrapPixel, kWrap);
}

TEST(Win32MemoWindowTest, AWholePaintIsDueOnlyUntilThePaintComesAndOnlyOverEverything)
{
    HWND host = CreateHost();
    memo::Win32MemoWindow window(host, 9, RECT{0, 0, 300, 200}, memo::MemoWindowStyle{}, nullptr);
    HWND edit = FindWindowExW(host, nullptr, memo::kEditWindowClass, nullptr);
    ASSERT_NE(edit, nullptr);
    UpdateWindow(edit);
    EXPECT_FALSE(window.WholePaintDue());
    const RECT part{0, 0, 40, 40};
    InvalidateRect(edit, &part, FALSE);
    EXPECT_FALSE(window.WholePaintDue());
    window.Invalidate();
    EXPECT_TRUE(window.WholePaintDue());
    UpdateWindow(edit);
    EXPECT_FALSE(window.WholePaintDue());
    DestroyWindow(host);
}

// The marks of a selection change come with the paint it causes: a space
// selected loses its mark on the screen and gets it back when deselected.
TEST_F(ExtMemoWindowTest, MarksFollowTheSelectionOnceThePaintHasCome)
{
    constexpr COLORREF kMark = RGB(200, 0, 0);
    memo.EditMarks.SSp.Enabled = true;
    memo.EditMarks.SSp.Reversed = true;
    memo.EditMarks.SSp.Color = kMark;
    memo.SetText("a   b");
    const auto markedPixels = [&] {
        UpdateWindow(Edit());
        return CountPixels(kMark, PosOf(2).x, PosOf(3).x, PosOf(2).y);
    };
    SendMessageW(Edit(), EM_SETSEL, 5, 5);
    const int shown = markedPixels();
    SendMessageW(Edit(), EM_SETSEL, 1, 4);
    const int selected = markedPixels();
    SendMessageW(Edit(), EM_SETSEL, 0, 0);
    const int again = markedPixels();
    EXPECT_GT(shown, 4);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(again, shown);
}

}  // namespace
}  // namespace kp::test
