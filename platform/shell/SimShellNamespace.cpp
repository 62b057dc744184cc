#include "platform/shell/SimShellNamespace.h"

#include "base/Utf.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace kp::platform {

namespace {

constexpr std::string_view kMyComputerParse = "::{20d04fe0-3aea-1069-a2d8-08002b30309d}";
constexpr std::string_view kRecycleBinParse = "::{645ff040-5081-101b-9f08-00aa002f954e}";
constexpr uint8_t kPoison = 0xDD;

// Command offsets of the context menu (menu id - first id).
enum Offset : uint32_t {
    kDelete = 17,
    kProperties = 19,
    kCut = 24,
    kCopy = 25,
    kPaste = 26,
    kShortcut = 81,
    kExplore = 257,
    kOpen = 258,
    kPlaceholder = 40,
};

bool ValidUtf8(std::string_view text) { return Utf16ToUtf8(Utf8ToUtf16(text)) == text; }

int Rank(char kind)
{
    switch (kind) {
    case 'M': return 0;
    case 'R': return 1;
    case 'D': return 2;
    case 'F': return 3;
    default: return 4;
    }
}

int CompareNames(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string Extension(std::string_view name)
{
    const size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(name.substr(dot + 1));
    for (char& c : ext)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return ext;
}

// No file type is registered: the platform names a type by its extension.
std::string TypeName(std::string_view name)
{
    std::string ext = Extension(name);
    if (ext.empty()) return "File";
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return ext + " file";
}

ShellResult StatusResult(FileStatus status)
{
    switch (status) {
    case FileStatus::Ok: return shellcode::kOk;
    case FileStatus::NotFound: return shellcode::kNotFound;
    case FileStatus::AccessDenied: return shellcode::kAccessDenied;
    default: return shellcode::kFail;
    }
}

// Writes a file the way the shell's copy does: a new file, then its name.
FileStatus CopyFile(FileSystem& files, const std::string& from, const std::string& to)
{
    std::string bytes;
    FileStatus status = files.ReadAll(from, bytes);
    if (status != FileStatus::Ok) return status;
    std::string temp;
    FileHandle file;
    status = files.CreateTempFile(ParentFolder(to), temp, file);
    if (status != FileStatus::Ok) return status;
    status = files.Write(file, bytes);
    if (status == FileStatus::Ok) status = files.Flush(file);
    file.Close();
    if (status == FileStatus::Ok) status = files.Replace(to, temp);
    if (status != FileStatus::Ok) files.Delete(temp);
    return status;
}

}  // namespace

// ---- Allocator -------------------------------------------------------------

SimShellAllocator::~SimShellAllocator()
{
    for (const auto& [block, size] : blocks_) std::free(const_cast<void*>(block));
}

void* SimShellAllocator::Alloc(size_t size)
{
    ++allocations_;
    if (failIn_ > 0 && --failIn_ == 0) return nullptr;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (!block) return nullptr;
    std::memset(block, kPoison, size);
    blocks_[block] = size;
    return block;
}

void SimShellAllocator::Free(void* block)
{
    if (!block) return;
    const auto it = blocks_.find(block);
    if (it == blocks_.end()) std::abort();  // not ours, or freed twice
    std::memset(block, kPoison, it->second);
    blocks_.erase(it);
    std::free(block);
}

size_t SimShellAllocator::SizeOf(const void* block)
{
    const auto it = blocks_.find(block);
    return it == blocks_.end() ? 0 : it->second;
}

// ---- Menus -----------------------------------------------------------------

class SimShellNamespace::Menu final : public PopupMenu {
public:
    explicit Menu(SimShellNamespace& shell) : shell_(shell) {}

