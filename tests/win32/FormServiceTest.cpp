// The count dialog and the about box as real dialogs, in-process: what other
// tools read of them (class, caption, child texts), their size and fonts at
// this DPI, the owner disabled while they show, and the keys that close them.
// Each is driven from a timer that the dialog's own modal loop dispatches.

#include "dialogs/AboutDlg.h"
#include "dialogs/CountDlg.h"
#include "memo/ExtMemo.h"
#include "memo/SimMemoWindow.h"
#include "platform/keyboard/Win32KeyState.h"
#include "platform/syscolors/Win32SysColors.h"
#include "tests/TestPlatform.h"
#include "ui/win32/Win32FormService.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using namespace ui;

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

HWND DialogOfThisThread()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            if (!IsWindowVisible(window) || ClassOf(window) != L"#32770") return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs the steps one per timer tick on the dialog this thread shows; after
// the last, a dialog still open after two seconds is ended with 0, so that
// a test that expected it to close fails instead of hanging.
class DialogScript {
public:
    explicit DialogScript(std::vector<std::function<void(HWND)>> steps) : steps_(std::move(steps))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~DialogScript()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    size_t Done() const { return next_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        DialogScript* self = current_;
        HWND dialog = DialogOfThisThread();
        if (!self || !dialog) return;
        if (self->next_ < self->steps_.size()) {
            self->steps_[self->next_++](dialog);
            self->since_ = GetTickCount64();
        } else if (GetTickCount64() - self->since_ > 2000) {
            EndDialog(dialog, 0);
        }
    }
    static inline DialogScript* current_ = nullptr;
    std::vector<std::function<void(HWND)>> steps_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    ULONGLONG since_ = 0;
};

void Key(HWND dialog, WPARAM key)
{
    HWND focus = GetFocus();
    PostMessageW(focus ? focus : dialog, WM_KEYDOWN, key, 1);
    PostMessageW(focus ? focus : dialog, WM_KEYUP, key, 0xC0000001);
}

struct Seen {
    std::wstring className;
    std::wstring caption;
    std::vector<std::wstring> statics;  // texts of the non-empty STATIC children, in order
    std::vector<std::pair<int, std::wstring>> buttons;
    bool ownerEnabled = true;
    HWND owner = nullptr;
    SIZE client{};
    UINT dpi = 96;
    std::vector<LOGFONTW> labelFonts;  // of the non-empty statics
    bool hasFrame = false;
    int defaultId = 0;
    RECT window{};
};

Seen Inspect(HWND dialog, HWND owner)
{
    Seen seen;
    seen.className = ClassOf(dialog);
    seen.caption = TextOf(dialog);
    seen.owner = GetWindow(dialog, GW_OWNER);
    seen.ownerEnabled = owner && IsWindowEnabled(owner);
    RECT client;
    GetClientRect(dialog, &client);
    seen.client = {client.right, client.bottom};
    seen.dpi = GetDpiForWindow(dialog);
    GetWindowRect(dialog, &seen.window);
    seen.defaultId = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0));
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button") {
            seen.buttons.emplace_back(GetDlgCtrlID(child), TextOf(child));
        } else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDFRAME) {
            seen.hasFrame = true;
        } else if (!TextOf(child).empty()) {
            seen.statics.push_back(TextOf(child));
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)), sizeof font, &font);
            seen.labelFonts.push_back(font);
        }
    }
    return seen;
}

class FormServiceTest : public ::testing::Test {
protected:
    FormServiceTest()
    {
        owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 500, 400, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
        SetActiveWindow(owner);
    }
    ~FormServiceTest() override { DestroyWindow(owner); }

    // Shows the form, looks at it first, then runs `keys` one per tick.
    ModalResult Show(const FormSpec& form, std::vector<WPARAM> keys, Seen& seen)
    {
        Win32FormService forms(owner);
        std::vector<std::function<void(HWND)>> steps{[&](HWND dialog) { seen = Inspect(dialog, owner); }};
        for (WPARAM key : keys) steps.push_back([key](HWND dialog) { Key(dialog, key); });
        DialogScript script(steps);
        const ModalResult result = forms.ShowModal(form);
        EXPECT_EQ(script.Done(), steps.size());
        return result;
    }

