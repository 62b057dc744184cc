#pragma once
// A TMenuItem tree shown as a Win32 menu: the menu bar or a pop-up menu.
// Captions keep their "&" access-key marks, "-" is a separator, an item with
// children is a submenu, hidden items are left out, and the shortcut's text
// follows the caption after a tab. Property changes update the item in
// place; added, removed, shown or hidden items refill the menu.

#include "ui/Menu.h"

#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kp::ui {

// The text of a shortcut as menus show it ("Ctrl+S"); supplied by the program.
using ShortCutTextFunction = std::function<std::string(TShortCut)>;

class Win32Menu final : public MenuObserver {
public:
    enum class Kind { Bar, Popup };

    // Becomes root's observer. shortCutText may be empty (no shortcut text)
    // and must outlive the menu.
    Win32Menu(TMenuItem& root, Kind kind, const ShortCutTextFunction& shortCutText);
    // Destroys the menu handle (a menu bar must be taken off its window
    // first). Leaves the root alone: call Detach while it still lives.
    ~Win32Menu() override;
    Win32Menu(const Win32Menu&) = delete;
    Win32Menu& operator=(const Win32Menu&) = delete;

    HMENU Handle() const { return menu_; }
    TMenuItem& Root() const { return root_; }
    // Stops observing the root.
    void Detach();
    // Fills the menu again from the tree (after the shortcut text changed).
    void Rebuild();
    // Raised after the menu changed in any way.
    std::function<void()> OnChanged;

    // The command item whose id has these low 16 bits (WM_COMMAND carries
    // no more), or nullptr.
    TMenuItem* FindCommand(int command) const;
    // Accelerators of every command item with a shortcut, hidden ones too,
    // in menu order.
    void AppendAccelerators(std::vector<ACCEL>& table) const;

    void ItemChanged(TMenuItem& item) override;
    void ItemsChanged(TMenuItem& parent) override;

private:
    std::wstring TextOf(const TMenuItem& item) const;
    void Fill(HMENU menu, TMenuItem& parent);
    void Describe(const TMenuItem& item, MENUITEMINFOW& info, std::wstring& text) const;

    TMenuItem& root_;
    const ShortCutTextFunction& shortCutText_;
    HMENU menu_;
    bool attached_ = true;
    // Each shown item with children, and its submenu.
    std::unordered_map<const TMenuItem*, HMENU> submenus_;
    // Whether each item was shown when the menu was last filled.
    std::unordered_map<const TMenuItem*, bool> shown_;
};

// The accelerator entry of a shortcut: low byte the virtual key, 0x2000
// Shift, 0x4000 Ctrl, 0x8000 Alt. False for a shortcut without a key.
bool AcceleratorOf(TShortCut shortCut, WORD command, ACCEL& accel);

}  // namespace kp::ui
