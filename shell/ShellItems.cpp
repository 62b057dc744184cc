#include "shell/ShellItems.h"

#include "base/Utf.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace kp::shell {

using platform::ReadCb;
using platform::WriteCb;

namespace {

// The identifiers of a list that lie wholly inside its bound with a
// terminator's room after them: offsets and sizes.
struct Item {
    size_t offset;
    size_t cb;
};

std::vector<Item> Items(IdView list)
{
    std::vector<Item> items;
    if (!list) return items;
    size_t at = 0;
    while (at + 2 <= list.bound) {
        const size_t cb = ReadCb(list.bytes + at);
        if (cb < 2 || cb > list.bound - at || list.bound - at - cb < 2) break;
        items.push_back({at, cb});
        at += cb;
    }
    return items;
}

size_t FirstCb(IdView list)
{
    if (!list || list.bound < 2) return 0;
    const size_t cb = ReadCb(list.bytes);
    if (cb < 2 || cb > list.bound || list.bound - cb < 2) return 0;
    return cb;
}

// A new list holding bytes [from, from + size) of list, then the terminator.
IdList CopyRange(ShellAllocator* allocator, IdView list, size_t from, size_t size)
{
    IdList out = ShellAlloc(allocator, size + 2);
    if (out && size > 0) std::memcpy(out.Bytes(), list.bytes + from, size);
    return out;
}

}  // namespace

IdList ShellAlloc(ShellAllocator* allocator, size_t size)
{
    if (!allocator || size == 0) return {};
    void* block = allocator->Alloc(size);
    if (!block) return {};
    std::memset(block, 0, size);
    return IdList(allocator, static_cast<uint8_t*>(block), size);
}

void ShellFree(IdList& list) { list.Reset(); }

size_t IDListSize(IdView list)
{
    if (!list) return 0;
    size_t size = 2;
    for (const Item& item : Items(list)) size += item.cb;
    return size;
}

IdView NextItemID(IdView list)
{
    const size_t cb = FirstCb(list);
    if (cb == 0) return {};
    const IdView next{list.bytes + cb, list.bound - cb};
    if (FirstCb(next) == 0) return {};
    return next;
}

IdList CopyFirstID(ShellAllocator* allocator, IdView list)
{
    if (!list) return {};
    return CopyRange(allocator, list, 0, FirstCb(list));
}

IdList ConcatIDLists(ShellAllocator* allocator, IdView a, IdView b)
{
    const size_t na = a ? IDListSize(a) - 2 : 0;
    const size_t nb = b ? IDListSize(b) : 0;
    IdList out = ShellAlloc(allocator, na + nb + 2);
    if (!out) return out;
    if (na > 0) std::memcpy(out.Bytes(), a.bytes, na);
    // b's identifiers; its terminator and the one after it are the block's zeros.
    if (nb > 2) std::memcpy(out.Bytes() + na, b.bytes, nb - 2);
    return out;
}

IdList ConcatAndFree(ShellAllocator* allocator, IdList a, IdList b)
{
    IdList out = ConcatIDLists(allocator, a ? a.View() : IdView{}, b ? b.View() : IdView{});
    a.Reset();
    b.Reset();
    return out;
}

IdList ParentIDList(ShellAllocator* allocator, IdView list)
{
    const std::vector<Item> items = Items(list);
    if (items.size() < 2) return {};
    return CopyRange(allocator, list, 0, items.back().offset);
}

IdList LastItemID(ShellAllocator* allocator, IdView list)
{
    if (!list) return {};
    const std::vector<Item> items = Items(list);
    if (items.empty()) return CopyRange(allocator, list, 0, 0);
    return CopyRange(allocator, list, items.back().offset, items.back().cb);
}

int CompareIDLists(platform::ShellFolder& folder, IdView a, IdView b)
{
    const platform::ShellResult result = folder.CompareIDs(0, a, b);
    if (!platform::Succeeded(result)) return -1;
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint32_t>(result) & 0xFFFF));
}

bool GetDisplayName(platform::ShellFolder& folder, IdView list, uint32_t form,
                    const platform::Cp932Codec& codec, std::string& text)
{
    text.clear();
    platform::ShellName name;
    if (!platform::Succeeded(folder.GetDisplayNameOf(list, form, name))) return false;
    std::string_view bytes;
    switch (name.kind) {
    case platform::ShellName::kWide:
        text = Utf16ToUtf8(name.wide);
        return true;
    case platform::ShellName::kOffset: {
        const size_t size = std::min(IDListSize(list), list.bound);
        if (!list || name.offset >= size) return false;
        const auto* start = reinterpret_cast<const char*>(list.bytes) + name.offset;
        const void* end = std::memchr(start, 0, size - name.offset);
        if (!end) return false;
        bytes = std::string_view(start, static_cast<const char*>(end) - start);
        break;
    }
    case platform::ShellName::kBytes: {
        const void* end = std::memchr(name.bytes.data(), 0, name.bytes.size());
        if (!end) return false;
        bytes = std::string_view(name.bytes.data(), static_cast<const char*>(end) - name.bytes.data());
        break;
    }
    default:
        return false;
    }
    text = Utf16ToUtf8(codec.ToUtf16(bytes));
    return true;
}

int GetIconIndex(platform::ShellNamespace& shell, IdView absolute, uint32_t flags)
{
    platform::ShellFileInfo info;
    if (!shell.GetFileInfo(absolute, flags | platform::fileinfo::kPidl, info)) return -1;
    return info.iconIndex;
}

WalkEnd ForEachChild(platform::ShellFolder& folder, uint32_t flags, const std::function<bool(IdList)>& visit)
{
    std::unique_ptr<platform::ShellEnum> items;
    const platform::ShellResult started = folder.EnumObjects(flags, items);
    if (!platform::Succeeded(started)) return WalkEnd::NotStarted;
    if (!items) return started == platform::shellcode::kFalse ? WalkEnd::Finished : WalkEnd::NotStarted;
    for (;;) {
        IdList child;
        if (items->Next(child) != platform::shellcode::kOk || !child) return WalkEnd::Finished;
        if (!visit(std::move(child))) return WalkEnd::Stopped;
    }
}

}  // namespace kp::shell
