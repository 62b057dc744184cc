#include "shell/FileView.h"

#include "base/Utf.h"
#include "settings/DateTimeFormat.h"
#include "shell/DRPCOMEX.h"
#include "shell/FolderView.h"
#include "shell/ShellItems.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kp::shell {

using platform::IdList;
using platform::IdView;
using platform::ShellFolder;
using ui::TListItem;

// An item's identifier, and its place in a text column's order during a
// sort.
struct TFileView::ItemData {
    IdList id;
    uint32_t rank = 0;
};

// The fill's bracket: directions reset, hourglass, update bracket, the list
// style while filling; the destructor restores style, bracket and cursor on
// every way out.
class TFileView::FillScope {
public:
    explicit FillScope(TFileView& view) : view_(view), update_(view), style_(view.ViewStyle())
    {
        view_.SetViewStyle(ui::TViewStyle::vsList);
    }
    ~FillScope() { view_.SetViewStyle(style_); }

private:
    TFileView& view_;
    ui::THourGlassScope hourGlass_;
    ui::TUpdateScope<ui::TListView> update_;
    ui::TViewStyle style_;
};

namespace {

// The extension of a path's last segment, dot included ("" without one).
std::string_view ExtensionOf(std::string_view path)
{
    const size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string AsciiUpper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

}  // namespace

TFileView::TFileView(const ShellViewServices& services) : services_(services) {}

TFileView::~TFileView()
{
    if (tree_) tree_->fileView_ = nullptr;
}

void TFileView::CreateWnd()
{
    std::vector<ui::TListColumn> columns = Columns();
    columns.resize(std::max<size_t>(columns.size(), 4));
    columns[0] = {"名前", 120, ui::TAlignment::taLeftJustify};
    columns[1] = {"ｻｲｽﾞ", 60, ui::TAlignment::taRightJustify};
    columns[2] = {"ﾌｧｲﾙの種類", 120, ui::TAlignment::taLeftJustify};
    columns[3] = {"更新日時", 120, ui::TAlignment::taLeftJustify};
    SetColumns(std::move(columns));
    if (services_.shell) SetImages(services_.shell->SystemImageList(false), services_.shell->SystemImageList(true));
}

void TFileView::Loaded()
{
    loading_ = false;
    if (folder_) FillList();
}

IdView TFileView::ItemID(const TListItem* item)
{
    if (!item) return {};
    const auto* data = item->Data().As<ItemData>();
    return data && data->id ? data->id.View() : IdView{};
}

std::string TFileView::NameOf(IdView child, uint32_t form) const
{
    std::string text;
    if (folder_) GetDisplayName(*folder_, child, form, services_.codec, text);
    return text;
}

void TFileView::FallBack()
{
    if (tree_) tree_->FallBack();
}

void TFileView::OpenFolder(IdView absolute)
{
    platform::ShellNamespace* shell = services_.shell;
    if (!absolute || !shell || !shell->Desktop()) return;
    IdList list = ConcatIDLists(shell->Allocator(), absolute, {});
    if (!list) return;
    std::unique_ptr<ShellFolder> bound;
    ShellFolder* target = nullptr;
    if (platform::Succeeded(shell->Desktop()->BindToObject(list.View(), bound)) && bound)
        target = bound.get();
    else if (IDListSize(list.View()) == 2)
        target = shell->Desktop();  // the desktop's own list binds to nothing
    if (!target) {
        // The old folder and its items stay; the tree goes back to them.
        FallBack();
        return;
    }
    std::unique_ptr<platform::ShellEnum> walk;
    if (!loading_) {
        const uint32_t flags =
            platform::enumflags::kFolders | platform::enumflags::kNonFolders | platform::enumflags::kIncludeHidden;
        if (!platform::Succeeded(target->EnumObjects(flags, walk))) {
            FallBack();
            return;
        }
    }
    // Only now that the new folder lists are the old ones let go.
    folderList_ = std::move(list);
    ownedFolder_ = std::move(bound);
    folder_ = target;
    if (!loading_) Fill(walk.get());
}

void TFileView::FillList()
{
    if (!folder_) return;
    std::unique_ptr<platform::ShellEnum> walk;
    const uint32_t flags =
        platform::enumflags::kFolders | platform::enumflags::kNonFolders | platform::enumflags::kIncludeHidden;
    if (!platform::Succeeded(folder_->EnumObjects(flags, walk))) {
        FallBack();
        return;
    }
    Fill(walk.get());
}

bool TFileView::MaskAccepts(std::string_view path) const
{
    const std::string_view extension = ExtensionOf(path);
    if (extension.empty()) return false;
    for (const std::string& entry : mask_)
        if (services_.locale.EqualIgnoreCase(extension, entry)) return true;
    return false;
}

std::string TFileView::SizeText(uint64_t bytes)
{
    char text[32];
    std::snprintf(text, sizeof text, "%8llu%s", static_cast<unsigned long long>(bytes / 1024 + 1), "KB");
    return text;
}

std::string TFileView::DateText(uint64_t fileTime)
{
    // The text shows minutes, and zones and their changes move by whole
    // minutes: files written in the same minute share one text.
    constexpr uint64_t kTicksPerMinute = 60 * 10000000ull;
    const uint64_t minute = fileTime / kTicksPerMinute;
    if (const auto known = dateTexts_.find(minute); known != dateTexts_.end()) return known->second;
    platform::LocalTime local{};
    std::string text;
    if (services_.clock.FileTimeToLocal(fileTime, local)) {
        const std::string bytes = settings::FormatDateTime("yy/mm/dd hh:nn", local, services_.dates, services_.codec);
        const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        text = ascii ? bytes : Utf16ToUtf8(services_.codec.ToUtf16(bytes));
    }
    dateTexts_.emplace(minute, text);
    return text;
}

std::string TFileView::CutTypeName(std::string_view name)
{
    constexpr size_t kMaxBytes = 80;
    const std::u16string wide = Utf8ToUtf16(name);
    size_t bytes = 0, units = 0;
    while (units < wide.size()) {
        const char16_t c = wide[units];
        const bool surrogate = c >= 0xD800 && c <= 0xDBFF && units + 1 < wide.size();
        // One byte for ASCII and half-width katakana, two for the rest (a
        // character outside the code page becomes one of two bytes or "?").
        const size_t width = c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
        if (bytes + width > kMaxBytes) break;
        bytes += width;
        units += surrogate ? 2 : 1;
    }
    return Utf16ToUtf8(std::u16string_view(wide).substr(0, units));
}

std::string TFileView::TypeNameOf(IdView child, std::string_view path, bool folder)
{
    std::string key;
    if (!folder) {
        key = AsciiUpper(ExtensionOf(path));
        if (!key.empty()) {
            const auto found = typeNames_.find(key);
            if (found != typeNames_.end()) return found->second;
        }
    }
    platform::ShellFileInfo info;
    ++typeNameQueries_;
    std::string name;
    // The absolute list is made only when the shell is asked.
    const IdList absolute = ConcatIDLists(services_.shell->Allocator(), folderList_.View(), child);
    if (services_.shell->GetFileInfo(absolute.View(), platform::fileinfo::kTypeName | platform::fileinfo::kPidl, info))
        name = CutTypeName(info.typeName);
    if (!key.empty()) typeNames_.emplace(key, name);
    return name;
}

void TFileView::Fill(platform::ShellEnum* walk)
{
    using namespace platform;
    sortDirections_ = {1, 1, 1, 1};
    dateTexts_.clear();
    FillScope scope(*this);
    Clear();
    ShellNamespace& shell = *services_.shell;
    while (walk) {
        IdList child;
        if (walk->Next(child) != shellcode::kOk || !child) break;
        const IdView view = child.View();
        uint32_t bits = attr::kFolder | attr::kLink;
        if (!Succeeded(folder_->GetAttributesOf({&view, 1}, bits))) bits = 0;
        const bool isFolder = (bits & attr::kFolder) != 0;
        std::string path;
        if (!mask_.empty() && !isFolder) {
            path = NameOf(view, nameform::kForParsing);
            if (!MaskAccepts(path)) continue;
        }
        std::string caption = NameOf(view, nameform::kInFolder);
        std::string sizeText, dateText;
        ShellFindData found;
        const bool foundData = shell.GetFindData(*folder_, view, found);
        if (foundData) {
            sizeText = SizeText(found.size);
            dateText = DateText(found.lastWriteTime);
        }
        // The type name goes by the extension, which the found name carries.
        if (path.empty() && !isFolder) path = foundData ? std::move(found.name) : NameOf(view, nameform::kForParsing);
        std::string typeName = TypeNameOf(view, path, isFolder);
        auto data = std::make_unique<ItemData>();
        data->id = std::move(child);
        TListItem* item = Add(std::move(caption), ui::TPayload::Own(std::move(data)));
        // The system's icons are slow to ask: only for items drawn.
        item->SetImageIndex(ui::kImageCallback);
        if (bits & attr::kLink) item->SetOverlayIndex(1);
        item->SetSubItems({std::move(sizeText), std::move(typeName), std::move(dateText)});
    }
    ShellFolder* folder = folder_;
    CustomSort([folder](const TListItem& a, const TListItem& b) {
        return CompareIDLists(*folder, ItemID(&a), ItemID(&b)) * sortDirections_[0];
    });
}

void TFileView::GetImageIndex(TListItem& item)
{
    using namespace platform;
    const IdView view = ItemID(&item);
    ui::PostingService* posting = Display() ? Display()->Posting() : nullptr;
    if (folder_ && services_.shell && view && posting) {
        // The system's icons take milliseconds each: a paint of many new
        // rows draws them without one, and they come between messages.
        if (iconQueue_.empty()) PostIconPiece(*posting);
        iconQueue_.push_back(&item);
        item.SetImageIndex(ui::kNoImage);
    } else {
        SetItemIcon(item);
    }
    TListView::GetImageIndex(item);
}

void TFileView::SetItemIcon(TListItem& item)
{
    using namespace platform;
    const IdView view = ItemID(&item);
    if (!folder_ || !services_.shell || !view) return;
    int image = -1;
    if (!folder_->HasShellIcon() || !Succeeded(folder_->GetIconOf(view, 2, image)) || image == -1) {
        const IdList absolute = ConcatIDLists(services_.shell->Allocator(), folderList_.View(), view);
        image = GetIconIndex(*services_.shell, absolute.View(), fileinfo::kSysIconIndex);
    }
    item.SetImageIndex(image);
}

void TFileView::PostIconPiece(ui::PostingService& posting)
{
    posting.Post([this, token = std::weak_ptr<char>(alive_)] {
        if (token.lock()) IconPiece();
    });
}

void TFileView::IconPiece()
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    while (!iconQueue_.empty() && Clock::now() - start < std::chrono::milliseconds(30)) {
        TListItem* item = iconQueue_.front();
        iconQueue_.erase(iconQueue_.begin());
        try {
            SetItemIcon(*item);
        } catch (...) {
            // A shell that gives no icon for one item gives none for the
            // others either: one failure, and they stay without.
            iconQueue_.clear();
            throw;
        }
    }
    ui::PostingService* posting = Display() ? Display()->Posting() : nullptr;
    if (!iconQueue_.empty() && posting) PostIconPiece(*posting);
}

