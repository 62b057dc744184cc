#include "platform/files/SimFileSystem.h"

#include "base/Utf.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

namespace kp::platform {

struct SimFileSystem::Drive {
    uint64_t free = 0;
    bool notReady = false;
    std::shared_ptr<Node> root;
};

// The file itself, shared by all of its names (hard links).
struct SimFileSystem::Data {
    std::string bytes;
    Drive* drive = nullptr;
    int names = 0;
    int opens = 0;
    bool readOnly = false;
    bool lockedForReading = false;
    bool heldOpen = false;  // by another program, shared for nothing
    bool hidden = false;
    uint64_t writeTime = 0;

    // Open here or elsewhere: not to be replaced, renamed or deleted.
    bool Busy() const { return opens > 0 || heldOpen; }
    bool Unreadable() const { return lockedForReading || heldOpen; }
};

namespace {

// The key two names share exactly when they match without regard to case:
// their UTF-16 units, each folded, as UTF-8 (ASCII names, the common case,
// stay short enough to need no allocation).
std::string FoldedName(std::string_view name)
{
    if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string key(name);
        for (char& c : key)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return key;
    }
    std::u16string wide = Utf8ToUtf16(name);
    for (char16_t& c : wide) c = FoldCase(c);
    return Utf16ToUtf8(wide);
}

}  // namespace

struct SimFileSystem::Node {
    enum class Kind { File, Folder, Link };
    Kind kind = Kind::Folder;
    std::string name;
    std::shared_ptr<Data> data;    // File
    std::string target;            // Link
    bool hidden = false;           // Folder, Link
    bool unlistable = false;       // Folder
    bool readOnlyFolder = false;   // Folder: no entry added, taken or renamed
    uint64_t writeTime = 0;        // Folder, Link

    const std::vector<std::shared_ptr<Node>>& Children() const { return children_; }

    // The first child (in listing order) whose name matches without regard
    // to case.
    std::shared_ptr<Node> Child(std::string_view childName) const
    {
        const auto found = byFoldedName_.find(FoldedName(childName));
        return found == byFoldedName_.end() ? nullptr : found->second.first;
    }
    // Adds a child, named already, after the others.
    void AddChild(std::shared_ptr<Node> child)
    {
        Named& named = byFoldedName_[FoldedName(child->name)];
        if (named.count++ == 0) named.first = child;
        children_.push_back(std::move(child));
    }
    // Takes a child out (before its name changes).
    void RemoveChild(const Node* child)
    {
        const auto gone = std::find_if(children_.begin(), children_.end(),
                                       [child](const auto& c) { return c.get() == child; });
        if (gone == children_.end()) return;
        const std::shared_ptr<Node> kept = *gone;  // its name is read below
        children_.erase(gone);
        const auto found = byFoldedName_.find(FoldedName(child->name));
        if (found == byFoldedName_.end()) return;
        Named& named = found->second;
        if (--named.count == 0) {
            byFoldedName_.erase(found);
        } else if (named.first.get() == child) {
            // Another child of the same name is found from now on.
            for (const auto& c : children_)
                if (FoldedName(c->name) == found->first) {
                    named.first = c;
                    break;
                }
        }
    }

private:
    // The children of one folded name: the first of them and how many.
    struct Named {
        std::shared_ptr<Node> first;
        size_t count = 0;
    };
    std::vector<std::shared_ptr<Node>> children_;        // Folder
    std::unordered_map<std::string, Named> byFoldedName_;  // Folder
};

// Where a path leads: the folder holding its last part and what has that name
// there (nothing, when node is null). status is Ok when the folder exists.
// path is where that is with every link on the way followed.
struct SimFileSystem::Found {
    FileStatus status = FileStatus::NotFound;
    Drive* drive = nullptr;
    std::shared_ptr<Node> parent;
    std::shared_ptr<Node> node;
    std::string name;
    std::string path;
};

