// The EditorSetup command and the main window's side of the settings dialog.

#include "app/SetupCommands.h"

#include "settings/SetupDlg.h"

namespace kp::app {

namespace {

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }
int PixelsToPoints(int pixels) { return (pixels * 72 + 48) / 96; }

}  // namespace

void TEditForm::ConnectSetupCommands()
{
    MenuItem("EditorSetup")->OnClick = [this] {
        if (PagesDlg1) PagesDlg1->ShowModal(services_.forms);
    };
}

settings::MemoAppearance MainWindowSetup::Appearance() const
{
    settings::MemoAppearance appearance;
    appearance.font = form_.Memo.Font();
    appearance.points = PixelsToPoints(appearance.font.pixelHeight);
    appearance.underline = appearance.font.underline;
    appearance.strikeOut = appearance.font.strikeOut;
    appearance.fontColor = form_.Memo.FontColor();
    appearance.color = form_.Memo.Color();
    return appearance;
}

void MainWindowSetup::SetAppearance(const settings::MemoAppearance& appearance)
{
    platform::FontSpec font = appearance.font;
    font.pixelHeight = PointsToPixels(appearance.points);
    font.underline = appearance.underline;
    font.strikeOut = appearance.strikeOut;
    form_.Memo.SetColor(appearance.color);
    form_.Memo.SetFontColor(appearance.fontColor);
    form_.Memo.SetFont(font);
}

void MainWindowSetup::ShowMarks(bool shown)
{
    form_.Memo.EditMarks.CrLf.Enabled = shown;
    form_.Memo.EditMarks.Eot.Enabled = shown;
    form_.Memo.Repaint();
}

void MainWindowSetup::SetHistoryCount(int count) { form_.HistoryMenu1.SetHistoryNum(count); }

std::string MainWindowSetup::Caption() const { return form_.Host().Caption(); }

std::string MainWindowSetup::CurrentFile() const { return form_.CurrentFile; }

void MainWindowSetup::SetTitles(const std::string& caption, const std::string& title)
{
    form_.Host().SetCaption(caption);
    form_.Services().application.SetTitle(title);
}

void MainWindowSetup::SetBackupTimer(bool enabled, int milliseconds)
{
    form_.Timer1.SetEnabled(enabled);
    if (enabled) form_.Timer1.SetInterval(milliseconds);
}

void MainWindowSetup::DeleteBackup() { form_.DeleteBackup(); }

int MainWindowSetup::FileListView() const { return static_cast<int>(form_.ShellListBox1.ViewStyle()); }

void MainWindowSetup::SetFileListView(int view)
{
    if (view >= 0 && view <= 3) form_.ShellListBox1.SetViewStyle(static_cast<ui::TViewStyle>(view));
}

void MainWindowSetup::SetPanelStyle(int style) { form_.SetExplorerLayout(style); }

void MainWindowSetup::SetLastTimeFileChecked(bool checked) { form_.MenuItem("LastTimeFile")->SetChecked(checked); }

std::string MainWindowSetup::TemplateCaption(int n) const
{
    return form_.MainMenu.FindByName("Text" + std::to_string(n))->Caption();
}

void MainWindowSetup::SetTemplateCaption(int n, const std::string& caption)
{
    form_.MenuItem("Text" + std::to_string(n))->SetCaption(caption);
}

ui::TMenuItem* MainWindowSetup::Command(std::string_view key) { return form_.MenuItem(key); }

}  // namespace kp::app
