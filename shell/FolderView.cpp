#include "shell/FolderView.h"

#include "base/Utf.h"
#include "shell/ComboView.h"
#include "shell/DRPCOMEX.h"
#include "shell/FileView.h"
#include "shell/ShellItems.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace kp::shell {

using platform::IdList;
using platform::IdView;
using platform::ShellFolder;
using ui::TTreeNode;

namespace {

ui::TPayload OwnList(IdList list) { return ui::TPayload::Own(std::make_unique<IdList>(std::move(list))); }

bool HasIdentifier(IdView at) { return at && at.bound >= 2 && platform::ReadCb(at.bytes) != 0; }

}  // namespace

// ---- Names and paths --------------------------------------------------------------

bool IsAcceptableName(std::string_view name)
{
    if (name.empty()) return false;
    const std::u16string wide = Utf8ToUtf16(name);
    if (wide.empty() || wide.size() > kMaxNameUnits) return false;
    for (const char16_t c : wide)
        if (c < 0x20 || c == 0x7F || std::u16string_view(u"\\/:*?\"<>|").find(c) != std::u16string_view::npos)
            return false;
    return true;
}

bool FitsPathLimit(std::string_view path) { return Utf8ToUtf16(path).size() <= kMaxNameUnits; }

// ---- The folder tree ----------------------------------------------------------------

TFolderView::TFolderView(const ShellViewServices& services) : services_(services) { SetShowRoot(false); }

TFolderView::~TFolderView()
{
    if (fileView_) fileView_->tree_ = nullptr;
    if (combo_) combo_->tree_ = nullptr;
    ui::TFlagScope busy(busy_);
    Clear();
}

void TFolderView::SetFileView(TFileView* view)
{
    if (fileView_ == view) return;
    if (fileView_) fileView_->tree_ = nullptr;
    if (view && view->tree_ && view->tree_ != this) view->tree_->fileView_ = nullptr;
    fileView_ = view;
    if (view) view->tree_ = this;
}

void TFolderView::SetContextMenu(TContextMenuEx* menu)
{
    contextMenu_ = menu;
    if (menu) SetRightClickSelect(true);
}

void TFolderView::SetDropSource(TDropSourceEx* source)
{
    dropSource_ = source;
    if (source) SetRightClickSelect(true);
}

void TFolderView::CreateWnd()
{
    if (services_.shell) SetImages(services_.shell->SystemImageList(true));
}

void TFolderView::Loaded()
{
    if (contextMenu_) SetRightClickSelect(true);
    RebuildTree();
}

IdView TFolderView::NodeID(const TTreeNode* node)
{
    if (!node) return {};
    const auto* list = node->Data().As<IdList>();
    return list && *list ? list->View() : IdView{};
}

IdList TFolderView::NodeIDList(const TTreeNode* node) const
{
    if (!node || !services_.shell) return {};
    std::vector<const TTreeNode*> chain;
    for (const TTreeNode* n = node; n; n = n->Parent()) chain.push_back(n);
    platform::ShellAllocator* allocator = services_.shell->Allocator();
    IdList result = ConcatIDLists(allocator, {}, {});
    for (auto it = chain.rbegin(); it != chain.rend() && result; ++it)
        result = ConcatIDLists(allocator, result.View(), NodeID(*it));
    return result;
}

std::string TFolderView::NameOf(ShellFolder& folder, IdView list, uint32_t form) const
{
    std::string text;
    GetDisplayName(folder, list, form, services_.codec, text);
    return text;
}

ShellFolder* TFolderView::FolderOf(const TTreeNode* node, std::unique_ptr<ShellFolder>& bound)
{
    if (!node || !services_.shell || !services_.shell->Desktop()) return nullptr;
    ShellFolder* desktop = services_.shell->Desktop();
    if (node->Level() == 0) return desktop;
    const IdList list = NodeIDList(node);
    if (!list || !platform::Succeeded(desktop->BindToObject(list.View(), bound))) return nullptr;
    return bound.get();
}

ShellFolder* TFolderView::ContainerOf(const TTreeNode* node, std::unique_ptr<ShellFolder>& bound)
{
    if (!node || !services_.shell || !services_.shell->Desktop()) return nullptr;
    if (node->Level() < 2) return services_.shell->Desktop();
    return FolderOf(node->Parent(), bound);
}