    int Count() const override { return static_cast<int>(entries_.size()); }
    bool GetItem(int pos, Item& out) const override
    {
        if (pos < 0 || pos >= Count()) return false;
        out = entries_[static_cast<size_t>(pos)].item;
        return true;
    }
    PopupMenu* Submenu(int pos) override
    {
        if (pos < 0 || pos >= Count()) return nullptr;
        return entries_[static_cast<size_t>(pos)].sub.get();
    }
    bool Append(std::string_view text, uint32_t id) override
    {
        entries_.push_back({Item{std::string(text), id, 0, false}, nullptr});
        return true;
    }
    bool Delete(int pos) override
    {
        if (pos < 0 || pos >= Count()) return false;
        entries_.erase(entries_.begin() + pos);
        return true;
    }
    uint32_t Track(uint32_t, int, int, WindowRef) override
    {
        ++shell_.tracked;
        return shell_.onTrack ? shell_.onTrack(*this) : 0;
    }

    void AppendSeparator() { entries_.push_back({Item{{}, 0, kSeparator, false}, nullptr}); }
    Menu& AppendSubmenu(std::string_view text, uint32_t state)
    {
        entries_.push_back({Item{std::string(text), 0, state, true}, std::make_unique<Menu>(shell_)});
        return *entries_.back().sub;
    }

private:
    struct Entry {
        Item item;
        std::unique_ptr<Menu> sub;
    };
    SimShellNamespace& shell_;
    std::vector<Entry> entries_;
};

uint32_t SimShellNamespace::IdByCaptions(PopupMenu& menu, const std::vector<std::string>& captions)
{
    PopupMenu* level = &menu;
    for (size_t i = 0; i < captions.size() && level; ++i) {
        PopupMenu* next = nullptr;
        for (int pos = 0; pos < level->Count(); ++pos) {
            PopupMenu::Item item;
            if (!level->GetItem(pos, item) || (item.state & PopupMenu::kSeparator) || item.text != captions[i])
                continue;
            if (i + 1 == captions.size()) return item.submenu ? 0 : item.id;
            next = level->Submenu(pos);
            break;
        }
        level = next;
    }
    return 0;
}

// ---- Data objects and context menus -------------------------------------

class SimShellNamespace::Data final : public ShellDataObject {
public:
    explicit Data(std::vector<std::string> paths) : paths_(std::move(paths)) {}
    std::vector<std::string> FilePaths() override { return paths_; }

private:
    std::vector<std::string> paths_;
};

class SimShellNamespace::ContextMenu final : public ShellContextMenu {
public:
    ContextMenu(SimShellNamespace& shell, std::vector<Path> items) : shell_(shell), items_(std::move(items)) {}

    ShellResult QueryContextMenu(PopupMenu& menu, uint32_t, uint32_t idFirst, uint32_t idLast, uint32_t) override
    {
        auto* sim = dynamic_cast<Menu*>(&menu);
        if (!sim) return shellcode::kInvalidArgument;
        uint32_t used = 0;
        const auto add = [&](Menu& into, uint32_t offset, std::string_view text) {
            if (idFirst + offset > idLast) return;
            into.Append(text, idFirst + offset);
            used = std::max(used, offset + 1);
        };
        const bool folder = std::all_of(items_.begin(), items_.end(), [&](const Path& p) { return shell_.IsFolder(p); });
        add(*sim, kOpen, "開く(&O)");
        if (folder) add(*sim, kExplore, "エクスプローラ(&X)");
        sim->AppendSeparator();
        if (shell_.options_.sendToMenu) {
            Menu& sendTo = sim->AppendSubmenu("送る(&N)", shell_.options_.sendToDisabled ? PopupMenu::kGrayed : 0);
            add(sendTo, kPlaceholder, "(なし)");
            sim->AppendSeparator();
        }
        add(*sim, kCut, "切り取り(&U)");
        add(*sim, kCopy, "コピー(&C)");
        if (items_.size() == 1 && !PasteFolder(items_[0]).empty()) add(*sim, kPaste, "貼り付け(&P)");
        sim->AppendSeparator();
        add(*sim, kShortcut, "ショートカットの作成(&L)");
        add(*sim, kDelete, "削除(&D)");
        sim->AppendSeparator();
        add(*sim, kProperties, "プロパティ(&P)");
        return static_cast<ShellResult>(used);
    }

