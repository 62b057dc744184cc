#pragma once
// The recent-files menu: the history list shown as numbered items at the end
// of a target menu item ("&0 name", "&1 name", ...), kept in the registry of
// the current user (section SectionName of key KeyName: values Count, H0,
// H1, ...). Choosing an item raises OnHistorySelected with its file name and
// moves the name to the front.
//
// The component appends its items to the target while it is active and
// removes exactly those again; items others put in the target stay. Registry
// failures are silent: reads give their defaults, writes are dropped.

#include "history/HistStrs.h"
#include "platform/locale/LocaleCompare.h"
#include "platform/registry/Registry.h"
#include "ui/Menu.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kp {
class TRegIniFile;
}

namespace kp::history {

class THistoryMenu final {
public:
    THistoryMenu(platform::Registry& registry, const platform::LocaleCompare& compare);
    // Saves the list when active. The target is not touched: it may be gone.
    ~THistoryMenu();
    THistoryMenu(const THistoryMenu&) = delete;
    THistoryMenu& operator=(const THistoryMenu&) = delete;

    // Characters before the file name in each item's caption: the access-key
    // prefix ("&n ") right-aligned to the digits of the highest index + 2.
    int PrefixWidth() const { return prefixWidth_; }
    const THistoryList& List() const { return list_; }
    // A separator goes between the target's own items and the history.
    bool SeparatorWanted() const { return separatorWanted_; }
    void SetSeparatorWanted(bool wanted) { separatorWanted_ = wanted; }
    // Index, counted from the first appended item, of the last item appended
    // (the separator included); -1 when nothing is appended.
    int LastIndex() const { return lastIndex_; }

    bool Active() const { return active_; }
    // Activating loads the list and shows it (kp::Error without a target);
    // deactivating saves it and removes the items.
    void SetActive(bool active);

    ui::TMenuItem* TargetMenuItem() const { return target_; }
    // A target whose parent has no caption (a top item of the menu bar) gets a
    // separator. Null deactivates, saving the list, without touching the old
    // target. Another target while active takes the items over.
    void SetTargetMenuItem(ui::TMenuItem* target);

    // How many entries the menu shows (of the up to 32 kept); at most 32.
    int HistoryNum() const { return historyNum_; }
    void SetHistoryNum(int count);

    const std::string& SectionName() const { return sectionName_; }
    void SetSectionName(std::string name) { sectionName_ = std::move(name); }
    // Path under HKEY_CURRENT_USER; empty is HKEY_CURRENT_USER itself.
    const std::string& KeyName() const { return keyName_; }
    void SetKeyName(std::string name) { keyName_ = std::move(name); }

    std::function<void(const std::string& fileName)> OnHistorySelected;

    // Moves name to the front of the list (empty names are ignored) and
    // shows the list again when active.
    void AddFile(const std::string& name);

private:
    TRegIniFile Store() const;
    void Load();
    void Save() const;
    void Rebuild();
    void RemoveAppended();
    void Choose(const ui::TMenuItem& item);

    platform::Registry& registry_;
    const platform::LocaleCompare& compare_;
    THistoryList list_;
    int prefixWidth_ = 0;
    bool separatorWanted_ = false;
    int lastIndex_ = 0;
    bool active_ = false;
    ui::TMenuItem* target_ = nullptr;
    int historyNum_ = 8;
    std::string sectionName_ = "History";
    std::string keyName_;
    // The items this component appended to target_, in menu order.
    std::vector<ui::TMenuItem*> appended_;
    // What the items' click handlers reach the component through; cleared on
    // destruction, so that an item outliving the component does nothing.
    std::shared_ptr<THistoryMenu*> self_;
};

// The entries of a stored history that decide the loaded list, read from H0
// upward: the loaded list is what adding them from the last to the first
// gives. `read(i)` reads value "H"+i. Reading stops at count, at kLoadLimit,
// or as soon as no entry further up can change the list (see HistMenu.cpp).
constexpr int kLoadLimit = 1024;
std::vector<std::string> ReadDecidingEntries(int count, const std::function<std::string(int)>& read,
                                             const platform::LocaleCompare& compare);

}  // namespace kp::history
