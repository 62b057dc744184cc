#pragma once
// Menus as the form sees them: a tree of items with caption, check mark,
// enabled state, shortcut and click handler. The platform shows the tree
// through a MenuObserver (the Win32 menu bar and pop-up menus); tests click
// items directly.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kp::ui {

// Low byte the virtual-key code; 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt; 0 none.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

class TMenuItem;

class MenuObserver {
public:
    virtual ~MenuObserver() = default;
    // A property of one item changed (caption, check, enabled, shortcut, visible).
    virtual void ItemChanged(TMenuItem& item) = 0;
    // Items were added or removed below `parent`.
    virtual void ItemsChanged(TMenuItem& parent) = 0;
};

class TMenuItem {
public:
    explicit TMenuItem(std::string caption = {}, std::string name = {}, TShortCut shortCut = 0);
    virtual ~TMenuItem();
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string caption);
    bool IsSeparator() const { return caption_ == "-"; }
    // The command key (section ShortCutKey); empty for items without one.
    const std::string& Name() const { return name_; }
    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);

    std::function<void()> OnClick;
    // What choosing the item does: its handler, when it is enabled.
    void Click();

    // A number unique among all items of the process, for WM_COMMAND.
    int Id() const { return id_; }

    // ---- Children ----
    TMenuItem* Add(std::unique_ptr<TMenuItem> item);
    TMenuItem* Add(std::string caption, std::string name = {}, TShortCut shortCut = 0);
    TMenuItem* AddSeparator() { return Add("-"); }
    TMenuItem* Insert(size_t index, std::unique_ptr<TMenuItem> item);
    std::unique_ptr<TMenuItem> Remove(TMenuItem* item);
    size_t Count() const { return items_.size(); }
    TMenuItem* Item(size_t index) const { return items_[index].get(); }
    size_t IndexOf(const TMenuItem* item) const;  // Count() when absent
    TMenuItem* Parent() const { return parent_; }

    // Searches this item and everything below it.
    TMenuItem* FindByName(std::string_view name);
    TMenuItem* FindById(int id);
    TMenuItem* FindByCaption(std::string_view caption);
    // Every item below this one, depth first, in menu order.
    void ForEach(const std::function<void(TMenuItem&)>& visit);

    // The observer of a root menu; items notify their root's observer.
    void SetObserver(MenuObserver* observer) { observer_ = observer; }

private:
    void Changed();
    MenuObserver* RootObserver() const;

    std::string caption_;
    std::string name_;
    bool checked_ = false;
    bool enabled_ = true;
    bool visible_ = true;
    TShortCut shortCut_ = 0;
    int id_;
    TMenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TMenuItem>> items_;
    MenuObserver* observer_ = nullptr;
};

// The caption as a menu shows it: "&" marks the access key, "&&" is a literal
// ampersand. Returns the caption without the marks, and the access key
// (upper case) or 0.
std::string StripAccessKey(std::string_view caption, char* accessKey = nullptr);

}  // namespace kp::ui
