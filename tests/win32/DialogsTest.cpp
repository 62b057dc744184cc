// Our message dialog and the platform's common dialogs, driven as a user
// would: from a timer that the dialog's own modal loop runs (or, for the
// modeless find dialogs, directly), reading the windows the way other tools
// read message boxes. The simulated services answer the same questions.

#include "base/Error.h"
#include "base/Utf.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimMessageDialogs.h"
#include "ui/win32/Win32DialogService.h"
#include "ui/win32/Win32MessageDialogs.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kp::test {
namespace {

using namespace ui;

// Control ids of the platform's dialogs.
constexpr int kFilterCombo = 1136;
constexpr int kFileNameEdit = 1148;
constexpr int kFindEdit = 1152;
constexpr int kReplaceEdit = 1153;
constexpr int kWholeWordBox = 1040;
constexpr int kMatchCaseBox = 1041;
constexpr int kUpRadio = 1056;
constexpr int kDownRadio = 1057;
constexpr int kReplaceButton = 1024;
constexpr int kReplaceAllButton = 1025;

std::string U(const std::wstring& text)
{
    return Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::vector<HWND> VisibleDialogsOfThisThread()
{
    std::vector<HWND> found;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM list) -> BOOL {
            if (IsWindowVisible(window) && ClassOf(window) == L"#32770")
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Runs each action in turn on a dialog this thread shows, from a timer the
// dialogs' modal loops dispatch: the first on the first dialog, each next one
// on the enabled dialog on top once that is another window than the one
// acted on last (a question the previous action brought up, or the dialog
// again after the question closed). A dialog still open ten seconds after
// the last action is ended, so that a failing test does not hang.
class OnNextDialog {
public:
    explicit OnNextDialog(std::function<void(HWND)> action) : OnNextDialog(std::vector{std::move(action)}) {}
    explicit OnNextDialog(std::vector<std::function<void(HWND)>> actions) : actions_(std::move(actions))
    {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 20, Tick);
    }
    ~OnNextDialog()
    {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Acted() const { return next_ > 0; }
    bool ActedOnAll() const { return next_ == actions_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        OnNextDialog* self = current_;
        if (!self || self->busy_) return;
        const std::vector<HWND> dialogs = VisibleDialogsOfThisThread();
        if (self->next_ > 0 && !dialogs.empty() && GetTickCount64() - self->since_ > 10000) {
            ADD_FAILURE() << "no dialog to act on, or the dialog did not close";
            for (HWND dialog : dialogs) EndDialog(dialog, 0);
            return;
        }
        if (dialogs.empty() || self->next_ == self->actions_.size()) return;
        HWND target = nullptr;
        if (self->next_ == 0) {
            target = dialogs.front();
        } else {
            for (HWND dialog : dialogs)
                if (!target && IsWindowEnabled(dialog) && dialog != self->last_) target = dialog;
        }
        if (!target) return;
        self->last_ = target;
        self->since_ = GetTickCount64();
        self->busy_ = true;
        self->actions_[self->next_++](target);
        self->busy_ = false;
    }

    static inline OnNextDialog* current_ = nullptr;
    std::vector<std::function<void(HWND)>> actions_;
    size_t next_ = 0;
    HWND last_ = nullptr;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    ULONGLONG since_ = 0;
};

// ---- Our message dialog ------------------------------------------------------------

struct SeenDialog {
    std::wstring className;
    std::wstring caption;
    std::wstring text;
    std::vector<std::pair<int, std::wstring>> buttons;  // in creation order
    int defaultId = 0;
    int focusId = 0;
    bool hasIcon = false;
    LOGFONTW font{};
    RECT client{};
    RECT textRect{};  // in client coordinates
    int textHeightNeeded = 0;
    std::vector<RECT> buttonRects;
};

RECT ClientRectOf(HWND dialog, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SeenDialog Inspect(HWND dialog)
{
    SeenDialog seen;
    seen.className = ClassOf(dialog);
    seen.caption = TextOf(dialog);
    HWND text = GetDlgItem(dialog, 0xFFFF);
    seen.text = text ? TextOf(text) : L"(no static 0xFFFF)";
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Button") {
            seen.buttons.emplace_back(GetDlgCtrlID(child), TextOf(child));
            seen.buttonRects.push_back(ClientRectOf(dialog, child));
        } else if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            seen.hasIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        }
    }
    seen.defaultId = LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0));
    seen.focusId = GetDlgCtrlID(GetFocus());
    GetClientRect(dialog, &seen.client);
    if (text) {
        const auto font = reinterpret_cast<HFONT>(SendMessageW(text, WM_GETFONT, 0, 0));
        GetObjectW(font, sizeof seen.font, &seen.font);
        seen.textRect = ClientRectOf(dialog, text);
        HDC dc = GetDC(text);
        const HGDIOBJ old = SelectObject(dc, font);
        RECT needed{0, 0, seen.textRect.right - seen.textRect.left, 0};
        DrawTextW(dc, seen.text.c_str(), -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        seen.textHeightNeeded = needed.bottom;
        SelectObject(dc, old);
        ReleaseDC(text, dc);
    }
    return seen;
}

