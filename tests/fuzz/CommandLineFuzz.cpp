// The command line after the platform has split it: the main window starts
// with any list of arguments (none, one, several; any bytes, relative and
// absolute paths, drive-relative and UNC forms, colons and separators in odd
// places) over stored settings of any value. The first argument opens when
// its full path reads, and then becomes the current file, the history's
// first entry and the status bar's path, with the caption by the file-name
// rule; a second argument is refused after it. An argument that does not
// read leaves a new document behind one message.

#include "app/DocumentPaths.h"
#include "app/MainForm.h"
#include "memo/SimMemoWindow.h"
#include "memo/TextFile.h"
#include "platform/clipboard/SimClipboard.h"
#include "platform/clock/SimClock.h"
#include "platform/codec/IconvCp932Codec.h"
#include "platform/files/SimFileSystem.h"
#include "platform/keyboard/KeyState.h"
#include "platform/help/SimHelpViewer.h"
#include "platform/printer/SimPrintDevice.h"
#include "platform/keynames/SimKeyNames.h"
#include "platform/locale/SimDateTimeLocale.h"
#include "platform/locale/SimLocaleCompare.h"
#include "platform/registry/SimRegistry.h"
#include "platform/syscolors/SimSysColors.h"
#include "settings/SettingsKeys.h"
#include "tests/fuzz/FuzzSupport.h"
#include "ui/sim/SimDialogService.h"
#include "ui/sim/SimFormHost.h"
#include "ui/sim/SimFormService.h"
#include "ui/sim/SimMessageDialogs.h"

namespace kp::fuzz {
namespace {

namespace s = settings;

constexpr std::string_view kWork = "C:\\work\\";

constexpr std::string_view kPathPieces[] = {
    "a.txt", "A.TXT", "b", "C:", "C:\\", "c:\\", "D:", "\\", "/", "\\\\", ":", "docs", "DOCS", "work",
    "..", ".", "\\\\server\\share\\", "x.txt", "表", "ｱ", "\x82", "\xFF", " ", "*", "?", "\"", std::string_view("\0", 1)};

// Paths that exist before the start, with contents.
constexpr std::string_view kFiles[] = {"C:\\work\\a.txt", "C:\\work\\b", "C:\\docs\\x.txt", "C:\\docs\\表.txt",
                                       "C:\\work\\docs\\a.txt", "C:\\x.txt"};

constexpr std::string_view kValuePieces[] = {"0", "1", "2", "3", "-1", "12", "2147483647", "-2147483648",
                                             "0x7FFFFFFF", "0x80000000", "22369621", "-22369622", "x", ""};
// Window placement and font size: small values and the integers' ends.
constexpr std::string_view kPlacementPieces[] = {"0",         "1",          "-1",         "12",       "-30000",
                                                 "30000",     "0x100",      "x",          "",         "2147483647",
                                                 "-2147483648", "22369621", "-22369622", "0x7FFFFFFF"};

struct StoredSetting {
    const s::Setting* setting;
    bool anyValue;
};
const StoredSetting kStored[] = {
    {&s::SetupFileName, true},     {&s::FileBackup, true},        {&s::FileLastTimeFile, true},
    {&s::FileFileName, true},      {&s::FileHistoryMenu, true},   {&s::SetupWindowSave, true},
    {&s::SetupVisualSave, true},   {&s::SetupShortCutSave, true}, {&s::VisualFormLeft, false},
    {&s::VisualFormWidth, false},  {&s::VisualFormTop, false},    {&s::VisualFormHeight, false},
    {&s::VisualWindowState, true}, {&s::VisualFontSize, false},   {&s::VisualBgColor, true},
    {&s::VisualFontColor, true},   {&s::VisualFileListIcon, true}, {&s::VisualWordWrap, true},
    {&s::kShortCutKeys[0], true},  {&s::SetupDialog, true}};

std::string FullPath(const std::string& path)
{
    return path.find(':') == std::string::npos ? std::string(kWork) + path : path;
}

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
    app::FormServices services{registry, files,  keyNames, keys,   colors, application,
                               dialogs,  host,   memoWindows, locale, FullPath, "C:\\Program Files\\Kestrelpad\\",
                               clock, dateLocale, clipboard, codec, forms, printers, help,
                   nullptr};

