#pragma once
// A combo box's display for tests: plays the user's dropping and picking
// and draws the entries on a canvas that records what was drawn.

#include "ui/ComboBox.h"

#include <string>
#include <vector>

namespace kp::ui {

// A canvas that writes each drawing call as one line of text.
class SimItemCanvas final : public TItemCanvas {
public:
    void FillRect(const TRect& rect) override;
    void TextAt(int x, int y, const std::string& text) override;
    void DrawImage(TImageList images, int index, const TRect& square) override;
    std::vector<std::string> calls;
};

class SimComboBox final : public ComboBoxDisplay {
public:
    explicit SimComboBox(TComboBox& combo, int width = 200);
    ~SimComboBox() override;
    SimComboBox(const SimComboBox&) = delete;
    SimComboBox& operator=(const SimComboBox&) = delete;

    void DropDown();
    void CloseUp();
    // Picks an entry in the dropped list, which closes.
    void Pick(size_t position);
    // Draws the closed box and, when dropped, the list's entries.
    SimItemCanvas Paint();

    size_t ShownCount() const { return shown_; }
    int ShownIndex() const { return shownIndex_; }

    void Inserted(size_t) override { ++shown_; }
    void Removed(size_t) override { --shown_; }
    void Cleared() override { shown_ = 0; }
    void ShowItemIndex(int index) override { shownIndex_ = index; }
    void ShowDropped(bool dropped) override;
    void OptionsChanged() override {}
    void Detached() override { alive_ = false; }

private:
    bool alive_ = true;
    TComboBox& combo_;
    int width_;
    size_t shown_ = 0;
    int shownIndex_ = -1;
};

}  // namespace kp::ui