// Shows a dialog, lets `inspect` look at it, then presses `pressId`.
ModalResult ShowAndPress(const std::string& text, const std::string& caption, DialogKind kind,
                         DialogButtons buttons, int pressId, SeenDialog* seen = nullptr)
{
    Win32MessageDialogs dialogs;
    OnNextDialog press([&](HWND dialog) {
        if (seen) *seen = Inspect(dialog);
        SendDlgItemMessageW(dialog, pressId, BM_CLICK, 0, 0);
    });
    const ModalResult result = dialogs.Show(text, caption, kind, buttons);
    EXPECT_TRUE(press.Acted());
    return result;
}

TEST(Win32MessageDialog, LooksAndIdentifiesItselfLikeAMessageBox)
{
    SeenDialog seen;
    const ModalResult result = ShowAndPress("文書が変更されています。\r\n保存しますか？",
                                            std::string(CaptionOf(DialogKind::Confirmation)),
                                            DialogKind::Confirmation, mbYesNoCancel, IDNO, &seen);
    EXPECT_EQ(result, mrNo);
    EXPECT_EQ(seen.className, L"#32770");
    EXPECT_EQ(seen.caption, L"確認");
    EXPECT_EQ(seen.text, L"文書が変更されています。\r\n保存しますか？");
    const std::vector<std::pair<int, std::wstring>> buttons = {
        {IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}, {IDCANCEL, L"ｷｬﾝｾﾙ"}};
    EXPECT_EQ(seen.buttons, buttons);
    EXPECT_EQ(seen.defaultId, IDYES);
    EXPECT_EQ(seen.focusId, IDYES);
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_STREQ(seen.font.lfFaceName, L"MS UI Gothic");
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(seen.font.lfHeight, -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72));
    ReleaseDC(nullptr, screen);
}

TEST(Win32MessageDialog, CaptionIconAndButtonsFollowKindAndButtonSet)
{
    struct Case {
        DialogKind kind;
        DialogButtons buttons;
        const wchar_t* caption;
        bool icon;
        std::vector<std::pair<int, std::wstring>> shown;
    };
    const Case cases[] = {
        {DialogKind::Error, mbOK, L"ｴﾗｰ", true, {{IDOK, L"OK"}}},
        {DialogKind::Warning, mbOKCancel, L"警告", true, {{IDOK, L"OK"}, {IDCANCEL, L"ｷｬﾝｾﾙ"}}},
        {DialogKind::Information, mbYesNo, L"情報", true, {{IDYES, L"はい(&Y)"}, {IDNO, L"いいえ(&N)"}}},
        {DialogKind::Custom, mbYes | mbOK, L"", false, {{IDYES, L"はい(&Y)"}, {IDOK, L"OK"}}},
        {DialogKind::Custom, 0, L"", false, {{IDOK, L"OK"}}},
    };
    for (const Case& c : cases) {
        SeenDialog seen;
        const int first = c.shown.front().first;
        EXPECT_EQ(ShowAndPress("本文", U(c.caption), c.kind, c.buttons, first, &seen), first);
        EXPECT_EQ(seen.caption, c.caption);
        EXPECT_EQ(seen.hasIcon, c.icon) << U(c.caption);
        EXPECT_EQ(seen.buttons, c.shown) << U(c.caption);
        EXPECT_EQ(seen.defaultId, first);
    }
}

