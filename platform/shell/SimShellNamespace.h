#pragma once
// The shell namespace over a SimFileSystem, so that what the explorer pane
// lists is what the memo loads: the desktop holds マイ コンピューター (its
// children are the drives, " (C:)" …) and ごみ箱; file folders and files
// below the drives come from the file system. A Send To folder lives in the
// file system too; each of its files is a target whose content is the path of
// the folder it pastes into.
//
// Identifiers are a kind byte and the UTF-8 name; for name kind 1 the
// code-page-932 name follows, zero-terminated. The context menu carries the
// same command ids as the platform's (コピー(&C) 26, 削除(&D) 18, …) and its
// commands act on the file system: copy puts the paths on the shell's own
// clipboard, paste copies them into the target folder, delete moves to the
// recycle bin after the scripted confirmation.

#include "platform/codec/Cp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/shell/ShellNamespace.h"

#include <functional>
#include <map>

namespace kp::platform {

// The allocator, keeping every block's size; freed blocks are overwritten
// before they go, so a read after free shows.
class SimShellAllocator final : public ShellAllocator {
public:
    ~SimShellAllocator() override;
    void* Alloc(size_t size) override;
    void Free(void* block) override;
    size_t SizeOf(const void* block) override;

    // The nth Alloc from now (1 = the next) gives nothing; 0 turns this off.
    void FailAllocationNumber(int n) { failIn_ = n; }
    size_t Outstanding() const { return blocks_.size(); }
    int Allocations() const { return allocations_; }

private:
    std::map<const void*, size_t> blocks_;
    int failIn_ = 0;
    int allocations_ = 0;
};

struct SimShellOptions {
    // The name kind folders answer with: 0 wide, 1 offset, 2 byte buffer.
    uint32_t nameKind = ShellName::kWide;
    bool shellIcon = false;          // folders offer GetIconOf
    bool linkAttribute = true;       // ".lnk" files carry the link attribute
    bool answerUnasked = false;      // GetAttributesOf also answers bits nobody asked (as real shells may)
    bool sendToMenu = true;          // menus hold "送る(&N)" with one placeholder item
    bool sendToDisabled = false;     // … disabled
    bool workingPaste = true;        // paste copies; otherwise it does nothing
    bool confirmDeletion = true;     // the answer to the deletion confirmation
    bool emptyWalkWithoutEnumerator = false;  // an empty folder answers kFalse and no enumerator
    bool refuseAllocator = false;    // SHGetMalloc fails (no desktop either)
    bool refuseDesktop = false;
    std::string sendToFolder = "C:\\SendTo";
};

class SimShellNamespace final : public ShellNamespace {
public:
    SimShellNamespace(SimFileSystem& files, const Cp932Codec& codec, SimShellOptions options = {});
    ~SimShellNamespace() override;

    ShellAllocator* Allocator() override;
    ShellFolder* Desktop() override;
    ShellResult SpecialFolderLocation(WindowRef owner, int folder, IdList& out) override;
    bool GetFileInfo(IdView absolute, uint32_t flags, ShellFileInfo& out) override;
    bool GetFileInfoOfPath(std::string_view path, uint32_t attributes, uint32_t flags, ShellFileInfo& out) override;
    uintptr_t SystemImageList(bool small) override;
    bool GetFindData(ShellFolder& folder, IdView child, ShellFindData& out) override;
    bool GetPathFromIDList(IdView absolute, std::string& path) override;
    bool Recycle(WindowRef owner, const std::vector<std::string>& paths, bool& anyAborted) override;
    bool Execute(WindowRef owner, IdView absolute) override;
    std::unique_ptr<PopupMenu> CreatePopupMenu() override;
    ShellResult DoDragDrop(ShellDataObject& data, DropSource& source, uint32_t allowedEffects,
                           uint32_t& effect) override;

    // ---- Test controls ----
    SimShellOptions& Options() { return options_; }
    SimShellAllocator& SimAllocator() { return allocator_; }
    // Chooses from a menu when it is tracked: the id to return (0: dismissed).
    std::function<uint32_t(PopupMenu&)> onTrack;
    // The key states a drag goes through, one per QueryContinueDrag
    // (escape, button state); after the last the buttons are up.
    std::vector<std::pair<bool, uint32_t>> dragSteps;
    // What the shell's copy command put on its clipboard.
    std::vector<std::string> clipboardFiles;
    std::vector<std::string> executed;     // paths opened by Execute or 開く
    int confirmations = 0;                 // deletion confirmations asked
    int tracked = 0;                       // menus shown

    // The id of the item reached by a path of captions (submenus first),
    // 0 when there is none.
    static uint32_t IdByCaptions(PopupMenu& menu, const std::vector<std::string>& captions);

    // What an identifier path stands for.
    struct Ident {
        char kind;  // 'M' my computer, 'R' recycle bin, 'D' drive, 'F' folder, 'f' file
        std::string name;
    };
    using Path = std::vector<Ident>;
    class Folder;
    class Menu;
    class ContextMenu;
    class Data;

    // Internals shared with the folder objects.
    SimFileSystem& Files() { return files_; }
    const Cp932Codec& Codec() const { return codec_; }
    IdList Encode(const Path& path);
    bool Decode(IdView list, Path& out) const;
    // The kinds and names of a list's identifiers, pointing into the list.
    static bool DecodeViews(IdView list, std::vector<std::pair<char, std::string_view>>& out);
    static std::string FsPath(const Path& path);
    // answer: what the file system says of a file or folder, when asked.
    bool Exists(const Path& path, FileInfo* answer = nullptr);
    bool IsFolder(const Path& path);
    bool ListChildren(const Path& path, std::vector<Ident>& out);
    std::string NameOf(const Ident& ident) const;

private:
    SimFileSystem& files_;
    const Cp932Codec& codec_;
    SimShellOptions options_;
    SimShellAllocator allocator_;
    std::unique_ptr<ShellFolder> desktop_;
};

}  // namespace kp::platform