namespace {

using Kind = SimFileSystem::Node::Kind;

constexpr int kMaxLinkDepth = 32;
constexpr uint64_t kDefaultFreeBytes = uint64_t{1} << 40;
constexpr size_t kMaxNameUnits = 255;
constexpr size_t kMaxPathUnits = 32767;

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The UTF-16 units of a UTF-8 text: one per character, two for those
// beyond the basic plane (their lead byte is 0xF0 or above).
size_t Utf16Units(std::string_view text)
{
    size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80) ++units;
        if (byte >= 0xF0) ++units;
    }
    return units;
}

bool ValidName(std::string_view name)
{
    if (Utf16Units(name) > kMaxNameUnits) return false;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos) return false;
    }
    return true;
}

// A reserved device name, in any folder and with any extension: "NUL",
// "con.txt", "LPT1 ".
bool IsDeviceName(std::string_view name)
{
    name = name.substr(0, name.find('.'));
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") return true;
    return upper.size() == 4 && (upper.starts_with("COM") || upper.starts_with("LPT")) && upper[3] >= '1' &&
           upper[3] <= '9';
}

// Splits "X:\a\b" into the drive letter and the parts; "." and ".." resolve
// as they do on the platform. Only absolute paths with a drive are accepted.
bool ParsePath(std::string_view path, char& drive, std::vector<std::string_view>& parts)
{
    if (path.size() < 2 || path[1] != ':' || Utf16Units(path) > kMaxPathUnits) return false;
    const char letter = path[0];
    if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return false;
    if (path.size() > 2 && !IsSeparator(path[2])) return false;
    drive = static_cast<char>(letter & ~0x20);
    parts.clear();
    size_t start = 2;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            if (!ValidName(part)) return false;
            parts.push_back(part);
        }
        start = end + 1;
    }
    return true;
}

}  // namespace

SimFileSystem::SimFileSystem()
{
    AddDrive('C', kDefaultFreeBytes);
}

SimFileSystem::~SimFileSystem() = default;

SimFileSystem::Found SimFileSystem::Find(std::string_view path, bool followLast, int depth, bool withPath)
{
    Found found;
    if (depth > kMaxLinkDepth) {
        found.status = FileStatus::Failed;
        return found;
    }
    char letter = 0;
    std::vector<std::string_view> parts;
    if (!ParsePath(path, letter, parts)) {
        found.status = FileStatus::Failed;
        return found;
    }
    const auto drive = drives_.find(letter);
    if (drive == drives_.end()) return found;
    if (drive->second->notReady) {
        found.status = FileStatus::Failed;
        return found;
    }
    found.drive = drive->second.get();
    std::string folderPath{letter, ':', '\\'};
    if (parts.empty()) {
        found.status = FileStatus::Ok;
        found.node = drive->second->root;
        found.path = std::move(folderPath);
        return found;
    }
    std::shared_ptr<Node> folder = drive->second->root;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        std::shared_ptr<Node> child = folder->Child(parts[i]);
        if (child && child->kind == Kind::Link) {
            Found through = Find(child->target, true, depth + 1);
            if (through.status == FileStatus::Failed) return through;
            child = through.node;
            found.drive = through.drive;
            folderPath = std::move(through.path);
        } else if (child && withPath) {
            if (!IsSeparator(folderPath.back())) folderPath += '\\';
            folderPath += child->name;
        }
        if (!child || child->kind != Kind::Folder) return found;
        folder = std::move(child);
    }
    if (IsDeviceName(parts.back())) {
        found.status = FileStatus::Failed;
        return found;
    }
    found.node = folder->Child(parts.back());
    if (found.node && found.node->kind == Kind::Link && followLast)
        return Find(found.node->target, true, depth + 1);
    found.status = FileStatus::Ok;
    found.parent = std::move(folder);
    found.name = std::string(parts.back());
    if (!withPath) return found;
    if (!IsSeparator(folderPath.back())) folderPath += '\\';
    folderPath += found.node ? found.node->name : found.name;
    found.path = std::move(folderPath);
    return found;
}

SimFileSystem::Open* SimFileSystem::OpenOf(const FileHandle& file)
{
    const auto it = handles_.find(HandleOf(file));
    return it == handles_.end() ? nullptr : &it->second;
}

