// The contract suites under Wine or Windows: against the real platform, and
// against the simulation in the same run.

#include "base/Utf.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clipboard/Win32Clipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/clock/Win32Clock.h"
#include "platform/codec/Win32Cp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/files/Win32FileSystem.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/keynames/Win32KeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/locale/Win32DateTimeLocale.h"
#include "platform/locale/Win32LocaleCompare.h"
#include "platform/printer/Win32PrintDevice.h"
#include "platform/registry/SimRegistry.h"
#include "platform/registry/Win32Registry.h"
#include "platform/shell/Win32ShellNamespace.h"
#include "platform/syscolors/SimSysColors.h"
#include "platform/syscolors/Win32SysColors.h"
#include "platform/textmetrics/SimTextMetrics.h"
#include "platform/textmetrics/Win32TextMetrics.h"
#include "memo/win32/Win32MemoWindow.h"
#include "tests/contract/CanvasContract.h"
#include "tests/contract/ClipboardContract.h"
#include "tests/contract/ClockContract.h"
#include "tests/contract/ShellViewsContract.h"
#include "tests/contract/SimViewStages.h"
#include "tests/contract/Win32ViewStages.h"
#include "tests/contract/Cp932CodecContract.h"
#include "tests/contract/DateTimeLocaleContract.h"
#include "tests/contract/FileSystemContract.h"
#include "tests/contract/Win32FormStage.h"
#include "tests/contract/KeyNamesContract.h"
#include "tests/contract/LocaleCompareContract.h"
#include "tests/contract/PrintDeviceContract.h"
#include "tests/contract/RegIniFileContract.h"
#include "tests/contract/RegistryContract.h"
#include "tests/contract/ShellNamespaceContract.h"
#include "tests/contract/SysColorsContract.h"
#include "tests/contract/TextMetricsContract.h"
#include "tests/TestPlatform.h"

#include <windows.h>
#include <winspool.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

