#include "shell/ComboView.h"

#include "shell/FolderView.h"
#include "shell/ShellItems.h"

namespace kp::shell {

using platform::IdList;
using platform::IdView;
using platform::ShellFolder;

namespace {

bool HasIdentifier(IdView at) { return at && at.bound >= 2 && platform::ReadCb(at.bytes) != 0; }

}  // namespace

TComboView::TComboView(const ShellViewServices& services) : services_(services) { SetDropDownCount(8); }

TComboView::~TComboView()
{
    if (tree_) tree_->combo_ = nullptr;
}

void TComboView::SetFolderView(TFolderView* tree)
{
    if (tree_ == tree) return;
    if (tree_) tree_->combo_ = nullptr;
    if (tree && tree->combo_ && tree->combo_ != this) tree->combo_->tree_ = nullptr;
    tree_ = tree;
    if (tree) tree->combo_ = this;
}

void TComboView::Loaded()
{
    BuildList();
    SetItemIndex(Count() > 0 ? 0 : -1);
}

const TComboData* TComboView::DataAt(size_t position) const
{
    return position < Count() ? Data(position).As<TComboData>() : nullptr;
}

void TComboView::InsertEntry(size_t position, int level, IdView list)
{
    auto data = std::make_unique<TComboData>();
    data->list = ConcatIDLists(services_.shell->Allocator(), list, {});
    data->level = level;
    data->index = static_cast<int>(position);
    TComboData* record = data.get();
    Insert(position, std::string(), ui::TPayload::Own(std::move(data)));
    (toPath_ ? path_ : fixed_).push_back(record);
}

void TComboView::ClearEntries()
{
    fixed_.clear();
    path_.clear();
    Clear();
}

void TComboView::BuildList()
{
    platform::ShellNamespace* shell = services_.shell;
    toPath_ = false;
    ClearEntries();
    if (!shell || !shell->Desktop()) return;
    platform::ShellAllocator* allocator = shell->Allocator();
    IdList desktop;
    if (!platform::Succeeded(shell->SpecialFolderLocation(0, platform::csidl::kDesktop, desktop)) || !desktop) return;
    InsertEntry(0, 0, desktop.View());
    const uint32_t flags = platform::enumflags::kFolders | platform::enumflags::kIncludeHidden;
    ForEachChild(*shell->Desktop(), flags, [&](IdList child) {
        const IdList absolute = ConcatIDLists(allocator, desktop.View(), child.View());
        AddIDList(absolute.View());
        return true;
    });
    IdList drives;
    std::unique_ptr<ShellFolder> drivesFolder;
    if (platform::Succeeded(shell->SpecialFolderLocation(0, platform::csidl::kDrives, drives)) && drives &&
        platform::Succeeded(shell->Desktop()->BindToObject(drives.View(), drivesFolder)) && drivesFolder) {
        const WalkEnd end = ForEachChild(*drivesFolder, flags, [&](IdList child) {
            const IdList absolute = ConcatIDLists(allocator, drives.View(), child.View());
            AddIDList(absolute.View());
            return true;
        });
        if (end == WalkEnd::NotStarted) return;
    } else {
        return;
    }
    toPath_ = true;
}

size_t TComboView::AddIDList(IdView absolute)
{
    platform::ShellNamespace* shell = services_.shell;
    if (!shell || !shell->Desktop()) return 0;
    ShellFolder& desktop = *shell->Desktop();
    platform::ShellAllocator* allocator = shell->Allocator();
    int level = 1;
    size_t position = 1;
    IdList prefix;
    for (IdView at = absolute; HasIdentifier(at); at = NextItemID(at), ++level) {
        prefix = ConcatAndFree(allocator, std::move(prefix), CopyFirstID(allocator, at));
        if (!prefix) break;
        // The entries of this level under the parent's entry: from just after
        // it up to the first entry of a shallower level.
        bool found = false;
        for (size_t i = position; i < Count(); ++i) {
            const TComboData* entry = DataAt(i);
            if (!entry || entry->level < level) break;
            if (entry->level != level) continue;
            const int order = CompareIDLists(desktop, prefix.View(), entry->list.View());
            if (order == 0) {
                position = i + 1;
                found = true;
                break;
            }
            if (order > 0) position = i + 1;
        }
        if (!found) {
            InsertEntry(position, level, prefix.View());
            ++position;
        }
    }
    return position - 1;
}

void TComboView::RemovePathEntries()
{
    // In the reverse order of their making, each found where it is now.
    while (!path_.empty()) {
        const TComboData* record = path_.back();
        path_.pop_back();
        for (size_t i = 0; i < Count(); ++i)
            if (DataAt(i) == record) {
                Delete(i);
                break;
            }
    }
}

void TComboView::SelectIDList(IdView absolute)
{
    if (!absolute || !services_.shell || !services_.shell->Desktop()) return;
    RemovePathEntries();
    const TComboData* desktop = fixed_.empty() ? nullptr : fixed_.front();
    if (!desktop || CompareIDLists(*services_.shell->Desktop(), absolute, desktop->list.View()) != 0)
        SetItemIndex(static_cast<int>(AddIDList(absolute)));
    else
        SetItemIndex(0);
}

void TComboView::Change()
{
    TComboBox::Change();
    const TComboData* picked = ItemIndex() >= 0 ? DataAt(static_cast<size_t>(ItemIndex())) : nullptr;
    if (!tree_ || !picked || !services_.shell) return;
    // The tree's answer replaces the path entries, the picked one perhaps
    // among them: it gets a copy.
    const IdList list = ConcatIDLists(services_.shell->Allocator(), picked->list.View(), {});
    tree_->SelectIDList(list.View());
}

std::string TComboView::EntryName(size_t position) const
{
    const TComboData* entry = DataAt(position);
    platform::ShellNamespace* shell = services_.shell;
    if (!entry || !shell || !shell->Desktop()) return {};
    platform::ShellAllocator* allocator = shell->Allocator();
    const IdList parent = ParentIDList(allocator, entry->list.View());
    const IdList last = LastItemID(allocator, entry->list.View());
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* folder = shell->Desktop();
    if (parent && platform::Succeeded(folder->BindToObject(parent.View(), bound)) && bound) folder = bound.get();
    std::string name;
    GetDisplayName(*folder, last ? last.View() : entry->list.View(), platform::nameform::kInFolder, services_.codec,
                   name);
    return name;
}

void TComboView::DrawItem(size_t position, ui::TItemCanvas& canvas, const ui::TRect& rect,
                          const ui::TOwnerDrawState& state)
{
    if (OnDrawItem) {
        TComboBox::DrawItem(position, canvas, rect, state);
        return;
    }
    canvas.FillRect(rect);
    const TComboData* entry = DataAt(position);
    if (!entry || !services_.shell || (!DroppedDown() && !state.comboEdit)) return;
    const int x = state.comboEdit ? rect.left + 1 : rect.left + entry->level * 10;
    uint32_t flags = platform::fileinfo::kIcon | platform::fileinfo::kSmallIcon | platform::fileinfo::kPidl;
    if (state.selected) flags |= platform::fileinfo::kOpenIcon;
    platform::ShellFileInfo info;
    const int icon = services_.shell->GetFileInfo(entry->list.View(), flags, info) ? info.iconIndex : -1;
    const int side = ItemHeight();
    canvas.TextAt(x + side + 3, rect.top, EntryName(position));
    if (icon >= 0) canvas.DrawImage(services_.shell->SystemImageList(true), icon, {x, rect.top, x + side, rect.top + side});
}

}  // namespace kp::shell
