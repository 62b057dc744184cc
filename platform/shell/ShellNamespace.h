#pragma once
// The shell namespace: the desktop and the folders below it (drives, file
// folders, virtual folders), the names, attributes and icons of their items,
// the shell's context menus and the drag loop. UTF-8 at its edges; results
// are the shell's own status codes (negative: failure); a window is an opaque
// reference (0: none).
//
// Win32ShellNamespace is the real shell; SimShellNamespace builds the same
// namespace over a SimFileSystem.

#include "platform/shell/IdList.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kp::platform {

using ShellResult = int32_t;
using WindowRef = uintptr_t;

namespace shellcode {
constexpr ShellResult kOk = 0;
constexpr ShellResult kFalse = 1;
constexpr ShellResult kNotImplemented = static_cast<int32_t>(0x80004001);
constexpr ShellResult kNoInterface = static_cast<int32_t>(0x80004002);
constexpr ShellResult kFail = static_cast<int32_t>(0x80004005);
constexpr ShellResult kOutOfMemory = static_cast<int32_t>(0x8007000E);
constexpr ShellResult kInvalidArgument = static_cast<int32_t>(0x80070057);
constexpr ShellResult kNotFound = static_cast<int32_t>(0x80070002);
constexpr ShellResult kPathNotFound = static_cast<int32_t>(0x80070003);
constexpr ShellResult kAccessDenied = static_cast<int32_t>(0x80070005);
constexpr ShellResult kAlreadyExists = static_cast<int32_t>(0x800700B7);
constexpr ShellResult kNotReady = static_cast<int32_t>(0x80070015);
constexpr ShellResult kCancelled = static_cast<int32_t>(0x800704C7);
// Drag loop.
constexpr ShellResult kDragDrop = 0x00040100;
constexpr ShellResult kDragCancel = 0x00040101;
constexpr ShellResult kDragUseDefaultCursors = 0x00040102;
}  // namespace shellcode

inline bool Succeeded(ShellResult result) { return result >= 0; }

// EnumObjects inclusion flags.
namespace enumflags {
constexpr uint32_t kFolders = 0x20;
constexpr uint32_t kNonFolders = 0x40;
constexpr uint32_t kIncludeHidden = 0x80;
}  // namespace enumflags

// GetAttributesOf bits.
namespace attr {
constexpr uint32_t kCanCopy = 0x1;
constexpr uint32_t kCanMove = 0x2;
constexpr uint32_t kCanLink = 0x4;
constexpr uint32_t kCanRename = 0x10;
constexpr uint32_t kCanDelete = 0x20;
constexpr uint32_t kHasPropSheet = 0x40;
constexpr uint32_t kDropTarget = 0x100;
constexpr uint32_t kLink = 0x10000;
constexpr uint32_t kReadOnly = 0x40000;
constexpr uint32_t kFileSysAncestor = 0x10000000;
constexpr uint32_t kFolder = 0x20000000;
constexpr uint32_t kFileSystem = 0x40000000;
constexpr uint32_t kHasSubfolder = 0x80000000;
}  // namespace attr

// Display-name forms.
namespace nameform {
constexpr uint32_t kNormal = 0;
constexpr uint32_t kInFolder = 1;
constexpr uint32_t kForParsing = 0x8000;
}  // namespace nameform

// Special folders.
namespace csidl {
constexpr int kDesktop = 0;
constexpr int kSendTo = 9;
constexpr int kDrives = 17;
}  // namespace csidl

// A display name as a folder returns it, in one of three kinds.
struct ShellName {
    enum Kind : uint32_t { kWide = 0, kOffset = 1, kBytes = 2 };
    uint32_t kind = kWide;
    std::u16string wide;             // kWide
    uint32_t offset = 0;             // kOffset: into the list that was asked about
    std::array<char, 260> bytes{};  // kBytes: zero-terminated code-page-932 bytes
};

// A pop-up menu: the shell fills it, the program appends to it and shows it.
class PopupMenu {
public:
    struct Item {
        std::string text;  // UTF-8; empty for a separator
        uint32_t id = 0;
        uint32_t state = 0;  // grayed 0x1, disabled 0x2, separator 0x800 (as the type says)
        bool submenu = false;
    };
    static constexpr uint32_t kGrayed = 0x1;
    static constexpr uint32_t kDisabled = 0x2;
    static constexpr uint32_t kSeparator = 0x800;

    virtual ~PopupMenu() = default;
    virtual int Count() const = 0;
    // False when there is no item at pos (0-based).
    virtual bool GetItem(int pos, Item& out) const = 0;
    // The submenu of the item at pos, owned by this menu; nullptr when it has none.
    virtual PopupMenu* Submenu(int pos) = 0;
    virtual bool Append(std::string_view text, uint32_t id) = 0;
    virtual bool Delete(int pos) = 0;
    // Shows the menu at a screen point until the user chooses or dismisses
    // it: the chosen item's id, 0 when dismissed.
    virtual uint32_t Track(uint32_t flags, int x, int y, WindowRef owner) = 0;
};

// The context menu the shell gives for some items of one folder.
class ShellContextMenu {
public:
    virtual ~ShellContextMenu() = default;
    virtual ShellResult QueryContextMenu(PopupMenu& menu, uint32_t index, uint32_t idFirst, uint32_t idLast,
                                         uint32_t flags) = 0;
    // Carries out the command at verbOffset (its menu id - idFirst).
    virtual ShellResult InvokeCommand(WindowRef owner, uint32_t verbOffset, int show) = 0;
};

