// What the view components cost over the simulated displays: filling a list
// of 10,000 items (caption, payload, three sub-items) inside one update
// bracket, sorting it by a text column through keys made once per sort, and
// reading 1,000 children into a tree node.

#include "ui/ListView.h"
#include "ui/TreeView.h"
#include "ui/sim/SimListView.h"
#include "ui/sim/SimTreeView.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unordered_map>

namespace {

using namespace kp::ui;

std::string SizeText(int i)
{
    char text[16];
    std::snprintf(text, sizeof text, "%8dKB", (i * 7919) % 100000 + 1);
    return text;
}

void Fill(TListView& list, int count)
{
    TUpdateScope<TListView> bracket(list);
    list.Clear();
    for (int i = 0; i < count; ++i) {
        TListItem* item = list.Add("file" + std::to_string(i) + ".txt", TPayload::Own(std::make_unique<int>(i)));
        item->SetImageIndex(i % 5);
        item->SetSubItems({SizeText(i), "Text Document", "26/12/07 17:00"});
    }
}

void BM_ListFill(benchmark::State& state)
{
    TListView list;
    SimListView display(list);
    for (auto _ : state) Fill(list, static_cast<int>(state.range(0)));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListFill)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ListSortBySizeKeys(benchmark::State& state)
{
    TListView list;
    SimListView display(list);
    Fill(list, static_cast<int>(state.range(0)));
    int sign = 1;
    for (auto _ : state) {
        // One key per item per sort; the comparison reads keys only.
        std::unordered_map<const TListItem*, std::string> keys;
        keys.reserve(list.Count());
        for (size_t i = 0; i < list.Count(); ++i) keys.emplace(list.Item(i), list.Item(i)->ColumnText(1));
        sign = -sign;
        list.CustomSort([&](const TListItem& a, const TListItem& b) { return sign * keys[&a].compare(keys[&b]); });
    }
}
BENCHMARK(BM_ListSortBySizeKeys)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_TreeReadChildren(benchmark::State& state)
{
    TTreeView tree;
    SimTreeView display(tree);
    TTreeNode* root = tree.Add(nullptr, "root");
    for (auto _ : state) {
        TUpdateScope<TTreeView> bracket(tree);
        while (root->Count() > 0) tree.Delete(root->Item(root->Count() - 1));
        for (int i = 0; i < state.range(0); ++i) {
            TTreeNode* node = tree.Add(root, "folder" + std::to_string(i), TPayload::Own(std::make_unique<int>(i)));
            node->SetHasChildren(true);
        }
        tree.SortChildren(root, [](const TTreeNode& a, const TTreeNode& b) { return b.Text().compare(a.Text()); });
    }
}
BENCHMARK(BM_TreeReadChildren)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace
