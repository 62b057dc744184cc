// The File menu's Print (also the tool button) and the Help menu's Contents.

#include "app/MainForm.h"

#include "app/TextPrinter.h"
#include "base/Error.h"
#include "platform/help/HelpViewer.h"
#include "platform/printer/PrintDevice.h"
#include "platform/syscolors/ColorToRGB.h"

namespace kp::app {

namespace {
constexpr const char* kPrintFailed = "印刷できませんでした。";
constexpr const char* kHelpFile = "kpad.hlp";
constexpr const char* kNoHelpViewer =
    "ヘルプを表示できません。ヘルプ ビューア (winhlp32.exe) が見つかりません。";

// Shows the wait cursor for as long as it lives.
class BusyScope {
public:
    explicit BusyScope(platform::PrintDeviceFactory& printers) : printers_(printers) { printers_.SetBusy(true); }
    ~BusyScope() { printers_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    platform::PrintDeviceFactory& printers_;
};
}  // namespace

void TEditForm::ConnectPrintCommands()
{
    MenuItem("Print")->OnClick = [this] { PrintClick(); };
    MenuItem("Contents")->OnClick = [this] { ContentsClick(); };
}

void TEditForm::PrintClick()
{
    PrintDialog1.Options = Memo.SelLength() > 0 ? uint32_t{ui::poSelection} : 0u;
    if (!PrintDialog1.Execute()) return;

    const bool selectionOnly = PrintDialog1.PrintRange == ui::TPrintRange::prSelection;
    bool failed = false;
    {
        const BusyScope busy(services_.printers);
        std::unique_ptr<platform::PrintDevice> device;
        try {
            device = services_.printers.Open();
            TextPrinter printer(*device);
            printer.Begin(services_.application.Title(), Memo.Font(),
                          platform::ColorToRGB(Memo.FontColor(), services_.sysColors));
            if (selectionOnly) {
                printer.Write(Memo.SelText());
            } else {
                const size_t lines = Memo.LineCount();
                for (size_t i = 0; i < lines; ++i) {
                    printer.Write(Memo.Line(i));
                    printer.Write("\r\n");
                }
            }
            printer.End();
        } catch (const Error&) {
            if (device) device->Abort();
            failed = true;
        }
    }
    if (failed) MessageDlg(services_.application.Dialogs(), kPrintFailed, ui::DialogKind::Error, ui::mbOK);
}

void TEditForm::ContentsClick()
{
    services_.application.HelpFile = kHelpFile;
    // One request at a time: the viewer may be waiting for its user.
    if (*helpInFlight_) return;
    *helpInFlight_ = true;
    const std::weak_ptr<bool> alive = helpInFlight_;
    services_.help.ShowContents(services_.application.HelpFile, [this, alive](bool shown) {
        const std::shared_ptr<bool> inFlight = alive.lock();
        if (!inFlight) return;
        *inFlight = false;
        if (!shown) MessageDlg(services_.application.Dialogs(), kNoHelpViewer, ui::DialogKind::Error, ui::mbOK);
    });
}

}  // namespace kp::app
