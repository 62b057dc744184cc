#pragma once
// Helpers over item identifier lists, shared by the explorer pane's
// components: copying, joining, splitting, comparing and naming lists.
//
// Every list a helper returns is new, zero-filled and owned by the caller
// (IdList frees it through the allocator that issued it). Arguments are
// borrowed views; a walk never reads past a view's bound, and a malformed list
// (a cb of 1, an identifier that runs past the block or has no terminator
// after it) ends at the bad identifier.

#include "platform/codec/Cp932Codec.h"
#include "platform/shell/ShellNamespace.h"

#include <functional>
#include <string>

namespace kp::shell {

using platform::IdList;
using platform::IdView;
using platform::ShellAllocator;

// size zero-filled bytes; a null list when there is no allocator or memory.
IdList ShellAlloc(ShellAllocator* allocator, size_t size);
// Frees a list (a null list is ignored).
void ShellFree(IdList& list);

// 0 for no list; else 2 plus the sizes of its identifiers.
size_t IDListSize(IdView list);
// The position after the first identifier; null when the list is empty or
// holds one identifier only.
IdView NextItemID(IdView list);
// A one-item list of the first identifier (the empty list for the empty list).
IdList CopyFirstID(ShellAllocator* allocator, IdView list);
// a's identifiers followed by b's; (null, null) gives the empty list.
IdList ConcatIDLists(ShellAllocator* allocator, IdView a, IdView b);
// ConcatIDLists, then frees both.
IdList ConcatAndFree(ShellAllocator* allocator, IdList a, IdList b);
// Every identifier but the last; null for a one-item or empty list.
IdList ParentIDList(ShellAllocator* allocator, IdView list);
// A one-item list of the last identifier (the empty list for the empty list).
IdList LastItemID(ShellAllocator* allocator, IdView list);

// The folder's order of a and b on the name column: negative when a comes
// first, 0 for the same item, positive when b does; -1 when it cannot tell.
int CompareIDLists(platform::ShellFolder& folder, IdView a, IdView b);

// The display name of list (relative to folder) in form, as UTF-8. Names the
// folder gives as bytes (an offset into list, or a buffer) are code-page-932
// bytes and are read only up to their terminating zero inside the list or the
// buffer. False and an empty text when the folder refuses, the name kind is
// unknown or no terminator lies in bounds.
bool GetDisplayName(platform::ShellFolder& folder, IdView list, uint32_t form,
                    const platform::Cp932Codec& codec, std::string& text);

// The system image list index of an absolute list; -1 when the query fails.
int GetIconIndex(platform::ShellNamespace& shell, IdView absolute, uint32_t flags);

// How a walk over a folder's children ended.
enum class WalkEnd {
    NotStarted,  // the folder would not be walked
    Finished,    // the children ran out (or there were none)
    Stopped,     // visit asked to stop
};
// Walks the children one at a time; visit takes each (owned) and returns
// false to stop.
WalkEnd ForEachChild(platform::ShellFolder& folder, uint32_t flags, const std::function<bool(IdList)>& visit);

}  // namespace kp::shell