void TFolderView::SetNodeIcons(TTreeNode& node)
{
    using namespace platform::fileinfo;
    const IdList list = NodeIDList(&node);
    node.SetImageIndex(GetIconIndex(*services_.shell, list.View(), kSysIconIndex | kSmallIcon));
    node.SetSelectedIndex(GetIconIndex(*services_.shell, list.View(), kSysIconIndex | kSmallIcon | kOpenIcon));
}

void TFolderView::GetImageIndex(TTreeNode& node)
{
    ui::PostingService* posting = Display() ? Display()->Posting() : nullptr;
    // Only the nodes a read in pieces opened wait for their icons: each
    // later drawing of the selected node reports the tree's path to the
    // window again, which would overwrite a path chosen in the list since,
    // so ordinary drawing (the tree's first showing among it) asks at once.
    if (services_.shell && posting && deferIcons_ && &node != Selected()) {
        // The system's icons take milliseconds each: a paint of many new
        // nodes draws them without one, and they come between messages.
        if (iconQueue_.empty())
            posting->Post([this, token = std::weak_ptr<char>(alive_)] {
                if (token.lock()) IconPiece();
            });
        iconQueue_.push_back(&node);
        node.SetImageIndex(ui::kNoImage);
        node.SetSelectedIndex(ui::kNoImage);
    } else if (services_.shell) {
        SetNodeIcons(node);
    }
    TTreeView::GetImageIndex(node);
}

void TFolderView::IconPiece()
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    while (!iconQueue_.empty() && Clock::now() - start < std::chrono::milliseconds(30)) {
        TTreeNode* node = iconQueue_.front();
        iconQueue_.erase(iconQueue_.begin());
        try {
            SetNodeIcons(*node);
        } catch (...) {
            // A shell that gives no icon for one node gives none for the
            // others either: one failure, and they stay without.
            iconQueue_.clear();
            throw;
        }
    }
    ui::PostingService* posting = Display() ? Display()->Posting() : nullptr;
    if (iconQueue_.empty()) deferIcons_ = false;
    if (!iconQueue_.empty() && posting)
        posting->Post([this, token = std::weak_ptr<char>(alive_)] {
            if (token.lock()) IconPiece();
        });
}

void TFolderView::RebuildTree()
{
    platform::ShellNamespace* shell = services_.shell;
    if (busy_ || !shell || !shell->Desktop()) return;
    IdList desktopList;
    if (!platform::Succeeded(shell->SpecialFolderLocation(window_.window, platform::csidl::kDesktop, desktopList)) ||
        !desktopList)
        return;
    std::string name;
    if (!GetDisplayName(*shell->Desktop(), desktopList.View(), platform::nameform::kInFolder, services_.codec, name))
        return;
    {
        ui::TUpdateScope<ui::TTreeView> update(*this);
        {
            ui::TFlagScope busy(busy_);
            Clear();
        }
        TTreeNode* root = Add(nullptr, std::move(name), OwnList(std::move(desktopList)));
        SetNodeIcons(*root);
        {
            // The links hear of the root once, below, after its children.
            ui::TFlagScope busy(busy_);
            Select(root);
        }
        FillChildren(root);
        if (Selected()) Expand(*Selected());
    }
    NotifyLinks(Selected());
}

// ---- Reading children ---------------------------------------------------------------

// A node's children as they are read: the folder and its walk, and what was
// read so far, kept in the shell's order.
struct TFolderView::ChildRead {
    struct Child {
        IdList id;
        std::string text;
        bool hasSubfolders = false;
        int open = ui::kImageCallback;
        int closed = ui::kImageCallback;
    };
    TFolderView* owner = nullptr;
    TTreeNode* node = nullptr;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* folder = nullptr;
    std::unique_ptr<platform::ShellEnum> walk;
    bool shellIcons = false;
    ui::PostingService* posting = nullptr;  // where its pieces run
    std::vector<Child> children;
    bool walked = false;  // every child is read
    size_t added = 0;     // children already added to the node (closed meanwhile)
};

std::unique_ptr<TFolderView::ChildRead> TFolderView::StartRead(TTreeNode& node)
{
    auto read = std::make_unique<ChildRead>();
    read->owner = this;
    read->node = &node;
    read->folder = FolderOf(&node, read->bound);
    if (!read->folder ||
        !platform::Succeeded(read->folder->EnumObjects(
            platform::enumflags::kFolders | platform::enumflags::kIncludeHidden, read->walk)))
        return nullptr;
    read->shellIcons = read->folder->HasShellIcon();
    return read;
}

