#include "platform/shell/Win32ShellNamespace.h"

#include "base/Utf.h"

#include <windows.h>

#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <map>

namespace kp::platform {

namespace {

std::wstring Wide(std::string_view utf8)
{
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

std::string Narrow(const wchar_t* text)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), wcslen(text)));
}

bool ValidUtf8(std::string_view text) { return Utf16ToUtf8(Utf8ToUtf16(text)) == text; }

LPCITEMIDLIST Pidl(IdView view) { return reinterpret_cast<LPCITEMIDLIST>(view.bytes); }

std::vector<LPCITEMIDLIST> Pidls(std::span<const IdView> views)
{
    std::vector<LPCITEMIDLIST> out;
    for (const IdView view : views) out.push_back(Pidl(view));
    return out;
}

HWND Hwnd(WindowRef window) { return reinterpret_cast<HWND>(window); }

template <class T>
void ReleaseOf(T*& object)
{
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

class Win32ShellNamespace::Malloc final : public ShellAllocator {
public:
    explicit Malloc(IMalloc* malloc) : malloc_(malloc) {}
    ~Malloc() override { ReleaseOf(malloc_); }
    void* Alloc(size_t size) override { return malloc_->Alloc(size); }
    void Free(void* block) override { malloc_->Free(block); }
    size_t SizeOf(const void* block) override
    {
        const SIZE_T size = malloc_->GetSize(const_cast<void*>(block));
        return size == static_cast<SIZE_T>(-1) ? 0 : size;
    }

private:
    IMalloc* malloc_;
};

namespace {

class Menu final : public PopupMenu {
public:
    Menu(HMENU menu, bool owned) : menu_(menu), owned_(owned) {}
    ~Menu() override
    {
        if (owned_ && menu_) DestroyMenu(menu_);
    }
    HMENU Handle() const { return menu_; }

    int Count() const override { return GetMenuItemCount(menu_); }
    bool GetItem(int pos, Item& out) const override
    {
        const UINT state = GetMenuState(menu_, static_cast<UINT>(pos), MF_BYPOSITION);
        if (state == static_cast<UINT>(-1)) return false;
        out = Item{};
        out.state = state & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR);
        out.submenu = GetSubMenu(menu_, pos) != nullptr;
        out.id = out.submenu ? 0 : GetMenuItemID(menu_, pos);
        wchar_t text[256] = {};
        GetMenuStringW(menu_, static_cast<UINT>(pos), text, 256, MF_BYPOSITION);
        out.text = Narrow(text);
        return true;
    }
    PopupMenu* Submenu(int pos) override
    {
        const HMENU sub = GetSubMenu(menu_, pos);
        if (!sub) return nullptr;
        auto& child = children_[sub];
        if (!child) child = std::make_unique<Menu>(sub, false);
        return child.get();
    }
    bool Append(std::string_view text, uint32_t id) override
    {
        return AppendMenuW(menu_, MF_STRING, id, Wide(text).c_str()) != 0;
    }
    bool Delete(int pos) override { return DeleteMenu(menu_, static_cast<UINT>(pos), MF_BYPOSITION) != 0; }
    uint32_t Track(uint32_t flags, int x, int y, WindowRef owner) override
    {
        return static_cast<uint32_t>(TrackPopupMenu(menu_, flags, x, y, 0, Hwnd(owner), nullptr));
    }

private:
    HMENU menu_;
    bool owned_;
    std::map<HMENU, std::unique_ptr<Menu>> children_;
};

// The command record's size is its own, not the 32-bit one.
static_assert(sizeof(CMINVOKECOMMANDINFO) == (sizeof(void*) == 8 ? 56 : 36));

class ContextMenu final : public ShellContextMenu {
public:
    explicit ContextMenu(IContextMenu* menu) : menu_(menu) {}
    ~ContextMenu() override { ReleaseOf(menu_); }

    ShellResult QueryContextMenu(PopupMenu& menu, uint32_t index, uint32_t idFirst, uint32_t idLast,
                                 uint32_t flags) override
    {
        auto* real = dynamic_cast<Menu*>(&menu);
        if (!real) return E_INVALIDARG;
        return menu_->QueryContextMenu(real->Handle(), index, idFirst, idLast, flags);
    }
    ShellResult InvokeCommand(WindowRef owner, uint32_t verbOffset, int show) override
    {
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof info;  // 56 on x86-64
        info.hwnd = Hwnd(owner);
        info.lpVerb = MAKEINTRESOURCEA(verbOffset);
        info.nShow = show;
        return menu_->InvokeCommand(&info);
    }

private:
    IContextMenu* menu_;
};

class DataObject final : public ShellDataObject {
public:
    explicit DataObject(IDataObject* data) : data_(data) {}
    ~DataObject() override { ReleaseOf(data_); }
    IDataObject* Get() const { return data_; }

    std::vector<std::string> FilePaths() override
    {
        std::vector<std::string> paths;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (FAILED(data_->GetData(&format, &medium))) return paths;
        if (auto* drop = static_cast<HDROP>(GlobalLock(medium.hGlobal))) {
            const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                std::wstring name(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
                DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size()));
                paths.push_back(Narrow(name.c_str()));
            }
            GlobalUnlock(medium.hGlobal);
        }
        ReleaseStgMedium(&medium);
        return paths;
    }