FileStatus SimFileSystem::AttachNew(FileHandle& out, std::shared_ptr<Data> data)
{
    ++data->opens;
    const uintptr_t handle = nextHandle_++;
    handles_[handle] = Open{std::move(data), 0};
    Attach(out, this, handle);
    return FileStatus::Ok;
}

void SimFileSystem::CloseHandle(uintptr_t handle)
{
    const auto it = handles_.find(handle);
    if (it == handles_.end()) return;
    --it->second.data->opens;
    handles_.erase(it);
}

void SimFileSystem::Unlink(Data& data)
{
    if (--data.names == 0) data.drive->free += data.bytes.size();
}

FileStatus SimFileSystem::ReadAll(std::string_view path, std::string& out)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->kind != Kind::File) return FileStatus::AccessDenied;
    if (found.node->data->Unreadable()) return FileStatus::Failed;
    out = found.node->data->bytes;
    return FileStatus::Ok;
}

FileStatus SimFileSystem::OpenForRead(std::string_view path, FileHandle& out, uint64_t& size)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->kind != Kind::File) return FileStatus::AccessDenied;
    if (found.node->data->Unreadable()) return FileStatus::Failed;
    size = found.node->data->bytes.size();
    return AttachNew(out, found.node->data);
}

FileStatus SimFileSystem::Read(const FileHandle& file, char* into, size_t capacity, size_t& got)
{
    got = 0;
    Open* open = OpenOf(file);
    if (!open) return FileStatus::Failed;
    if (failReadIn_ > 0 && --failReadIn_ == 0) return FileStatus::Failed;
    const std::string& bytes = open->data->bytes;
    if (open->position < bytes.size()) {
        got = static_cast<size_t>(std::min<uint64_t>(capacity, bytes.size() - open->position));
        if (readLimit_ > 0) got = std::min(got, readLimit_);
        std::copy_n(bytes.data() + open->position, got, into);
        open->position += got;
    }
    for (auto it = changes_.begin(); it != changes_.end();) {
        if (it->data == open->data && open->position >= it->after) {
            Data& data = *it->data;
            data.drive->free += data.bytes.size();
            data.drive->free -= std::min<uint64_t>(data.drive->free, it->bytes.size());
            data.bytes = std::move(it->bytes);
            it = changes_.erase(it);
        } else {
            ++it;
        }
    }
    return FileStatus::Ok;
}

void SimFileSystem::ChangeWhileRead(std::string_view path, uint64_t after, std::string bytes)
{
    const Found found = Find(path, true);
    if (found.node && found.node->data) changes_.push_back({found.node->data, after, std::move(bytes)});
}

FileInfo SimFileSystem::Query(std::string_view path)
{
    FileInfo info;
    const Found own = Find(path, false, 0, false);
    if (own.status != FileStatus::Ok || !own.node) return info;
    const Found found = own.node->kind == Kind::Link ? Find(path, true, 0, false) : own;
    if (found.status != FileStatus::Ok || !found.node) return info;
    info.exists = true;
    info.directory = found.node->kind == Kind::Folder;
    info.hidden = own.node->data ? own.node->data->hidden : own.node->hidden;
    info.lastWriteTime = found.node->data ? found.node->data->writeTime : found.node->writeTime;
    if (const Data* data = found.node->data.get()) {
        info.readOnly = data->readOnly;
        info.size = data->bytes.size();
        info.symbolicLink = own.node->kind == Kind::Link;
        info.hardLinks = static_cast<uint32_t>(data->names);
    }
    return info;
}

FileStatus SimFileSystem::ResolveLinks(std::string_view path, std::string& out)
{
    Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    out = std::move(found.path);
    return FileStatus::Ok;
}

FileStatus SimFileSystem::FreeSpace(std::string_view path, uint64_t& bytes)
{
    if (failFreeSpace_) return FileStatus::Failed;
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    const Drive* drive = found.node && found.node->data ? found.node->data->drive : found.drive;
    bytes = drive->free;
    return FileStatus::Ok;
}

