#pragma once
// The framework's owner-drawn combo box with fixed item height: a drop-down
// list of entries, each with a text and an owned payload, drawn by the
// component (DrawItem / OnDrawItem) on a canvas the display lends. The
// user's pick raises Change; setting ItemIndex does not.
//
// A display shows it: an owner-drawn CBS_DROPDOWNLIST combo box on Win32
// (ui/win32/Win32ComboBox.h), a simulation in tests (ui/sim/SimComboBox.h).

#include "ui/Layout.h"
#include "ui/ViewTypes.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kp::ui {

// Where an entry is drawn: the dropped-down list or the edit part.
struct TOwnerDrawState {
    bool selected = false;
    bool focused = false;
    // The closed combo's own box (no indentation there).
    bool comboEdit = false;
};

// Drawing of one entry, in the display's pixels.
class TItemCanvas {
public:
    virtual ~TItemCanvas() = default;
    // Fills a rectangle with the background (the highlight when selected).
    virtual void FillRect(const TRect& rect) = 0;
    virtual void TextAt(int x, int y, const std::string& text) = 0;
    // Draws image `index` of `images`, stretched into `square`.
    virtual void DrawImage(TImageList images, int index, const TRect& square) = 0;
};

class ComboBoxDisplay {
public:
    virtual ~ComboBoxDisplay() = default;
    virtual void Inserted(size_t position) = 0;
    virtual void Removed(size_t position) = 0;
    virtual void Cleared() = 0;
    virtual void ShowItemIndex(int index) = 0;
    virtual void ShowDropped(bool dropped) = 0;
    // Item height, drop-down count.
    virtual void OptionsChanged() = 0;
    // The component goes first: show nothing, forget it.
    virtual void Detached() = 0;
};

class TComboBox {
public:
    TComboBox();
    virtual ~TComboBox();
    TComboBox(const TComboBox&) = delete;
    TComboBox& operator=(const TComboBox&) = delete;

    void SetDisplay(ComboBoxDisplay* display);
    ComboBoxDisplay* Display() const { return display_; }

    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count);

    size_t Count() const { return entries_.size(); }
    const std::string& Text(size_t position) const { return entries_[position].text; }
    TPayload& Data(size_t position) { return entries_[position].data; }
    const TPayload& Data(size_t position) const { return entries_[position].data; }
    // Inserts before `position` (Count(): at the end); the later entries move
    // down one. Returns the entry's position.
    size_t Insert(size_t position, std::string text, TPayload data = {});
    size_t Add(std::string text, TPayload data = {}) { return Insert(Count(), std::move(text), std::move(data)); }
    // Frees the entry and its payload; the later entries move up one.
    void Delete(size_t position);
    void Clear();

    // -1: none. Setting it raises nothing.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    bool DroppedDown() const { return dropped_; }
    void SetDroppedDown(bool dropped);

    // The user picked an entry (ItemIndex is already it).
    std::function<void()> OnChange;
    std::function<void()> OnDropDown;
    std::function<void(size_t position, TItemCanvas& canvas, const TRect& rect, const TOwnerDrawState& state)>
        OnDrawItem;
    ViewErrorHandler OnException;

    // ---- What the display reports ----
    void UserPicked(int index);
    void UserDropped(bool dropped);
    // Draws one entry; what drawing throws goes to OnException (without
    // one it is dropped: drawing runs again at the next paint).
    void Draw(size_t position, TItemCanvas& canvas, const TRect& rect, const TOwnerDrawState& state);

protected:
    virtual void Change();
    virtual void DrawItem(size_t position, TItemCanvas& canvas, const TRect& rect, const TOwnerDrawState& state);

private:
    struct Entry {
        std::string text;
        TPayload data;
    };
    ComboBoxDisplay* display_ = nullptr;
    std::vector<Entry> entries_;
    int itemIndex_ = -1;
    int itemHeight_ = 16;
    int dropDownCount_ = 8;
    bool dropped_ = false;
};

}  // namespace kp::ui