private:
    IDataObject* data_;
};

class Walk final : public ShellEnum {
public:
    Walk(IEnumIDList* items, ShellAllocator* allocator) : items_(items), allocator_(allocator) {}
    ~Walk() override { ReleaseOf(items_); }
    ShellResult Next(IdList& out) override
    {
        LPITEMIDLIST item = nullptr;
        ULONG got = 0;
        const HRESULT result = items_->Next(1, &item, &got);
        if (result == S_OK && got == 1 && item) {
            out = IdList::Adopt(allocator_, item);
            return S_OK;
        }
        if (item) allocator_->Free(item);
        return result == S_OK ? S_FALSE : result;
    }

private:
    IEnumIDList* items_;
    ShellAllocator* allocator_;
};

// The drag source the drag loop sees: a COM object whose references are the
// portable source's own, so the source goes with the last one.
class DropSourceAdapter final : public IDropSource {
public:
    explicit DropSourceAdapter(DropSource& source) : source_(source) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
            *out = static_cast<IDropSource*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return source_.AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return source_.Release(); }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        return source_.QueryContinueDrag(escape != FALSE, keys);
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override { return source_.GiveFeedback(effect); }

private:
    DropSource& source_;
};

}  // namespace

class Win32ShellNamespace::Folder final : public ShellFolder {
public:
    Folder(IShellFolder* folder, ShellAllocator* allocator) : folder_(folder), allocator_(allocator) {}
    ~Folder() override { ReleaseOf(folder_); }
    IShellFolder* Get() const { return folder_; }