void ExpectTextAndButtonsFit(const SeenDialog& seen, const std::string& label)
{
    SCOPED_TRACE(label);
    const RECT& t = seen.textRect;
    EXPECT_GE(t.left, 0);
    EXPECT_GE(t.top, 0);
    EXPECT_LE(t.right, seen.client.right);
    EXPECT_GE(t.bottom - t.top, seen.textHeightNeeded);  // every line shows
    for (size_t i = 0; i < seen.buttonRects.size(); ++i) {
        const RECT& b = seen.buttonRects[i];
        EXPECT_GE(b.top, t.bottom);
        EXPECT_LE(b.bottom, seen.client.bottom);
        EXPECT_GE(b.left, 0);
        EXPECT_LE(b.right, seen.client.right);
        if (i > 0) {
            EXPECT_GT(b.left, seen.buttonRects[i - 1].right);
        }
    }
}

TEST(Win32MessageDialog, SizesItselfToItsText)
{
    SeenDialog small, tall, wide;
    ShowAndPress("短い", "確認", DialogKind::Confirmation, mbYesNoCancel, IDYES, &small);
    std::string lines;
    for (int i = 1; i <= 12; ++i) lines += "行 " + std::to_string(i) + "\r\n";
    ShowAndPress(lines + "最後の行", "確認", DialogKind::Confirmation, mbYesNoCancel, IDYES, &tall);
    std::string paragraph;
    for (int i = 0; i < 60; ++i) paragraph += "長い段落の文章 ";
    ShowAndPress(paragraph, "情報", DialogKind::Information, mbOK, IDOK, &wide);

    ExpectTextAndButtonsFit(small, "small");
    ExpectTextAndButtonsFit(tall, "tall");
    ExpectTextAndButtonsFit(wide, "wide");
    EXPECT_GT(tall.client.bottom, small.client.bottom + 10 * (small.textRect.bottom - small.textRect.top));
    // A long paragraph wraps within the screen instead of running off it.
    EXPECT_GT(wide.client.right, small.client.right);
    EXPECT_LE(wide.client.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_GT(wide.textRect.bottom - wide.textRect.top, 3 * (small.textRect.bottom - small.textRect.top));
}

// Keys posted to the focused control, as the keyboard would deliver them; the
// dialog's modal loop passes them through the dialog manager.
struct Key {
    UINT message;
    WPARAM code;
};
constexpr Key kEnter{WM_KEYDOWN, VK_RETURN};
constexpr Key kEscape{WM_KEYDOWN, VK_ESCAPE};

ModalResult ShowAndType(DialogButtons buttons, std::vector<Key> keys)
{
    Win32MessageDialogs dialogs;
    OnNextDialog type([&](HWND) {
        HWND focus = GetFocus();
        for (const Key& key : keys) {
            const LPARAM data = key.message == WM_SYSCHAR ? 0x20000001 : 1;  // Alt held for WM_SYSCHAR
            PostMessageW(focus, key.message, key.code, data);
        }
    });
    return dialogs.Show("キーの試験", "確認", DialogKind::Confirmation, buttons);
}

TEST(Win32MessageDialog, EnterPressesTheFirstButtonAndEscapeCancelsElseNoElseOK)
{
    EXPECT_EQ(ShowAndType(mbYesNoCancel, {kEnter}), mrYes);
    EXPECT_EQ(ShowAndType(mbOKCancel, {kEnter}), mrOk);
    EXPECT_EQ(ShowAndType(mbNo | mbCancel, {kEnter}), mrNo);
    EXPECT_EQ(ShowAndType(mbYesNoCancel, {kEscape}), mrCancel);
    EXPECT_EQ(ShowAndType(mbYesNo, {kEscape}), mrNo);
    EXPECT_EQ(ShowAndType(mbYes | mbOK, {kEscape}), mrOk);
    // Yes alone: Esc does nothing, Enter still answers.
    EXPECT_EQ(ShowAndType(mbYes, {kEscape, kEnter}), mrYes);
}

TEST(Win32MessageDialog, CloseBoxAnswersLikeEscape)
{
    const auto close = [](DialogButtons buttons) {
        Win32MessageDialogs dialogs;
        OnNextDialog closer([](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
        return dialogs.Show("閉じる", "確認", DialogKind::Confirmation, buttons);
    };
    EXPECT_EQ(close(mbYesNoCancel), mrCancel);
    EXPECT_EQ(close(mbYesNo), mrNo);
    EXPECT_EQ(close(mbOK), mrOk);
}

TEST(Win32MessageDialog, MnemonicsWithAndWithoutAlt)
{
    EXPECT_EQ(ShowAndType(mbYesNoCancel, {{WM_CHAR, 'n'}}), mrNo);
    EXPECT_EQ(ShowAndType(mbNo | mbCancel, {{WM_CHAR, 'Y'}, {WM_CHAR, 'y'}, {WM_CHAR, 'n'}}), mrNo);
    EXPECT_EQ(ShowAndType(mbYesNoCancel, {{WM_SYSCHAR, 'n'}}), mrNo);
    EXPECT_EQ(ShowAndType(mbNo | mbCancel | mbYes, {{WM_SYSCHAR, 'y'}}), mrYes);
}

TEST(Win32MessageDialog, BelongsToTheGivenOwnerOrTheActiveWindow)
{
    HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    SetActiveWindow(owner);
    for (const bool given : {true, false}) {
        Win32MessageDialogs dialogs(given ? owner : nullptr);
        HWND seenOwner = nullptr;
        bool ownerEnabled = true;
        OnNextDialog look([&](HWND dialog) {
            seenOwner = GetWindow(dialog, GW_OWNER);
            ownerEnabled = IsWindowEnabled(owner) != FALSE;
            SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
        });
        EXPECT_EQ(dialogs.Show("所有者", "情報", DialogKind::Information, mbOK), mrOk);
        EXPECT_EQ(seenOwner, owner) << given;
        EXPECT_FALSE(ownerEnabled) << "modal to its owner";
        EXPECT_TRUE(IsWindowEnabled(owner));
    }
    DestroyWindow(owner);
}

// ---- Simulated message dialogs: the same answers as the real one ------------------

TEST(SimMessageDialogs, AnswersTheFirstButtonLikeEnterUnlessScripted)
{
    SimMessageDialogs sim;
    const DialogButtons buttonSets[] = {mbYesNoCancel, mbOKCancel, mbNo | mbCancel, mbOK, 0};
    for (const DialogButtons buttons : buttonSets)
        EXPECT_EQ(sim.Show("x", "確認", DialogKind::Confirmation, buttons), ShowAndType(buttons, {kEnter}))
            << buttons;

    sim.Clear();
    sim.Answer(mrCancel);
    EXPECT_EQ(MessageDlg(sim, "保存しますか？", DialogKind::Confirmation, mbYesNoCancel), mrCancel);
    EXPECT_EQ(sim.Last().text, "保存しますか？");
    EXPECT_EQ(sim.Last().caption, "確認");
    EXPECT_EQ(sim.Last().buttons, mbYesNoCancel);
    sim.Answer(mrCancel);
    EXPECT_THROW(sim.Show("x", "", DialogKind::Custom, mbYesNo), std::logic_error);
    EXPECT_EQ(sim.Shown().size(), 2u);
}

// ---- Open and save ------------------------------------------------------------------

class Win32FileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        wchar_t longTemp[MAX_PATH];
        GetLongPathNameW(temp, longTemp, MAX_PATH);
        folderW = std::wstring(longTemp) + L"kp-dialogs-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folderW.c_str(), nullptr);
        for (const wchar_t* name : {L"\\a.txt", L"\\b.htm"}) {
            HANDLE file = CreateFileW((folderW + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            CloseHandle(file);
        }
        folder = U(folderW);
    }
    void TearDown() override
    {
        for (const wchar_t* name : {L"\\a.txt", L"\\b.htm"}) DeleteFileW((folderW + name).c_str());
        RemoveDirectoryW(folderW.c_str());
    }

    static void TypeAndConfirm(HWND dialog, const wchar_t* name)
    {
        SetDlgItemTextW(dialog, kFileNameEdit, name);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }

    std::wstring folderW;
    std::string folder;
    Win32DialogService service;
};

TEST_F(Win32FileDialog, OpensWithFilterAndFolderAndReturnsTheChosenFile)
{
    TOpenDialog open;
    open.SetService(&service);
    open.Filter = "テキスト文書 (*.txt)|*.txt|すべてのファイル (*.*)|*.*|説明だけ";
    open.FilterIndex = 2;
    open.InitialDir = folder;
    open.Options = ofFileMustExist | ofHideReadOnly;
    std::vector<std::string> folders;
    open.OnFolderChange = [&] { folders.push_back(open.CurrentFolder); };
    std::vector<std::wstring> filters;
    LRESULT selected = -1;
    OnNextDialog user([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, kFilterCombo);
        for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
            std::wstring item(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
            item.resize(static_cast<size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
            filters.push_back(item);
        }
        selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        TypeAndConfirm(dialog, L"a.txt");
    });
    ASSERT_TRUE(open.Execute());
    EXPECT_EQ(open.FileName, folder + "\\a.txt");
    EXPECT_EQ(open.FilterIndex, 2);
    EXPECT_EQ(filters, (std::vector<std::wstring>{L"テキスト文書 (*.txt)", L"すべてのファイル (*.*)"}));
    EXPECT_EQ(selected, 1);
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), folder);
}

TEST_F(Win32FileDialog, CancelKeepsTheFileName)
{
    TOpenDialog open;
    open.SetService(&service);
    open.FileName = "C:\\before.txt";
    open.InitialDir = folder;
    OnNextDialog user([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_FALSE(open.Execute());
    EXPECT_EQ(open.FileName, "C:\\before.txt");
}

// The handler sees the new filter index, and the extension it sets is the one
// the dialog then adds to a name typed without one.
TEST_F(Win32FileDialog, TypeChangeRaisesTheHandlerAndAppliesItsDefaultExtension)
{
    TSaveDialog save;
    save.SetService(&service);
    save.Filter = "テキスト (*.txt)|*.txt|すべて (*.*)|*.*";
    save.FilterIndex = 1;
    save.DefaultExt = "txt";
    save.InitialDir = folder;
    save.Options = ofOverwritePrompt | ofPathMustExist;
    std::vector<int> seenIndices;
    save.OnTypeChange = [&] {
        seenIndices.push_back(save.FilterIndex);
        save.DefaultExt = save.FilterIndex == 2 ? "htm" : "txt";
    };
    OnNextDialog user([&](HWND dialog) {
        HWND combo = GetDlgItem(dialog, kFilterCombo);
        // What choosing an item with the mouse notifies.
        SendMessageW(combo, CB_SETCURSEL, 1, 0);
        for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, code), reinterpret_cast<LPARAM>(combo));
        TypeAndConfirm(dialog, L"新規");
    });
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(seenIndices, std::vector<int>{2});
    EXPECT_EQ(save.FilterIndex, 2);
    EXPECT_EQ(save.FileName, folder + "\\新規.htm");
}

// The program's save dialog: each filter's extension set by the handler as
// the filter changes, none for "all files".
class Win32SaveFilterDialog : public Win32FileDialog {
protected:
    Win32SaveFilterDialog()
    {
        save.SetService(&service);
        save.Filter = "テキスト文書(*.txt)|*.txt|HTMLドキュメント(*.htm;*.html)|*.htm;*.html|すべてのファイル(*.*)|*.*";
        save.Options = ofOverwritePrompt | ofHideReadOnly;
        save.OnTypeChange = [this] { save.DefaultExt = Extension(save.FilterIndex); };
    }
    static std::string Extension(int filterIndex)
    {
        return filterIndex == 1 ? "txt" : filterIndex == 2 ? "htm" : "";
    }
    void Start(int filterIndex)
    {
        save.FilterIndex = filterIndex;
        save.DefaultExt = Extension(filterIndex);
        save.InitialDir = folder;
        save.FileName.clear();
    }
    // What choosing an item with the mouse notifies.
    static void ChooseFilter(HWND dialog, int filterIndex)
    {
        HWND combo = GetDlgItem(dialog, kFilterCombo);
        SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(filterIndex - 1), 0);
        for (const WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kFilterCombo, code), reinterpret_cast<LPARAM>(combo));
    }

    TSaveDialog save;
};

