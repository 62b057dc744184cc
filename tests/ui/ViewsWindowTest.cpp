// The tree view and an owner-drawn folder-style combo side by side in a real
// window, with the system's small icons: the combo dropped down draws its
// entries indented by level, the closed box without indentation. Set
// KP_VIEWS_HOLD_MS to keep the window up that long (to take a picture).

#include "tests/contract/Win32ViewStages.h"

#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <vector>

namespace kp::test {
namespace {

struct Folder {
    const char* name;
    const wchar_t* path;  // for the system's icon
    int level;
};

const std::vector<Folder> kFolders = {
    {"デスクトップ", L"C:\\", 0},    {"マイ コンピューター", L"C:\\", 1}, {"Z:", L"Z:\\", 2},
    {"tmp", L"C:\\windows", 3},     {"表ソ", L"C:\\windows", 4},       {"Documents", L"C:\\windows", 1},
};

int IconOf(const wchar_t* path, HIMAGELIST* images)
{
    SHFILEINFOW info{};
    *images = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(path, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
    return info.iIcon;
}

TEST(ViewsWindow, AComboDroppedDownBesideATree)
{
    Win32ViewForm form;
    form.control = form.layout.Add(ui::ControlKind::TreeView, "Tree", ui::TAlign::Left, 200);
    form.layout.Add(ui::ControlKind::Panel, "Rest", ui::TAlign::Client);
    form.host->SetControls(&form.layout);
    form.host->Show(SW_SHOWNORMAL);

    HIMAGELIST images = nullptr;
    ui::TTreeView tree;
    ui::Win32TreeView treeDisplay(form.host->WindowOf(*form.control), tree, form.host->OnException);
    std::vector<ui::TTreeNode*> path;
    for (const Folder& folder : kFolders) {
        path.resize(static_cast<size_t>(folder.level));
        ui::TTreeNode* node = tree.Add(path.empty() ? nullptr : path.back(), folder.name);
        node->SetImageIndex(IconOf(folder.path, &images));
        node->SetSelectedIndex(node->ImageIndex());
        path.push_back(node);
    }
    tree.SetImages(reinterpret_cast<ui::TImageList>(images));
    for (ui::TTreeNode* node : tree.AllNodes())
        if (node->Count() > 0) tree.Expand(*node);
    tree.Select(path.back());

    ui::TComboBox combo;
    std::map<size_t, int> listIndents;  // entry → x of its icon in the dropped list
    int boxX = -1;
    combo.OnDrawItem = [&](size_t position, ui::TItemCanvas& canvas, const ui::TRect& rect,
                           const ui::TOwnerDrawState& state) {
        const Folder& folder = kFolders[position];
        const int x = state.comboEdit ? rect.left + 1 : rect.left + folder.level * 10;
        canvas.FillRect(rect);
        HIMAGELIST list = nullptr;
        const int icon = IconOf(folder.path, &list);
        canvas.DrawImage(reinterpret_cast<ui::TImageList>(list), icon,
                         ui::TRect{x, rect.top, x + rect.Height(), rect.bottom});
        canvas.TextAt(x + rect.Height() + 3, rect.top, folder.name);
        if (state.comboEdit) boxX = x;
        else listIndents[position] = x - rect.left;
    };
    RECT treeRect{};
    GetWindowRect(form.host->WindowOf(*form.control), &treeRect);
    MapWindowPoints(nullptr, form.host->Handle(), reinterpret_cast<POINT*>(&treeRect), 2);
    ui::Win32ComboBox comboDisplay(form.host->Handle(), ui::TRect{treeRect.right + 8, treeRect.top + 4,
                                                                 treeRect.right + 228, treeRect.top + 26},
                                   combo, form.host->OnException);
    for (const Folder& folder : kFolders) combo.Add(folder.name);
    combo.SetItemIndex(4);
    PumpViews();

    SendMessageW(comboDisplay.Handle(), CB_SHOWDROPDOWN, TRUE, 0);
    PumpViews();
    ASSERT_TRUE(SendMessageW(comboDisplay.Handle(), CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_TRUE(combo.DroppedDown());
    RedrawWindow(comboDisplay.ListWindow(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RedrawWindow(comboDisplay.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpViews();
    EXPECT_EQ(listIndents.size(), kFolders.size());
    for (size_t i = 0; i < kFolders.size(); ++i) EXPECT_EQ(listIndents[i], kFolders[i].level * 10) << i;
    EXPECT_GT(boxX, 0);
    EXPECT_NE(images, nullptr);
    EXPECT_TRUE(form.failures.empty());

    if (const char* hold = std::getenv("KP_VIEWS_HOLD_MS")) {
        const DWORD end = GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (GetTickCount() < end) PumpViews();
    }
    SendMessageW(comboDisplay.Handle(), CB_SHOWDROPDOWN, FALSE, 0);
    PumpViews();
}

}  // namespace
}  // namespace kp::test
