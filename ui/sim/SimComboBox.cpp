#include "ui/sim/SimComboBox.h"

namespace kp::ui {

namespace {

std::string RectText(const TRect& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

void SimItemCanvas::FillRect(const TRect& rect) { calls.push_back("fill " + RectText(rect)); }

void SimItemCanvas::TextAt(int x, int y, const std::string& text)
{
    calls.push_back("text " + std::to_string(x) + "," + std::to_string(y) + " " + text);
}

void SimItemCanvas::DrawImage(TImageList images, int index, const TRect& square)
{
    calls.push_back("image " + std::to_string(images) + ":" + std::to_string(index) + " " + RectText(square));
}

SimComboBox::SimComboBox(TComboBox& combo, int width) : combo_(combo), width_(width) { combo_.SetDisplay(this); }

SimComboBox::~SimComboBox()
{
    if (alive_ && combo_.Display() == this) combo_.SetDisplay(nullptr);
}

void SimComboBox::DropDown() { combo_.UserDropped(true); }
void SimComboBox::CloseUp() { combo_.UserDropped(false); }

void SimComboBox::Pick(size_t position)
{
    DropDown();
    shownIndex_ = static_cast<int>(position);
    combo_.UserPicked(static_cast<int>(position));
    CloseUp();
}

void SimComboBox::ShowDropped(bool dropped) { combo_.UserDropped(dropped); }

SimItemCanvas SimComboBox::Paint()
{
    SimItemCanvas canvas;
    const int height = combo_.ItemHeight();
    // The closed box: its rectangle starts past the border.
    TOwnerDrawState edit;
    edit.comboEdit = true;
    edit.selected = true;
    const TRect box{3, 3, width_ - 20, 3 + height};
    if (shownIndex_ >= 0) combo_.Draw(static_cast<size_t>(shownIndex_), canvas, box, edit);
    else canvas.FillRect(box);
    if (!combo_.DroppedDown()) return canvas;
    for (size_t i = 0; i < shown_; ++i) {
        TOwnerDrawState state;
        state.selected = static_cast<int>(i) == shownIndex_;
        const int top = static_cast<int>(i) * height;
        combo_.Draw(i, canvas, TRect{0, top, width_, top + height}, state);
    }
    return canvas;
}

}  // namespace kp::ui