bool TFolderView::ReadChildren(ChildRead& read, size_t count, bool timed)
{
    using Clock = std::chrono::steady_clock;
    constexpr auto kPieceTime = std::chrono::milliseconds(30);
    const auto start = timed ? Clock::now() : Clock::time_point{};
    ShellFolder& folder = *read.folder;
    for (size_t n = 0; n < count; ++n) {
        IdList id;
        if (!read.walk || read.walk->Next(id) != platform::shellcode::kOk || !id) {
            read.walk.reset();
            read.walked = true;
            return false;
        }
        ChildRead::Child child;
        const IdView view = id.View();
        child.text = NameOf(folder, view, platform::nameform::kInFolder);
        uint32_t bits = platform::attr::kHasSubfolder;
        child.hasSubfolders = platform::Succeeded(folder.GetAttributesOf({&view, 1}, bits)) &&
                              (bits & platform::attr::kHasSubfolder) != 0;
        int open = -1, closed = -1;
        if (read.shellIcons && platform::Succeeded(folder.GetIconOf(view, 1, open)) &&
            platform::Succeeded(folder.GetIconOf(view, 2, closed)) && open >= 0 && closed >= 0) {
            child.open = open;
            child.closed = closed;
        }
        // The shell's order as the children come: each goes after those
        // that compare equal to it, as a stable sort would place it.
        const auto at = std::upper_bound(read.children.begin(), read.children.end(), view,
                                         [&folder](IdView x, const ChildRead::Child& y) {
                                             return CompareIDLists(folder, x, y.id.View()) < 0;
                                         });
        child.id = std::move(id);
        read.children.insert(at, std::move(child));
        if (timed && Clock::now() - start >= kPieceTime) break;
    }
    return true;
}

bool TFolderView::AddChildren(ChildRead& read, size_t count)
{
    TTreeNode* node = read.node;
    // Without an icon from the folder the system's is asked for when the
    // node is drawn: it is slow to ask.
    for (; read.added < read.children.size() && count > 0; ++read.added, --count) {
        ChildRead::Child& child = read.children[read.added];
        Add(node, std::move(child.text), OwnList(std::move(child.id)),
            {child.closed, child.open, child.hasSubfolders});
    }
    if (read.added < read.children.size()) return false;
    if (read.children.empty()) node->SetHasChildren(false);
    return true;
}

void TFolderView::ForgetRead(const std::shared_ptr<ChildRead>& read)
{
    // Children already added stay, and so do the rest: the node is never
    // left with part of them.
    if (read->added > 0) {
        ui::TFlagScope busy(busy_);
        AddChildren(*read, SIZE_MAX);
    }
}

bool TFolderView::Reading(const TTreeNode* node) const
{
    return std::any_of(reads_.begin(), reads_.end(), [node](const auto& read) { return read->node == node; });
}

std::shared_ptr<TFolderView::ChildRead> TFolderView::TakeRead(const TTreeNode* node)
{
    const auto found =
        std::find_if(reads_.begin(), reads_.end(), [node](const auto& read) { return read->node == node; });
    if (found == reads_.end()) return nullptr;
    std::shared_ptr<ChildRead> read = std::move(*found);
    reads_.erase(found);
    return read;
}

void TFolderView::ForgetReadsUnder(const TTreeNode* node)
{
    std::vector<std::shared_ptr<ChildRead>> forgotten;
    std::erase_if(reads_, [&](const auto& read) {
        for (const TTreeNode* n = read->node; n; n = n->Parent())
            if (n == node) {
                forgotten.push_back(read);
                return true;
            }
        return false;
    });
    for (const auto& read : forgotten) ForgetRead(read);
}

void TFolderView::DisplayChanged()
{
    // The pieces went with the old display's posted work.
    std::vector<std::shared_ptr<ChildRead>> forgotten = std::move(reads_);
    reads_.clear();
    for (const auto& read : forgotten) ForgetRead(read);
    // Icons not asked yet are asked when the new display draws the nodes.
    for (TTreeNode* node : std::exchange(iconQueue_, {})) {
        node->SetImageIndex(ui::kImageCallback);
        node->SetSelectedIndex(ui::kImageCallback);
    }
}

void TFolderView::PostPiece(const std::shared_ptr<ChildRead>& read)
{
    // A read forgotten meanwhile (or gone with the tree) is not continued.
    read->posting->Post([token = std::weak_ptr<ChildRead>(read)] {
        if (std::shared_ptr<ChildRead> alive = token.lock()) alive->owner->RunPiece(alive);
    });
}

