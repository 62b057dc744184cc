#include "shell/DRPCOMEX.h"

#include "base/Utf.h"
#include "shell/ShellItems.h"

namespace kp::shell {

using platform::IdList;
using platform::IdView;
using platform::PopupMenu;
using platform::ShellResult;
namespace code = platform::shellcode;

namespace {

constexpr uint32_t kPasteAttributes = 0x800F0177;
constexpr size_t kMaxItemText = 255;
constexpr int kShowNormal = 1;

std::vector<IdView> Views(const std::vector<IdList>& lists)
{
    std::vector<IdView> views;
    for (const IdList& list : lists) views.push_back(list.View());
    return views;
}

}  // namespace

bool UnpackSelection(platform::ShellAllocator* allocator, IdView selection, int count, std::vector<IdList>& out)
{
    out.clear();
    if (!allocator || !selection || count < 1 || count > menuid::kMaxSelection) return false;
    IdView at = selection;
    for (int i = 0; i < count; ++i) {
        if (!at || IDListSize(at) <= 2) break;
        IdList copy = CopyFirstID(allocator, at);
        if (!copy) break;
        out.push_back(std::move(copy));
        at = NextItemID(at);
    }
    if (static_cast<int>(out.size()) == count) return true;
    out.clear();
    return false;
}

int FindMenuItem(const PopupMenu& menu, const platform::Cp932Codec& codec, std::string_view marker, int position)
{
    for (int pos = 0; pos < menu.Count(); ++pos) {
        PopupMenu::Item item;
        if (!menu.GetItem(pos, item)) continue;
        if (item.state & (PopupMenu::kGrayed | PopupMenu::kDisabled | PopupMenu::kSeparator)) continue;
        std::string bytes = codec.FromUtf16(Utf8ToUtf16(item.text));
        if (bytes.size() > kMaxItemText) bytes.resize(kMaxItemText);
        const size_t found = bytes.find(marker);
        if (found != std::string::npos && static_cast<int>(found) + 1 == position) return pos + 1;
    }
    return -1;
}

TContextMenuEx::TContextMenuEx(platform::ShellNamespace* shell, const platform::Cp932Codec& codec,
                               ui::MessageDialogService& messages)
    : shell_(shell), codec_(codec), messages_(messages)
{
}

bool TContextMenuEx::Invoke(platform::ShellContextMenu& menu, platform::WindowRef owner, uint32_t id)
{
    if (platform::Succeeded(menu.InvokeCommand(owner, id - menuid::kFirst, kShowNormal))) return true;
    messages_.Show(kInvokeFailedText, kInvokeFailedCaption, ui::DialogKind::Information, ui::mbOK);
    return false;
}

bool TContextMenuEx::ShowMenu(platform::WindowRef owner, platform::ShellFolder* folder, int x, int y, int count,
                              IdView selection)
{
    if (!shell_ || !owner || !folder || !shell_->Desktop()) return false;
    std::vector<IdList> items;
    if (!UnpackSelection(shell_->Allocator(), selection, count, items)) return false;
    const std::vector<IdView> views = Views(items);

    std::unique_ptr<platform::ShellContextMenu> context;
    if (!platform::Succeeded(folder->GetContextMenu(owner, views, context)) || !context) return false;
    std::unique_ptr<PopupMenu> menu = shell_->CreatePopupMenu();
    if (!menu || !platform::Succeeded(context->QueryContextMenu(*menu, 0, menuid::kFirst, menuid::kLast,
                                                                menuid::kExploreFlag)))
        return false;
    bool sendTo = FillSendTo(*menu, owner);
    uint32_t id = menu->Track(menuid::kTrackFlags, x, y, owner);

    const uint32_t sendToLast = menuid::kSendToFirst + menuid::kSendToMax - 1;
    const bool inSendToRange = id >= menuid::kSendToFirst && id <= sendToLast;
    int sendToIndex = -1;
    if (sendTo && inSendToRange) {
        sendToIndex = static_cast<int>(id - menuid::kSendToFirst);
        id = menuid::kCopy;
    } else {
        sendTo = false;
        // No shell command has an id in the Send To range: a choice there
        // with Send To inactive carries out nothing.
        if (inSendToRange) id = 0;
    }
    bool result = id != 0 && Invoke(*context, owner, id);
    if (result && sendTo) result = SendToTarget(owner, sendToIndex);
    return result;
}

bool TContextMenuEx::FillSendTo(PopupMenu& menu, platform::WindowRef owner)
{
    int position = FindMenuItem(menu, codec_, "(&N)", 5);
    if (position == -1) position = FindMenuItem(menu, codec_, "(&T)", 5);
    if (position == -1) return false;
    PopupMenu* submenu = menu.Submenu(position - 1);
    platform::ShellFolder* desktop = shell_->Desktop();
    if (!submenu || !desktop) return false;

    IdList sendToList;
    if (!platform::Succeeded(shell_->SpecialFolderLocation(owner, platform::csidl::kSendTo, sendToList)) ||
        !sendToList)
        return false;
    WalkEnd end = WalkEnd::NotStarted;
    std::unique_ptr<platform::ShellFolder> sendToFolder;
    if (platform::Succeeded(desktop->BindToObject(sendToList.View(), sendToFolder)) && sendToFolder) {
        int entries = 0;
        end = ForEachChild(*sendToFolder, platform::enumflags::kNonFolders, [&](IdList child) {
            std::string name;
            GetDisplayName(*sendToFolder, child.View(), platform::nameform::kNormal, codec_, name);
            submenu->Append(name, menuid::kSendToFirst + static_cast<uint32_t>(entries));
            return ++entries < menuid::kSendToMax;
        });
    }
    sendToList.Reset();
    submenu->Delete(0);
    return end == WalkEnd::Finished;
}

bool TContextMenuEx::SendToTarget(platform::WindowRef owner, int index)
{
    platform::ShellFolder* desktop = shell_ ? shell_->Desktop() : nullptr;
    if (!desktop || index < 0) return false;
    IdList sendToList;
    if (!platform::Succeeded(shell_->SpecialFolderLocation(owner, platform::csidl::kSendTo, sendToList)) ||
        !sendToList)
        return false;
    std::unique_ptr<platform::ShellFolder> sendToFolder;
    if (!platform::Succeeded(desktop->BindToObject(sendToList.View(), sendToFolder)) || !sendToFolder) return false;
    IdList target;
    int at = 0;
    ForEachChild(*sendToFolder, platform::enumflags::kNonFolders, [&](IdList child) {
        if (at == index) {
            target = std::move(child);
            return false;
        }
        return ++at < menuid::kSendToMax;
    });
    if (!target) return false;
    return PasteIntoTarget(owner, *sendToFolder, target.View());
}

bool TContextMenuEx::PasteIntoTarget(platform::WindowRef owner, platform::ShellFolder& folder, IdView target)
{
    uint32_t attributes = kPasteAttributes;
    const IdView one[] = {target};
    if (folder.GetAttributesOf(one, attributes) != code::kOk) return false;
    std::unique_ptr<platform::ShellContextMenu> context;
    if (!platform::Succeeded(folder.GetContextMenu(owner, one, context)) || !context) return false;
    std::unique_ptr<PopupMenu> menu = shell_->CreatePopupMenu();
    if (!menu || !platform::Succeeded(context->QueryContextMenu(*menu, 0, menuid::kFirst, menuid::kLast,
                                                                menuid::kExploreFlag)))
        return false;
    if (FindMenuItem(*menu, codec_, "(&P)", 9) == -1) return false;
    return Invoke(*context, owner, menuid::kPaste);
}

// ---- Drag source -----------------------------------------------------------

uint32_t TDropSourceObject::AddRef() { return ++references_; }

uint32_t TDropSourceObject::Release()
{
    const uint32_t left = --references_;
    if (left == 0) delete this;
    return left;
}

ShellResult TDropSourceObject::QueryContinueDrag(bool escapePressed, uint32_t keyState)
{
    constexpr uint32_t kLeftButton = 0x1, kRightButton = 0x2;
    if (escapePressed) return code::kDragCancel;
    if (keyState & (kLeftButton | kRightButton)) return code::kOk;
    return code::kDragDrop;
}

ShellResult TDropSourceObject::GiveFeedback(uint32_t) { return code::kDragUseDefaultCursors; }

bool TDropSourceEx::StartDrag(platform::WindowRef owner, platform::ShellFolder* folder, int count, IdView selection)
{
    if (!shell_ || !owner || !folder) return false;
    std::vector<IdList> items;
    if (!UnpackSelection(shell_->Allocator(), selection, count, items)) return false;
    std::unique_ptr<platform::ShellDataObject> data;
    if (!platform::Succeeded(folder->GetDataObject(owner, Views(items), data)) || !data) return false;
    constexpr uint32_t kCopyMoveLink = 7;
    TDropSourceObject* source = TDropSourceObject::Create();
    uint32_t effect = 0;
    shell_->DoDragDrop(*data, *source, kCopyMoveLink, effect);
    source->Release();
    return true;
}

}  // namespace kp::shell
