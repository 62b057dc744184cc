// The shell context menu and drag source over the simulated shell: whole
// right-click stories (a command, Send To, dismissing), the Send To rules and
// the drag loop, each ending with every identifier list and drag source freed.

#include "shell/DRPCOMEX.h"

#include "platform/shell/SimShellNamespace.h"
#include "shell/ShellItems.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimMessageDialogs.h"

#include <gtest/gtest.h>

namespace kp::shell {
namespace {

using platform::FileStatus;
using platform::IdList;
using platform::PopupMenu;
using platform::SimShellNamespace;

constexpr platform::WindowRef kOwner = 0x1234;

class ContextMenuExTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* path : {"C:\\docs", "C:\\backup", "C:\\other"})
            ASSERT_EQ(files.CreateFolder(path), FileStatus::Ok);
        Put("C:\\docs\\a.txt", "表ソ\r\n");
        Put("C:\\docs\\b.txt", "bb");
        Put("C:\\SendTo\\Backup", "C:\\backup");
        Put("C:\\SendTo\\Other", "C:\\other");
        Put("C:\\SendTo\\Nowhere", "C:\\missing");
        IdList list;
        ASSERT_EQ(shell.Desktop()->ParseDisplayName("C:\\docs", list), 0);
        ASSERT_EQ(shell.Desktop()->BindToObject(list.View(), docs), 0);
        // Both files of the folder, packed.
        ForEachChild(*docs, platform::enumflags::kNonFolders, [&](IdList child) {
            selection = ConcatAndFree(shell.Allocator(), std::move(selection), std::move(child));
            return true;
        });
        ASSERT_EQ(IDListSize(selection.View()), 2u + 2 * (2 + 1 + 6)) << "two identifiers: cb, kind, name";
    }

    void TearDown() override
    {
        selection.Reset();
        docs.reset();
        EXPECT_EQ(IdList::Live(), liveBefore_);
        EXPECT_EQ(shell.SimAllocator().Outstanding(), 0u);
        EXPECT_EQ(TDropSourceObject::Live(), 0);
    }

    void Put(const std::string& path, std::string_view bytes)
    {
        std::string temp;
        platform::FileHandle file;
        ASSERT_EQ(files.CreateTempFile(platform::ParentFolder(path), temp, file), FileStatus::Ok);
        ASSERT_EQ(files.Write(file, bytes), FileStatus::Ok);
        file.Close();
        ASSERT_EQ(files.Replace(path, temp), FileStatus::Ok);
    }
    std::string Read(const std::string& path)
    {
        std::string bytes;
        files.ReadAll(path, bytes);
        return bytes;
    }
    // The user picks the item at this caption path when the menu shows; the
    // captions of the Send To submenu are kept.
    void Choose(std::vector<std::string> captions)
    {
        shell.onTrack = [this, captions](PopupMenu& menu) {
            sendToCaptions.clear();
            for (int pos = 0; pos < menu.Count(); ++pos) {
                PopupMenu::Item item;
                menu.GetItem(pos, item);
                if (item.submenu)
                    for (int i = 0; i < menu.Submenu(pos)->Count(); ++i) {
                        PopupMenu::Item entry;
                        menu.Submenu(pos)->GetItem(i, entry);
                        sendToCaptions.push_back(entry.text);
                    }
            }
            return captions.empty() ? 0u : SimShellNamespace::IdByCaptions(menu, captions);
        };
    }
    bool Show(int count = 1) { return contextMenu.ShowMenu(kOwner, docs.get(), 10, 20, count, selection.View()); }

    platform::SimFileSystem files;
    SimShellNamespace shell{files, test::TestCodec()};
    ui::SimMessageDialogs messages;
    TContextMenuEx contextMenu{&shell, test::TestCodec(), messages};
    std::unique_ptr<platform::ShellFolder> docs;
    IdList selection;
    std::vector<std::string> sendToCaptions;

private:
    long liveBefore_ = IdList::Live();
};

TEST_F(ContextMenuExTest, SendingAFileToATargetCopiesItThere)
{
    Choose({"送る(&N)", "Backup"});
    EXPECT_TRUE(Show());
    EXPECT_EQ(Read("C:\\backup\\a.txt"), "表ソ\r\n");
    EXPECT_EQ(Read("C:\\docs\\a.txt"), "表ソ\r\n");
    // The entries in the folder's order; the placeholder is gone.
    EXPECT_EQ(sendToCaptions, (std::vector<std::string>{"Backup", "Other", "Nowhere"}));
    EXPECT_TRUE(messages.Shown().empty());

    // Two files go together.
    Choose({"送る(&N)", "Other"});
    EXPECT_TRUE(Show(2));
    EXPECT_EQ(Read("C:\\other\\a.txt"), "表ソ\r\n");
    EXPECT_EQ(Read("C:\\other\\b.txt"), "bb");
}