    HWND owner = nullptr;
};

TEST_F(FormServiceTest, TheCountDialogShowsItsNumbersOverTheOwnerAndOnlyEnterClosesIt)
{
    platform::Win32KeyState keys;
    platform::Win32SysColors colors;
    memo::SimMemoWindowFactory memoWindows(TestCodec(), nullptr, keys);
    memo::TExtMemo memo(memoWindows, keys, colors);
    memo.CreateWnd();
    memo.SetText("abc\r\n\x82\xa0\x82\xa2\ndef");
    dialogs::TCountForm count(memo);
    count.FormShow();

    Seen seen;
    EXPECT_EQ(Show(count.Spec(), {VK_ESCAPE, VK_ESCAPE, VK_RETURN}, seen), mrOk);
    EXPECT_EQ(seen.className, L"#32770");
    EXPECT_EQ(seen.caption, L"カウント");
    EXPECT_EQ(seen.statics, (std::vector<std::wstring>{L"文字数", L"10", L"行数", L"3"}));
    EXPECT_EQ(seen.buttons, (std::vector<std::pair<int, std::wstring>>{{IDOK, L"&OK"}}));
    EXPECT_EQ(seen.defaultId, IDOK);
    EXPECT_EQ(seen.owner, owner);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(seen.client.cx, MulDiv(120, seen.dpi, 96));
    EXPECT_EQ(seen.client.cy, MulDiv(85, seen.dpi, 96));
    RECT ownerRect;
    GetWindowRect(owner, &ownerRect);
    EXPECT_NEAR((seen.window.left + seen.window.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((seen.window.top + seen.window.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
}

TEST_F(FormServiceTest, TheAboutBoxIsCentredOnTheScreenWithItsFontsAndTheCloseBoxClosesIt)
{
    Seen seen;
    Win32FormService forms(owner);
    DialogScript script({[&](HWND dialog) { seen = Inspect(dialog, owner); },
                         [](HWND dialog) { Key(dialog, VK_ESCAPE); },
                         [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }});
    EXPECT_EQ(forms.ShowModal(dialogs::TAboutBox(1).Spec()), mrCancel);
    EXPECT_EQ(script.Done(), 3u);

    EXPECT_EQ(seen.className, L"#32770");
    EXPECT_EQ(seen.caption, L"バージョン情報");
    EXPECT_EQ(seen.statics,
              (std::vector<std::wstring>{L"Kestrelpad", L"KZ", L"Version 1.00", L"Compare  1999/3/14"}));
    EXPECT_TRUE(seen.hasFrame);
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_EQ(seen.client.cx, MulDiv(216, seen.dpi, 96));
    EXPECT_EQ(seen.client.cy, MulDiv(140, seen.dpi, 96));
    ASSERT_EQ(seen.labelFonts.size(), 4u);
    EXPECT_EQ(seen.labelFonts[0].lfHeight, -MulDiv(19, seen.dpi, 96));
    EXPECT_EQ(std::wstring(seen.labelFonts[0].lfFaceName), L"ＭＳ Ｐ明朝");
    EXPECT_EQ(seen.labelFonts[1].lfWeight, FW_BOLD);
    EXPECT_TRUE(seen.labelFonts[1].lfItalic);
    EXPECT_EQ(seen.labelFonts[3].lfHeight, -MulDiv(11, seen.dpi, 96));
    const int screenX = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR((seen.window.left + seen.window.right) / 2, screenX / 2, 1);

    // Enter presses OK.
    Seen again;
    EXPECT_EQ(Show(dialogs::TAboutBox(1).Spec(), {VK_RETURN}, again), mrOk);
}

}  // namespace
}  // namespace kp::test
