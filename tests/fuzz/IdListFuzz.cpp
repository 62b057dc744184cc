// Identifier lists as the shell may hand them over, malformed ones included
// (a cb of 0 or 1, an identifier that runs past the block, no room for a
// terminator, a view bound shorter than the block): every helper reads only
// inside the view's bound (the block is allocated to its exact size, so a
// read past it is a sanitizer report), agrees with a plain walk of the
// identifiers, returns lists that walk back to the same identifiers, and
// frees what it allocates; with the allocator failing, helpers return null.

#include "platform/shell/SimShellNamespace.h"
#include "shell/ShellItems.h"
#include "tests/fuzz/FuzzSupport.h"

#include <memory>

namespace kp::fuzz {
namespace {

using platform::IdView;

// The identifiers by the plain rule: an identifier of cb >= 2 bytes that
// lies inside the bound with room for a terminator after it; the first
// that does not ends the list.
std::vector<std::string> Walk(IdView list)
{
    std::vector<std::string> items;
    if (!list) return items;
    for (size_t at = 0; at + 2 <= list.bound;) {
        const size_t cb = list.bytes[at] | static_cast<size_t>(list.bytes[at + 1]) << 8;
        if (cb < 2 || at + cb + 2 > list.bound) break;
        items.emplace_back(reinterpret_cast<const char*>(list.bytes + at), cb);
        at += cb;
    }
    return items;
}

std::string Joined(const std::vector<std::string>& items, size_t from, size_t to)
{
    std::string out;
    for (size_t i = from; i < to; ++i) out += items[i];
    return out;
}

// A returned list holds exactly these identifiers and a terminator.
void CheckList(const platform::IdList& list, const std::string& identifiers, const std::string& what)
{
    KP_CHECK(list, what + ": no list");
    KP_CHECK(list.BlockSize() >= identifiers.size() + 2, what + ": block too small");
    const std::string bytes(reinterpret_cast<const char*>(list.Bytes()), identifiers.size() + 2);
    KP_CHECK(bytes == identifiers + std::string(2, '\0'), what + ": " + Escaped(bytes) + " for " + Escaped(identifiers));
    KP_CHECK(shell::IDListSize(list.View()) == identifiers.size() + 2, what + ": size does not walk back");
}

// One list from the input: well-formed identifiers, raw bytes, or both.
std::vector<uint8_t> Block(FuzzInput& in)
{
    std::vector<uint8_t> block;
    for (size_t n = in.Pick(5); n > 0; --n) {
        if (in.Pick(4) == 0) {
            const std::string raw = in.Bytes(6);
            block.insert(block.end(), raw.begin(), raw.end());
            continue;
        }
        const std::string payload = in.Bytes(5);
        const size_t cb = payload.size() + 2;
        block.push_back(static_cast<uint8_t>(cb));
        block.push_back(static_cast<uint8_t>(cb >> 8));
        block.insert(block.end(), payload.begin(), payload.end());
    }
    if (in.Pick(3) != 0) block.insert(block.end(), {0, 0});
    return block;
}

void Run(FuzzInput& in)
{
    const long liveBefore = platform::IdList::Live();
    {
        platform::SimShellAllocator allocator;
        const std::vector<uint8_t> a = Block(in);
        const std::vector<uint8_t> b = Block(in);
        // Exact-size copies: a byte past the block is outside the heap allocation.
        const auto copyA = std::make_unique<uint8_t[]>(a.size());
        const auto copyB = std::make_unique<uint8_t[]>(b.size());
        std::copy(a.begin(), a.end(), copyA.get());
        std::copy(b.begin(), b.end(), copyB.get());
        const IdView viewA{a.empty() && in.Flag() ? nullptr : copyA.get(), a.size() - std::min(a.size(), in.Pick(3))};
        const IdView viewB{b.empty() && in.Flag() ? nullptr : copyB.get(), b.size()};
        if (in.Pick(6) == 0) allocator.FailAllocationNumber(static_cast<int>(in.Pick(3)) + 1);

        const std::vector<std::string> items = Walk(viewA);
        const std::string what = "list " + Escaped(std::string(a.begin(), a.end())) + " bound " + std::to_string(viewA.bound);
        KP_CHECK(shell::IDListSize(viewA) == (viewA ? Joined(items, 0, items.size()).size() + 2 : 0), what + ": size");

        const IdView next = shell::NextItemID(viewA);
        KP_CHECK(items.size() < 2 ? !next : next.bytes == viewA.bytes + items[0].size(), what + ": next identifier");
        if (next) KP_CHECK(Walk(next) == std::vector<std::string>(items.begin() + 1, items.end()), what + ": rest");

        const auto attempt = [&](platform::IdList list, const std::string& expected, const char* helper) {
            if (list) CheckList(list, expected, what + ": " + helper);
        };
        if (viewA) {
            attempt(shell::CopyFirstID(&allocator, viewA), items.empty() ? "" : items.front(), "first");
            attempt(shell::LastItemID(&allocator, viewA), items.empty() ? "" : items.back(), "last");
        }
        platform::IdList parent = shell::ParentIDList(&allocator, viewA);
        KP_CHECK(items.size() >= 2 || !parent, what + ": parent of fewer than two identifiers");
        attempt(std::move(parent), items.size() < 2 ? "" : Joined(items, 0, items.size() - 1), "parent");
        const std::vector<std::string> itemsB = Walk(viewB);
        attempt(shell::ConcatIDLists(&allocator, viewA, viewB),
                Joined(items, 0, items.size()) + Joined(itemsB, 0, itemsB.size()), "concatenation");
        KP_CHECK(allocator.Outstanding() == 0, what + ": " + std::to_string(allocator.Outstanding()) + " blocks not freed");
    }
    KP_CHECK(platform::IdList::Live() == liveBefore, "identifier lists left alive");
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