FileStatus SimFileSystem::CreateTempFile(std::string_view folder, std::string& path,
                                         FileHandle& out)
{
    if (failCreateTemp_) return FileStatus::AccessDenied;
    const Found found = Find(folder, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node || found.node->kind != Kind::Folder) return FileStatus::NotFound;
    if (found.node->readOnlyFolder) return FileStatus::AccessDenied;
    std::string name;
    do {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, "~kp%08X.tmp", static_cast<unsigned>(nextTemp_++));
        name = buffer;
    } while (found.node->Child(name));
    auto node = std::make_shared<Node>();
    node->kind = Kind::File;
    node->name = name;
    node->data = std::make_shared<Data>();
    node->data->drive = found.drive;
    node->data->names = 1;
    node->data->writeTime = NextTime();
    found.node->AddChild(node);
    path = JoinPath(folder, name);
    return AttachNew(out, node->data);
}

FileStatus SimFileSystem::OpenForOverwrite(std::string_view path, FileHandle& out)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->kind != Kind::File || found.node->data->readOnly)
        return FileStatus::AccessDenied;
    Data& data = *found.node->data;
    if (data.Busy()) return FileStatus::Failed;  // not shared for writing
    data.drive->free += data.bytes.size();
    data.bytes.clear();
    data.bytes.shrink_to_fit();
    return AttachNew(out, found.node->data);
}

FileStatus SimFileSystem::Write(const FileHandle& file, std::string_view bytes)
{
    Open* open = OpenOf(file);
    if (!open) return FileStatus::Failed;
    bool failed = false;
    if (failWriteIn_ > 0 && --failWriteIn_ == 0) {
        bytes = bytes.substr(0, bytes.size() / 2);
        failed = true;
        if (failWritesOnward_) failWriteIn_ = 1;
    }
    Data& data = *open->data;
    const uint64_t size = data.bytes.size();
    // Only what the drive still has room for gets written.
    const uint64_t room = size - open->position + data.drive->free;
    if (bytes.size() > room) {
        bytes = bytes.substr(0, room);
        failed = true;
    }
    const uint64_t end = open->position + bytes.size();
    if (end > size) {
        data.bytes.resize(end);
        data.drive->free -= end - size;
    }
    std::copy(bytes.begin(), bytes.end(),
              data.bytes.begin() + static_cast<std::ptrdiff_t>(open->position));
    open->position = end;
    data.writeTime = NextTime();
    return failed ? FileStatus::Failed : FileStatus::Ok;
}

FileStatus SimFileSystem::Flush(const FileHandle& file)
{
    if (!OpenOf(file) || failFlush_) return FileStatus::Failed;
    return FileStatus::Ok;
}

FileStatus SimFileSystem::Replace(std::string_view target, std::string_view replacement)
{
    if (failReplace_) return FileStatus::Failed;
    const Found from = Find(replacement, false);
    if (from.status != FileStatus::Ok) return from.status;
    if (!from.node) return FileStatus::NotFound;
    if (from.node->kind == Kind::Folder) return FileStatus::AccessDenied;
    if (from.node->data && from.node->data->Busy()) return FileStatus::Failed;
    const Found to = Find(target, false);
    if (to.status != FileStatus::Ok) return to.status;
    if (!to.parent) return FileStatus::AccessDenied;  // a drive's root
    if (to.drive != from.drive) return FileStatus::Failed;
    if (to.node == from.node) return FileStatus::Ok;
    if (from.parent->readOnlyFolder || to.parent->readOnlyFolder) return FileStatus::AccessDenied;
    if (to.node) {
        if (to.node->kind == Kind::Folder) return FileStatus::AccessDenied;
        if (Data* data = to.node->data.get()) {
            if (data->readOnly) return FileStatus::AccessDenied;
            if (data->Busy()) return FileStatus::Failed;
            Unlink(*data);
        }
        to.parent->RemoveChild(to.node.get());
    }
    from.parent->RemoveChild(from.node.get());
    from.node->name = to.name;
    to.parent->AddChild(from.node);
    return FileStatus::Ok;
}