void TFileView::Deletion(TListItem& item)
{
    std::erase(iconQueue_, &item);
    TListView::Deletion(item);
}

void TFileView::SortByText(size_t column)
{
    const int direction = sortDirections_[column];
    if (column == 1) {
        // Size texts hold spaces, digits and "KB" only, which the locale
        // orders as their code units (space, then digits, then letters): the
        // texts are their own keys.
        CustomSort([direction](const TListItem& a, const TListItem& b) {
            const int order = a.ColumnText(1).compare(b.ColumnText(1));
            return (order < 0 ? -1 : order > 0 ? 1 : 0) * direction;
        });
        return;
    }
    // A column holds few distinct texts (the type names of a few
    // extensions, the minutes the files were written in): each gets its
    // sort key once, and the items sort by the rank of their text.
    std::unordered_map<std::string_view, uint32_t> slots;
    std::vector<std::string_view> texts;
    std::vector<uint32_t> slotOf(Count());
    for (size_t i = 0; i < Count(); ++i) {
        const std::string& text = Item(i)->ColumnText(column);
        const auto [at, added] = slots.emplace(text, static_cast<uint32_t>(texts.size()));
        if (added) texts.push_back(text);
        slotOf[i] = at->second;
    }
    std::vector<std::string> keys;
    keys.reserve(texts.size());
    for (std::string_view text : texts) keys.push_back(services_.locale.SortKey(text));
    std::vector<uint32_t> order(texts.size());
    for (uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&keys](uint32_t a, uint32_t b) { return keys[a] < keys[b]; });
    // Texts with equal keys share a rank.
    std::vector<uint32_t> rankOf(texts.size());
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && keys[order[i]] != keys[order[i - 1]]) ++rank;
        rankOf[order[i]] = rank;
    }
    for (size_t i = 0; i < Count(); ++i)
        if (auto* data = Item(i)->Data().As<ItemData>()) data->rank = rankOf[slotOf[i]];
    CustomSort([direction](const TListItem& a, const TListItem& b) {
        const auto* x = a.Data().As<ItemData>();
        const auto* y = b.Data().As<ItemData>();
        if (!x || !y) return 0;
        return (x->rank < y->rank ? -1 : x->rank > y->rank ? 1 : 0) * direction;
    });
}