void TFolderView::RunPiece(const std::shared_ptr<ChildRead>& read)
{
    // Pending only while it is listed: a read finished at once or forgotten
    // is no more.
    if (std::find(reads_.begin(), reads_.end(), read) == reads_.end()) return;
    if (busy_) {
        // A fill is under way (its shell call shows a box): later.
        PostPiece(read);
        return;
    }
    if (!read->walked) {
        try {
            ReadChildren(*read, kChildrenPerPiece, true);
        } catch (...) {
            TakeRead(read->node);
            throw;
        }
        PostPiece(read);
        return;
    }
    // The children go into the closed node a piece at a time, which shows
    // nothing; the last piece opens it.
    if (read->children.size() - read->added > kNodesPerPiece) {
        ui::TFlagScope busy(busy_);
        AddChildren(*read, kNodesPerPiece);
        PostPiece(read);
        return;
    }
    TakeRead(read->node);
    TTreeNode* node = read->node;
    // One visible change: the last children, then the node opened; their
    // icons follow between messages.
    deferIcons_ = true;
    ui::THourGlassScope hourGlass;
    ui::TUpdateScope<ui::TTreeView> update(*this);
    {
        ui::TFlagScope busy(busy_);
        AddChildren(*read, SIZE_MAX);
    }
    if (node->Count() > 0) Expand(*node);
}

void TFolderView::FillChildren(TTreeNode* node)
{
    if (busy_ || !node || !NodeID(node)) return;
    // A read in pieces of the node is finished here.
    std::shared_ptr<ChildRead> read = TakeRead(node);
    if (!read) read = StartRead(*node);
    if (!read) {
        Select(current_);
        return;
    }
    ui::THourGlassScope hourGlass;
    ui::TUpdateScope<ui::TTreeView> update(*this);
    ui::TFlagScope busy(busy_);
    ReadChildren(*read, SIZE_MAX, false);
    AddChildren(*read, SIZE_MAX);
}

bool TFolderView::CanExpand(TTreeNode& node)
{
    // A node being read may hold part of its children already.
    if (Reading(&node) || (node.HasChildren() && node.Count() == 0)) {
        ui::PostingService* posting = Display() ? Display()->Posting() : nullptr;
        if (UserExpansion() && posting && !busy_ && NodeID(&node)) {
            // The node opens once its children are read.
            if (std::any_of(reads_.begin(), reads_.end(),
                            [&](const auto& read) { return read->node == &node && read->posting == posting; }))
                return false;
            if (!Reading(&node)) {
                std::unique_ptr<ChildRead> started = StartRead(node);
                if (!started) {
                    Select(current_);
                    return false;
                }
                started->posting = posting;
                reads_.push_back(std::move(started));
                PostPiece(reads_.back());
                return false;
            }
            // A read whose pieces went with another display: finished here.
        }
        FillChildren(&node);
        // Nothing read (the folder could not be listed): the button stays
        // for another try, the node stays closed.
        if (node.Count() == 0) return false;
    }
    return TTreeView::CanExpand(node);
}

bool TFolderView::CanCollapse(TTreeNode& node)
{
    if (!TTreeView::CanCollapse(node)) return false;
    // What is read below a node closed is no longer wanted.
    ForgetReadsUnder(&node);
    return true;
}

bool TFolderView::CanEdit(TTreeNode& node) { return node.Level() != 0 && TTreeView::CanEdit(node); }

void TFolderView::Change(TTreeNode* node)
{
    TTreeView::Change(node);
    previous_ = current_;
    current_ = node;
    NotifyLinks(node);
}

void TFolderView::NotifyLinks(TTreeNode* node)
{
    if (!node || busy_) return;
    const IdList list = NodeIDList(node);
    if (!list) return;
    if (fileView_) {
        fileView_->OpenFolder(list.View());
        // A list that fell back has had the links told of the other node.
        if (Selected() != node) return;
    }
    if (combo_) combo_->SelectIDList(list.View());
}

void TFolderView::FallBack()
{
    if (fallingBack_) return;
    ui::TFlagScope fallingBack(fallingBack_);
    Select(previous_);
}