TEST_F(Win32SaveFilterDialog, TheExtensionOfTheFilterChosenLastIsAdded)
{
    struct Case {
        int start;
        int chosen;  // 0: the filter is not changed
        const wchar_t* typed;
        const char* saved;
    };
    const Case cases[] = {
        {3, 1, L"memo", "memo.txt"}, {3, 2, L"page", "page.htm"}, {1, 3, L"raw", "raw"},
        {3, 0, L"raw", "raw"},       {2, 1, L"note", "note.txt"}, {1, 0, L"plain", "plain.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + " -> " + std::to_string(c.chosen) + " " + c.saved);
        Start(c.start);
        OnNextDialog user([&](HWND dialog) {
            if (c.chosen) ChooseFilter(dialog, c.chosen);
            TypeAndConfirm(dialog, c.typed);
        });
        ASSERT_TRUE(save.Execute());
        EXPECT_EQ(save.FileName, folder + "\\" + c.saved);
        EXPECT_EQ(save.FilterIndex, c.chosen ? c.chosen : c.start);
    }
}

// The name with the added extension is the one checked for overwriting.
TEST_F(Win32SaveFilterDialog, AnAddedExtensionStillBringsTheOverwriteQuestion)
{
    Start(3);
    std::wstring question;
    OnNextDialog user(std::vector<std::function<void(HWND)>>{
        [](HWND dialog) {
            ChooseFilter(dialog, 1);
            TypeAndConfirm(dialog, L"a");  // a.txt exists
        },
        [&](HWND box) {
            HWND text = GetDlgItem(box, 0xFFFF);
            question = text ? TextOf(text) : L"(no text)";
            PostMessageW(GetDlgItem(box, IDNO), BM_CLICK, 0, 0);
        },
        [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
    });
    EXPECT_FALSE(save.Execute());
    EXPECT_TRUE(user.ActedOnAll());
    // No file "a" exists: the question is about a.txt (Wine's does not name it).
    EXPECT_FALSE(question.empty());
}

TEST_F(Win32FileDialog, HandlerFailureCancelsTheDialogAndPropagates)
{
    TOpenDialog open;
    open.SetService(&service);
    open.InitialDir = folder;
    open.OnFolderChange = [] { throw Error("フォルダーを読めません。"); };
    OnNextDialog watchdog([](HWND) {});
    EXPECT_THROW(open.Execute(), Error);
    EXPECT_TRUE(VisibleDialogsOfThisThread().empty());
}

TEST(SimDialogService, FileDialogsRecordTheirSetupAndFollowTheScript)
{
    SimDialogService sim;
    TSaveDialog save;
    save.SetService(&sim);
    save.Filter = "テキスト (*.txt)|*.txt|すべて (*.*)|*.*";
    save.DefaultExt = "txt";
    save.InitialDir = "C:\\文書";
    save.Options = ofOverwritePrompt;
    std::vector<std::string> events;
    save.OnTypeChange = [&] {
        events.push_back("type " + std::to_string(save.FilterIndex));
        save.DefaultExt = "htm";
    };
    save.OnFolderChange = [&] { events.push_back("folder " + save.CurrentFolder); };
    sim.Script(FileDialogScript().FolderChange("C:\\別").TypeChange(2).Confirm("C:\\別\\新規.htm"));
    ASSERT_TRUE(save.Execute());
    EXPECT_EQ(events, (std::vector<std::string>{"folder C:\\別", "type 2"}));
    EXPECT_EQ(save.FileName, "C:\\別\\新規.htm");
    EXPECT_EQ(save.FilterIndex, 2);
    ASSERT_EQ(sim.FileDialogs().size(), 1u);
    const FileDialogRun& run = sim.FileDialogs().front();
    EXPECT_TRUE(run.save);
    EXPECT_EQ(run.filterIndex, 1);
    EXPECT_EQ(run.defaultExt, "txt");
    EXPECT_EQ(run.defaultExtAtClose, "htm");
    EXPECT_EQ(run.initialDir, "C:\\文書");
    EXPECT_EQ(run.options, uint32_t{ofOverwritePrompt});
    // Without a script the user cancels.
    EXPECT_FALSE(save.Execute());
    EXPECT_EQ(save.FileName, "C:\\別\\新規.htm");
    EXPECT_FALSE(sim.FileDialogs().back().confirmed);
}

// ---- Find and replace -----------------------------------------------------------------

// With an owner window of the program, and with the service's hidden one.
class Win32FindDialog : public ::testing::TestWithParam<bool> {
protected:
    Win32FindDialog()
        : owner(GetParam() ? CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400,
                                             300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)
                           : nullptr),
          service(owner)
    {
        find.SetService(&service);
        replace.SetService(&service);
        find.OnFind = [this] { found.push_back({find.FindText, find.Options}); };
        replace.OnFind = [this] { found.push_back({replace.FindText, replace.Options}); };
        replace.OnReplace = [this] { replaced.push_back({replace.ReplaceText, replace.Options}); };
    }
    ~Win32FindDialog() override
    {
        find.CloseDialog();
        replace.CloseDialog();
        Pump();
        if (owner) DestroyWindow(owner);
    }

    // The program's message loop.
    void Pump()
    {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (service.IsDialogMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    static void Click(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

    HWND owner;
    Win32DialogService service;
    TFindDialog find;
    TReplaceDialog replace;
    std::vector<std::pair<std::string, uint32_t>> found;
    std::vector<std::pair<std::string, uint32_t>> replaced;
};

TEST_P(Win32FindDialog, FindNextRaisesOnFindWithTheDialogsTextAndOptions)
{
    find.FindText = "初期";
    find.Options = frDown | frMatchCase;
    find.Execute();
    HWND dialog = service.FindDialogWindow(find);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ClassOf(dialog), L"#32770");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER) == owner, GetParam());
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kFindEdit)), L"初期");
    EXPECT_EQ(IsDlgButtonChecked(dialog, kMatchCaseBox), UINT{BST_CHECKED});
    EXPECT_EQ(IsDlgButtonChecked(dialog, kDownRadio), UINT{BST_CHECKED});

    SetDlgItemTextW(dialog, kFindEdit, L"検索語");
    Click(dialog, kMatchCaseBox);
    Click(dialog, kWholeWordBox);
    Click(dialog, kUpRadio);
    Click(dialog, IDOK);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, "検索語");
    EXPECT_EQ(found[0].second, uint32_t{frFindNext | frWholeWord});
    EXPECT_TRUE(find.Showing());
}

