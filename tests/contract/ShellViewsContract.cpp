// The shell components on each display: the tree read on expansion and
// followed by the list and the combo, a folder opened from the list, renames
// typed into the label editors (taken, refused, cancelled), column sorts and
// the shell menu of the node under the pointer. The namespace is the
// simulation on both sides, so every difference is the display's.

#include "tests/contract/ShellViewsContract.h"

#include "platform/clock/SimClock.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/shell/SimShellNamespace.h"
#include "shell/ComboView.h"
#include "shell/DRPCOMEX.h"
#include "shell/FileView.h"
#include "shell/FolderView.h"
#include "tests/TestPlatform.h"
#include "ui/sim/SimMessageDialogs.h"

namespace kp::test {

using ui::TTreeNode;

class ShellPane {
public:
    explicit ShellPane(ShellViewStages& stages)
    {
        for (const char* path : {"C:\\表ソ", "C:\\表ソ\\sub", "C:\\表ソ\\sub\\deeper", "C:\\other"})
            files.CreateFolder(path);
        Put("C:\\表ソ\\ソース.txt", "abc");
        Put("C:\\表ソ\\한글.txt", std::string(2000, 'k'));
        tree.SetFileView(&list);
        combo.SetFolderView(&tree);
        tree.SetContextMenu(&menu);
        tree.Window().window = 0x1234;  // the simulated shell's menus take any owner
        tree.CreateWnd();
        list.CreateWnd();
        // The simulation's image lists are no handles a control could draw.
        tree.SetImages(0);
        list.SetImages(0, 0);
        stages.tree->Show(tree);
        stages.list->Show(list);
        stages.combo->Show(combo);
        combo.Loaded();
        tree.Loaded();
    }

    void Put(const std::string& path, const std::string& bytes)
    {
        std::string temp;
        platform::FileHandle file;
        files.CreateTempFile(platform::ParentFolder(path), temp, file);
        files.Write(file, bytes);
        file.Close();
        files.Replace(path, temp);
    }

    static TTreeNode* ChildNamed(TTreeNode* node, const std::string& text)
    {
        for (size_t i = 0; node && i < node->Count(); ++i)
            if (node->Item(i)->Text() == text) return node->Item(i);
        return nullptr;
    }

