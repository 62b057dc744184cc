// The shell's context menu, drag loop and deletion under the real platform,
// in this process. Menus are answered from the owner window's WM_ENTERIDLE;
// the shell's own message boxes send this window nothing, so a watcher thread
// finds them among the thread's windows by caption and presses a button. Each
// wait has a deadline: a box still open then is closed and the test fails.

#include "platform/files/Win32FileSystem.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "shell/DRPCOMEX.h"
#include "shell/ShellItems.h"
#include "tests/TestPlatform.h"
#include "base/Utf.h"
#include "ui/sim/SimMessageDialogs.h"
#include "tests/win32/ShellWatchers.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace kp::test {
namespace {

using platform::FileStatus;
using platform::IdList;

// What the owner window does when a menu waits for input: a key for the menu
// loop (a mnemonic character or Esc), once.
std::atomic<UINT> menuMessage{0};
std::atomic<WPARAM> menuKey{0};
std::atomic<int> idleSeen{0};

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_ENTERIDLE && wParam == MSGF_MENU) {
        ++idleSeen;
        if (const UINT send = menuMessage.exchange(0)) PostMessageW(window, send, menuKey, 0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class ShellCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OleInitialize(nullptr);
        liveBefore_ = IdList::Live();
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = OwnerProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KpShellOwner";
        RegisterClassW(&windowClass);
        owner = CreateWindowW(L"KpShellOwner", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_TRUE(owner);
        shell = std::make_unique<platform::Win32ShellNamespace>();
        ASSERT_TRUE(shell->Allocator() && shell->Desktop());
        folder = platform::JoinPath(platform::Win32FileSystem::TempFolder(), "kp-shell-commands");
        files.CreateFolder(folder);
        path = platform::JoinPath(folder, "表ソ.txt");
        std::string temp;
        platform::FileHandle file;
        ASSERT_EQ(files.CreateTempFile(folder, temp, file), FileStatus::Ok);
        ASSERT_EQ(files.Write(file, "abc"), FileStatus::Ok);
        file.Close();
        ASSERT_EQ(files.Replace(path, temp), FileStatus::Ok);
        IdList list;
        ASSERT_EQ(shell->Desktop()->ParseDisplayName(folder, list), 0);
        ASSERT_EQ(shell->Desktop()->BindToObject(list.View(), bound), 0);
        IdList whole;
        ASSERT_EQ(shell->Desktop()->ParseDisplayName(path, whole), 0);
        item = shell::LastItemID(shell->Allocator(), whole.View());
        menu = std::make_unique<shell::TContextMenuEx>(shell.get(), TestCodec(), messages);
    }
    void TearDown() override
    {
        menu.reset();
        item.Reset();
        bound.reset();
        shell.reset();
        files.Delete(path);
        files.RemoveFolder(folder);
        DestroyWindow(owner);
        EXPECT_EQ(IdList::Live(), liveBefore_);
        EXPECT_EQ(shell::TDropSourceObject::Live(), 0);
        OleUninitialize();
    }
    bool Show()
    {
        const LoopDeadline deadline(owner);
        const bool done =
            menu->ShowMenu(reinterpret_cast<platform::WindowRef>(owner), bound.get(), 40, 40, 1, item.View());
        EXPECT_FALSE(deadline.TimedOut()) << "the menu was answered";
        return done;
    }

    HWND owner = nullptr;
    platform::Win32FileSystem files;
    std::unique_ptr<platform::Win32ShellNamespace> shell;
    std::string folder, path;
    std::unique_ptr<platform::ShellFolder> bound;
    IdList item;
    ui::SimMessageDialogs messages;
    std::unique_ptr<shell::TContextMenuEx> menu;

private:
    long liveBefore_ = 0;
};

TEST_F(ShellCommandsTest, TheMenuIsDismissedWithEscOrCopiesTheFile)
{
    // Nothing else may answer the menu: a watcher ends it after the deadline.
    idleSeen = 0;
    menuMessage = WM_KEYDOWN;
    menuKey = VK_ESCAPE;
    EXPECT_FALSE(Show());
    EXPECT_GT(idleSeen.load(), 0) << "the menu loop tells its owner when it waits";
    EXPECT_TRUE(messages.Shown().empty());

    OpenClipboard(owner);
    EmptyClipboard();
    CloseClipboard();
    menuMessage = WM_CHAR;
    menuKey = 'C';  // コピー(&C)
    EXPECT_TRUE(Show());
    EXPECT_TRUE(messages.Shown().empty());
    ASSERT_TRUE(OpenClipboard(owner));
    std::wstring copied;
    if (HANDLE data = GetClipboardData(CF_HDROP)) {
        auto* drop = static_cast<HDROP>(GlobalLock(data));
        wchar_t name[MAX_PATH] = {};
        if (drop && DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) DragQueryFileW(drop, 0, name, MAX_PATH);
        copied = name;
        GlobalUnlock(data);
    }
    CloseClipboard();
    EXPECT_EQ(copied, Wide(path));
}

TEST_F(ShellCommandsTest, ADragWithNoButtonHeldEndsAtOnceAndFreesItsSource)
{
    shell::TDropSourceEx drag(shell.get());
    const LoopDeadline deadline(owner);
    EXPECT_TRUE(drag.StartDrag(reinterpret_cast<platform::WindowRef>(owner), bound.get(), 1, item.View()));
    EXPECT_FALSE(deadline.TimedOut()) << "the drag ended by itself";
    EXPECT_EQ(shell::TDropSourceObject::Live(), 0);
}

TEST_F(ShellCommandsTest, DeletionAsksAndGoesToTheTrashOrStays)
{
    const DWORD thread = GetCurrentThreadId();
    bool aborted = false;
    {
        BoxWatcher watcher(thread, "ファイルの削除の確認", IDNO);
        EXPECT_TRUE(shell->Recycle(reinterpret_cast<platform::WindowRef>(owner), {path}, aborted));
        EXPECT_TRUE(watcher.Pressed());
        EXPECT_FALSE(watcher.TimedOut());
    }
    EXPECT_TRUE(aborted) << "いいえ aborts";
    EXPECT_TRUE(files.Query(path).exists);

    // The context menu's delete, refused: the shell answers success, so a
    // refusal is a command carried out (no failure box).
    {
        std::unique_ptr<platform::ShellContextMenu> context;
        const platform::IdView one[] = {item.View()};
        ASSERT_EQ(bound->GetContextMenu(reinterpret_cast<platform::WindowRef>(owner), one, context), 0);
        auto popup = shell->CreatePopupMenu();
        ASSERT_GE(context->QueryContextMenu(*popup, 0, 1, 1524, 4), 0);
        BoxWatcher watcher(thread, "ファイルの削除の確認", IDNO);
        const platform::ShellResult result =
            context->InvokeCommand(reinterpret_cast<platform::WindowRef>(owner), 17, SW_SHOWNORMAL);
        EXPECT_EQ(result, 0) << std::hex << static_cast<uint32_t>(result);
        EXPECT_FALSE(watcher.TimedOut());
    }
    EXPECT_TRUE(files.Query(path).exists);

    {
        BoxWatcher watcher(thread, "ファイルの削除の確認", IDYES);
        EXPECT_TRUE(shell->Recycle(reinterpret_cast<platform::WindowRef>(owner), {path}, aborted));
        EXPECT_TRUE(watcher.Pressed());
    }
    EXPECT_FALSE(aborted);
    EXPECT_FALSE(files.Query(path).exists);
}

}  // namespace
}  // namespace kp::test
