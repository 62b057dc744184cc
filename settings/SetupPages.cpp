// The settings dialog as a form: one table of controls per page (kind, name,
// caption, pixel rectangle at 96 DPI in the page's client area; table order
// is tab order), filled from the dialog's state and read back after it
// closes.

#include "settings/DateTimeFormat.h"
#include "settings/SetupDlg.h"

#include <algorithm>
#include <charconv>
#include <span>
#include <vector>

namespace kp::settings {

namespace {

using Kind = ui::FormControlKind;

struct Row {
    Kind kind;
    std::string_view name;
    std::string_view caption;
    int left, top, width, height;
};

constexpr Row kFilePage[] = {
    {Kind::Label, "CountLabel", "最近使ったファイル", 6, 7, 104, 14},
    {Kind::Edit, "CountEdit", "", 112, 4, 40, 20},
    {Kind::CheckBox, "LastTimeFile", "前回使ったファイル(&L)", 6, 28, 170, 18},
    {Kind::CheckBox, "FullPath", "ファイル名をフルパス表示(N)", 6, 48, 170, 18},
    {Kind::CheckBox, "ConfirmDialog", "確認ダイアログの表示(&D)", 6, 68, 170, 18},
    {Kind::CheckBox, "Backup", "バックアップを作成(&B)", 6, 88, 170, 18},
    {Kind::Edit, "IntervalEdit", "", 22, 108, 40, 20},
    {Kind::Label, "IntervalLabel", "秒毎に更新", 68, 111, 80, 14},
    {Kind::GroupBox, "SaveGroup", "設定の保存", 180, 0, 142, 126},
    {Kind::CheckBox, "FolderSave", "フォルダパス(&F)", 188, 18, 130, 18},
    {Kind::CheckBox, "VisualSave", "表示設定(&V)", 188, 38, 130, 18},
    {Kind::CheckBox, "DateTimeSave", "日付け時刻(&T)", 188, 58, 130, 18},
    {Kind::CheckBox, "ShortCutSave", "ショートカット(&S)", 188, 78, 130, 18},
    {Kind::CheckBox, "WindowSave", "ウィンドウ保存(&W)", 188, 98, 130, 18},
};

constexpr Row kDatePage[] = {
    {Kind::Label, "PreviewLabel", "日付け時刻の形式", 6, 2, 200, 14},
    {Kind::Edit, "Preview", "", 6, 16, 314, 20},
    {Kind::Label, "DateLabel", "日付けの形式", 6, 42, 200, 14},
    {Kind::ComboBox, "DateList", "", 6, 56, 314, 200},
    {Kind::Label, "TimeLabel", "時刻の形式", 6, 82, 200, 14},
    {Kind::ComboBox, "TimeList", "", 6, 96, 314, 200},
};

constexpr Row kDisplayPage[] = {
    {Kind::Label, "Sample", "Aaあぁアァ亜宇", 6, 4, 201, 57},
    {Kind::Label, "FontNameLabel", "フォント名", 6, 70, 80, 14},
    {Kind::Edit, "FontName", "", 88, 67, 119, 20},
    {Kind::Label, "FontSizeLabel", "フォントサイズ", 6, 95, 80, 14},
    {Kind::Edit, "FontSize", "", 88, 92, 50, 20},
    {Kind::Button, "FontBt", "フォント設定(&F)", 214, 4, 110, 25},
    {Kind::Button, "BgColorBt", "バックカラー設定(&B)", 214, 33, 110, 25},
    {Kind::Button, "DisplayReset", "リセット(&L)", 214, 62, 110, 25},
    {Kind::CheckBox, "ParagraphLetter", "改行文字の表示(&E)", 6, 114, 200, 18},
};

constexpr Row kShortCutPage[] = {
    {Kind::Tree, "ShortCutTree", "", 4, 2, 169, 132},
    {Kind::Label, "HotKeyLabel", "ショートカットキー", 180, 4, 140, 14},
    {Kind::HotKey, "HotKey", "", 180, 20, 140, 20},
    {Kind::Button, "Assign", "ショートカット更新(&S)", 180, 50, 140, 25},
    {Kind::Button, "ShortCutReset", "リセット(&L)", 180, 80, 140, 25},
};

constexpr Row kExplorerPage[] = {
    {Kind::GroupBox, "ViewGroup", "表示", 6, 0, 140, 110},
    {Kind::Radio, "View0", "大きなアイコン(&G)", 14, 18, 125, 18},
    {Kind::Radio, "View1", "小さなアイコン(&M)", 14, 40, 125, 18},
    {Kind::Radio, "View2", "一覧(&L)", 14, 62, 125, 18},
    {Kind::Radio, "View3", "詳細(&D)", 14, 84, 125, 18},
    {Kind::GroupBox, "PanelGroup", "位置", 154, 0, 170, 128},
    {Kind::Picture, "Panel0Picture", "", 160, 52, 32, 32},
    {Kind::Radio, "Panel0", "(&L)", 195, 59, 38, 18},
    {Kind::Picture, "Panel1Picture", "", 246, 52, 32, 32},
    {Kind::Radio, "Panel1", "(&R)", 281, 59, 38, 18},
    {Kind::Picture, "Panel2Picture", "", 203, 14, 32, 32},
    {Kind::Radio, "Panel2", "(&T)", 238, 21, 38, 18},
    {Kind::Picture, "Panel3Picture", "", 203, 90, 32, 32},
    {Kind::Radio, "Panel3", "(&B)", 238, 97, 38, 18},
};

// A 32 × 32 picture of an arrangement of the main window: the explorer
// pane docked at `pane` (its folder tree and file list side by side or one
// above the other, the list at `list`), the memo with lines of text filling
// the rest.
enum class Side { Left, Right, Top, Bottom };
std::vector<ui::FormShape> ArrangementPicture(Side pane, Side list)
{
    constexpr TColor kFrame = 0x00404040, kMemo = 0x00FFFFFF, kText = 0x00A0A0A0;
    constexpr TColor kTree = 0x00E0B070, kList = 0x0070C070;
    struct Box {
        int left, top, width, height;
    };
    // Cut `from` at `side`: the part taken (`size` deep) and the rest.
    const auto cut = [](Box& from, Side side, int size) {
        Box taken = from;
        switch (side) {
        case Side::Left: taken.width = size, from.left += size + 1, from.width -= size + 1; break;
        case Side::Right: taken.left += from.width - size, taken.width = size, from.width -= size + 1; break;
        case Side::Top: taken.height = size, from.top += size + 1, from.height -= size + 1; break;
        case Side::Bottom: taken.top += from.height - size, taken.height = size, from.height -= size + 1; break;
        }
        return taken;
    };
    Box memo{1, 1, 30, 30};
    Box tree = cut(memo, pane, 12);
    const bool across = list == Side::Left || list == Side::Right;
    const Box files = cut(tree, list, across ? (tree.width - 1) / 2 : (tree.height - 1) / 2);
    std::vector<ui::FormShape> shapes = {{0, 0, 32, 32, kFrame},
                                         {memo.left, memo.top, memo.width, memo.height, kMemo},
                                         {tree.left, tree.top, tree.width, tree.height, kTree},
                                         {files.left, files.top, files.width, files.height, kList}};
    for (int y = memo.top + 2; y + 1 < memo.top + memo.height; y += 4)
        shapes.push_back({memo.left + 2, y, std::max(memo.width - 4 - (y % 3) * 3, 1), 1, kText});
    return shapes;
}

constexpr Row kTemplatePage[] = {
    {Kind::Edit, "Template1", "", 6, 4, 150, 20},   {Kind::Edit, "Template2", "", 168, 4, 150, 20},
    {Kind::Edit, "Template3", "", 6, 28, 150, 20},  {Kind::Edit, "Template4", "", 168, 28, 150, 20},
    {Kind::Edit, "Template5", "", 6, 52, 150, 20},  {Kind::Edit, "Template6", "", 168, 52, 150, 20},
    {Kind::Edit, "Template7", "", 6, 76, 150, 20},  {Kind::Edit, "Template8", "", 168, 76, 150, 20},
    {Kind::Edit, "Template9", "", 6, 100, 150, 20}, {Kind::Button, "TemplateReset", "リセット(&L)", 248, 100, 70, 25},
};

const std::span<const Row> kPages[kSetupPageCount] = {kFilePage,     kDatePage,     kDisplayPage,
                                                      kShortCutPage, kExplorerPage, kTemplatePage};
constexpr std::string_view kPageCaptions[kSetupPageCount] = {"ファイル",       "日付け時刻",     "表示",
                                                             "ショートカット", "エクスプローラ", "定義文書"};

}  // namespace

ui::FormSpec TPagesDlg1::Spec()
{
    ui::FormSpec form;
    form.name = "TPagesDlg1";
    form.caption = "エディタ設定";
    form.clientWidth = 345;
    form.clientHeight = 212;
    form.position = ui::FormPosition::ScreenCenter;
    form.escapeResult = ui::mrCancel;
    for (std::string_view caption : kPageCaptions) form.pages.emplace_back(caption);
    for (int page = 0; page < kSetupPageCount; ++page) {
        for (const Row& row : kPages[page]) {
            ui::FormControl control;
            control.kind = row.kind;
            control.name = row.name;
            control.text = row.caption;
            control.left = row.left;
            control.top = row.top;
            control.width = row.width;
            control.height = row.height;
            control.page = page;
            if (row.kind == Kind::Radio) control.groupStart = row.name == "View0" || row.name == "Panel0";
            form.controls.push_back(std::move(control));
        }
    }
    const auto button = [&form](std::string name, int left, std::string caption, ui::ModalResult result) {
        ui::FormControl control;
        control.kind = Kind::Button;
        control.name = std::move(name);
        control.left = left;
        control.top = 182;
        control.width = 75;
        control.height = 25;
        control.text = std::move(caption);
        control.result = result;
        control.isDefault = result == ui::mrOk;
        form.controls.push_back(std::move(control));
    };
    button("OKBtn", 180, "&OK", ui::mrOk);
    button("CancelBtn", 262, "キャンセル(&C)", ui::mrCancel);
    // The number boxes' arrows: range and the design's first position.
    const auto number = [&form](std::string_view name, int maximum, int position) {
        ui::FormControl& box = *form.Find(name);
        box.maximum = maximum;
        box.position = position;
    };
    number("CountEdit", 30, 4);
    number("IntervalEdit", 100, 30);
    ui::FormControl& tree = *form.Find("ShortCutTree");
    for (const ShortCutNode& node : kShortCutTree) {
        tree.items.emplace_back(node.caption);
        tree.levels.push_back(node.depth);
    }
    // The pictures follow the arrangements of the explorer pane: value 0
    // left, 1 right (file list below the tree), 2 top, 3 bottom (list to the
    // right of the tree).
    const std::pair<Side, Side> arrangements[] = {
        {Side::Left, Side::Bottom}, {Side::Right, Side::Bottom}, {Side::Top, Side::Right}, {Side::Bottom, Side::Right}};
    for (int i = 0; i < 4; ++i)
        form.Find("Panel" + std::to_string(i) + "Picture")->shapes =
            ArrangementPicture(arrangements[i].first, arrangements[i].second);
    for (const DateTimeEntry& entry : kDateEntries) form.Find("DateList")->items.emplace_back(entry.text);
    for (const DateTimeEntry& entry : kTimeEntries) form.Find("TimeList")->items.emplace_back(entry.text);
    Fill(form);
    form.OnEvent = [this](ui::FormSpec& shown, const std::string& control) { Event(shown, control); };
    form.CanClose = [this](ui::FormSpec& shown) {
        Take(shown);
        const bool whole = NumbersAreWhole();
        Fill(shown);
        return whole;
    };
    return form;
}

void TPagesDlg1::Fill(ui::FormSpec& form) const
{
    const auto set = [&form](std::string_view name, auto&& apply) { apply(*form.Find(name)); };
    // A number box's arrows go on from the number it shows, when they can
    // show it.
    const auto number = [](ui::FormControl& c, const std::string& text) {
        c.text = text;
        int value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && value >= c.minimum && value <= c.maximum)
            c.position = value;
    };
    set("CountEdit", [&](ui::FormControl& c) { number(c, CountText); });
    set("IntervalEdit", [&](ui::FormControl& c) { number(c, IntervalText), c.enabled = IntervalEnabled; });
    const std::pair<std::string_view, bool> checks[] = {
        {"LastTimeFile", LastTimeFile}, {"FullPath", FullPath},         {"ConfirmDialog", ConfirmDialog},
        {"Backup", Backup},             {"FolderSave", FolderSave},     {"VisualSave", VisualSave},
        {"DateTimeSave", DateTimeSave}, {"ShortCutSave", ShortCutSave}, {"WindowSave", WindowSave},
        {"ParagraphLetter", ParagraphLetter}};
    for (const auto& [name, checked] : checks) form.Find(name)->checked = checked;
    set("Preview", [&](ui::FormControl& c) { c.text = Preview, c.readOnly = true; });
    set("DateList", [&](ui::FormControl& c) { c.text = DateText, c.selected = DatePosition; });
    set("TimeList", [&](ui::FormControl& c) { c.text = TimeText, c.selected = TimePosition; });
    set("ShortCutTree", [&](ui::FormControl& c) { c.selected = SelectedNode; });
    set("Sample", [&](ui::FormControl& c) {
        c.font = {Sample.font.face, Sample.points, 0, Sample.font.bold, Sample.font.italic, Sample.underline,
                  Sample.strikeOut};
        c.color = Sample.fontColor;
        c.background = Sample.color;
    });
    set("FontName", [&](ui::FormControl& c) { c.text = FontNameText, c.readOnly = true; });
    set("FontSize", [&](ui::FormControl& c) { c.text = FontSizeText, c.readOnly = true; });
    set("HotKey", [&](ui::FormControl& c) { c.shortCut = HotKey, c.enabled = HotKeyEnabled; });
    for (int i = 0; i < 4; ++i) {
        form.Find("View" + std::to_string(i))->checked = ViewIndex == i;
        form.Find("Panel" + std::to_string(i))->checked = PanelIndex == i;
    }
    for (int n = 1; n <= 9; ++n) {
        ui::FormControl& box = *form.Find("Template" + std::to_string(n));
        box.text = TemplateNames[n - 1];
        box.maxLength = static_cast<int>(kTemplateNameBytes);
        box.fits = [this](std::string_view text) { return services_.codec.Cp932Length(text) <= kTemplateNameBytes; };
    }
    form.activePage = ActivePage;
    form.focused = Focused;
}

