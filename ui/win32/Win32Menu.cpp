#include "ui/win32/Win32Menu.h"

#include "ui/win32/Win32Common.h"

namespace kp::ui {

namespace {

bool HasChildren(const TMenuItem& item) { return item.Count() > 0; }

// Position of a shown item among its shown siblings.
UINT ShownPosition(const TMenuItem& item)
{
    const TMenuItem* parent = item.Parent();
    UINT position = 0;
    for (size_t i = 0; i < parent->Count() && parent->Item(i) != &item; ++i)
        if (parent->Item(i)->Visible()) ++position;
    return position;
}

void Clear(HMENU menu)
{
    // DeleteMenu destroys the submenus too.
    for (int count = GetMenuItemCount(menu); count > 0; --count) DeleteMenu(menu, 0, MF_BYPOSITION);
}

}  // namespace

bool AcceleratorOf(TShortCut shortCut, WORD command, ACCEL& accel)
{
    const BYTE key = static_cast<BYTE>(shortCut & 0xFF);
    if (key == 0) return false;
    accel.fVirt = FVIRTKEY;
    if (shortCut & scShift) accel.fVirt |= FSHIFT;
    if (shortCut & scCtrl) accel.fVirt |= FCONTROL;
    if (shortCut & scAlt) accel.fVirt |= FALT;
    accel.key = key;
    accel.cmd = command;
    return true;
}

Win32Menu::Win32Menu(TMenuItem& root, Kind kind, const ShortCutTextFunction& shortCutText)
    : root_(root), shortCutText_(shortCutText),
      menu_(kind == Kind::Bar ? CreateMenu() : CreatePopupMenu())
{
    Fill(menu_, root_);
    root_.SetObserver(this);
}

Win32Menu::~Win32Menu()
{
    if (menu_) DestroyMenu(menu_);
}

void Win32Menu::Detach()
{
    if (attached_) root_.SetObserver(nullptr);
    attached_ = false;
}

void Win32Menu::Rebuild()
{
    Clear(menu_);
    submenus_.clear();
    shown_.clear();
    Fill(menu_, root_);
    if (OnChanged) OnChanged();
}

std::wstring Win32Menu::TextOf(const TMenuItem& item) const
{
    std::wstring text = WideText(item.Caption());
    if (item.ShortCut() != 0 && shortCutText_) {
        const std::string shortCut = shortCutText_(item.ShortCut());
        if (!shortCut.empty()) text += L"\t" + WideText(shortCut);
    }
    return text;
}

void Win32Menu::Describe(const TMenuItem& item, MENUITEMINFOW& info, std::wstring& text) const
{
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
    if (item.IsSeparator()) {
        info.fType = MFT_SEPARATOR;
        info.fMask &= ~MIIM_STRING;
    } else {
        text = TextOf(item);
        info.fType = MFT_STRING;
        info.dwTypeData = text.data();
    }
    info.fState = (item.Checked() ? MFS_CHECKED : MFS_UNCHECKED) | (item.Enabled() ? MFS_ENABLED : MFS_GRAYED);
}

void Win32Menu::Fill(HMENU menu, TMenuItem& parent)
{
    UINT position = 0;
    for (size_t i = 0; i < parent.Count(); ++i) {
        TMenuItem& item = *parent.Item(i);
        shown_[&item] = item.Visible();
        if (!item.Visible()) continue;
        MENUITEMINFOW info{};
        std::wstring text;
        Describe(item, info, text);
        info.fMask |= MIIM_ID;
        info.wID = static_cast<UINT>(item.Id());
        if (HasChildren(item) && !item.IsSeparator()) {
            HMENU submenu = CreatePopupMenu();
            Fill(submenu, item);
            info.fMask |= MIIM_SUBMENU;
            info.hSubMenu = submenu;
            submenus_[&item] = submenu;
        }
        InsertMenuItemW(menu, position++, TRUE, &info);
    }
}

void Win32Menu::ItemChanged(TMenuItem& item)
{
    const auto shown = shown_.find(&item);
    if (shown == shown_.end()) {
        // The root, or an item inside a hidden submenu: nothing shows it,
        // but its shortcut may still count.
        if (OnChanged) OnChanged();
        return;
    }
    if (shown->second != item.Visible()) {
        Rebuild();
        return;
    }
    if (item.Visible()) {
        const TMenuItem* parent = item.Parent();
        const HMENU menu = parent == &root_ ? menu_ : submenus_.at(parent);
        MENUITEMINFOW info{};
        std::wstring text;
        Describe(item, info, text);
        SetMenuItemInfoW(menu, ShownPosition(item), TRUE, &info);
    }
    if (OnChanged) OnChanged();
}

void Win32Menu::ItemsChanged(TMenuItem&)
{
    // A parent that gains its first child becomes a submenu, so the levels
    // above change too: the whole menu is filled again.
    Rebuild();
}

TMenuItem* Win32Menu::FindCommand(int command) const
{
    TMenuItem* found = nullptr;
    root_.ForEach([&](TMenuItem& item) {
        if (!found && !HasChildren(item) && (item.Id() & 0xFFFF) == (command & 0xFFFF)) found = &item;
    });
    return found;
}

void Win32Menu::AppendAccelerators(std::vector<ACCEL>& table) const
{
    root_.ForEach([&](TMenuItem& item) {
        ACCEL accel{};
        if (!HasChildren(item) && AcceleratorOf(item.ShortCut(), static_cast<WORD>(item.Id()), accel))
            table.push_back(accel);
    });
}

}  // namespace kp::ui