    platform::SimFileSystem files;
    platform::SimShellNamespace shell{files, TestCodec()};
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dates;
    ui::SimMessageDialogs messages;
    shell::ShellViewServices services{&shell, TestCodec(), locale, clock, dates, messages};
    shell::TContextMenuEx menu{&shell, TestCodec(), messages};
    shell::TFolderView tree{services};
    shell::TFileView list{services};
    shell::TComboView combo{services};
};

ShellViewsContract::ShellViewsContract() = default;
ShellViewsContract::~ShellViewsContract() = default;

void ShellViewsContract::SetUp()
{
    stages = GetParam().make();
    liveBefore = platform::IdList::Live();
    pane = std::make_unique<ShellPane>(*stages);
}

void ShellViewsContract::TearDown()
{
    // The displays go first, then the components.
    stages.reset();
    pane.reset();
    EXPECT_EQ(platform::IdList::Live(), liveBefore);
}

TTreeNode* ShellViewsContract::ClickThrough(std::initializer_list<const char*> texts)
{
    TTreeNode* node = pane->tree.Count() ? pane->tree.Item(0) : nullptr;
    for (const char* text : texts) {
        node = ShellPane::ChildNamed(node, text);
        if (!node) {
            ADD_FAILURE() << "no node " << text;
            return nullptr;
        }
        stages->tree->Click(*node);
        stages->tree->DoubleClick(*node);  // opens it, as the user does
    }
    return node;
}

std::vector<std::string> ShellViewsContract::ShownColumn(size_t column)
{
    std::vector<std::string> texts;
    for (size_t row = 0; row < stages->list->ShownCount(); ++row) texts.push_back(stages->list->ShownText(row, column));
    return texts;
}

TEST_P(ShellViewsContract, TheTreeLeadsAndTheListAndComboFollow)
{
    TTreeNode* folder = ClickThrough({"マイ コンピューター", " (C:)", "表ソ"});
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(stages->tree->ShownSelection(), folder);
    EXPECT_TRUE(stages->tree->ShownExpanded(*folder));
    ASSERT_EQ(folder->Count(), 1u);
    EXPECT_EQ(stages->tree->ShownText(*folder->Item(0)), "sub");

    // The list: the folder first, then the files in the shell's order, with
    // sizes, types and dates.
    EXPECT_EQ(stages->list->ShownColumns(), 4u);
    EXPECT_EQ(ShownColumn(0), (std::vector<std::string>{"sub", "ソース.txt", "한글.txt"}));
    EXPECT_EQ(ShownColumn(1), (std::vector<std::string>{"       1KB", "       1KB", "       2KB"}));
    EXPECT_EQ(stages->list->ShownText(1, 2), "txt file");
    EXPECT_EQ(stages->list->ShownText(1, 3).size(), 14u);  // yy/mm/dd hh:nn

    // The combo shows the folder, indented under the drive.
    const int shown = stages->combo->ShownIndex();
    ASSERT_GE(shown, 0);
    EXPECT_EQ(shown, pane->combo.ItemIndex());
    EXPECT_EQ(pane->combo.EntryName(static_cast<size_t>(shown)), "表ソ");
    EXPECT_EQ(stages->combo->ShownCount(), pane->combo.Count());

    // A double-click on the subfolder in the list moves the tree into it.
    stages->list->DoubleClick(*pane->list.Item(0));
    ASSERT_NE(stages->tree->ShownSelection(), nullptr);
    EXPECT_EQ(stages->tree->ShownText(*stages->tree->ShownSelection()), "sub");
    EXPECT_EQ(ShownColumn(0), (std::vector<std::string>{"deeper"}));
    EXPECT_EQ(pane->combo.EntryName(static_cast<size_t>(stages->combo->ShownIndex())), "sub");
}

TEST_P(ShellViewsContract, RenamesTypedIntoTheLabelsAreTakenRefusedOrCancelled)
{
    TTreeNode* folder = ClickThrough({"マイ コンピューター", " (C:)", "表ソ"});
    ASSERT_NE(folder, nullptr);

    // A file renamed in the list; a name with a separator comes back as it was.
    stages->list->Click(*pane->list.Item(1));
    stages->list->PressF2();
    stages->list->TypeAndEnter("ソース2.txt");
    EXPECT_TRUE(pane->files.Query("C:\\表ソ\\ソース2.txt").exists);
    stages->list->Click(*pane->list.Item(1));
    stages->list->PressF2();
    stages->list->TypeAndEnter("a\\b.txt");
    EXPECT_EQ(stages->list->ShownText(1, 0), "ソース2.txt");
    EXPECT_TRUE(pane->files.Query("C:\\表ソ\\ソース2.txt").exists);

    // The folder renamed in the tree: the list follows it; Esc keeps the name.
    stages->tree->PressF2();
    stages->tree->TypeAndEnter("表ソ2");
    EXPECT_EQ(stages->tree->ShownText(*folder), "表ソ2");
    EXPECT_TRUE(pane->files.Query("C:\\表ソ2\\sub").directory);
    EXPECT_EQ(pane->list.ItemPath(pane->list.Item(0)), "C:\\表ソ2\\sub");
    stages->tree->PressF2();
    stages->tree->TypeAndEscape("gone");
    EXPECT_EQ(stages->tree->ShownText(*folder), "表ソ2");
    EXPECT_FALSE(pane->files.Query("C:\\gone").exists);
}

TEST_P(ShellViewsContract, ColumnClicksSortAndTheMenuIsOfTheNodeUnderThePointer)
{
    TTreeNode* drive = ClickThrough({"マイ コンピューター", " (C:)"});
    ASSERT_NE(drive, nullptr);
    ClickThrough({"マイ コンピューター", " (C:)", "表ソ"});

    // Size: descending first, then ascending; the type column likewise.
    stages->list->ClickColumn(1);
    EXPECT_EQ(ShownColumn(0).front(), "한글.txt");
    stages->list->ClickColumn(1);
    EXPECT_EQ(ShownColumn(1), (std::vector<std::string>{"       1KB", "       1KB", "       2KB"}));
    stages->list->ClickColumn(2);
    EXPECT_EQ(ShownColumn(2).front(), "txt file");
    stages->list->ClickColumn(0);
    EXPECT_EQ(ShownColumn(0).back(), "sub");

    // A right click on another node shows its menu; the selection stays.
    TTreeNode* selected = stages->tree->ShownSelection();
    TTreeNode* other = ShellPane::ChildNamed(drive, "other");
    ASSERT_NE(other, nullptr);
    pane->shell.onTrack = [](platform::PopupMenu& menu) {
        return platform::SimShellNamespace::IdByCaptions(menu, {"開く(&O)"});
    };
    stages->tree->RightClick(*other);
    EXPECT_EQ(pane->shell.executed, (std::vector<std::string>{"C:\\other"}));
    EXPECT_EQ(stages->tree->ShownSelection(), selected);
    EXPECT_EQ(pane->tree.Selected(), selected);
}

TEST_P(ShellViewsContract, ALargeFolderOpensWholeAndClosingItsParentMeanwhileForgetsTheRead)
{
    // Made in reverse: the shell's order is the names'.
    pane->files.CreateFolder("C:\\many");
    constexpr int kMany = 120;
    for (int i = kMany - 1; i >= 0; --i) pane->files.CreateFolder("C:\\many\\d" + std::to_string(1000 + i));
    TTreeNode* many = ClickThrough({"マイ コンピューター", " (C:)", "many"});
    ASSERT_NE(many, nullptr);
    EXPECT_TRUE(stages->tree->ShownExpanded(*many));
    ASSERT_EQ(many->Count(), static_cast<size_t>(kMany));
    for (int i = 0; i < kMany; ++i) EXPECT_EQ(stages->tree->ShownText(*many->Item(i)), "d" + std::to_string(1000 + i));
    EXPECT_FALSE(pane->tree.Reading(many));

    // Again from the start; the drive is closed while the folder is read.
    pane->tree.RebuildTree();
    TTreeNode* drive = ClickThrough({"マイ コンピューター", " (C:)"});
    ASSERT_NE(drive, nullptr);
    TTreeNode* again = ShellPane::ChildNamed(drive, "many");
    ASSERT_NE(again, nullptr);
    stages->tree->StartDoubleClick(*again);
    ASSERT_TRUE(pane->tree.Reading(again));
    stages->tree->DoubleClick(*drive);
    EXPECT_FALSE(stages->tree->ShownExpanded(*drive));
    EXPECT_FALSE(pane->tree.Reading(again));
    EXPECT_EQ(again->Count(), 0u);
    EXPECT_FALSE(again->Expanded());
    EXPECT_TRUE(again->HasChildren());
    EXPECT_FALSE(pane->tree.Busy());
    EXPECT_FALSE(pane->tree.Updating());
}

}  // namespace kp::test