void TPagesDlg1::Event(ui::FormSpec& form, const std::string& control)
{
    Take(form);
    const ui::FormControl& source = *form.Find(control);
    if (control == "DateList") {
        if (source.selected != DatePosition && source.selected >= 0)
            ComboBox1Click(source.selected);
        else
            ComboBox1Change(source.text);
    } else if (control == "TimeList") {
        if (source.selected != TimePosition && source.selected >= 0)
            ComboBox2Click(source.selected);
        else
            ComboBox2Change(source.text);
    } else if (control == "ShortCutTree") {
        SelectNode(source.selected);
        ListBox1Click();
    } else if (control == "FontBt") {
        FontBtClick();
    } else if (control == "BgColorBt") {
        BgColorBtClick();
    } else if (control == "DisplayReset") {
        Button1Click();
    } else if (control == "Assign") {
        Button2Click();
    } else if (control == "ShortCutReset") {
        Button3Click();
    } else if (control == "TemplateReset") {
        Button4Click();
    }
    Fill(form);
}

void TPagesDlg1::Take(const ui::FormSpec& form)
{
    const auto text = [&form](std::string_view name) { return form.Find(name)->text; };
    const auto checked = [&form](std::string_view name) { return form.Find(name)->checked; };
    if (form.activePage >= 0 && form.activePage < kSetupPageCount) ActivePage = static_cast<SetupPage>(form.activePage);
    CountText = text("CountEdit");
    IntervalText = text("IntervalEdit");
    LastTimeFile = checked("LastTimeFile");
    FullPath = checked("FullPath");
    ConfirmDialog = checked("ConfirmDialog");
    SetBackup(checked("Backup"));
    FolderSave = checked("FolderSave");
    VisualSave = checked("VisualSave");
    DateTimeSave = checked("DateTimeSave");
    ShortCutSave = checked("ShortCutSave");
    WindowSave = checked("WindowSave");
    ParagraphLetter = checked("ParagraphLetter");
    for (int i = 0; i < 4; ++i) {
        if (checked("View" + std::to_string(i))) ViewIndex = i;
        if (checked("Panel" + std::to_string(i))) PanelIndex = i;
    }
    for (int n = 1; n <= 9; ++n) SetTemplateName(n, text("Template" + std::to_string(n)));
    // The tree's selection moves with the keyboard too; only a click
    // refreshes the key box (Event).
    SelectNode(form.Find("ShortCutTree")->selected);
    HotKey = static_cast<ui::TShortCut>(form.Find("HotKey")->shortCut);
}

ui::ModalResult TPagesDlg1::ShowModal(ui::FormService& forms)
{
    FormShow();
    // One form, and so one window, for the run: made at the first showing,
    // refilled at each later one.
    if (!form_) {
        form_ = Spec();
        form_->keep = true;
    } else {
        Fill(*form_);
    }
    ui::FormSpec& form = *form_;
    for (;;) {
        const ui::ModalResult result = forms.Edit(form);
        if (result != ui::mrOk) {
            // Cancel: the page in front, the count box's text, the tree's
            // selection, the key box and what the lists stored at once stay;
            // the rest reloads at the next showing.
            if (form.activePage >= 0 && form.activePage < kSetupPageCount)
                ActivePage = static_cast<SetupPage>(form.activePage);
            CountText = form.Find("CountEdit")->text;
            SelectNode(form.Find("ShortCutTree")->selected);
            HotKey = static_cast<ui::TShortCut>(form.Find("HotKey")->shortCut);
            return result;
        }
        Take(form);
        if (OKBtnClick()) {
            Focused.clear();
            form.focused.clear();
            return result;
        }
        Fill(form);
    }
}

}  // namespace kp::settings