    ShellResult ParseDisplayName(std::string_view name, IdList& out) override
    {
        out.Reset();
        if (!ValidUtf8(name)) return E_INVALIDARG;
        std::wstring wide = Wide(name);
        LPITEMIDLIST list = nullptr;
        const HRESULT result = folder_->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &list, nullptr);
        if (FAILED(result)) {
            if (list) allocator_->Free(list);
            return result;
        }
        out = IdList::Adopt(allocator_, list);
        return out ? result : E_FAIL;
    }
    ShellResult EnumObjects(uint32_t flags, std::unique_ptr<ShellEnum>& out) override
    {
        out.reset();
        IEnumIDList* items = nullptr;
        // No owner window: a drive without its medium fails without a prompt.
        HRESULT result = folder_->EnumObjects(nullptr, flags, &items);
        if (FAILED(result)) {
            ReleaseOf(items);
            return result;
        }
        if (!items) return S_FALSE;
        out = std::make_unique<Walk>(items, allocator_);
        return result;
    }
    ShellResult BindToObject(IdView list, std::unique_ptr<ShellFolder>& out) override
    {
        out.reset();
        IShellFolder* bound = nullptr;
        const HRESULT result =
            folder_->BindToObject(Pidl(list), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&bound));
        if (FAILED(result) || !bound) {
            ReleaseOf(bound);
            return FAILED(result) ? result : E_FAIL;
        }
        out = std::make_unique<Folder>(bound, allocator_);
        return result;
    }
    ShellResult CompareIDs(uint32_t column, IdView a, IdView b) override
    {
        return folder_->CompareIDs(column, Pidl(a), Pidl(b));
    }
    ShellResult GetAttributesOf(std::span<const IdView> children, uint32_t& inOut) override
    {
        std::vector<LPCITEMIDLIST> lists = Pidls(children);
        ULONG bits = inOut;
        const HRESULT result = folder_->GetAttributesOf(static_cast<UINT>(lists.size()), lists.data(), &bits);
        inOut = bits;
        return result;
    }
    ShellResult GetDisplayNameOf(IdView child, uint32_t form, ShellName& out) override
    {
        STRRET name{};
        const HRESULT result = folder_->GetDisplayNameOf(Pidl(child), form, &name);
        if (FAILED(result)) return result;
        out = ShellName{};
        out.kind = name.uType;
        switch (name.uType) {
        case STRRET_WSTR:
            if (name.pOleStr) {
                out.wide = std::u16string(reinterpret_cast<const char16_t*>(name.pOleStr));
                CoTaskMemFree(name.pOleStr);
            }
            break;
        case STRRET_OFFSET: out.offset = name.uOffset; break;
        case STRRET_CSTR: std::memcpy(out.bytes.data(), name.cStr, out.bytes.size()); break;
        default: break;
        }
        return result;
    }
    ShellResult SetNameOf(WindowRef owner, IdView child, std::string_view name, uint32_t form,
                          IdList* newChild) override
    {
        if (!ValidUtf8(name)) return E_INVALIDARG;
        LPITEMIDLIST renamed = nullptr;
        const HRESULT result =
            folder_->SetNameOf(Hwnd(owner), Pidl(child), Wide(name).c_str(), form, newChild ? &renamed : nullptr);
        if (renamed) {
            if (SUCCEEDED(result) && newChild)
                *newChild = IdList::Adopt(allocator_, renamed);
            else
                allocator_->Free(renamed);
        }
        return result;
    }
    bool HasShellIcon() override
    {
        IShellIcon* icons = nullptr;
        const bool has = SUCCEEDED(folder_->QueryInterface(IID_IShellIcon, reinterpret_cast<void**>(&icons)));
        ReleaseOf(icons);
        return has;
    }
    ShellResult GetIconOf(IdView child, uint32_t flags, int& index) override
    {
        IShellIcon* icons = nullptr;
        HRESULT result = folder_->QueryInterface(IID_IShellIcon, reinterpret_cast<void**>(&icons));
        if (SUCCEEDED(result) && icons) result = icons->GetIconOf(Pidl(child), flags, &index);
        ReleaseOf(icons);
        return result;
    }
    ShellResult GetContextMenu(WindowRef owner, std::span<const IdView> children,
                               std::unique_ptr<ShellContextMenu>& out) override
    {
        out.reset();
        std::vector<LPCITEMIDLIST> lists = Pidls(children);
        IContextMenu* menu = nullptr;
        const HRESULT result = folder_->GetUIObjectOf(Hwnd(owner), static_cast<UINT>(lists.size()), lists.data(),
                                                      IID_IContextMenu, nullptr, reinterpret_cast<void**>(&menu));
        if (FAILED(result) || !menu) {
            ReleaseOf(menu);
            return FAILED(result) ? result : E_FAIL;
        }
        out = std::make_unique<ContextMenu>(menu);
        return result;
    }
    ShellResult GetDataObject(WindowRef owner, std::span<const IdView> children,
                              std::unique_ptr<ShellDataObject>& out) override
    {
        out.reset();
        std::vector<LPCITEMIDLIST> lists = Pidls(children);
        IDataObject* data = nullptr;
        const HRESULT result = folder_->GetUIObjectOf(Hwnd(owner), static_cast<UINT>(lists.size()), lists.data(),
                                                      IID_IDataObject, nullptr, reinterpret_cast<void**>(&data));
        if (FAILED(result) || !data) {
            ReleaseOf(data);
            return FAILED(result) ? result : E_FAIL;
        }
        out = std::make_unique<DataObject>(data);
        return result;
    }

private:
    IShellFolder* folder_;
    ShellAllocator* allocator_;
};

Win32ShellNamespace::Win32ShellNamespace()
{
    IMalloc* malloc = nullptr;
    if (FAILED(SHGetMalloc(&malloc)) || !malloc) return;
    allocator_ = std::make_unique<Malloc>(malloc);
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop)
        desktop_ = std::make_unique<Folder>(desktop, allocator_.get());
}

Win32ShellNamespace::~Win32ShellNamespace()
{
    desktop_.reset();
    allocator_.reset();
}

ShellAllocator* Win32ShellNamespace::Allocator() { return allocator_.get(); }

ShellFolder* Win32ShellNamespace::Desktop() { return desktop_.get(); }