void TFileView::ColumnClick(size_t column)
{
    TListView::ColumnClick(column);
    if (column > 3) return;
    sortDirections_[column] = -sortDirections_[column];
    if (column == 0) {
        if (!folder_) return;
        ShellFolder* folder = folder_;
        CustomSort([folder](const TListItem& a, const TListItem& b) {
            return CompareIDLists(*folder, ItemID(&a), ItemID(&b)) * sortDirections_[0];
        });
    } else {
        SortByText(column);
    }
}

std::string TFileView::ItemPath(const TListItem* item)
{
    if (!folder_ || !ItemID(item)) return {};
    return NameOf(ItemID(item), platform::nameform::kForParsing);
}

std::string TFileView::SelectedPath() { return ItemPath(Selected()); }

void TFileView::DblClick()
{
    TListView::DblClick();
    TListItem* item = Selected();
    if (!item || !ItemID(item) || !folder_ || !services_.shell) return;
    const IdView id = ItemID(item);
    // A shell may answer more bits than were asked: only the two asked decide.
    constexpr uint32_t kAsked = platform::attr::kFolder | platform::attr::kFileSysAncestor;
    uint32_t bits = kAsked;
    if (!platform::Succeeded(folder_->GetAttributesOf({&id, 1}, bits))) bits = 0;
    if ((bits & kAsked) && tree_) {
        // The tree's change refills this list, freeing the item: it gets a
        // copy.
        const IdList child = CopyFirstID(services_.shell->Allocator(), id);
        tree_->SelectChild(child.View());
    } else if (fileExecute_) {
        const IdList absolute = ConcatIDLists(services_.shell->Allocator(), folderList_.View(), id);
        services_.shell->Execute(window_.window, absolute.View());
    }
}