    files.CreateFolder("C:\\work");
    files.CreateFolder("C:\\docs");
    files.CreateFolder("C:\\work\\docs");
    for (const std::string_view path : kFiles)
        if (in.Pick(4) != 0) memo::SaveTextFile(files, path, in.Bytes(16));

    TRegIniFile store(registry, std::string(s::kProgramKey));
    for (size_t n = in.Pick(10); n > 0; --n) {
        const StoredSetting& stored = kStored[in.Pick(std::size(kStored))];
        s::WriteString(store, *stored.setting,
                       stored.anyValue ? in.Pieces(kValuePieces, 1) : in.Pieces(kPlacementPieces, 1));
    }

    std::vector<std::string> arguments;
    for (size_t n = in.Pick(8) == 0 ? in.Pick(6) : in.Pick(3); n > 0; --n)
        arguments.push_back(in.Flag() ? in.Pieces(kPathPieces, 5) : in.Bytes(12));

    // What the first argument should open, read before the start.
    std::string path, contents;
    const bool readable = !arguments.empty() && files.ReadAll(path = FullPath(arguments.front()), contents) ==
                                                    platform::FileStatus::Ok;
    const bool fullNameShown = s::ReadBool(store, s::SetupFileName);

    app::TEditForm form(services, host);
    form.FormCreate(arguments);
    form.FormShow();
    // Closing writes the placement and the font back, whatever was stored.
    struct CloseAtEnd {
        app::TEditForm& form;
        ~CloseAtEnd()
        {
            bool canClose = true;
            form.FormCloseQuery(canClose);
            ui::TCloseAction action = ui::TCloseAction::caFree;
            form.FormClose(action);
        }
    } closeAtEnd{form};

    if (arguments.empty()) return;
    if (!readable) {
        KP_CHECK(form.CurrentFile.empty(), "an unreadable argument became the current file");
        KP_CHECK(messages.Shown().size() == 1, "an unreadable argument showed " + std::to_string(messages.Shown().size()) +
                                                " messages");
        return;
    }
    const std::string what = "argument " + Escaped(arguments.front());
    KP_CHECK(form.CurrentFile == path, what + " opened as " + Escaped(form.CurrentFile));
    KP_CHECK(form.Memo.Text() == contents, what + " loaded other contents");
    KP_CHECK(form.StatusBar1.Text(2) == path, what + " shows another path");
    KP_CHECK(!form.HistoryMenu1.List().Names().empty() && form.HistoryMenu1.List().Names().front() == path,
          what + " is not the first recent file");
    const std::string shown = fullNameShown ? path : app::FileNamePart(path);
    KP_CHECK(host.Caption() == "[" + shown + "] - Kestrelpad", what + " gave the caption " + Escaped(host.Caption()));
    const size_t refusals = arguments.size() > 1 ? 1 : 0;
    size_t messagesShown = 0;
    for (const ui::ShownMessage& m : messages.Shown())
        if (m.text == "同時に開けるファイルは一つまでです。") ++messagesShown;
    KP_CHECK(messagesShown == refusals, what + " of " + std::to_string(arguments.size()) + " showed " +
                                         std::to_string(messagesShown) + " refusals");

    // The names derived from the path split it in two.
    const std::string name = app::FileNamePart(path);
    const std::string folder = app::FolderPart(path);
    KP_CHECK(folder + name == path, "the folder and the name of " + Escaped(path) + " do not make it up");
    KP_CHECK(name.find_first_of("\\:") == std::string::npos, "the name of " + Escaped(path) + " has a separator");
    KP_CHECK(app::BackupPath(path) == folder + "bcp_" + name, "the backup of " + Escaped(path) + " lies elsewhere");
}

}  // namespace
}  // namespace kp::fuzz

KP_FUZZ_TARGET(kp::fuzz::Run)
