// Files dropped onto the main window: any list of paths (none, empty ones,
// relative, folders, missing files, odd bytes and separators, very long),
// dropped on a new or a modified document. The first path alone counts: when
// it reads, the memo holds its bytes, it is the current file, the first
// recent file and status panel 2, with the caption in the fixed form and the
// document unmodified; when it does not, one message is shown and document,
// current file and caption stay as they were. No other failure leaves the
// handler.

#include "app/DocumentPaths.h"
#include "app/MainForm.h"
#include "base/Error.h"
#include "memo/SimMemoWindow.h"
#include "memo/TextFile.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/keyboard/KeyState.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormHost.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"

namespace kp::fuzz {
namespace {

constexpr std::string_view kPathPieces[] = {
    "C:\\docs\\", "C:\\", "a.txt", "表.txt", "docs", "\\", "/", ":", "..", ".", "\\\\server\\share\\", "ｱ",
    "\x82", "\xFF", " ", "*", "?", std::string_view("\0", 1), "C:\\docs", "D:\\x.txt"};
constexpr std::string_view kFiles[] = {"C:\\docs\\a.txt", "C:\\docs\\表.txt", "C:\\a.txt"};

void Run(FuzzInput& in)
{
    platform::SimRegistry registry;
    platform::SimFileSystem files;
    platform::SimKeyNames keyNames;
    platform::SimKeyState keys;
    platform::SimSysColors colors;
    platform::SimClipboard clipboard;
    static const platform::IconvCp932Codec codec;
    ui::SimMessageDialogs messages;
    ui::SimFormHost host;
    ui::TApplication application{host, messages};
    application.SetTitle("Kestrelpad");
    ui::SimDialogService dialogs;
    memo::SimMemoWindowFactory memoWindows(codec, &clipboard, keys);
    platform::SimLocaleCompare locale;
    platform::SimClock clock;
    platform::SimDateTimeLocale dateLocale;
    ui::SimFormService forms;
    platform::SimPrintDeviceFactory printers;
    platform::SimHelpViewer help;
    app::FormServices services{registry, files, keyNames, keys, colors, application, dialogs, host, memoWindows,
                               locale, [](const std::string& path) { return path; },
                               "C:\\Program Files\\Kestrelpad\\", clock, dateLocale, clipboard, codec, forms,
                               printers, help, nullptr};
    files.CreateFolder("C:\\docs");
    for (const std::string_view path : kFiles)
        if (in.Pick(4) != 0) memo::SaveTextFile(files, path, in.Bytes(16));

    app::TEditForm form(services, host);
    form.FormCreate({});
    form.FormShow();
    if (in.Flag()) form.Memo.SetSelText(in.Bytes(8));  // a modified document

    std::vector<std::string> paths;
    for (size_t n = in.Pick(5); n > 0; --n) {
        std::string path = in.Flag() ? in.Pieces(kPathPieces, 5) : in.Bytes(12);
        if (in.Pick(16) == 0) path.append(300, 'x');
        paths.push_back(std::move(path));
    }
    std::string contents;
    const bool readable = !paths.empty() && files.ReadAll(paths.front(), contents) == platform::FileStatus::Ok;
    const std::string before = form.Memo.Text();
    const std::string currentBefore = form.CurrentFile;
    const std::string captionBefore = host.Caption();
    const std::string what = "drop of " + std::to_string(paths.size()) + " paths, the first " +
                             (paths.empty() ? std::string("none") : Escaped(paths.front()));
    try {
        form.DropFiles(paths);
    } catch (const Error&) {
        KP_CHECK(!readable, what + ": a readable file failed");
        // The user's message: the document stays.
        KP_CHECK(form.Memo.Text() == before && form.CurrentFile == currentBefore && host.Caption() == captionBefore,
                 what + ": a failed drop changed the document");
        return;
    }
    if (!readable) {
        KP_CHECK(form.Memo.Text() == before && form.CurrentFile == currentBefore, what + ": changed the document");
        return;
    }
    const std::string& path = paths.front();
    KP_CHECK(form.Memo.Text() == contents, what + ": other contents loaded");
    KP_CHECK(form.CurrentFile == path && form.StatusBar1.Text(2) == path, what + ": another current file");
    KP_CHECK(!form.Memo.Modified(), what + ": left modified");
    KP_CHECK(form.HistoryMenu1.List().Names().front() == path, what + ": not the first recent file");
    KP_CHECK(host.Caption() == "[" + path + "] - Kestrelpad", what + ": caption " + Escaped(host.Caption()));
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