ShellResult Win32ShellNamespace::SpecialFolderLocation(WindowRef owner, int folder, IdList& out)
{
    out.Reset();
    if (!allocator_) return E_FAIL;
    LPITEMIDLIST list = nullptr;
    const HRESULT result = SHGetSpecialFolderLocation(Hwnd(owner), folder, &list);
    if (FAILED(result)) {
        if (list) allocator_->Free(list);
        return result;
    }
    out = IdList::Adopt(allocator_.get(), list);
    return out ? result : E_FAIL;
}

bool Win32ShellNamespace::GetFileInfo(IdView absolute, uint32_t flags, ShellFileInfo& out)
{
    SHFILEINFOW info{};
    const DWORD_PTR result =
        SHGetFileInfoW(reinterpret_cast<LPCWSTR>(absolute.bytes), 0, &info, sizeof info, flags | SHGFI_PIDL);
    if (!result) return false;
    out = ShellFileInfo{};
    out.iconIndex = info.iIcon;
    out.typeName = Narrow(info.szTypeName);
    if (flags & SHGFI_SYSICONINDEX) out.imageList = result;
    return true;
}

bool Win32ShellNamespace::GetFileInfoOfPath(std::string_view path, uint32_t attributes, uint32_t flags,
                                            ShellFileInfo& out)
{
    SHFILEINFOW info{};
    const DWORD_PTR result = SHGetFileInfoW(Wide(path).c_str(), attributes, &info, sizeof info, flags);
    if (!result) return false;
    out = ShellFileInfo{};
    out.iconIndex = info.iIcon;
    out.typeName = Narrow(info.szTypeName);
    if (flags & SHGFI_SYSICONINDEX) out.imageList = result;
    return true;
}

uintptr_t Win32ShellNamespace::SystemImageList(bool small)
{
    SHFILEINFOW info{};
    return SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | (small ? SHGFI_SMALLICON : 0));
}

bool Win32ShellNamespace::GetFindData(ShellFolder& folder, IdView child, ShellFindData& out)
{
    auto* real = dynamic_cast<Folder*>(&folder);
    if (!real) return false;
    WIN32_FIND_DATAW data{};
    if (FAILED(SHGetDataFromIDListW(real->Get(), Pidl(child), SHGDFIL_FINDDATA, &data, sizeof data))) return false;
    out = ShellFindData{};
    out.attributes = data.dwFileAttributes;
    out.size = (uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    out.lastWriteTime = (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
    out.name = Narrow(data.cFileName);
    return true;
}

bool Win32ShellNamespace::GetPathFromIDList(IdView absolute, std::string& path)
{
    path.clear();
    wchar_t buffer[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(Pidl(absolute), buffer)) return false;
    path = Narrow(buffer);
    return !path.empty();
}

bool Win32ShellNamespace::Recycle(WindowRef owner, const std::vector<std::string>& paths, bool& anyAborted)
{
    anyAborted = false;
    std::wstring list;
    for (const std::string& path : paths) {
        list += Wide(path);
        list += L'\0';
    }
    list += L'\0';
    SHFILEOPSTRUCTW operation{};
    operation.hwnd = Hwnd(owner);
    operation.wFunc = FO_DELETE;
    operation.pFrom = list.c_str();
    operation.fFlags = FOF_ALLOWUNDO;
    const int result = SHFileOperationW(&operation);
    anyAborted = operation.fAnyOperationsAborted != FALSE;
    return result == 0;
}

bool Win32ShellNamespace::Execute(WindowRef owner, IdView absolute)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_IDLIST;
    info.hwnd = Hwnd(owner);
    info.lpIDList = const_cast<void*>(static_cast<const void*>(absolute.bytes));
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

std::unique_ptr<PopupMenu> Win32ShellNamespace::CreatePopupMenu()
{
    const HMENU menu = ::CreatePopupMenu();
    if (!menu) return nullptr;
    return std::make_unique<Menu>(menu, true);
}

ShellResult Win32ShellNamespace::DoDragDrop(ShellDataObject& data, DropSource& source, uint32_t allowedEffects,
                                            uint32_t& effect)
{
    effect = 0;
    auto* real = dynamic_cast<DataObject*>(&data);
    if (!real) return E_INVALIDARG;
    DropSourceAdapter adapter(source);
    DWORD result = 0;
    const HRESULT status = ::DoDragDrop(real->Get(), &adapter, allowedEffects, &result);
    effect = result;
    return status;
}

}  // namespace kp::platform