FileStatus SimFileSystem::Delete(std::string_view path)
{
    const Found found = Find(path, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->kind == Kind::Folder || found.parent->readOnlyFolder) return FileStatus::AccessDenied;
    if (Data* data = found.node->data.get()) {
        if (data->readOnly) return FileStatus::AccessDenied;
        if (data->Busy()) return FileStatus::Failed;
        Unlink(*data);
    }
    found.parent->RemoveChild(found.node.get());
    return FileStatus::Ok;
}

FileStatus SimFileSystem::CreateFolder(std::string_view path)
{
    const Found found = Find(path, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (found.node) return FileStatus::Failed;
    if (found.parent->readOnlyFolder) return FileStatus::AccessDenied;
    auto node = std::make_shared<Node>();
    node->name = found.name;
    node->writeTime = NextTime();
    found.parent->AddChild(std::move(node));
    return FileStatus::Ok;
}

FileStatus SimFileSystem::RemoveFolder(std::string_view path)
{
    const Found found = Find(path, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->kind != Kind::Folder || !found.parent || !found.node->Children().empty())
        return FileStatus::Failed;
    if (found.parent->readOnlyFolder) return FileStatus::AccessDenied;
    found.parent->RemoveChild(found.node.get());
    return FileStatus::Ok;
}

FileStatus SimFileSystem::ListFolder(std::string_view path, std::vector<std::string>& names)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node || found.node->kind != Kind::Folder) return FileStatus::NotFound;
    if (found.node->unlistable) return FileStatus::AccessDenied;
    names.clear();
    for (const auto& child : found.node->Children()) names.push_back(child->name);
    return FileStatus::Ok;
}

FileStatus SimFileSystem::ListFolderKinds(std::string_view path, std::vector<std::pair<std::string, bool>>& entries)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node || found.node->kind != Kind::Folder) return FileStatus::NotFound;
    if (found.node->unlistable) return FileStatus::AccessDenied;
    entries.clear();
    for (const auto& child : found.node->Children()) {
        const bool folder = child->kind == Kind::Link ? Query(JoinPath(path, child->name)).directory
                                                      : child->kind == Kind::Folder;
        entries.emplace_back(child->name, folder);
    }
    return FileStatus::Ok;
}

FileStatus SimFileSystem::SetReadOnly(std::string_view path, bool readOnly)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (found.node->data) found.node->data->readOnly = readOnly;
    return FileStatus::Ok;
}

FileStatus SimFileSystem::MakeHardLink(std::string_view existing, std::string_view newPath)
{
    const Found from = Find(existing, true);
    if (from.status != FileStatus::Ok) return from.status;
    if (!from.node) return FileStatus::NotFound;
    if (from.node->kind != Kind::File) return FileStatus::AccessDenied;
    const Found to = Find(newPath, false);
    if (to.status != FileStatus::Ok) return to.status;
    if (to.node || !to.parent || to.drive != from.node->data->drive) return FileStatus::Failed;
    if (to.parent->readOnlyFolder) return FileStatus::AccessDenied;
    auto node = std::make_shared<Node>();
    node->kind = Kind::File;
    node->name = to.name;
    node->data = from.node->data;
    ++node->data->names;
    to.parent->AddChild(std::move(node));
    return FileStatus::Ok;
}

FileStatus SimFileSystem::SetLastWriteTime(std::string_view path, uint64_t fileTime)
{
    const Found found = Find(path, true);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (Data* data = found.node->data.get()) {
        if (data->readOnly) return FileStatus::AccessDenied;
        data->writeTime = fileTime;
    } else {
        found.node->writeTime = fileTime;
    }
    return FileStatus::Ok;
}

