// The view components in the platform's controls: filling the owner-data
// list with 10,000 items and drawing it, a column sort and its redraw, and
// 1,000 children read into a tree node, expanded and drawn. Prints the
// median of seven runs of each in milliseconds.
//
//   kp_views_bench.exe

#include "ui/ListView.h"
#include "ui/TreeView.h"
#include "ui/win32/Win32FormHost.h"
#include "ui/win32/Win32ListView.h"
#include "ui/win32/Win32TreeView.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

using namespace kp::ui;

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Median(const std::function<void()>& run)
{
    std::vector<double> ms;
    for (int i = 0; i < 7; ++i) {
        const auto start = std::chrono::steady_clock::now();
        run();
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[3];
}

std::string SizeText(int i)
{
    char text[16];
    std::snprintf(text, sizeof text, "%8dKB", (i * 7919) % 100000 + 1);
    return text;
}

}  // namespace

int main()
{
    Win32FormOptions options;
    options.caption = "views bench";
    options.mainForm = false;
    Win32FormHost host(options);
    TControl layout{ControlKind::Panel, "Root", TAlign::Client};
    TControl* listControl = layout.Add(ControlKind::ListView, "List", TAlign::Bottom, 0, 240);
    TControl* treeControl = layout.Add(ControlKind::TreeView, "Tree", TAlign::Client);
    host.SetControls(&layout);
    host.Show(SW_SHOWNORMAL);
    Pump();

    TListView list;
    Win32ListView listDisplay(host.WindowOf(*listControl), list, host.OnException);
    list.SetColumns({{"名前", 120}, {"ｻｲｽﾞ", 60, TAlignment::taRightJustify}, {"ﾌｧｲﾙの種類", 120}, {"更新日時", 120}});
    const double fill = Median([&] {
        {
            TUpdateScope<TListView> bracket(list);
            list.Clear();
            for (int i = 0; i < 10000; ++i) {
                TListItem* item = list.Add("file" + std::to_string(i) + ".txt");
                item->SetSubItems({SizeText(i), "Text Document", "26/12/07 17:00"});
            }
        }
        UpdateWindow(listDisplay.Handle());
        Pump();
    });
    int sign = 1;
    const double sort = Median([&] {
        std::unordered_map<const TListItem*, std::string> keys;
        for (size_t i = 0; i < list.Count(); ++i) keys.emplace(list.Item(i), list.Item(i)->ColumnText(1));
        sign = -sign;
        list.CustomSort([&](const TListItem& a, const TListItem& b) { return sign * keys[&a].compare(keys[&b]); });
        UpdateWindow(listDisplay.Handle());
        Pump();
    });

    TTreeView tree;
    Win32TreeView treeDisplay(host.WindowOf(*treeControl), tree, host.OnException);
    TTreeNode* root = tree.Add(nullptr, "root");
    double clearing = 0;
    const double children = Median([&] {
        {
            TUpdateScope<TTreeView> bracket(tree);
            const auto start = std::chrono::steady_clock::now();
            tree.Collapse(*root);
            while (root->Count() > 0) tree.Delete(root->Item(root->Count() - 1));
            clearing = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            for (int i = 0; i < 1000; ++i) tree.Add(root, "folder" + std::to_string(i))->SetHasChildren(true);
            tree.SortChildren(root, [](const TTreeNode& a, const TTreeNode& b) { return b.Text().compare(a.Text()); });
            tree.Expand(*root);
        }
        UpdateWindow(treeDisplay.Handle());
        Pump();
    });
    std::printf("list fill 10000 items + paint: %.1f ms\n", fill);
    std::printf("list sort 10000 items by size keys + paint: %.1f ms\n", sort);
    std::printf("tree 1000 children + sort + expand + paint: %.1f ms (of which deleting the last run's: %.1f ms)\n",
                children, clearing);
    host.DetachAll();
    return 0;
}
