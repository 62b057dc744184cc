#pragma once
// The main window as the settings dialog sees it.

#include "app/MainForm.h"
#include "settings/SetupTarget.h"

namespace kp::app {

class MainWindowSetup final : public settings::SetupTarget {
public:
    explicit MainWindowSetup(TEditForm& form) : form_(form) {}

    settings::MemoAppearance Appearance() const override;
    void SetAppearance(const settings::MemoAppearance& appearance) override;
    void ShowMarks(bool shown) override;
    void SetHistoryCount(int count) override;
    std::string Caption() const override;
    std::string CurrentFile() const override;
    void SetTitles(const std::string& caption, const std::string& title) override;
    void SetBackupTimer(bool enabled, int milliseconds) override;
    void DeleteBackup() override;
    int FileListView() const override;
    void SetFileListView(int view) override;
    void SetPanelStyle(int style) override;
    void SetLastTimeFileChecked(bool checked) override;
    std::string TemplateCaption(int n) const override;
    void SetTemplateCaption(int n, const std::string& caption) override;
    ui::TMenuItem* Command(std::string_view key) override;

private:
    TEditForm& form_;
};

}  // namespace kp::app
