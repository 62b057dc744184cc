// The memo over its real window: the memo's handler sees the window's
// messages before the control does, the control's notifications come back
// reflected, and recreation keeps the document.

#include "memo/ExtMemo.h"

#include "memo/edit/WindowMessages.h"
#include "memo/win32/Win32MemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/syscolors/Win32SysColors.h"

#include <gtest/gtest.h>
#include <windows.h>

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

class ExtMemoWindowTest : public ::testing::Test {
protected:
    ExtMemoWindowTest() : host(CreateHost()), factory(host, 7), memo(factory, keys, colors)
    {
        factory.SetBounds(RECT{0, 0, 600, 360});
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

TEST_F(ExtMemoWindowTest, RecreatingTheWindowKeepsTheDocument)
{
    SendMessageW(Edit(), WM_CHAR, L'z', 0);
    HWND first = Edit();
    memo.SetWordWrap(true);
    EXPECT_NE(Edit(), nullptr);
    EXPECT_EQ(memo.Text(), "z");
    EXPECT_TRUE(memo.Modified());
    EXPECT_TRUE(memo.Control()->WordWrap());
    EXPECT_TRUE(memo.Canvas.Bound());
    (void)first;
}

}  // namespace
}  // namespace kp::test