namespace kp::test {

using platform::Cp932Codec;
using platform::Registry;
using platform::SysColors;

// The prefix's default printer (the PostScript file printer the test set-up
// installs), each job written to a file of its own; pages are counted in the
// PostScript's "%%Pages:" comment.
class Win32PrinterUnderTest final : public PrintDeviceUnderTest {
public:
    ~Win32PrinterUnderTest() override
    {
        for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    }
    std::unique_ptr<platform::PrintDevice> Open() override
    {
        DWORD size = 0;
        GetDefaultPrinterW(nullptr, &size);
        std::wstring name(size, L'\0');
        if (size == 0 || !GetDefaultPrinterW(name.data(), &size))
            throw std::runtime_error("the test prefix has no default printer");
        name.resize(size - 1);
        HDC dc = CreateDCW(L"WINSPOOL", name.c_str(), nullptr, nullptr);
        if (!dc) throw std::runtime_error("the default printer gives no device context");
        wchar_t folder[MAX_PATH];
        wchar_t file[MAX_PATH];
        GetTempPathW(MAX_PATH, folder);
        GetTempFileNameW(folder, L"kpp", 0, file);
        DeleteFileW(file);
        files_.push_back(file);
        return std::make_unique<platform::Win32PrintDevice>(dc, TestCodec(), Utf16ToUtf8(reinterpret_cast<const char16_t*>(file)));
    }
    int PagesPrinted() override
    {
        if (files_.empty()) return 0;
        HANDLE handle = CreateFileW(files_.back().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return 0;
        std::string text;
        char buffer[65536];
        DWORD read = 0;
        while (ReadFile(handle, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
        CloseHandle(handle);
        int pages = 0;
        for (size_t at = text.find("%%Pages:"); at != std::string::npos; at = text.find("%%Pages:", at + 1)) {
            const int value = std::atoi(text.c_str() + at + 8);
            if (value > 0) pages = value;
        }
        return pages;
    }

private:
    std::vector<std::wstring> files_;
};

const Implementation<Registry> kSimRegistry{
    "Sim", [] { return std::make_unique<platform::SimRegistry>(); }};
const Implementation<Registry> kWin32Registry{
    "Win32", [] { return std::make_unique<platform::Win32Registry>(); }};

KP_CONTRACT_INSTANCES(RegistryContract, Registry, kWin32Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(PrintDeviceContract, PrintDeviceUnderTest,
                      Implementation<PrintDeviceUnderTest>{
                          "Win32", [] { return std::make_unique<Win32PrinterUnderTest>(); }},
                      kSimPrinter);
KP_CONTRACT_INSTANCES(RegIniFileContract, Registry, kWin32Registry, kSimRegistry);
KP_CONTRACT_INSTANCES(Cp932CodecContract, Cp932Codec,
                      Implementation<Cp932Codec>{
                          "Win32", [] { return std::make_unique<platform::Win32Cp932Codec>(); }});
KP_CONTRACT_INSTANCES(SysColorsContract, SysColors,
                      Implementation<SysColors>{
                          "Win32", [] { return std::make_unique<platform::Win32SysColors>(); }},
                      Implementation<SysColors>{
                          "Sim", [] { return std::make_unique<platform::SimSysColors>(); }});
KP_CONTRACT_INSTANCES(ClipboardContract, platform::Clipboard,
                      Implementation<platform::Clipboard>{
                          "Win32", [] { return std::make_unique<platform::Win32Clipboard>(); }},
                      Implementation<platform::Clipboard>{
                          "Sim", [] { return std::make_unique<platform::SimClipboard>(); }});
KP_CONTRACT_INSTANCES(TextMetricsContract, platform::TextMetrics,
                      Implementation<platform::TextMetrics>{
                          "Win32", [] { return std::make_unique<platform::Win32TextMetrics>(); }},
                      Implementation<platform::TextMetrics>{
                          "Sim", [] { return std::make_unique<platform::SimTextMetrics>(); }});
KP_CONTRACT_INSTANCES(FileSystemContract, FileSystemUnderTest,
                      FilesUnderTest<platform::Win32FileSystem>("Win32", [] {
                          return platform::JoinPath(platform::Win32FileSystem::TempFolder(),
                                                    UniqueScratchName());
                      }),
                      FilesUnderTest<platform::SimFileSystem>("Sim", [] { return "C:\\scratch"; }));
KP_CONTRACT_INSTANCES(KeyNamesContract, platform::KeyNames,
                      Implementation<platform::KeyNames>{
                          "Win32", [] { return std::make_unique<platform::Win32KeyNames>(); }},
                      Implementation<platform::KeyNames>{
                          "Sim", [] { return std::make_unique<platform::SimKeyNames>(); }});
KP_CONTRACT_INSTANCES(LocaleCompareContract, platform::LocaleCompare,
                      Implementation<platform::LocaleCompare>{
                          "Win32", [] { return std::make_unique<platform::Win32LocaleCompare>(); }},
                      Implementation<platform::LocaleCompare>{
                          "Sim", [] { return std::make_unique<platform::SimLocaleCompare>(); }});
KP_CONTRACT_INSTANCES(ClockContract, platform::Clock,
                      Implementation<platform::Clock>{
                          "Win32", [] { return std::make_unique<platform::Win32Clock>(); }},
                      Implementation<platform::Clock>{
                          "Sim", [] { return std::make_unique<platform::SimClock>(); }});
KP_CONTRACT_INSTANCES(DateTimeLocaleContract, platform::DateTimeLocale,
                      Implementation<platform::DateTimeLocale>{
                          "Win32", [] { return std::make_unique<platform::Win32DateTimeLocale>(); }},
                      Implementation<platform::DateTimeLocale>{
                          "Sim", [] { return std::make_unique<platform::SimDateTimeLocale>(); }});

namespace {

// A memory DC over a bitmap; pixels are read back with GetPixel.
class Win32CanvasSurface final : public CanvasSurface {
public:
    Win32CanvasSurface()
        : screen_(GetDC(nullptr)),
          dc_(CreateCompatibleDC(screen_)),
          bitmap_(CreateCompatibleBitmap(screen_, kSize, kSize)),
          old_(SelectObject(dc_, bitmap_)),
          device_(dc_)
    {
    }
    ~Win32CanvasSurface() override
    {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
        ReleaseDC(nullptr, screen_);
    }
    memo::CanvasDevice& Device() override { return device_; }
    uint32_t Pixel(int x, int y) override
    {
        GdiFlush();
        return static_cast<uint32_t>(GetPixel(dc_, x, y)) & 0x00FFFFFF;
    }

private:
    HDC screen_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    memo::Win32CanvasDevice device_;
};

}  // namespace

KP_CONTRACT_INSTANCES(CanvasContract, CanvasSurface,
                      Implementation<CanvasSurface>{"Win32", [] { return std::make_unique<Win32CanvasSurface>(); }},
                      Implementation<CanvasSurface>{"Sim", MakeSimCanvasSurface});
// OLE for the whole run, as the program has it.
class OleEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { OleInitialize(nullptr); }
    void TearDown() override { OleUninitialize(); }
};
const auto* const kOle = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

// A shortcut file made with the platform's own shortcut object.
bool MakeShellLink(const std::string& path, const std::string& target)
{
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return false;
    IPersistFile* file = nullptr;
    const std::u16string wideTarget = Utf8ToUtf16(target), widePath = Utf8ToUtf16(path);
    bool made = SUCCEEDED(link->SetPath(reinterpret_cast<const wchar_t*>(wideTarget.c_str()))) &&
                SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
                SUCCEEDED(file->Save(reinterpret_cast<const wchar_t*>(widePath.c_str()), TRUE));
    if (file) file->Release();
    link->Release();
    return made;
}

ShellUnderTest Win32Shell()
{
    ShellUnderTest under{std::make_unique<platform::Win32FileSystem>(),
                         std::make_unique<platform::Win32ShellNamespace>(),
                         platform::JoinPath(platform::Win32FileSystem::TempFolder(), UniqueScratchName()),
                         MakeShellLink,
                         // Wine's folders give every folder subfolders, keep
                         // the case of a name when only its case changes, and
                         // their menus have no Send To submenu.
                         true, true, true, false};
    return under;
}

KP_CONTRACT_INSTANCES(ShellNamespaceContract, ShellUnderTest,
                      Implementation<ShellUnderTest>{
                          "Win32", [] { return std::make_unique<ShellUnderTest>(Win32Shell()); }},
                      Implementation<ShellUnderTest>{
                          "Sim", [] { return std::make_unique<ShellUnderTest>(SimShellUnderTest()); }});
KP_CONTRACT_INSTANCES(TreeViewContract, TreeViewStage,
                      Implementation<TreeViewStage>{"Win32", [] { return std::make_unique<Win32TreeViewStage>(); }},
                      Implementation<TreeViewStage>{"Sim", [] { return std::make_unique<SimTreeViewStage>(); }});
KP_CONTRACT_INSTANCES(ListViewContract, ListViewStage,
                      Implementation<ListViewStage>{"Win32", [] { return std::make_unique<Win32ListViewStage>(); }},
                      Implementation<ListViewStage>{"Sim", [] { return std::make_unique<SimListViewStage>(); }});
KP_CONTRACT_INSTANCES(FormControlsContract, FormStage,
                      Implementation<FormStage>{"Win32", [] { return std::make_unique<Win32FormStage>(); }},
                      Implementation<FormStage>{"Sim", [] { return std::make_unique<SimFormStage>(); }});
KP_CONTRACT_INSTANCES(ComboBoxContract, ComboBoxStage,
                      Implementation<ComboBoxStage>{"Win32", [] { return std::make_unique<Win32ComboBoxStage>(); }},
                      Implementation<ComboBoxStage>{"Sim", [] { return std::make_unique<SimComboBoxStage>(); }});
KP_CONTRACT_INSTANCES(ShellViewsContract, ShellViewStages,
                      ShellStages<Win32TreeViewStage, Win32ListViewStage, Win32ComboBoxStage>("Win32"),
                      ShellStages<SimTreeViewStage, SimListViewStage, SimComboBoxStage>("Sim"));

}  // namespace kp::test