void TFileView::Edit(TListItem& item, const std::string& text)
{
    TListView::Edit(item, text);
    auto* data = item.Data().As<ItemData>();
    if (!data || !data->id || !folder_) return;
    const IdView id = data->id.View();
    // Asked before the rename: afterwards the old identifier names nothing.
    constexpr uint32_t kAsked = platform::attr::kFolder | platform::attr::kFileSysAncestor;
    uint32_t bits = kAsked;
    if (!platform::Succeeded(folder_->GetAttributesOf({&id, 1}, bits))) bits = 0;
    bits &= kAsked;
    IdList renamed;
    if (IsAcceptableName(text) &&
        platform::Succeeded(folder_->SetNameOf(window_.window, id, text, platform::nameform::kNormal, &renamed)) &&
        renamed) {
        if (bits && tree_) tree_->RenameChild(id, renamed.View());
        data->id = std::move(renamed);
        item.SetCaption(NameOf(data->id.View(), platform::nameform::kNormal));
        return;
    }
    item.SetCaption(NameOf(id, platform::nameform::kNormal));
}

IdList TFileView::Packed(int& count) const
{
    count = 0;
    IdList packed;
    platform::ShellAllocator* allocator = services_.shell->Allocator();
    for (TListItem* item : SelectedItems()) {
        const IdView id = ItemID(item);
        if (!id) continue;
        packed = ConcatAndFree(allocator, CopyFirstID(allocator, id), std::move(packed));
        ++count;
    }
    return packed;
}

void TFileView::MouseUp(ui::TMouseButton button, int x, int y, TListItem* item)
{
    TListView::MouseUp(button, x, y, item);
    if (button != ui::TMouseButton::mbRight || !contextMenu_ || !folder_ || !Selected() || !services_.shell) return;
    int count = 0;
    const IdList packed = Packed(count);
    window_.ToScreen(x, y);
    contextMenu_->ShowMenu(window_.window, folder_, x, y, count, packed.View());
}

void TFileView::MouseDown(ui::TMouseButton button, int x, int y, TListItem* item)
{
    TListView::MouseDown(button, x, y, item);
    if (button != ui::TMouseButton::mbLeft || !dropSource_ || !folder_ || !Selected() || !services_.shell) return;
    int count = 0;
    const IdList packed = Packed(count);
    dropSource_->StartDrag(window_.window, folder_, count, packed.View());
}

void TFileView::DeleteSelected()
{
    const std::vector<TListItem*> selected = SelectedItems();
    if (selected.empty() || !services_.shell || !folder_) return;
    const size_t first = selected.front()->Index();
    std::vector<std::string> paths;
    for (TListItem* item : selected) {
        const IdList absolute = ConcatIDLists(services_.shell->Allocator(), folderList_.View(), ItemID(item));
        std::string path;
        if (!ItemID(item) || !services_.shell->GetPathFromIDList(absolute.View(), path)) {
            services_.messages.Beep(ui::DialogKind::Information);
            return;
        }
        paths.push_back(std::move(path));
    }
    bool aborted = false;
    services_.shell->Recycle(window_.window, paths, aborted);
    if (!aborted) FillList();
    Select(first < Count() ? Item(first) : nullptr);
}

}  // namespace kp::shell