TTreeNode* TFolderView::FindChild(TTreeNode* node, IdView child)
{
    if (!node || !NodeID(node) || !child) return nullptr;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* folder = FolderOf(node, bound);
    if (!folder) return nullptr;
    Expand(*node);
    for (size_t i = 0; i < node->Count(); ++i)
        if (CompareIDLists(*folder, NodeID(node->Item(i)), child) == 0) return node->Item(i);
    return nullptr;
}

TTreeNode* TFolderView::FindNode(IdView absolute)
{
    if (Count() == 0 || !absolute || !services_.shell) return nullptr;
    TTreeNode* node = Item(0);
    Expand(*node);
    for (IdView at = absolute; node && HasIdentifier(at); at = NextItemID(at)) {
        const IdList first = CopyFirstID(services_.shell->Allocator(), at);
        node = FindChild(node, first.View());
    }
    return node;
}

std::string TFolderView::SelectedPath()
{
    if (!Selected() || !services_.shell || !services_.shell->Desktop()) return {};
    const IdList list = NodeIDList(Selected());
    if (!list) return {};
    return NameOf(*services_.shell->Desktop(), list.View(), platform::nameform::kForParsing);
}

void TFolderView::SetSelectedPath(std::string_view path)
{
    if (!services_.shell || !services_.shell->Desktop() || !FitsPathLimit(path)) return;
    IdList list;
    if (!platform::Succeeded(services_.shell->Desktop()->ParseDisplayName(path, list)) || !list) return;
    Select(FindNode(list.View()));
}

void TFolderView::SelectChild(IdView child)
{
    ui::TUpdateScope<ui::TTreeView> update(*this);
    Select(FindChild(Selected(), child));
}

void TFolderView::SelectIDList(IdView absolute)
{
    ui::TUpdateScope<ui::TTreeView> update(*this);
    Select(FindNode(absolute));
}

void TFolderView::RenameChild(IdView oldChild, IdView newChild)
{
    TTreeNode* node = FindChild(Selected(), oldChild);
    if (!node) return;
    std::unique_ptr<ShellFolder> bound;
    if (ShellFolder* folder = FolderOf(Selected(), bound))
        node->SetText(NameOf(*folder, newChild, platform::nameform::kNormal));
    node->Data() = OwnList(CopyFirstID(services_.shell->Allocator(), newChild));
    if (combo_) {
        const IdList list = NodeIDList(Selected());
        combo_->SelectIDList(list.View());
    }
}

void TFolderView::Edit(TTreeNode& node, const std::string& text)
{
    TTreeView::Edit(node, text);
    const IdView id = NodeID(&node);
    if (!id) return;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* container = ContainerOf(&node, bound);
    if (!container) return;
    IdList renamed;
    if (IsAcceptableName(text) &&
        platform::Succeeded(container->SetNameOf(window_.window, id, text, platform::nameform::kNormal, &renamed)) &&
        renamed) {
        node.Data() = OwnList(std::move(renamed));
        node.SetText(NameOf(*container, NodeID(&node), platform::nameform::kNormal));
        // The list and the combo show the folder (or one inside it) under its
        // new name.
        NotifyLinks(Selected());
        return;
    }
    node.SetText(NameOf(*container, id, platform::nameform::kNormal));
}

void TFolderView::MouseUp(ui::TMouseButton button, int x, int y, TTreeNode* node)
{
    TTreeView::MouseUp(button, x, y, node);
    if (!contextMenu_ || button != ui::TMouseButton::mbRight || !node || node->Level() == 0) return;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* container = ContainerOf(node, bound);
    if (!container) return;
    window_.ToScreen(x, y);
    contextMenu_->ShowMenu(window_.window, container, x, y, 1, NodeID(node));
}

void TFolderView::MouseDown(ui::TMouseButton button, int x, int y, TTreeNode* node)
{
    TTreeView::MouseDown(button, x, y, node);
    if (!dropSource_ || button != ui::TMouseButton::mbLeft || !node || node->Level() == 0) return;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* container = ContainerOf(node, bound);
    if (!container) return;
    dropSource_->StartDrag(window_.window, container, 1, NodeID(node));
}

void TFolderView::Deletion(TTreeNode& node)
{
    std::erase_if(reads_, [&node](const auto& read) { return read->node == &node; });
    std::erase(iconQueue_, &node);
    if (current_ == &node) current_ = nullptr;
    if (previous_ == &node) previous_ = nullptr;
    node.Data().Reset();
    if (OnDeleting) OnDeleting(*this, node);
}

}  // namespace kp::shell