    ShellResult InvokeCommand(WindowRef, uint32_t verbOffset, int) override
    {
        SimFileSystem& files = shell_.files_;
        switch (verbOffset) {
        case kOpen:
        case kExplore:
            for (const Path& item : items_) shell_.executed.push_back(FsPath(item));
            return shellcode::kOk;
        case kCut:
        case kCopy: {
            std::vector<std::string> paths;
            for (const Path& item : items_)
                if (!FsPath(item).empty()) paths.push_back(FsPath(item));
            if (paths.empty()) return shellcode::kFail;
            shell_.clipboardFiles = std::move(paths);
            return shellcode::kOk;
        }
        case kPaste: {
            if (items_.size() != 1) return shellcode::kInvalidArgument;
            const std::string folder = PasteFolder(items_[0]);
            if (folder.empty()) return shellcode::kInvalidArgument;
            if (!shell_.options_.workingPaste) return shellcode::kOk;
            for (const std::string& from : shell_.clipboardFiles) {
                const FileStatus status = CopyFile(files, from, JoinPath(folder, FileNameOf(from)));
                if (status != FileStatus::Ok) return StatusResult(status);
            }
            return shellcode::kOk;
        }
        case kDelete: {
            ++shell_.confirmations;
            // The platform answers a refused confirmation as a success.
            if (!shell_.options_.confirmDeletion) return shellcode::kOk;
            for (const Path& item : items_) {
                const FileStatus status = files.Recycle(FsPath(item));
                if (status != FileStatus::Ok) return StatusResult(status);
            }
            return shellcode::kOk;
        }
        case kProperties:
        case kShortcut:
            return shellcode::kOk;
        default:
            return shellcode::kInvalidArgument;
        }
    }

private:
    // The folder a paste into item goes to: a file folder or drive, or the
    // folder a Send To target names. Empty when item takes no paste.
    std::string PasteFolder(const Path& item)
    {
        const std::string path = FsPath(item);
        if (path.empty()) return {};
        if (shell_.IsFolder(item)) return path;
        if (!EqualsIgnoreCase(ParentFolder(path), shell_.options_.sendToFolder)) return {};
        std::string target;
        if (shell_.files_.ReadAll(path, target) != FileStatus::Ok) return {};
        const FileInfo info = shell_.files_.Query(target);
        return info.exists && info.directory ? target : std::string{};
    }

    SimShellNamespace& shell_;
    std::vector<Path> items_;
};

// ---- Folders ---------------------------------------------------------------

class SimShellNamespace::Folder final : public ShellFolder {
public:
    Folder(SimShellNamespace& shell, Path base) : shell_(shell), base_(std::move(base)) {}

    const Path& Base() const { return base_; }

    ShellResult ParseDisplayName(std::string_view name, IdList& out) override
    {
        if (!base_.empty()) return shellcode::kNotImplemented;
        if (!ValidUtf8(name)) return shellcode::kInvalidArgument;
        Path path;
        if (name.empty() || EqualsIgnoreCase(name, kMyComputerParse)) {
            path.push_back({'M', {}});
        } else if (EqualsIgnoreCase(name, kRecycleBinParse)) {
            path.push_back({'R', {}});
        } else if (name.size() >= 2 && name[1] == ':' &&
                   (name.size() == 2 || name[2] == '\\' || name[2] == '/')) {
            const char letter = static_cast<char>(name[0] & ~0x20);
            const auto drives = shell_.files_.Drives();
            if (std::find(drives.begin(), drives.end(), letter) == drives.end()) return shellcode::kPathNotFound;
            path.push_back({'M', {}});
            path.push_back({'D', std::string(1, letter)});
            size_t start = 2;
            while (start < name.size()) {
                size_t end = start;
                while (end < name.size() && name[end] != '\\' && name[end] != '/') ++end;
                const std::string_view part = name.substr(start, end - start);
                start = end + 1;
                if (part.empty()) continue;
                std::vector<Ident> children;
                if (!shell_.ListChildren(path, children)) return shellcode::kPathNotFound;
                const auto found = std::find_if(children.begin(), children.end(),
                                                [&](const Ident& c) { return EqualsIgnoreCase(c.name, part); });
                if (found == children.end()) return shellcode::kNotFound;
                path.push_back(*found);
            }
        } else {
            return shellcode::kInvalidArgument;
        }
        out = shell_.Encode(path);
        return out ? shellcode::kOk : shellcode::kOutOfMemory;
    }

