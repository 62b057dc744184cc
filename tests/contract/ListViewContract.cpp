// The list view's contract: columns and texts, a selection of several items
// made with the mouse, column clicks, double-clicks, a sort that keeps the
// selection, label editing with Enter and Esc, deletion that frees payloads.

#include "tests/contract/ViewContracts.h"

#include <map>
#include <stdexcept>
#include <vector>

namespace kp::test {
namespace {

using ui::TListItem;
using ui::TMouseButton;
using ui::TPayload;

struct Row {
    const char* name;
    const char* size;
    const char* type;
};

class RecordingList : public ui::TListView {
public:
    int frees = 0;
    std::vector<std::string> log;

    void Fill(const std::vector<Row>& rows)
    {
        ui::TUpdateScope<TListView> bracket(*this);
        for (const Row& row : rows) {
            TListItem* item = Add(row.name, TPayload(&frees, [](void* c) { ++*static_cast<int*>(c); }));
            item->SetSubItems({row.size, row.type});
        }
    }
    std::vector<std::string> SelectedNames() const
    {
        std::vector<std::string> names;
        for (TListItem* item : SelectedItems()) names.push_back(item->Caption());
        return names;
    }

protected:
    void Change() override
    {
        log.push_back("change");
        TListView::Change();
    }
    void ColumnClick(size_t column) override { log.push_back("column " + std::to_string(column)); }
    void DblClick() override { log.push_back("dblclick " + (Selected() ? Selected()->Caption() : std::string("-"))); }
    void MouseUp(TMouseButton button, int x, int y, TListItem* item) override
    {
        if (button == TMouseButton::mbRight) log.push_back("right-up " + (item ? item->Caption() : std::string("-")));
        TListView::MouseUp(button, x, y, item);
    }
    void Edit(TListItem& item, const std::string& text) override { log.push_back("edit " + item.Caption() + " " + text); }
    void Deletion(TListItem& item) override
    {
        log.push_back("deleted " + item.Caption());
        TListView::Deletion(item);
    }
};

const std::vector<Row> kRows = {
    {"b.txt", "       2KB", "Text Document"},
    {"a.txt", "       1KB", "Text Document"},
    {"ソース.txt", "      10KB", "Text Document"},
    {"z.doc", "       1KB", "Document"},
};

TEST_P(ListViewContract, ColumnsTextsAndColumnClicks)
{
    RecordingList list;
    stage->Show(list);
    list.SetColumns({{"名前", 120}, {"ｻｲｽﾞ", 60, ui::TAlignment::taRightJustify}, {"ﾌｧｲﾙの種類", 120}, {"更新日時", 120}});
    list.Fill(kRows);
    EXPECT_EQ(stage->ShownColumns(), 4u);
    ASSERT_EQ(stage->ShownCount(), 4u);
    EXPECT_EQ(stage->ShownText(2, 0), "ソース.txt");
    EXPECT_EQ(stage->ShownText(0, 1), "       2KB");
    EXPECT_EQ(stage->ShownText(3, 2), "Document");
    EXPECT_EQ(stage->ShownText(3, 3), "");

    // Images and the shortcut overlay, set after the item was shown.
    list.Item(1)->SetImageIndex(3);
    list.Item(2)->SetOverlayIndex(1);
    EXPECT_EQ(stage->ShownImage(1), 3);
    EXPECT_EQ(stage->ShownOverlay(1), 0);
    EXPECT_EQ(stage->ShownOverlay(2), 1);

    stage->ClickColumn(1);
    stage->ClickColumn(3);
    EXPECT_EQ(list.log, (std::vector<std::string>{"column 1", "column 3"}));
}

TEST_P(ListViewContract, SelectingSeveralSortingAndDoubleClicking)
{
    RecordingList list;
    stage->Show(list);
    list.SetColumns({{"名前", 120}, {"ｻｲｽﾞ", 60}, {"ﾌｧｲﾙの種類", 120}});
    list.Fill(kRows);

    stage->Click(*list.Item(1));
    stage->CtrlClick(*list.Item(3));
    EXPECT_EQ(list.SelectedNames(), (std::vector<std::string>{"a.txt", "z.doc"}));
    EXPECT_EQ(list.Selected()->Caption(), "a.txt");

    // Sorted by name, descending: the selection goes with its items.
    list.CustomSort([](const TListItem& x, const TListItem& y) { return -x.Caption().compare(y.Caption()); });
    EXPECT_EQ(stage->ShownText(0, 0), "ソース.txt");
    EXPECT_EQ(stage->ShownText(3, 0), "a.txt");
    EXPECT_EQ(list.SelectedNames(), (std::vector<std::string>{"z.doc", "a.txt"}));
    // The user's next click starts from what the control shows.
    stage->CtrlClick(*list.Item(3));
    EXPECT_EQ(list.SelectedNames(), (std::vector<std::string>{"z.doc"}));

    list.log.clear();
    stage->DoubleClick(*list.Item(2));
    ASSERT_FALSE(list.log.empty());
    EXPECT_EQ(list.log.back(), "dblclick b.txt");
    EXPECT_EQ(list.SelectedNames(), (std::vector<std::string>{"b.txt"}));

    // A right click over an unselected item takes it as the selection.
    list.log.clear();
    stage->RightClick(*list.Item(0));
    EXPECT_EQ(list.SelectedNames(), (std::vector<std::string>{"ソース.txt"}));
    EXPECT_EQ(list.log, (std::vector<std::string>{"change", "right-up ソース.txt"}));
}

TEST_P(ListViewContract, LabelEditingWithEnterAndEscape)
{
    RecordingList list;
    stage->Show(list);
    list.SetColumns({{"名前", 120}});
    list.Fill(kRows);
    stage->Click(*list.Item(1));
    list.log.clear();

    stage->PressF2();
    EXPECT_EQ(list.Editing(), list.Item(1));
    stage->TypeAndEscape("gone.txt");
    EXPECT_EQ(list.Editing(), nullptr);
    EXPECT_EQ(stage->ShownText(1, 0), "a.txt");

    stage->PressF2();
    stage->TypeAndEnter("한글.txt");
    EXPECT_EQ(list.Item(1)->Caption(), "한글.txt");
    EXPECT_EQ(stage->ShownText(1, 0), "한글.txt");
    EXPECT_EQ(list.log, (std::vector<std::string>{"edit 한글.txt 한글.txt"}));

    list.SetReadOnly(true);
    stage->PressF2();
    EXPECT_EQ(list.Editing(), nullptr);
}

TEST_P(ListViewContract, DeletingItemsFreesPayloadsAndUpdatesTheSelection)
{
    RecordingList list;
    stage->Show(list);
    list.SetColumns({{"名前", 120}});
    list.Fill(kRows);
    stage->Click(*list.Item(2));
    list.log.clear();

    list.Delete(list.Item(2));
    EXPECT_EQ(list.log, (std::vector<std::string>{"deleted ソース.txt", "change"}));
    EXPECT_EQ(list.frees, 1);
    EXPECT_EQ(list.Selected(), nullptr);
    ASSERT_EQ(stage->ShownCount(), 3u);
    EXPECT_EQ(stage->ShownText(2, 0), "z.doc");

    list.Clear();
    EXPECT_EQ(list.frees, 4);
    EXPECT_EQ(stage->ShownCount(), 0u);
}

TEST_P(ListViewContract, PendingImagesAreAskedOnceWhenRead)
{
    RecordingList list;
    stage->Show(list);
    list.SetColumns({{"名前", 120}, {"ｻｲｽﾞ", 60}});
    list.Fill(kRows);
    std::map<std::string, int> asked;
    list.OnGetImageIndex = [&](TListItem& item) {
        ++asked[item.Caption()];
        if (item.Caption() == "z.doc") throw std::runtime_error("no icon");
        item.SetImageIndex(static_cast<int>(item.Index()) + 5);
    };
    std::vector<std::string> failures;
    list.OnException = [&](const std::exception& failure) { failures.push_back(failure.what()); };
    for (size_t i = 0; i < list.Count(); ++i) list.Item(i)->SetImageIndex(ui::kImageCallback);
    EXPECT_EQ(stage->ShownImage(1), 6);
    EXPECT_EQ(stage->ShownImage(1), 6);
    EXPECT_EQ(stage->ShownImage(3), ui::kNoImage);
    EXPECT_EQ(stage->ShownImage(3), ui::kNoImage);
    EXPECT_EQ(asked["a.txt"], 1);
    EXPECT_EQ(asked["z.doc"], 1);
    EXPECT_EQ(failures, (std::vector<std::string>{"no icon"}));
}

}  // namespace
}  // namespace kp::test
