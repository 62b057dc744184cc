// The small modal dialogs, read as a tool reads them: the count dialog's
// numbers and the about box's texts, where they stand, and which keys close
// them. Neither command has a default shortcut; the scenarios store one.

#include "tests/e2e/ScenarioKit.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace kp::e2e {

namespace {

constexpr WORD kCountKey = VK_F8;
constexpr WORD kAboutKey = VK_F9;

void StoreDialogKeys() { StoreShortCuts({{L"Count", L"F8"}, {L"About", L"F9"}}); }

bool IsStatic(const Child& child)
{
    return CompareStringOrdinal(child.className.c_str(), -1, L"Static", -1, TRUE) == CSTR_EQUAL;
}

bool IsButton(const Child& child)
{
    return CompareStringOrdinal(child.className.c_str(), -1, L"Button", -1, TRUE) == CSTR_EQUAL;
}

std::string Describe(const std::vector<Child>& children)
{
    std::string listed;
    for (const Child& child : children) listed += (listed.empty() ? "" : ", ") + Quoted(child.text);
    return listed;
}

const Child& ChildWithText(const std::vector<Child>& children, const std::wstring& text)
{
    for (const Child& child : children)
        if (child.visible && child.text == text) return child;
    Fail("the dialog shows no " + Quoted(text) + " (it shows " + Describe(children) + ")");
}

// The visible static on the label's row that starts right of the label's start
// (a right-aligned number may be wide).
const Child& ValueBeside(const std::vector<Child>& children, const Child& label)
{
    const LONG middle = (label.rect.top + label.rect.bottom) / 2;
    for (const Child& child : children) {
        if (child.window != label.window && child.visible && IsStatic(child) && child.rect.left > label.rect.left &&
            child.rect.top <= middle && middle < child.rect.bottom)
            return child;
    }
    Fail("nothing stands beside " + Quoted(label.text) + " (the dialog shows " + Describe(children) + ")");
}

struct Counts {
    std::wstring characters;
    std::wstring lines;
};

// Opens the count dialog, checks its frame, reads both numbers, closes it
// with OK and checks that the main window works again.
Counts ReadCountDialog(const Context& context, const Editor& editor, HWND window, const char* shot)
{
    PressKeys(window, {kCountKey});
    const HWND dialog = editor.WaitForDialog(L"カウント");
    const SIZE client = ClientSize(dialog);
    Expect(client.cx == 120 && client.cy == 85,
           "client area " + std::to_string(client.cx) + " x " + std::to_string(client.cy) + ", not 120 x 85");
    Expect(!IsWindowEnabled(window), "the main window stays enabled under the modal count dialog");
    // Centred over the main window.
    RECT outer = {};
    RECT main = {};
    GetWindowRect(dialog, &outer);
    GetWindowRect(window, &main);
    const LONG dx = (outer.left + outer.right) - (main.left + main.right);
    const LONG dy = (outer.top + outer.bottom) - (main.top + main.bottom);
    Expect(std::labs(dx) <= 2 && std::labs(dy) <= 2,
           "the count dialog is off the main window's centre by " + std::to_string(dx / 2) + ", " +
               std::to_string(dy / 2));

    const std::vector<Child> children = Children(dialog);
    const Counts counts = {ValueBeside(children, ChildWithText(children, L"文字数")).text,
                           ValueBeside(children, ChildWithText(children, L"行数")).text};
    const Child& ok = ChildWithText(children, L"&OK");
    Expect(IsButton(ok), "\"&OK\" is not a button");
    if (shot) Snapshot(context, shot);

    ClickButton(dialog, L"OK");
    Expect(WaitForWindowGone(dialog) || !IsWindowVisible(dialog), "OK did not close the count dialog");
    for (int attempt = 0; attempt < 40 && !IsWindowEnabled(window); ++attempt) Sleep(50);
    Expect(IsWindowEnabled(window), "the main window stays disabled after the count dialog");
    return counts;
}

void ExpectCounts(const Counts& got, const std::wstring& characters, const std::wstring& lines)
{
    Expect(got.characters == characters && got.lines == lines,
           "文字数 " + Quoted(got.characters) + " and 行数 " + Quoted(got.lines) + ", not " + Quoted(characters) +
               " and " + Quoted(lines));
}

// A double-byte character counts two; a line break counts nothing, and a last
// line without one loses nothing.
void CountDialogShowsCharactersAndLines(Context& context)
{
    ForgetSettings();
    StoreDialogKeys();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    const HWND memo = WaitForMemo(window);
    ExpectCounts(ReadCountDialog(context, editor, window, nullptr), L"0", L"0");

    TypeText(window, L"abc");
    PressKeys(window, {VK_RETURN});
    TypeText(window, L"あい");
    ExpectMemo(memo, L"abc\r\nあい", {9, 9});
    ExpectCounts(ReadCountDialog(context, editor, window, "count-dialog"), L"7", L"2");
    // The empty line after a final line break is no line.
    PressKeys(window, {VK_RETURN});
    ExpectMemo(memo, L"abc\r\nあい\r\n", {11, 11});
    ExpectCounts(ReadCountDialog(context, editor, window, nullptr), L"7", L"2");
    CloseDiscardingChanges(editor, window);
}

// Where each text of the about box stands, in client pixels at 96 DPI.
struct Placed {
    std::wstring text;
    POINT topLeft;
};

void AboutBoxShowsItsTextsAndClosesOnEnterOnly(Context& context)
{
    ForgetSettings();
    StoreDialogKeys();
    Editor editor(context.exePath);
    const HWND window = editor.WaitForMainWindow();
    PressKeys(window, {kAboutKey});
    const HWND about = editor.WaitForDialog(L"バージョン情報");
    Expect(!IsWindowEnabled(window), "the main window stays enabled under the about box");

    const SIZE client = ClientSize(about);
    Expect(client.cx == 216 && client.cy == 140,
           "client area " + std::to_string(client.cx) + " x " + std::to_string(client.cy) + ", not 216 x 140");
    RECT outer = {};
    GetWindowRect(about, &outer);
    const LONG dx = (outer.left + outer.right) - GetSystemMetrics(SM_CXSCREEN);
    const LONG dy = (outer.top + outer.bottom) - GetSystemMetrics(SM_CYSCREEN);
    Expect(std::labs(dx) <= 2 && std::labs(dy) <= 2, "the about box is off the screen's centre by " +
                                                         std::to_string(dx / 2) + ", " + std::to_string(dy / 2));

    const std::vector<Child> children = Children(about);
    const std::vector<Placed> texts = {{L"Kestrelpad", {56, 16}},
                                       {L"KZ", {160, 14}},
                                       {L"Version 1.00", {56, 40}},
                                       {L"Compare  1999/3/14", {16, 77}},
                                       {L"&OK", {66, 113}}};
    for (const Placed& placed : texts) {
        const Child& child = ChildWithText(children, placed.text);
        Expect(child.rect.left == placed.topLeft.x && child.rect.top == placed.topLeft.y,
               Quoted(placed.text) + " stands at " + std::to_string(child.rect.left) + ", " +
                   std::to_string(child.rect.top) + ", not " + std::to_string(placed.topLeft.x) + ", " +
                   std::to_string(placed.topLeft.y));
    }
    const Child& ok = ChildWithText(children, L"&OK");
    Expect(IsButton(ok) && ok.rect.right - ok.rect.left == 83 && ok.rect.bottom - ok.rect.top == 23,
           "the OK button is not an 83 x 23 button");
    bool icon = false;
    for (const Child& child : children) {
        const LONG_PTR style = GetWindowLongPtrW(child.window, GWL_STYLE);
        icon = icon || (IsStatic(child) && child.visible && (style & SS_TYPEMASK) == SS_ICON &&
                        child.rect.left == 18 && child.rect.top == 18);
    }
    Expect(icon, "no icon at 18, 18");
    Snapshot(context, "about-box");

    // No cancel button: Escape leaves it open; Enter presses OK.
    PressKeys(about, {VK_ESCAPE});
    Sleep(700);
    Expect(IsWindow(about) && IsWindowVisible(about), "Escape closed the about box");
    PressKeys(about, {VK_RETURN});
    Expect(WaitForWindowGone(about) || !IsWindowVisible(about), "Enter did not close the about box");
    for (int attempt = 0; attempt < 40 && !IsWindowEnabled(window); ++attempt) Sleep(50);
    Expect(IsWindowEnabled(window), "the main window stays disabled after the about box");
    ExpectNoDialog(editor, 300ms);
    editor.Close(window);
    ExpectExitCode(editor, 0, 5s);
}

}  // namespace

const std::vector<Scenario>& DialogScenarios()
{
    static const std::vector<Scenario> scenarios = {
        {"count-dialog-shows-characters-and-lines", CountDialogShowsCharactersAndLines},
        {"about-box-shows-its-texts-and-closes-on-enter-only", AboutBoxShowsItsTextsAndClosesOnEnterOnly},
    };
    return scenarios;
}

}  // namespace kp::e2e