    ShellResult EnumObjects(uint32_t flags, std::unique_ptr<ShellEnum>& out) override
    {
        out.reset();
        std::vector<Ident> children;
        if (!shell_.ListChildren(base_, children)) return shellcode::kAccessDenied;
        std::vector<Ident> kept;
        for (const Ident& child : children) {
            const bool folder = child.kind != 'f';
            if (!(flags & (folder ? enumflags::kFolders : enumflags::kNonFolders))) continue;
            if (!(flags & enumflags::kIncludeHidden) && (child.kind == 'F' || child.kind == 'f')) {
                Path full = base_;
                full.push_back(child);
                if (shell_.files_.Query(FsPath(full)).hidden) continue;
            }
            kept.push_back(child);
        }
        if (kept.empty() && shell_.options_.emptyWalkWithoutEnumerator) return shellcode::kFalse;
        out = std::make_unique<Walk>(shell_, std::move(kept));
        return shellcode::kOk;
    }

    ShellResult BindToObject(IdView list, std::unique_ptr<ShellFolder>& out) override
    {
        out.reset();
        Path full;
        if (!Resolve(list, full)) return shellcode::kInvalidArgument;
        if (!shell_.IsFolder(full)) return shellcode::kInvalidArgument;
        out = std::make_unique<Folder>(shell_, std::move(full));
        return shellcode::kOk;
    }

    ShellResult CompareIDs(uint32_t, IdView a, IdView b) override
    {
        // Read in place into buffers kept between calls: a sort asks this
        // for every pair it compares.
        thread_local std::vector<std::pair<char, std::string_view>> x, y;
        if (!DecodeViews(a, x) || !DecodeViews(b, y)) return shellcode::kInvalidArgument;
        int order = 0;
        for (size_t i = 0; order == 0 && i < std::min(x.size(), y.size()); ++i) {
            const int rx = Rank(x[i].first), ry = Rank(y[i].first);
            order = rx != ry ? (rx < ry ? -1 : 1) : CompareNames(x[i].second, y[i].second);
        }
        if (order == 0 && x.size() != y.size()) order = x.size() < y.size() ? -1 : 1;
        return order < 0 ? 0xFFFF : order;
    }

    ShellResult GetAttributesOf(std::span<const IdView> children, uint32_t& inOut) override
    {
        uint32_t all = ~0u;
        for (const IdView child : children) {
            Path full;
            FileInfo info;
            if (!Resolve(child, full, &info) || full.empty()) return shellcode::kInvalidArgument;
            all &= Attributes(full, info);
        }
        inOut = shell_.options_.answerUnasked ? all : (inOut & all);
        return shellcode::kOk;
    }

    ShellResult GetDisplayNameOf(IdView child, uint32_t form, ShellName& out) override
    {
        Path full;
        if (!Resolve(child, full)) return shellcode::kInvalidArgument;
        std::string text;
        const bool parsing = (form & nameform::kForParsing) && !(form & nameform::kInFolder);
        if (full.empty())
            text = "デスクトップ";
        else if (parsing)
            text = ParseName(full);
        else
            text = shell_.NameOf(full.back());
        out = ShellName{};
        const uint32_t kind = shell_.options_.nameKind;
        if (kind == ShellName::kWide) {
            out.kind = ShellName::kWide;
            out.wide = Utf8ToUtf16(text);
            return shellcode::kOk;
        }
        const std::string bytes = shell_.codec_.FromUtf16(Utf8ToUtf16(text));
        if (kind == ShellName::kOffset && !parsing && child.bound >= 2 && ReadCb(child.bytes) != 0) {
            // The name stored in the child's last identifier.
            size_t at = 0, last = 0;
            while (at + 2 <= child.bound && ReadCb(child.bytes + at) != 0) {
                last = at;
                at += ReadCb(child.bytes + at);
            }
            out.kind = ShellName::kOffset;
            out.offset = static_cast<uint32_t>(last + 3 + full.back().name.size() + 1);
            return shellcode::kOk;
        }
        if (bytes.size() >= out.bytes.size()) return shellcode::kFail;
        out.kind = ShellName::kBytes;
        std::memcpy(out.bytes.data(), bytes.data(), bytes.size());
        return shellcode::kOk;
    }