TEST_F(ContextMenuExTest, ChoicesOfTheShellsOwnCommands)
{
    const struct {
        const char* what;
        std::vector<std::string> captions;
        bool confirm;
        bool result;
        bool box;
    } cases[] = {
        {"dismissed", {}, true, false, false},
        {"copy", {"コピー(&C)"}, true, true, false},
        {"open", {"開く(&O)"}, true, true, false},
        {"delete confirmed", {"削除(&D)"}, true, true, false},
        // The shell answers a refused confirmation as a success.
        {"delete refused", {"削除(&D)"}, false, true, false},
        {"a target without paste", {"送る(&N)", "Nowhere"}, true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Put("C:\\docs\\a.txt", "表ソ\r\n");
        messages.Clear();
        shell.executed.clear();
        shell.clipboardFiles.clear();
        shell.Options().confirmDeletion = c.confirm;
        Choose(c.captions);
        EXPECT_EQ(Show(), c.result);
        EXPECT_EQ(shell.tracked > 0, true);
        ASSERT_EQ(messages.Shown().size(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(messages.Last().text, " InvokeCommand failed! ");
            EXPECT_EQ(messages.Last().caption, " TContextMenuEx component version 2.05");
            EXPECT_EQ(messages.Last().kind, ui::DialogKind::Information);
        }
        const std::string command = c.captions.empty() ? "" : c.captions[0];
        EXPECT_EQ(shell.clipboardFiles.size(), command == "コピー(&C)" || command == "送る(&N)" ? 1u : 0u);
        EXPECT_EQ(shell.executed.size(), command == "開く(&O)" ? 1u : 0u);
        EXPECT_EQ(files.Query("C:\\docs\\a.txt").exists, !(command == "削除(&D)" && c.confirm));
    }
}

TEST_F(ContextMenuExTest, SendToStaysInactiveWhereItCannotBeFilled)
{
    // Without a submenu, disabled, or with no Send To folder: Send To entries
    // never appear, the shell's commands still work.
    const struct {
        const char* what;
        bool menu;
        bool disabled;
        bool listable;
        bool folder;
        std::vector<std::string> expected;  // the submenu's captions
    } cases[] = {
        {"no submenu", false, false, true, true, {}},
        {"disabled", true, true, true, true, {"(なし)"}},
        // A folder that cannot be walked still loses the placeholder.
        {"unlistable Send To folder", true, false, false, true, {}},
        // Without the folder's location nothing changes.
        {"no Send To folder", true, false, true, false, {"(なし)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        shell.Options().sendToMenu = c.menu;
        shell.Options().sendToDisabled = c.disabled;
        files.SetUnlistable("C:\\SendTo", !c.listable);
        if (!c.folder) {
            for (const char* name : {"Backup", "Other", "Nowhere"}) files.Delete(std::string("C:\\SendTo\\") + name);
            files.RemoveFolder("C:\\SendTo");
        }
        Choose({"コピー(&C)"});
        EXPECT_TRUE(Show());
        EXPECT_EQ(sendToCaptions, c.expected);
    }
}

TEST_F(ContextMenuExTest, AHundredEntriesMakeSendToInactive)
{
    for (int i = 0; i < 101; ++i) Put("C:\\SendTo\\t" + std::to_string(1000 + i), "C:\\backup");
    Choose({"送る(&N)", "Backup"});
    // The walk stops at 100 entries; a choice among them carries out nothing.
    EXPECT_FALSE(Show());
    EXPECT_EQ(sendToCaptions.size(), 100u);
    EXPECT_FALSE(files.Query("C:\\backup\\a.txt").exists);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_TRUE(shell.clipboardFiles.empty());
}

TEST_F(ContextMenuExTest, AnInertPasteCopiesNothing)
{
    shell.Options().workingPaste = false;
    Choose({"送る(&N)", "Backup"});
    EXPECT_TRUE(Show());
    EXPECT_FALSE(files.Query("C:\\backup\\a.txt").exists);
}

TEST_F(ContextMenuExTest, BadRequestsShowNothing)
{
    Choose({"コピー(&C)"});
    const platform::IdView none{};
    const IdList empty = ShellAlloc(shell.Allocator(), 2);
    const struct {
        const char* what;
        platform::WindowRef owner;
        bool folder;
        int count;
        platform::IdView list;
    } cases[] = {
        {"count 0", kOwner, true, 0, selection.View()},
        {"count 1025", kOwner, true, 1025, selection.View()},
        {"negative count", kOwner, true, -1, selection.View()},
        {"short selection", kOwner, true, 3, selection.View()},
        {"empty selection", kOwner, true, 1, empty.View()},
        {"no selection", kOwner, true, 1, none},
        {"no owner", 0, true, 1, selection.View()},
        {"no folder", kOwner, false, 1, selection.View()},
    };
    TDropSourceEx drag(&shell);
    for (const auto& c : cases) {
        platform::ShellFolder* folder = c.folder ? docs.get() : nullptr;
        EXPECT_FALSE(contextMenu.ShowMenu(c.owner, folder, 0, 0, c.count, c.list)) << c.what;
        EXPECT_FALSE(drag.StartDrag(c.owner, folder, c.count, c.list)) << c.what;
    }
    shell.Options().refuseAllocator = true;
    EXPECT_FALSE(Show());
    shell.Options().refuseAllocator = false;
    EXPECT_EQ(shell.tracked, 0);
    EXPECT_TRUE(shell.clipboardFiles.empty());
    // A failed copy of the selection shows nothing either.
    shell.SimAllocator().FailAllocationNumber(2);
    EXPECT_FALSE(Show(2));
    EXPECT_EQ(shell.tracked, 0);
}

// A menu made of given items, for finding markers.
class ListedMenu final : public PopupMenu {
public:
    explicit ListedMenu(std::vector<Item> items) : items_(std::move(items)) {}
    int Count() const override { return static_cast<int>(items_.size()); }
    bool GetItem(int pos, Item& out) const override
    {
        if (pos < 0 || pos >= Count()) return false;
        out = items_[static_cast<size_t>(pos)];
        return true;
    }
    PopupMenu* Submenu(int) override { return nullptr; }
    bool Append(std::string_view, uint32_t) override { return false; }
    bool Delete(int) override { return false; }
    uint32_t Track(uint32_t, int, int, platform::WindowRef) override { return 0; }

private:
    std::vector<Item> items_;
};

TEST(FindMenuItemTest, MarkersCountCodePage932BytesAndSkipUnusableItems)
{
    const std::string longText = std::string(252, 'x') + "(&P)";  // cut at 255 bytes
    const ListedMenu menu({
        {"プロパティ(&P)", 20, 0, false},  // marker at byte 11
        {"", 0, PopupMenu::kSeparator, false},
        {"送る(&N)", 0, PopupMenu::kGrayed, true},
        {"貼り付け(&P)", 27, PopupMenu::kDisabled, false},
        {"送る(&T)", 0, 0, true},
        {longText, 40, 0, false},
        {"貼り付け(&P)", 27, 0, false},
    });
    const struct {
        std::string_view marker;
        int position;
        int expected;
    } cases[] = {
        {"(&P)", 11, 1}, {"(&N)", 5, -1}, {"(&T)", 5, 5}, {"(&P)", 9, 7}, {"(&P)", 253, -1}, {"(&X)", 1, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FindMenuItem(menu, test::TestCodec(), c.marker, c.position), c.expected)
            << c.marker << " at " << c.position;
}

TEST_F(ContextMenuExTest, DragsDropOrCancelAndFreeTheirSource)
{
    TDropSourceObject* source = TDropSourceObject::Create();
    const struct {
        bool escape;
        uint32_t keys;
        platform::ShellResult expected;
    } callbacks[] = {
        {true, 0x1, platform::shellcode::kDragCancel}, {false, 0x1, platform::shellcode::kOk},
        {false, 0x2, platform::shellcode::kOk},        {false, 0x10, platform::shellcode::kDragDrop},
        {false, 0, platform::shellcode::kDragDrop},
    };
    for (const auto& c : callbacks)
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.expected) << c.escape << " " << c.keys;
    EXPECT_EQ(source->GiveFeedback(1), platform::shellcode::kDragUseDefaultCursors);
    EXPECT_EQ(source->AddRef(), 2u);
    EXPECT_EQ(source->Release(), 1u);
    EXPECT_EQ(source->Release(), 0u);

    TDropSourceEx drag(&shell);
    const std::vector<std::pair<bool, uint32_t>> dropped = {{false, 1}, {false, 1}};
    const std::vector<std::pair<bool, uint32_t>> cancelled = {{false, 1}, {true, 1}};
    for (const auto* steps : {&dropped, &cancelled}) {
        shell.dragSteps = *steps;
        EXPECT_TRUE(drag.StartDrag(kOwner, docs.get(), 2, selection.View()));
        EXPECT_EQ(TDropSourceObject::Live(), 0);
    }
}

}  // namespace
}  // namespace kp::shell
