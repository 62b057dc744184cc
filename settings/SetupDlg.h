#pragma once
// TPagesDlg1: the editor settings dialog. It is created once at start-up,
// right after the main window, and stays hidden until the EditorSetup
// command shows it. Creating it opens its own store handle and reads what its
// pages start from. Its controls are plain state here (named after what they
// hold), kept between showings; ShowModal hands them to a FormService as six
// pages of controls and takes back what the user typed and checked. The
// form, and with it the dialog's window, is made at the first showing and
// kept, hidden between showings, until the dialog goes.
//
// The main window is reached only through SetupTarget. The date and time
// lists and the shortcut page act at once; everything else waits for OK.

#include "platform/clock/Clock.h"
#include "platform/codec/Cp932Codec.h"
#include "platform/keynames/KeyNames.h"
#include "platform/locale/DateTimeLocale.h"
#include "settings/RegIniFile.h"
#include "settings/SetupTarget.h"
#include "ui/Application.h"
#include "ui/Form.h"

#include <array>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <string_view>

namespace kp::settings {

// The main window's caption while no named document is open.
inline constexpr std::string_view kUnnamedCaption = "[NewFile] - Kestrelpad";
inline constexpr std::string_view kUnusableShortCut = "このキーの組み合わせはショートカットキーに使えません。";
inline constexpr std::string_view kCountNotWhole = "最近使ったファイルの数には整数を入力してください。";
inline constexpr std::string_view kIntervalNotWhole = "バックアップの間隔には整数を入力してください。";
// A template name box holds at most this many code-page-932 bytes.
inline constexpr size_t kTemplateNameBytes = 20;

enum SetupPage { pgFile, pgDateTime, pgDisplay, pgShortCut, pgExplorer, pgTemplates, kSetupPageCount };

// A node of the shortcut page's tree: a group (no key) or a command.
struct ShortCutNode {
    int number;
    std::string_view key;  // the command's ShortCutKey ident; empty for a group
    std::string_view caption;
    int depth;
    bool IsGroup() const { return key.empty(); }
};
extern const std::array<ShortCutNode, 48> kShortCutTree;

// The platform's key names asked once and kept for the run.
class KeyNameTable final : public platform::KeyNames {
public:
    explicit KeyNameTable(const platform::KeyNames& names);
    std::string NameOf(uint32_t virtualKey) const override;

private:
    std::array<std::string, 256> names_;
};

struct SetupServices {
    platform::Registry& registry;
    const platform::Clock& clock;
    const platform::DateTimeLocale& dateLocale;
    const platform::Cp932Codec& codec;
    const platform::KeyNames& keyNames;
    ui::TApplication& application;
};

class TPagesDlg1 {
public:
    TPagesDlg1(SetupServices services, SetupTarget& target);

    // ---- Controls -----------------------------------------------------------
    SetupPage ActivePage = pgDateTime;
    std::string Focused;  // the control given focus when the dialog stays open

    // "ファイル"
    std::string CountText = "4";
    bool LastTimeFile = false, FullPath = false, ConfirmDialog = true;
    bool FolderSave = true, VisualSave = true, DateTimeSave = true, ShortCutSave = true, WindowSave = true;
    bool Backup = false;
    std::string IntervalText = "30";
    bool IntervalEnabled = false;

    // "日付け時刻"
    std::string Preview;
    std::string DateText, TimeText;
    int DatePosition = -1, TimePosition = -1;

    // "表示"
    MemoAppearance Sample;
    std::string FontNameText, FontSizeText;
    bool ParagraphLetter = false;
    MemoAppearance FontDialogFont;
    TColor ColorDialogColor = clWindow;
    // The font and colour dialogs: true when the user confirms. Unset: the
    // buttons do nothing.
    std::function<bool(MemoAppearance&)> ExecuteFontDialog;
    std::function<bool(TColor&)> ExecuteColorDialog;

    // "ショートカット"
    int SelectedNode = -1;  // index into kShortCutTree
    ui::TShortCut HotKey = 0;
    bool HotKeyEnabled = true;

    // "エクスプローラ"
    int ViewIndex = 3;
    int PanelIndex = 2;

    // "定義文書"
    std::array<std::string, 9> TemplateNames;

    // ---- Handlers -----------------------------------------------------------
    void FormShow();
    // True when the dialog closes; false keeps it open (a number refused).
    bool OKBtnClick();
    // Both number boxes whole (and the interval's milliseconds within 32
    // bits); otherwise the message naming the box, its page in front and
    // the box to be focused.
    bool NumbersAreWhole();
    void CheckBox10Click();
    void SetBackup(bool checked);  // a change of state is a click
    void ComboBox1Click(int position);
    void ComboBox1Change(const std::string& text);
    void ComboBox2Click(int position);
    void ComboBox2Change(const std::string& text);
    void FontBtClick();
    void BgColorBtClick();
    void Button1Click();
    void SelectNode(int index);  // keyboard or mouse: the selection alone
    void ListBox1Click();        // after a mouse click
    void Button2Click();
    void Button3Click();
    void Button4Click();
    // Typed or pasted into template box n (1..9): cut to its byte limit.
    void SetTemplateName(int n, std::string_view text);

    // Shows the dialog until OK closes it or the user cancels. The first
    // showing makes its window, which is kept, hidden, until the dialog goes.
    ui::ModalResult ShowModal(ui::FormService& forms);
    // The dialog as a form of pages and controls, and the user's edits back.
    ui::FormSpec Spec();
    void Take(const ui::FormSpec& form);
    void Fill(ui::FormSpec& form) const;
    // A control of the shown form acted on: its handler, then the form
    // refreshed from the dialog.
    void Event(ui::FormSpec& form, const std::string& control);

    const platform::KeyNames& KeyNames() const { return keyNames_; }
    TRegIniFile& Store() { return *store_; }

private:
    void FormCreate();
    void RefreshPreview();
    void LoadFontBoxes(const MemoAppearance& font);
    void Report(const std::exception& failure);
    std::string CutToBytes(std::string_view utf8, size_t bytes) const;

    SetupServices services_;
    SetupTarget& target_;
    KeyNameTable keyNames_;
    std::unique_ptr<TRegIniFile> store_;
    std::optional<ui::FormSpec> form_;  // the shown form and its window
};

// A whole decimal number, optionally signed and surrounded by spaces, that
// fits 32 bits.
std::optional<int32_t> WholeNumber(std::string_view text);

}  // namespace kp::settings