    ShellResult SetNameOf(WindowRef, IdView child, std::string_view name, uint32_t, IdList* newChild) override
    {
        Path full;
        if (!Resolve(child, full) || full.size() != base_.size() + 1) return shellcode::kInvalidArgument;
        const char kind = full.back().kind;
        if (kind != 'F' && kind != 'f') return shellcode::kAccessDenied;
        if (name.empty() || !ValidUtf8(name) || name.find_first_of("\\/:*?\"<>|") != std::string_view::npos)
            return shellcode::kInvalidArgument;
        const std::string from = FsPath(full);
        const FileStatus status = shell_.files_.Rename(from, JoinPath(ParentFolder(from), name));
        if (status == FileStatus::Failed && shell_.files_.Query(JoinPath(ParentFolder(from), name)).exists)
            return shellcode::kAlreadyExists;
        if (status != FileStatus::Ok) return StatusResult(status);
        if (newChild) *newChild = shell_.Encode({Ident{kind, std::string(name)}});
        return shellcode::kOk;
    }

    bool HasShellIcon() override { return shell_.options_.shellIcon; }
    ShellResult GetIconOf(IdView child, uint32_t flags, int& index) override
    {
        if (!shell_.options_.shellIcon) return shellcode::kNoInterface;
        Path full;
        if (!Resolve(child, full) || full.empty()) return shellcode::kInvalidArgument;
        index = IconIndex(full, (flags & 1) != 0);
        return shellcode::kOk;
    }

    ShellResult GetContextMenu(WindowRef, std::span<const IdView> children,
                               std::unique_ptr<ShellContextMenu>& out) override
    {
        out.reset();
        std::vector<Path> items;
        if (!ResolveAll(children, items)) return shellcode::kInvalidArgument;
        out = std::make_unique<ContextMenu>(shell_, std::move(items));
        return shellcode::kOk;
    }

    ShellResult GetDataObject(WindowRef, std::span<const IdView> children, std::unique_ptr<ShellDataObject>& out) override
    {
        out.reset();
        std::vector<Path> items;
        if (!ResolveAll(children, items)) return shellcode::kInvalidArgument;
        std::vector<std::string> paths;
        for (const Path& item : items)
            if (!FsPath(item).empty()) paths.push_back(FsPath(item));
        out = std::make_unique<Data>(std::move(paths));
        return shellcode::kOk;
    }

    static int IconIndex(const Path& full, bool open)
    {
        switch (full.back().kind) {
        case 'M': return 15;
        case 'R': return 31;
        case 'D': return 8;
        case 'F': return open ? 4 : 3;
        default: return Extension(full.back().name) == "TXT" ? 1 : 0;
        }
    }

    // A list relative to this folder, as a path from the desktop; info
    // receives what the file system says of a file or folder.
    bool Resolve(IdView list, Path& full, FileInfo* info = nullptr) const
    {
        Path relative;
        if (!shell_.Decode(list, relative)) return false;
        full = base_;
        full.insert(full.end(), std::make_move_iterator(relative.begin()), std::make_move_iterator(relative.end()));
        return shell_.Exists(full, info);
    }

private:
    class Walk final : public ShellEnum {
    public:
        Walk(SimShellNamespace& shell, std::vector<Ident> children) : shell_(shell), children_(std::move(children)) {}
        ShellResult Next(IdList& out) override
        {
            if (next_ >= children_.size()) return shellcode::kFalse;
            out = shell_.Encode({children_[next_]});
            if (!out) return shellcode::kOutOfMemory;
            ++next_;
            return shellcode::kOk;
        }

    private:
        SimShellNamespace& shell_;
        std::vector<Ident> children_;
        size_t next_ = 0;
    };

