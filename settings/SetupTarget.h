#pragma once
// What the editor settings dialog reaches of the main window, and nothing
// more: the memo's font, colours and marks, the history menu's length, the
// window's caption and document, the backup timer and copy, the explorer
// file list's view and pane position, the LastTimeFile check mark, the
// template commands' captions and the menu commands carrying shortcuts.

#include "base/Color.h"
#include "platform/textmetrics/TextMetrics.h"
#include "ui/Menu.h"

#include <string>
#include <string_view>

namespace kp::settings {

struct MemoAppearance {
    platform::FontSpec font;
    int points = 0;          // the font's size in points
    TColor fontColor = clWindowText;
    bool underline = false;  // the font dialog's effects
    bool strikeOut = false;
    TColor color = clWindow;  // background
};

class SetupTarget {
public:
    virtual ~SetupTarget() = default;

    virtual MemoAppearance Appearance() const = 0;
    virtual void SetAppearance(const MemoAppearance& appearance) = 0;
    // Newline and end-of-text marks together, then a repaint.
    virtual void ShowMarks(bool shown) = 0;

    virtual void SetHistoryCount(int count) = 0;

    virtual std::string Caption() const = 0;
    virtual std::string CurrentFile() const = 0;
    // The window caption and the application title.
    virtual void SetTitles(const std::string& caption, const std::string& title) = 0;

    // The backup timer: enabled, and its period in milliseconds.
    virtual void SetBackupTimer(bool enabled, int milliseconds) = 0;
    // Deletes the current document's backup copy (missing: no error).
    virtual void DeleteBackup() = 0;

    // The file list's view: 0 large icons, 1 small icons, 2 list, 3 details.
    virtual int FileListView() const = 0;
    virtual void SetFileListView(int view) = 0;
    // The explorer pane's arrangement: 0 left, 1 right, 2 top, 3 bottom.
    virtual void SetPanelStyle(int style) = 0;

    virtual void SetLastTimeFileChecked(bool checked) = 0;
    // Template command n = 1..9.
    virtual std::string TemplateCaption(int n) const = 0;
    virtual void SetTemplateCaption(int n, const std::string& caption) = 0;

    // The main-menu command of a shortcut key ("New", "Text3", ...); nullptr
    // for an unknown one.
    virtual ui::TMenuItem* Command(std::string_view key) = 0;
};

}  // namespace kp::settings