TEST_P(Win32FindDialog, ReplaceButtonsRaiseOnReplaceWithTheReplaceText)
{
    replace.Execute();
    HWND dialog = service.FindDialogWindow(replace);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, kFindEdit, L"古い");
    SetDlgItemTextW(dialog, kReplaceEdit, L"新しい");
    Click(dialog, kReplaceButton);
    Click(dialog, kMatchCaseBox);
    Click(dialog, kReplaceAllButton);
    Click(dialog, IDOK);
    ASSERT_EQ(replaced.size(), 2u);
    EXPECT_EQ(replaced[0].first, "新しい");
    const uint32_t actions = frFindNext | frReplace | frReplaceAll;
    EXPECT_EQ(replaced[0].second & (actions | frMatchCase), uint32_t{frReplace});
    EXPECT_EQ(replaced[1].second & (actions | frMatchCase), uint32_t{frReplaceAll | frMatchCase});
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, "古い");
    EXPECT_EQ(found[0].second & actions, uint32_t{frFindNext});
    EXPECT_EQ(replace.ReplaceText, "新しい");
}

// The main window's find dialog hides its match-case and whole-word boxes and
// keeps the direction; its replace dialog shows both boxes.
TEST_P(Win32FindDialog, HideOptionsLeaveOutTheCheckBoxesAndStayInTheOptions)
{
    find.Options = frDown | frHideMatchCase | frHideWholeWord;
    find.Execute();
    replace.Execute();
    HWND findWindow = service.FindDialogWindow(find);
    HWND replaceWindow = service.FindDialogWindow(replace);
    ASSERT_NE(findWindow, nullptr);
    ASSERT_NE(replaceWindow, nullptr);
    Pump();
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(findWindow, kMatchCaseBox)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(findWindow, kWholeWordBox)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(findWindow, kUpRadio)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(findWindow, kDownRadio)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(replaceWindow, kMatchCaseBox)));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(replaceWindow, kWholeWordBox)));

    SetDlgItemTextW(findWindow, kFindEdit, L"語");
    Click(findWindow, kUpRadio);
    Click(findWindow, IDOK);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].second, uint32_t{frFindNext | frHideMatchCase | frHideWholeWord});
    find.CloseDialog();
    Pump();
    find.Execute();  // shown again: the boxes stay out
    findWindow = service.FindDialogWindow(find);
    ASSERT_NE(findWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(findWindow, kMatchCaseBox)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(findWindow, kWholeWordBox)));
}