    bool ResolveAll(std::span<const IdView> children, std::vector<Path>& items) const
    {
        if (children.empty()) return false;
        for (const IdView child : children) {
            Path full;
            if (!Resolve(child, full) || full.empty()) return false;
            items.push_back(std::move(full));
        }
        return true;
    }

    // info: the file system's answer for a file or folder.
    uint32_t Attributes(const Path& full, const FileInfo& info)
    {
        using namespace attr;
        switch (full.back().kind) {
        case 'M': return kFolder | kHasSubfolder | kFileSysAncestor | kDropTarget;
        case 'R': return kFolder | kDropTarget | kHasPropSheet;
        case 'D': return kFolder | kHasSubfolder | kFileSysAncestor | kFileSystem | kDropTarget | kCanCopy | kCanLink |
                         kHasPropSheet;
        default: break;
        }
        uint32_t bits = kFileSystem | kCanCopy | kCanMove | kCanLink | kCanRename | kCanDelete | kHasPropSheet;
        if (info.readOnly) bits |= kReadOnly;
        if (full.back().kind == 'F') {
            bits |= kFolder | kFileSysAncestor | kDropTarget;
            std::vector<Ident> children;
            if (shell_.ListChildren(full, children) &&
                std::any_of(children.begin(), children.end(), [](const Ident& c) { return c.kind == 'F'; }))
                bits |= kHasSubfolder;
        } else if (shell_.options_.linkAttribute && Extension(full.back().name) == "LNK") {
            bits |= kLink;
        }
        return bits;
    }

    static std::string ParseName(const Path& full)
    {
        switch (full.back().kind) {
        case 'M': return std::string(kMyComputerParse);
        case 'R': return std::string(kRecycleBinParse);
        default: return FsPath(full);
        }
    }