// Data describing some items, for a drag or the clipboard.
class ShellDataObject {
public:
    virtual ~ShellDataObject() = default;
    // The file paths it carries (CF_HDROP), empty when it carries none.
    virtual std::vector<std::string> FilePaths() = 0;
};

// What a drag asks of its source, with reference counting: the drag loop
// keeps it alive while it needs it.
class DropSource {
public:
    virtual uint32_t AddRef() = 0;
    virtual uint32_t Release() = 0;
    virtual ShellResult QueryContinueDrag(bool escapePressed, uint32_t keyState) = 0;
    virtual ShellResult GiveFeedback(uint32_t effect) = 0;

protected:
    virtual ~DropSource() = default;
};

class ShellEnum {
public:
    virtual ~ShellEnum() = default;
    // The next child as a new one-item list; anything but kOk ends the walk.
    virtual ShellResult Next(IdList& out) = 0;
};

class ShellFolder {
public:
    virtual ~ShellFolder() = default;
    // A path (or "::{CLSID}" name) to an absolute list; from the desktop folder.
    virtual ShellResult ParseDisplayName(std::string_view name, IdList& out) = 0;
    // Starts a walk over the children. No owner window goes with it, so a
    // drive without its medium fails without asking for one. kFalse with no
    // enumerator is a walk with no children.
    virtual ShellResult EnumObjects(uint32_t flags, std::unique_ptr<ShellEnum>& out) = 0;
    virtual ShellResult BindToObject(IdView list, std::unique_ptr<ShellFolder>& out) = 0;
    // The raw code: the low 16 bits hold the signed order.
    virtual ShellResult CompareIDs(uint32_t column, IdView a, IdView b) = 0;
    // inOut holds the asked bits on entry and the answer on return.
    virtual ShellResult GetAttributesOf(std::span<const IdView> children, uint32_t& inOut) = 0;
    virtual ShellResult GetDisplayNameOf(IdView child, uint32_t form, ShellName& out) = 0;
    // Renames a child; newChild (when given) receives its new one-item list.
    virtual ShellResult SetNameOf(WindowRef owner, IdView child, std::string_view name, uint32_t form,
                                  IdList* newChild) = 0;
    // The optional shell-icon interface: HasShellIcon tells whether the folder
    // has one; GetIconOf with the open-icon (1) or for-shell (2) flags.
    virtual bool HasShellIcon() = 0;
    virtual ShellResult GetIconOf(IdView child, uint32_t flags, int& index) = 0;
    virtual ShellResult GetContextMenu(WindowRef owner, std::span<const IdView> children,
                                       std::unique_ptr<ShellContextMenu>& out) = 0;
    virtual ShellResult GetDataObject(WindowRef owner, std::span<const IdView> children,
                                      std::unique_ptr<ShellDataObject>& out) = 0;
};

// Find data of a file-system item.
struct ShellFindData {
    uint32_t attributes = 0;  // FILE_ATTRIBUTE_* bits
    uint64_t size = 0;
    uint64_t lastWriteTime = 0;  // 100 ns since 1601
    std::string name;
};

// SHGetFileInfo flags used by the pane.
namespace fileinfo {
constexpr uint32_t kIcon = 0x100;
constexpr uint32_t kTypeName = 0x400;
constexpr uint32_t kSysIconIndex = 0x4000;
constexpr uint32_t kSmallIcon = 0x1;
constexpr uint32_t kOpenIcon = 0x2;
constexpr uint32_t kPidl = 0x8;
}  // namespace fileinfo

struct ShellFileInfo {
    int iconIndex = -1;
    std::string typeName;  // UTF-8
    uintptr_t imageList = 0;
};

class ShellNamespace {
public:
    virtual ~ShellNamespace() = default;

    // The process-wide allocator; nullptr when the shell refused it.
    virtual ShellAllocator* Allocator() = 0;
    // The desktop folder; nullptr unless it was obtained (never without the
    // allocator).
    virtual ShellFolder* Desktop() = 0;
    virtual ShellResult SpecialFolderLocation(WindowRef owner, int folder, IdList& out) = 0;

    // SHGetFileInfo over an absolute list (flags include kPidl) or a path.
    virtual bool GetFileInfo(IdView absolute, uint32_t flags, ShellFileInfo& out) = 0;
    virtual bool GetFileInfoOfPath(std::string_view path, uint32_t attributes, uint32_t flags,
                                   ShellFileInfo& out) = 0;
    virtual uintptr_t SystemImageList(bool small) = 0;
    // The find data of a child (SHGetDataFromIDList); false for virtual items.
    virtual bool GetFindData(ShellFolder& folder, IdView child, ShellFindData& out) = 0;
    // The path of an absolute list; false for a virtual item.
    virtual bool GetPathFromIDList(IdView absolute, std::string& path) = 0;
    // Moves files to the recycle bin after the shell's confirmation. True when
    // the operation ran; anyAborted when the user refused some of it.
    virtual bool Recycle(WindowRef owner, const std::vector<std::string>& paths, bool& anyAborted) = 0;
    // Opens an absolute list as a double-click in the shell would.
    virtual bool Execute(WindowRef owner, IdView absolute) = 0;

    virtual std::unique_ptr<PopupMenu> CreatePopupMenu() = 0;
    // Runs the drag loop until the drop or the cancel.
    virtual ShellResult DoDragDrop(ShellDataObject& data, DropSource& source, uint32_t allowedEffects,
                                   uint32_t& effect) = 0;
};

}  // namespace kp::platform