TEST_P(Win32FindDialog, ClosingByTheUserOrTheProgramEndsShowing)
{
    find.Execute();
    HWND first = service.FindDialogWindow(find);
    ASSERT_NE(first, nullptr);
    find.Execute();  // already showing: the same dialog
    EXPECT_EQ(service.FindDialogWindow(find), first);
    EXPECT_EQ(VisibleDialogsOfThisThread().size(), 1u);

    Click(first, IDCANCEL);
    Pump();
    EXPECT_FALSE(find.Showing());
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(service.FindDialogWindow(find), nullptr);

    find.Execute();
    HWND second = service.FindDialogWindow(find);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(find.Showing());
    find.CloseDialog();
    Pump();
    EXPECT_FALSE(find.Showing());
    EXPECT_FALSE(IsWindow(second));
}

TEST_P(Win32FindDialog, EnterInTheDialogWorksThroughTheMessageLoop)
{
    find.FindText = "語";
    find.Execute();
    HWND dialog = service.FindDialogWindow(find);
    ASSERT_NE(dialog, nullptr);
    PostMessageW(GetDlgItem(dialog, kFindEdit), WM_KEYDOWN, VK_RETURN, 1);
    Pump();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].first, "語");
}

TEST_P(Win32FindDialog, HandlerFailureGoesToTheExceptionHandler)
{
    std::vector<std::string> failures;
    service.SetExceptionHandler([&](const std::exception& failure) { failures.push_back(failure.what()); });
    find.OnFind = [] { throw Error("見つかりません。"); };
    find.FindText = "x";
    find.Execute();
    Click(service.FindDialogWindow(find), IDOK);
    EXPECT_EQ(failures, std::vector<std::string>{"見つかりません。"});
    EXPECT_TRUE(find.Showing());
}