    SimShellNamespace& shell_;
    Path base_;
};

// ---- The namespace ---------------------------------------------------------

SimShellNamespace::SimShellNamespace(SimFileSystem& files, const Cp932Codec& codec, SimShellOptions options)
    : files_(files), codec_(codec), options_(std::move(options))
{
    if (!files_.Query(options_.sendToFolder).exists) files_.CreateFolder(options_.sendToFolder);
    desktop_ = std::make_unique<Folder>(*this, Path{});
}

SimShellNamespace::~SimShellNamespace() = default;

ShellAllocator* SimShellNamespace::Allocator() { return options_.refuseAllocator ? nullptr : &allocator_; }

ShellFolder* SimShellNamespace::Desktop()
{
    return options_.refuseAllocator || options_.refuseDesktop ? nullptr : desktop_.get();
}

IdList SimShellNamespace::Encode(const Path& path)
{
    std::vector<std::string> items;
    size_t total = 2;
    for (const Ident& ident : path) {
        std::string bytes(1, ident.kind);
        bytes += ident.name;
        bytes += '\0';
        if (options_.nameKind == ShellName::kOffset) {
            bytes += codec_.FromUtf16(Utf8ToUtf16(NameOf(ident)));
            bytes += '\0';
        }
        total += bytes.size() + 2;
        items.push_back(std::move(bytes));
    }
    void* block = allocator_.Alloc(total);
    if (!block) return {};
    auto* at = static_cast<uint8_t*>(block);
    std::memset(at, 0, total);
    IdList out(&allocator_, at, total);
    for (const std::string& bytes : items) {
        WriteCb(at, static_cast<uint16_t>(bytes.size() + 2));
        std::memcpy(at + 2, bytes.data(), bytes.size());
        at += bytes.size() + 2;
    }
    return out;
}

bool SimShellNamespace::DecodeViews(IdView list, std::vector<std::pair<char, std::string_view>>& out)
{
    out.clear();
    if (!list) return false;
    size_t at = 0;
    for (;;) {
        if (at + 2 > list.bound) return false;
        const size_t cb = ReadCb(list.bytes + at);
        if (cb == 0) return true;
        if (cb < 4 || cb > list.bound - at) return false;
        const char* data = reinterpret_cast<const char*>(list.bytes + at + 2);
        const char kind = data[0];
        if (std::string_view("MRDFf").find(kind) == std::string_view::npos) return false;
        const void* end = std::memchr(data + 1, 0, cb - 3);
        if (!end) return false;
        out.emplace_back(kind, std::string_view(data + 1, static_cast<size_t>(static_cast<const char*>(end) - (data + 1))));
        at += cb;
    }
}

bool SimShellNamespace::Decode(IdView list, Path& out) const
{
    out.clear();
    std::vector<std::pair<char, std::string_view>> views;
    if (!DecodeViews(list, views)) return false;
    out.reserve(views.size());
    for (const auto& [kind, name] : views) out.push_back({kind, std::string(name)});
    return true;
}

std::string SimShellNamespace::FsPath(const Path& path)
{
    std::string out;
    for (const Ident& ident : path) {
        if (ident.kind == 'D') {
            out = ident.name + ":\\";
        } else if ((ident.kind == 'F' || ident.kind == 'f') && !out.empty()) {
            if (out.back() != '\\' && out.back() != '/') out += '\\';
            out += ident.name;
        }
    }
    return out;
}

std::string SimShellNamespace::NameOf(const Ident& ident) const
{
    switch (ident.kind) {
    case 'M': return "マイ コンピューター";
    case 'R': return "ごみ箱";
    case 'D': return " (" + ident.name + ":)";
    default: return ident.name;
    }
}

bool SimShellNamespace::ListChildren(const Path& path, std::vector<Ident>& out)
{
    out.clear();
    if (path.empty()) {
        out = {{'M', {}}, {'R', {}}};
        return true;
    }
    switch (path.back().kind) {
    case 'M':
        for (const char letter : files_.Drives()) out.push_back({'D', std::string(1, letter)});
        return true;
    case 'R': return true;
    case 'f': return false;
    default: break;
    }
    const std::string folder = FsPath(path);
    std::vector<std::pair<std::string, bool>> entries;
    if (files_.ListFolderKinds(folder, entries) != FileStatus::Ok) return false;
    out.reserve(entries.size());
    for (auto& [name, directory] : entries) out.push_back({directory ? 'F' : 'f', std::move(name)});
    return true;
}

bool SimShellNamespace::Exists(const Path& path, FileInfo* answer)
{
    // Virtual items exist in their places; file-system items when the file
    // system has them.
    for (size_t i = 0; i < path.size(); ++i) {
        const char kind = path[i].kind;
        const char parent = i == 0 ? 0 : path[i - 1].kind;
        if ((kind == 'M' || kind == 'R') && i != 0) return false;
        if (kind == 'D' && parent != 'M') return false;
        if ((kind == 'F' || kind == 'f') && parent != 'D' && parent != 'F') return false;
    }
    if (path.empty() || path.back().kind == 'M' || path.back().kind == 'R') return true;
    if (path.back().kind == 'D') {
        const auto drives = files_.Drives();
        return std::find(drives.begin(), drives.end(), path.back().name[0]) != drives.end();
    }
    const FileInfo info = files_.Query(FsPath(path));
    if (answer) *answer = info;
    return info.exists && info.directory == (path.back().kind == 'F');
}

bool SimShellNamespace::IsFolder(const Path& path) { return path.empty() || path.back().kind != 'f'; }

ShellResult SimShellNamespace::SpecialFolderLocation(WindowRef, int folder, IdList& out)
{
    out.Reset();
    switch (folder) {
    case csidl::kDesktop: out = Encode({}); break;
    case csidl::kDrives: out = Encode({{'M', {}}}); break;
    case csidl::kSendTo: {
        if (!files_.Query(options_.sendToFolder).directory) return shellcode::kFail;
        return desktop_->ParseDisplayName(options_.sendToFolder, out);
    }
    default: return shellcode::kInvalidArgument;
    }
    return out ? shellcode::kOk : shellcode::kOutOfMemory;
}

bool SimShellNamespace::GetFileInfo(IdView absolute, uint32_t flags, ShellFileInfo& out)
{
    Path full;
    if (!Decode(absolute, full) || !Exists(full)) return false;
    out = ShellFileInfo{};
    out.imageList = SystemImageList((flags & fileinfo::kSmallIcon) != 0);
    if (full.empty()) {
        out.iconIndex = 34;
        return true;
    }
    out.iconIndex = Folder::IconIndex(full, (flags & fileinfo::kOpenIcon) != 0);
    if (flags & fileinfo::kTypeName) {
        switch (full.back().kind) {
        case 'M': out.typeName = "System Folder"; break;
        case 'R': out.typeName = "System Folder"; break;
        case 'D': out.typeName = "Local Disk"; break;
        case 'F': out.typeName = "File Folder"; break;
        default: {
            out.typeName = TypeName(full.back().name);
        }
        }
    }
    return true;
}

bool SimShellNamespace::GetFileInfoOfPath(std::string_view path, uint32_t attributes, uint32_t flags,
                                          ShellFileInfo& out)
{
    out = ShellFileInfo{};
    out.imageList = SystemImageList((flags & fileinfo::kSmallIcon) != 0);
    const bool folder = (attributes & 0x10) != 0;
    const std::string ext = Extension(FileNameOf(path));
    out.iconIndex = folder ? 3 : ext == "TXT" ? 1 : 0;
    if (flags & fileinfo::kTypeName) out.typeName = folder ? "File Folder" : TypeName(FileNameOf(path));
    return true;
}

uintptr_t SimShellNamespace::SystemImageList(bool small) { return small ? 0x51 : 0x52; }

bool SimShellNamespace::GetFindData(ShellFolder& folder, IdView child, ShellFindData& out)
{
    auto* sim = dynamic_cast<Folder*>(&folder);
    Path full;
    FileInfo info;
    if (!sim || !sim->Resolve(child, full, &info) || full.empty()) return false;
    const char kind = full.back().kind;
    if (kind != 'F' && kind != 'f') return false;
    out = ShellFindData{};
    out.attributes = (info.directory ? 0x10u : 0u) | (info.readOnly ? 0x1u : 0u) | (info.hidden ? 0x2u : 0u);
    if (out.attributes == 0) out.attributes = 0x20;  // archive
    out.size = info.directory ? 0 : info.size;
    out.lastWriteTime = info.lastWriteTime;
    out.name = full.back().name;
    return true;
}

bool SimShellNamespace::GetPathFromIDList(IdView absolute, std::string& path)
{
    path.clear();
    Path full;
    if (!Decode(absolute, full) || !Exists(full)) return false;
    path = FsPath(full);
    return !path.empty();
}

bool SimShellNamespace::Recycle(WindowRef, const std::vector<std::string>& paths, bool& anyAborted)
{
    anyAborted = false;
    ++confirmations;
    if (!options_.confirmDeletion) {
        anyAborted = true;
        return true;
    }
    for (const std::string& path : paths)
        if (files_.Recycle(path) != FileStatus::Ok) return false;
    return true;
}

bool SimShellNamespace::Execute(WindowRef, IdView absolute)
{
    Path full;
    if (!Decode(absolute, full) || !Exists(full)) return false;
    executed.push_back(full.empty() ? std::string("デスクトップ") : FsPath(full).empty() ? NameOf(full.back()) : FsPath(full));
    return true;
}

std::unique_ptr<PopupMenu> SimShellNamespace::CreatePopupMenu() { return std::make_unique<Menu>(*this); }

ShellResult SimShellNamespace::DoDragDrop(ShellDataObject&, DropSource& source, uint32_t allowedEffects,
                                          uint32_t& effect)
{
    effect = 0;
    source.AddRef();
    ShellResult result = shellcode::kDragCancel;
    for (size_t step = 0;; ++step) {
        const auto [escape, keys] = step < dragSteps.size() ? dragSteps[step] : std::pair{false, 0u};
        const ShellResult answer = source.QueryContinueDrag(escape, keys);
        if (answer == shellcode::kDragDrop) {
            effect = allowedEffects & 1u;
            result = shellcode::kDragDrop;
            break;
        }
        if (answer != shellcode::kOk) break;
        source.GiveFeedback(allowedEffects & 1u);
    }
    source.Release();
    return result;
}

}  // namespace kp::platform