FileStatus SimFileSystem::SetHidden(std::string_view path, bool hidden)
{
    const Found found = Find(path, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (Data* data = found.node->data.get())
        data->hidden = hidden;
    else
        found.node->hidden = hidden;
    return FileStatus::Ok;
}

FileStatus SimFileSystem::Rename(std::string_view from, std::string_view to)
{
    const Found source = Find(from, false);
    if (source.status != FileStatus::Ok) return source.status;
    if (!source.node) return FileStatus::NotFound;
    if (!source.parent) return FileStatus::AccessDenied;  // a drive's root
    if (source.node->data && source.node->data->Busy()) return FileStatus::Failed;
    const Found target = Find(to, false);
    if (target.status != FileStatus::Ok) return target.status;
    if (!target.parent) return FileStatus::Failed;
    if (target.drive != source.drive) return FileStatus::Failed;
    if (target.node && target.node != source.node) return FileStatus::Failed;
    if (source.parent->readOnlyFolder || target.parent->readOnlyFolder) return FileStatus::AccessDenied;
    // A folder cannot move into itself or below itself.
    if (source.node->kind == Kind::Folder && source.path.size() < target.path.size() &&
        EqualsIgnoreCase(std::string_view(target.path).substr(0, source.path.size() + 1),
                         source.path + '\\'))
        return FileStatus::Failed;
    source.parent->RemoveChild(source.node.get());
    source.node->name = target.name;
    target.parent->AddChild(source.node);
    return FileStatus::Ok;
}

void SimFileSystem::SetUnlistable(std::string_view path, bool unlistable)
{
    const Found found = Find(path, true);
    if (found.node && found.node->kind == Kind::Folder) found.node->unlistable = unlistable;
}

void SimFileSystem::SetDriveNotReady(char letter, bool notReady)
{
    const auto drive = drives_.find(static_cast<char>(letter & ~0x20));
    if (drive != drives_.end()) drive->second->notReady = notReady;
}

FileStatus SimFileSystem::Recycle(std::string_view path)
{
    const Found found = Find(path, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (!found.node) return FileStatus::NotFound;
    if (!found.parent) return FileStatus::AccessDenied;
    if ((found.node->data && (found.node->data->readOnly || found.node->data->Busy())) ||
        found.parent->readOnlyFolder)
        return FileStatus::AccessDenied;
    recycled_.push_back(found.path);
    found.parent->RemoveChild(found.node.get());
    return FileStatus::Ok;
}

std::vector<char> SimFileSystem::Drives() const
{
    std::vector<char> letters;
    for (const auto& [letter, drive] : drives_) letters.push_back(letter);
    return letters;
}

uint64_t SimFileSystem::NextTime()
{
    // Times move on by one second with each change, from 2001-01-01.
    constexpr uint64_t kStart = 126227808000000000u;
    return kStart + 10000000u * ++ticks_;
}

void SimFileSystem::AddDrive(char letter, uint64_t freeBytes)
{
    const char key = static_cast<char>(letter & ~0x20);
    if (drives_.count(key)) return SetFreeSpace(std::string_view(&key, 1), freeBytes);
    auto drive = std::make_shared<Drive>();
    drive->free = freeBytes;
    drive->root = std::make_shared<Node>();
    drives_[key] = std::move(drive);
}

void SimFileSystem::SetFreeSpace(std::string_view path, uint64_t freeBytes)
{
    if (path.empty()) return;
    const auto drive = drives_.find(static_cast<char>(path[0] & ~0x20));
    if (drive != drives_.end()) drive->second->free = freeBytes;
}

FileStatus SimFileSystem::MakeSymbolicLink(std::string_view linkPath, std::string_view target)
{
    const Found found = Find(linkPath, false);
    if (found.status != FileStatus::Ok) return found.status;
    if (found.node || !found.parent) return FileStatus::Failed;
    auto node = std::make_shared<Node>();
    node->kind = Kind::Link;
    node->name = found.name;
    node->target = std::string(target);
    found.parent->AddChild(std::move(node));
    return FileStatus::Ok;
}

void SimFileSystem::LockAgainstReading(std::string_view path, bool locked)
{
    const Found found = Find(path, true);
    if (found.node && found.node->data) found.node->data->lockedForReading = locked;
}

}  // namespace kp::platform

namespace kp::platform {

void SimFileSystem::HoldOpen(std::string_view path, bool held)
{
    const Found found = Find(path, true);
    if (found.node && found.node->data) found.node->data->heldOpen = held;
}

void SimFileSystem::SetFolderReadOnly(std::string_view path, bool readOnly)
{
    const Found found = Find(path, true);
    if (found.node && found.node->kind == Kind::Folder) found.node->readOnlyFolder = readOnly;
}

}  // namespace kp::platform
