// Editing forms as real dialogs, in-process: the tab control and its pages,
// a click reaching the form's event handler and the handler's changes
// reaching the controls, and what the user typed read back when OK closes.
// Driven from a timer that the dialog's own modal loop dispatches.

#include "ui/win32/Win32FormService.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using namespace ui;

HWND VisibleDialog()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            GetClassNameW(window, name, 16);
            if (!IsWindowVisible(window) || std::wstring(name) != L"#32770") return TRUE;
            *reinterpret_cast<HWND*>(out) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// One step per tick; a dialog still open a second after the last is ended.
struct Script {
    std::vector<std::function<void(HWND)>> steps;
    size_t next = 0;
    int idle = 0;
    static inline Script* current = nullptr;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND dialog = VisibleDialog();
        if (!current || !dialog) return;
        if (current->next < current->steps.size())
            current->steps[current->next++](dialog);
        else if (++current->idle > 20)
            EndDialog(dialog, 0);
    }
};

FormControl Control(FormControlKind kind, std::string name, int page, int top, std::string text = {})
{
    FormControl control;
    control.kind = kind;
    control.name = std::move(name);
    control.page = page;
    control.left = 8;
    control.top = top;
    control.width = 150;
    control.height = 20;
    control.text = std::move(text);
    return control;
}

// The control of a class `skip` places further in tab order, pages'
// controls inside their pages.
HWND FindOfClass(HWND parent, const wchar_t* className, int& skip)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        if (CompareStringOrdinal(name, -1, className, -1, TRUE) == CSTR_EQUAL && skip-- == 0) return child;
        if (HWND inner = FindOfClass(child, className, skip)) return inner;
    }
    return nullptr;
}

HWND ChildOf(HWND dialog, const wchar_t* className, int nth = 0) { return FindOfClass(dialog, className, nth); }

TEST(EditForm, PagesEventsAndReadBack)
{
    FormSpec form;
    form.caption = "設定";
    form.clientWidth = 345;
    form.clientHeight = 212;
    form.pages = {"一", "二"};
    form.controls = {Control(FormControlKind::CheckBox, "Check", 0, 4, "チェック(&K)"),
                     Control(FormControlKind::Edit, "Echo", 0, 30), Control(FormControlKind::Edit, "Typed", 1, 4)};
    FormControl ok = Control(FormControlKind::Button, "OK", -1, 182, "&OK");
    ok.result = mrOk;
    ok.isDefault = true;
    form.controls.push_back(ok);
    std::vector<std::string> events;
    form.OnEvent = [&](FormSpec& shown, const std::string& control) {
        events.push_back(control);
        shown.Find("Echo")->text = shown.Find("Check")->checked ? "on" : "off";
    };

    bool multiLine = false, secondHiddenFirst = false, secondShownAfter = false, firstHiddenAfter = false;
    std::wstring echoed;
    RECT client{};
    Script script;
    script.steps = {
        [&](HWND dialog) {
            GetClientRect(dialog, &client);
            HWND tab = ChildOf(dialog, WC_TABCONTROLW);
            ASSERT_NE(tab, nullptr);
            multiLine = (GetWindowLongW(tab, GWL_STYLE) & TCS_MULTILINE) != 0;
            EXPECT_EQ(TabCtrl_GetItemCount(tab), 2);
            secondHiddenFirst = !IsWindowVisible(ChildOf(dialog, L"Edit", 1));
            SendMessageW(ChildOf(dialog, L"Button", 0), BM_CLICK, 0, 0);
        },
        [&](HWND dialog) {
            wchar_t text[16] = {};
            GetWindowTextW(ChildOf(dialog, L"Edit", 0), text, 16);
            echoed = text;
            HWND tab = ChildOf(dialog, WC_TABCONTROLW);
            TabCtrl_SetCurSel(tab, 1);
            NMHDR header{tab, static_cast<UINT_PTR>(GetDlgCtrlID(tab)), static_cast<UINT>(TCN_SELCHANGE)};
            SendMessageW(dialog, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
            secondShownAfter = IsWindowVisible(ChildOf(dialog, L"Edit", 1)) != FALSE;
            firstHiddenAfter = !IsWindowVisible(ChildOf(dialog, L"Edit", 0));
            SetWindowTextW(ChildOf(dialog, L"Edit", 1), L"打った");
        },
        [&](HWND dialog) { SendMessageW(ChildOf(dialog, L"Button", 1), BM_CLICK, 0, 0); },
    };
    Script::current = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, Script::Tick);
    Win32FormService service;
    const ModalResult result = service.Edit(form);
    KillTimer(nullptr, timer);
    Script::current = nullptr;

    EXPECT_EQ(result, mrOk);
    const UINT dpi = GetDpiForSystem();
    EXPECT_EQ(client.right, MulDiv(345, static_cast<int>(dpi), 96));
    EXPECT_EQ(client.bottom, MulDiv(212, static_cast<int>(dpi), 96));
    EXPECT_TRUE(multiLine);
    EXPECT_TRUE(secondHiddenFirst);
    EXPECT_EQ(events, std::vector<std::string>{"Check"});
    EXPECT_EQ(echoed, L"on");
    EXPECT_TRUE(secondShownAfter);
    EXPECT_TRUE(firstHiddenAfter);
    EXPECT_TRUE(form.Find("Check")->checked);
    EXPECT_EQ(form.Find("Typed")->text, "打った");
    EXPECT_EQ(form.activePage, 1);
}

}  // namespace
}  // namespace kp::test
