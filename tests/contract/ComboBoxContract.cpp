// The owner-drawn combo box's contract: entries with payloads that move as
// others are inserted, the user's pick raising Change (the program's own
// choice raising nothing), dropping down, and drawing through the component.

#include "tests/contract/ViewContracts.h"

#include <set>
#include <vector>

namespace kp::test {
namespace {

using ui::TPayload;

TPayload Tagged(int tag, std::vector<int>& freed)
{
    struct Tag {
        int tag;
        std::vector<int>* freed;
    };
    return TPayload(new Tag{tag, &freed}, [](void* data) {
        auto* t = static_cast<Tag*>(data);
        t->freed->push_back(t->tag);
        delete t;
    });
}

int TagOf(const TPayload& payload) { return *static_cast<const int*>(payload.Get()); }

TEST_P(ComboBoxContract, EntriesPicksAndDrawing)
{
    ui::TComboBox combo;
    std::vector<int> freed;
    std::vector<std::string> events;
    std::set<size_t> drawn;
    bool drewBox = false;
    combo.OnChange = [&] { events.push_back("change " + std::to_string(combo.ItemIndex())); };
    combo.OnDropDown = [&] { events.push_back("dropdown"); };
    combo.OnDrawItem = [&](size_t position, ui::TItemCanvas& canvas, const ui::TRect& rect,
                           const ui::TOwnerDrawState& state) {
        canvas.FillRect(rect);
        canvas.TextAt(rect.left + 2, rect.top, combo.Text(position));
        if (state.comboEdit) drewBox = true;
        else drawn.insert(position);
    };
    stage->Show(combo);
    combo.Add("desktop", Tagged(0, freed));
    combo.Add("drives", Tagged(1, freed));
    combo.Add("C:", Tagged(2, freed));
    // Inserted in front: the later entries (and their payloads) move down.
    combo.Insert(1, "documents", Tagged(3, freed));
    ASSERT_EQ(stage->ShownCount(), 4u);
    EXPECT_EQ(TagOf(combo.Data(2)), 1);
    EXPECT_EQ(combo.Text(3), "C:");

    combo.SetItemIndex(0);
    EXPECT_EQ(stage->ShownIndex(), 0);
    EXPECT_TRUE(events.empty());

    stage->DropDown();
    EXPECT_TRUE(combo.DroppedDown());
    stage->Paint();
    EXPECT_EQ(drawn, (std::set<size_t>{0, 1, 2, 3}));
    stage->PickNext();
    stage->CloseUp();
    EXPECT_FALSE(combo.DroppedDown());
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(stage->ShownIndex(), 1);
    stage->Paint();
    EXPECT_TRUE(drewBox);
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events.front(), "dropdown");
    EXPECT_EQ(events.back(), "change 1");

    // Deleting the shown entry shows none; the payloads go with the entries.
    combo.Delete(1);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(stage->ShownIndex(), -1);
    EXPECT_EQ(freed, (std::vector<int>{3}));
    combo.Clear();
    EXPECT_EQ(freed.size(), 4u);
    EXPECT_EQ(stage->ShownCount(), 0u);
}

}  // namespace
}  // namespace kp::test