INSTANTIATE_TEST_SUITE_P(Owner, Win32FindDialog, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "ProgramWindow" : "HiddenWindow";
                         });

TEST(SimDialogService, FindDialogsActLikeTheRealOnes)
{
    SimDialogService sim;
    TReplaceDialog replace;
    replace.SetService(&sim);
    std::vector<uint32_t> events;
    replace.OnFind = [&] { events.push_back(replace.Options); };
    replace.OnReplace = [&] { events.push_back(replace.Options); };
    EXPECT_THROW(sim.PressFindNext(replace, "a", frDown), std::logic_error);
    replace.Execute();
    EXPECT_TRUE(sim.IsShowing(replace));
    sim.PressReplaceAll(replace, "古い", "新しい", frMatchCase | frReplace);
    sim.PressFindNext(replace, "次", frDown);
    EXPECT_EQ(events, (std::vector<uint32_t>{uint32_t{frMatchCase | frReplaceAll}, uint32_t{frDown | frFindNext}}));
    EXPECT_EQ(replace.FindText, "次");
    EXPECT_EQ(replace.ReplaceText, "新しい");
    sim.UserCloses(replace);
    EXPECT_FALSE(replace.Showing());
    EXPECT_FALSE(sim.IsShowing(replace));
}

}  // namespace
}  // namespace kp::test
