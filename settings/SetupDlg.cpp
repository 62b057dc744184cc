#include "settings/SetupDlg.h"

#include "settings/DateTimeFormat.h"
#include "settings/SettingsKeys.h"
#include "settings/ShortCut.h"

#include "base/Error.h"
#include "base/Utf.h"
#include "ui/MessageDialogs.h"

#include <algorithm>
#include <charconv>

namespace kp::settings {

const std::array<ShortCutNode, 48> kShortCutTree{{
    {0, "", "ファイル", 0},
    {1, "New", "新規作成", 1},
    {2, "Open", "開く", 1},
    {3, "Save", "上書き保存", 1},
    {4, "SaveAs", "名前を付けて保存", 1},
    {5, "LastTimeFile", "前回使ったﾌｧｲﾙ", 1},
    {49, "Print", "印刷", 1},
    {6, "Exit", "終了", 1},
    {7, "", "編集", 0},
    {8, "Undo", "元に戻す", 1},
    {11, "Cut", "切り取り", 1},
    {9, "Copy", "コピー", 1},
    {14, "Paste", "貼り付け", 1},
    {12, "AddCut", "追加切り取り", 1},
    {10, "AddCopy", "追加コピー", 1},
    {13, "Cutting", "切り抜き", 1},
    {16, "Delete", "1行削除", 1},
    {17, "SelectAll", "すべて選択", 1},
    {19, "CutAll", "すべて切り取り", 1},
    {18, "CopyAll", "すべてコピー", 1},
    {32, "DateTime", "日付け時刻の挿入", 1},
    {20, "", "変換", 1},
    {21, "FontBig", "大文字に変換", 2},
    {22, "FontSmall", "小文字に変換", 2},
    {23, "", "検索", 0},
    {24, "Find", "検索", 1},
    {25, "FindNext", "次を検索", 1},
    {37, "Replace", "置換", 1},
    {38, "Count", "カウント", 1},
    {39, "", "定義文書", 0},
    {40, "Text1", "定義文書1", 1},
    {41, "Text2", "定義文書2", 1},
    {42, "Text3", "定義文書3", 1},
    {43, "Text4", "定義文書4", 1},
    {44, "Text5", "定義文書5", 1},
    {45, "Text6", "定義文書6", 1},
    {46, "Text7", "定義文書7", 1},
    {47, "Text8", "定義文書8", 1},
    {48, "Text9", "定義文書9", 1},
    {26, "", "表示", 0},
    {27, "ToolBar", "ツールバー", 1},
    {28, "Explore", "エクスプローラ", 1},
    {29, "Refresh", "最新の情報に更新", 1},
    {30, "LeftEnter", "右端で折り返す", 1},
    {33, "EditorSetup", "エディタ設定", 1},
    {34, "", "ヘルプ", 0},
    {35, "Contents", "目次", 1},
    {36, "About", "バージョン情報", 1},
}};

KeyNameTable::KeyNameTable(const platform::KeyNames& names)
{
    for (uint32_t key = 0; key < names_.size(); ++key) names_[key] = names.NameOf(key);
}

std::string KeyNameTable::NameOf(uint32_t virtualKey) const
{
    return virtualKey < names_.size() ? names_[virtualKey] : std::string();
}

std::optional<int32_t> WholeNumber(std::string_view text)
{
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

namespace {

constexpr std::string_view kAppSuffix = " - Kestrelpad";
// The largest interval in seconds whose milliseconds fit 32 bits.
constexpr int32_t kMaxIntervalSeconds = 2147483;

const Setting* SaveSwitch(int i)
{
    static constexpr const Setting* kSwitches[] = {&SetupFolderSave, &SetupVisualSave, &SetupDateTimeSave,
                                                   &SetupShortCutSave, &SetupWindowSave};
    return kSwitches[i];
}

std::string FileNameOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsModifierKey(uint32_t key)
{
    return key == 0x10 || key == 0x11 || key == 0x12 || (key >= 0xA0 && key <= 0xA5) || key == 0x5B || key == 0x5C;
}

}  // namespace

// The main window, created first, has already reported a key that cannot be
// created; the dialog then reads the defaults without a second report.
static std::unique_ptr<TRegIniFile> OpenStore(platform::Registry& registry)
{
    try {
        return std::make_unique<TRegIniFile>(registry, std::string(kProgramKey));
    } catch (const Error&) {
        return std::make_unique<TRegIniFile>(registry, std::string(kProgramKey), TRegIniFile::kNoCreate);
    }
}

TPagesDlg1::TPagesDlg1(SetupServices services, SetupTarget& target)
    : services_(services), target_(target), keyNames_(services.keyNames), store_(OpenStore(services.registry))
{
    FormCreate();
}

void TPagesDlg1::Report(const std::exception& failure) { services_.application.HandleException(failure); }

void TPagesDlg1::FormCreate()
{
    try {
        CountText = std::to_string(std::clamp(ReadInteger(*store_, FileHistoryMenu), 0, 30));
        RefreshPreview();
        const int date = ReadInteger(*store_, SetupDateIndex);
        const int time = ReadInteger(*store_, SetupTimeIndex);
        if (date >= 0 && date < static_cast<int>(kDateEntries.size())) {
            DatePosition = date;
            DateText = std::string(kDateEntries[date].text);
        }
        if (time >= 0 && time < static_cast<int>(kTimeEntries.size())) {
            TimePosition = time;
            TimeText = std::string(kTimeEntries[time].text);
        }
    } catch (const std::exception& failure) {
        Report(failure);
    }
}

void TPagesDlg1::RefreshPreview()
{
    const std::string stamp = MakeDateTimeStamp(*store_, services_.clock, services_.dateLocale, services_.codec);
    Preview = Utf16ToUtf8(services_.codec.ToUtf16(stamp));
}

std::string TPagesDlg1::CutToBytes(std::string_view utf8, size_t bytes) const
{
    const std::string encoded = services_.codec.FromUtf16(Utf8ToUtf16(utf8));
    size_t keep = 0;
    for (size_t at = 0; at < encoded.size();) {
        const size_t width = services_.codec.IsLeadByte(static_cast<uint8_t>(encoded[at])) ? 2 : 1;
        if (at + width > bytes) break;
        at += width;
        keep = at;
    }
    return Utf16ToUtf8(services_.codec.ToUtf16(std::string_view(encoded).substr(0, keep)));
}

void TPagesDlg1::LoadFontBoxes(const MemoAppearance& font)
{
    FontNameText = font.font.face;
    FontSizeText = std::to_string(font.points);
}

void TPagesDlg1::FormShow()
{
    try {
        LastTimeFile = ReadBool(*store_, FileLastTimeFile);
        FullPath = ReadBool(*store_, SetupFileName);
        ConfirmDialog = ReadBool(*store_, SetupDialog);
        bool* switches[] = {&FolderSave, &VisualSave, &DateTimeSave, &ShortCutSave, &WindowSave};
        for (int i = 0; i < 5; ++i) *switches[i] = ReadBool(*store_, *SaveSwitch(i), Reader::Dialog);
        SetBackup(ReadBool(*store_, FileBackup));
        ParagraphLetter = ReadBool(*store_, VisualParagraphLetter);
        IntervalText = std::to_string(ReadInteger(*store_, FileBackupTime));
        const int panel = ReadInteger(*store_, VisualPanelStyle);
        if (panel >= 0 && panel <= 3) PanelIndex = panel;
    } catch (const std::exception& failure) {
        Report(failure);
    }
    for (int n = 1; n <= 9; ++n) {
        const std::string caption = target_.TemplateCaption(n);
        const size_t bytes = services_.codec.FromUtf16(Utf8ToUtf16(caption)).size();
        TemplateNames[n - 1] = bytes > 4 ? CutToBytes(caption, bytes - 4) : std::string();
    }
    Sample = target_.Appearance();
    ColorDialogColor = Sample.color;
    FontDialogFont = Sample;
    LoadFontBoxes(Sample);
    ViewIndex = target_.FileListView();
}

void TPagesDlg1::SetBackup(bool checked)
{
    if (checked == Backup) return;
    Backup = checked;
    CheckBox10Click();
}

void TPagesDlg1::CheckBox10Click() { IntervalEnabled = Backup; }

bool TPagesDlg1::NumbersAreWhole()
{
    const std::optional<int32_t> count = WholeNumber(CountText);
    const std::optional<int32_t> interval = WholeNumber(IntervalText);
    const bool intervalFits = interval && *interval <= kMaxIntervalSeconds && *interval >= -kMaxIntervalSeconds;
    if (count && intervalFits) return true;
    ActivePage = pgFile;
    Focused = !count ? "CountEdit" : "IntervalEdit";
    ui::MessageDlg(services_.application.Dialogs(), !count ? kCountNotWhole : kIntervalNotWhole,
                   ui::DialogKind::Error, ui::mbOK);
    return false;
}

bool TPagesDlg1::OKBtnClick()
{
    // Both numbers are checked before anything is applied.
    if (!NumbersAreWhole()) return false;
    const int32_t count = *WholeNumber(CountText);
    const int32_t interval = *WholeNumber(IntervalText);
    try {
        target_.SetHistoryCount(count);
        target_.SetAppearance(Sample);
        WriteBool(*store_, VisualParagraphLetter, ParagraphLetter);
        if (target_.Caption() != kUnnamedCaption) {
            WriteBool(*store_, SetupFileName, FullPath);
            const std::string file = target_.CurrentFile();
            const std::string shown = FullPath ? file : FileNameOf(file);
            target_.SetTitles("[" + shown + "]" + std::string(kAppSuffix), shown + std::string(kAppSuffix));
        }
        WriteBool(*store_, SetupDialog, ConfirmDialog);
        WriteBool(*store_, SetupShortCutSave, ShortCutSave);
        WriteBool(*store_, SetupDateTimeSave, DateTimeSave);
        WriteBool(*store_, SetupVisualSave, VisualSave);
        WriteBool(*store_, SetupFolderSave, FolderSave);
        WriteBool(*store_, SetupWindowSave, WindowSave);
        target_.SetLastTimeFileChecked(LastTimeFile);
        WriteBool(*store_, FileLastTimeFile, LastTimeFile);
        WriteBool(*store_, FileBackup, Backup);
        WriteInteger(*store_, FileBackupTime, interval);
        target_.SetBackupTimer(Backup, interval * 1000);
        if (!Backup) target_.DeleteBackup();
        target_.SetFileListView(ViewIndex);
        WriteInteger(*store_, VisualFileListIcon, ViewIndex);
        target_.SetPanelStyle(PanelIndex);
        WriteInteger(*store_, VisualPanelStyle, PanelIndex);
        for (int n = 1; n <= 9; ++n) {
            const std::string caption = TemplateNames[n - 1] + "(&" + std::to_string(n) + ")";
            target_.SetTemplateCaption(n, caption);
            WriteString(*store_, kTemplateCaptions[n - 1], caption);
        }
    } catch (const std::exception& failure) {
        Report(failure);
    }
    target_.ShowMarks(ParagraphLetter);
    return true;
}

void TPagesDlg1::ComboBox1Click(int position)
{
    if (position < 0 || position >= static_cast<int>(kDateEntries.size())) return;
    DatePosition = position;
    DateText = std::string(kDateEntries[position].text);
    try {
        ChooseDateEntry(*store_, position, [this] { RefreshPreview(); });
    } catch (const std::exception& failure) {
        Report(failure);
    }
}

void TPagesDlg1::ComboBox1Change(const std::string& text)
{
    DateText = text;
    try {
        EditDateText(*store_, DatePosition, text, [this] { RefreshPreview(); });
    } catch (const std::exception& failure) {
        Report(failure);
    }
}

void TPagesDlg1::ComboBox2Click(int position)
{
    if (position < 0 || position >= static_cast<int>(kTimeEntries.size())) return;
    TimePosition = position;
    TimeText = std::string(kTimeEntries[position].text);
    try {
        ChooseTimeEntry(*store_, position, [this] { RefreshPreview(); });
    } catch (const std::exception& failure) {
        Report(failure);
    }
}

void TPagesDlg1::ComboBox2Change(const std::string& text)
{
    TimeText = text;
    try {
        EditTimeText(*store_, TimePosition, text, [this] { RefreshPreview(); });
    } catch (const std::exception& failure) {
        Report(failure);
    }
}

void TPagesDlg1::FontBtClick()
{
    if (!ExecuteFontDialog) return;
    FontDialogFont.color = Sample.color;
    if (ExecuteFontDialog(FontDialogFont)) {
        const TColor background = Sample.color;
        Sample = FontDialogFont;
        Sample.color = background;
    }
    LoadFontBoxes(FontDialogFont);
}

void TPagesDlg1::BgColorBtClick()
{
    if (!ExecuteColorDialog) return;
    TColor color = ColorDialogColor;
    if (ExecuteColorDialog(color)) {
        ColorDialogColor = color;
        Sample.color = color;
    }
}

void TPagesDlg1::Button1Click()
{
    Sample.font.face = "ＭＳ Ｐゴシック";
    Sample.points = 11;
    Sample.font.pixelHeight = 0;  // from the points, by the window
    Sample.font.bold = Sample.font.italic = false;
    Sample.font.charset = platform::kShiftJisCharset;
    Sample.underline = Sample.strikeOut = false;
    Sample.fontColor = clWindowText;
    Sample.color = clWindow;
    LoadFontBoxes(Sample);
    ColorDialogColor = clWindow;
    FontDialogFont = Sample;
    ParagraphLetter = false;
}

void TPagesDlg1::SelectNode(int index)
{
    if (index >= -1 && index < static_cast<int>(kShortCutTree.size())) SelectedNode = index;
}

void TPagesDlg1::ListBox1Click()
{
    if (SelectedNode < 0) return;
    const ShortCutNode& node = kShortCutTree[SelectedNode];
    HotKeyEnabled = !node.IsGroup();
    if (node.IsGroup()) return;
    if (ui::TMenuItem* item = target_.Command(node.key)) HotKey = item->ShortCut();
}

void TPagesDlg1::Button2Click()
{
    if (SelectedNode < 0 || kShortCutTree[SelectedNode].IsGroup()) return;
    ui::TMenuItem* item = target_.Command(kShortCutTree[SelectedNode].key);
    if (!item) return;
    // A shortcut must read back from its stored text: a key with a name, not
    // a modifier alone. No shortcut (an empty box) is fine.
    const uint32_t key = HotKey & 0xFFu;
    if (HotKey != 0 && (key == 0 || IsModifierKey(key) || ShortCutToText(HotKey, keyNames_).empty())) {
        ui::MessageDlg(services_.application.Dialogs(), kUnusableShortCut, ui::DialogKind::Error, ui::mbOK);
        return;
    }
    item->SetShortCut(HotKey);
}

void TPagesDlg1::Button3Click()
{
    for (const Setting& key : kShortCutKeys)
        if (ui::TMenuItem* item = target_.Command(key.ident))
            item->SetShortCut(TextToShortCut(key.defaultText, keyNames_));
}

void TPagesDlg1::Button4Click()
{
    for (int n = 1; n <= 9; ++n) TemplateNames[n - 1] = "定義文書" + std::to_string(n);
}

void TPagesDlg1::SetTemplateName(int n, std::string_view text)
{
    if (n >= 1 && n <= 9) TemplateNames[n - 1] = CutToBytes(text, kTemplateNameBytes);
}

}  // namespace kp::settings
