#pragma once
// The real shell namespace (shell32, ole32). The allocator (SHGetMalloc) and
// the desktop folder (only once the allocator was obtained) are taken when the
// object is made and released, in reverse order, when it goes; OLE must be
// initialised on the thread for its whole life.

#include "platform/shell/ShellNamespace.h"

namespace kp::platform {

class Win32ShellNamespace final : public ShellNamespace {
public:
    Win32ShellNamespace();
    ~Win32ShellNamespace() override;
    Win32ShellNamespace(const Win32ShellNamespace&) = delete;
    Win32ShellNamespace& operator=(const Win32ShellNamespace&) = delete;

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

    class Malloc;
    class Folder;

private:
    std::unique_ptr<Malloc> allocator_;
    std::unique_ptr<Folder> desktop_;
};

}  // namespace kp::platform
