// The Edit menu's commands (the right-click menu runs the same items), the
// View menu's word wrap and tool bar, and the status panels that follow the
// memo: caret position, insert or overwrite, the mouse hint.
//
// The clipboard carries UTF-16 text; the memo holds code-page-932 bytes. The
// additive commands join the clipboard's text and the selection in UTF-16, so
// that characters another program put there survive even where code page 932
// has no form for them. Failures of the clipboard go to the default handler
// as a kp::Error, before anything has changed. A cut removes text only when
// the clipboard can hold all of it: the platform's text ends at a NUL, and
// bytes that do not decode would come back as substitutes, so such a
// selection is refused with a beep.

#include "app/MainForm.h"

#include "base/Error.h"
#include "memo/edit/EditControl.h"
#include "memo/edit/WindowMessages.h"
#include "platform/clipboard/Clipboard.h"
#include "platform/codec/Cp932Codec.h"
#include "settings/DateTimeFormat.h"
#include "ui/ViewTypes.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>

namespace kp::app {

namespace {

constexpr const char* kClipboardUnreadable = "クリップボードを読み込めません";
constexpr const char* kClipboardUnwritable = "クリップボードに書き込めません";
constexpr const char* kInsertHint = "[Insert]で挿入・上書きの切り替え";

// Whether the clipboard gives back exactly the text that was cut.
bool CarriedWhole(std::u16string_view text)
{
    return text.find(u'\0') == std::u16string_view::npos && text.find(u'\uFFFD') == std::u16string_view::npos;
}

}  // namespace

void TEditForm::ConnectEditCommands()
{
    const std::pair<const char*, void (TEditForm::*)()> commands[] = {
        {"Undo", &TEditForm::UndoClick},           {"Cut", &TEditForm::CutClick},
        {"Copy", &TEditForm::CopyClick},           {"Paste", &TEditForm::PasteClick},
        {"AddCut", &TEditForm::AddCutClick},       {"AddCopy", &TEditForm::AddCopyClick},
        {"Cutting", &TEditForm::CuttingClick},     {"Delete", &TEditForm::DeleteClick},
        {"SelectAll", &TEditForm::SelectAllClick}, {"CopyAll", &TEditForm::CopyAllClick},
        {"CutAll", &TEditForm::CutAllClick},       {"DateTime", &TEditForm::DateTimeClick},
        {"FontBig", &TEditForm::FontBigClick},     {"FontSmall", &TEditForm::FontSmallClick},
        {"LeftEnter", &TEditForm::LeftEnterClick}, {"ToolBar", &TEditForm::ToolBarClick},
    };
    for (const auto& [key, handler] : commands) {
        const auto run = handler;
        MenuItem(key)->OnClick = [this, run] { (this->*run)(); };
    }
    Memo.OnSelectionChange = [this] { MemoSelectionChange(); };
    Memo.OnKeyDown = [this](memo::KeyEvent& event) { MemoKeyDown(event); };
    Memo.OnMouseMove = [this](int x, int y) { MemoMouseMove(x, y); };
}

// ---- The clipboard ----------------------------------------------------------------

void TEditForm::UndoClick()
{
    const ui::THourGlassScope hourGlass;
    Memo.Undo();
}

void TEditForm::CopySelection()
{
    const ui::THourGlassScope hourGlass;
    if (Memo.SelLength() == 0) return;
    if (!services_.clipboard.SetText(services_.codec.ToUtf16(Memo.SelText()))) throw Error(kClipboardUnwritable);
}

void TEditForm::CutSelection()
{
    const ui::THourGlassScope hourGlass;
    if (Memo.SelLength() == 0) return;
    const std::u16string text = services_.codec.ToUtf16(Memo.SelText());
    if (!CarriedWhole(text)) {
        host_.Beep();
        return;
    }
    if (!services_.clipboard.SetText(text)) throw Error(kClipboardUnwritable);
    Memo.ClearSelection();
}

void TEditForm::CopyClick() { CopySelection(); }
void TEditForm::CutClick() { CutSelection(); }

void TEditForm::PasteClick()
{
    const ui::THourGlassScope hourGlass;
    platform::Clipboard& clipboard = services_.clipboard;
    if (!clipboard.HasText()) return;  // a picture or files: nothing to paste
    const std::optional<std::u16string> text = clipboard.GetText();
    if (!text) throw Error(kClipboardUnreadable);
    Memo.SetSelText(services_.codec.FromUtf16(*text));
}

// The clipboard's text (none counts as empty) followed by the selection.
// Without a selection the clipboard keeps what it holds, text or not.
void TEditForm::AddSelectionToClipboard(bool cut)
{
    const ui::THourGlassScope hourGlass;
    if (Memo.SelLength() == 0) return;
    const std::u16string added = services_.codec.ToUtf16(Memo.SelText());
    if (cut && !CarriedWhole(added)) {
        host_.Beep();
        return;
    }
    platform::Clipboard& clipboard = services_.clipboard;
    std::u16string joined;
    if (clipboard.HasText()) {
        std::optional<std::u16string> held = clipboard.GetText();
        if (!held) throw Error(kClipboardUnreadable);
        joined = std::move(*held);
    }
    joined += added;
    if (!clipboard.SetText(joined)) throw Error(kClipboardUnwritable);
    if (cut) Memo.ClearSelection();
}

void TEditForm::AddCopyClick() { AddSelectionToClipboard(false); }
void TEditForm::AddCutClick() { AddSelectionToClipboard(true); }

void TEditForm::SelectAllClick() { Memo.SelectAll(); }

void TEditForm::CopyAllClick()
{
    Memo.SelectAll();
    CopySelection();
}

void TEditForm::CutAllClick()
{
    Memo.SelectAll();
    CutSelection();
}

// ---- Text edits -----------------------------------------------------------------------
// Each is one undoable edit of the range it changes, whatever the document's
// size: Undo brings back the text as it was in one step.

// Keeps only the selection (nothing, without one); the caret goes to the start.
void TEditForm::CuttingClick()
{
    const ui::THourGlassScope hourGlass;
    Memo.Crop(Memo.SelStart(), Memo.SelLength());
}

// The stamp goes in front of the selection, which stays in the text; the
// caret stands before the stamp with nothing selected. A stored pattern of
// the wrong type throws the store's error before anything changes.
void TEditForm::DateTimeClick()
{
    const std::string stamp =
        settings::MakeDateTimeStamp(*store_, services_.clock, services_.dateLocale, services_.codec);
    const size_t start = Memo.SelStart();
    Memo.ReplaceRange(start, 0, stamp, start);
}

// The selection's letters, the caret after it; without a selection, the
// whole text's, the caret where it was.
void TEditForm::ConvertCase(memo::CaseMapping mapping)
{
    const ui::THourGlassScope hourGlass;
    const size_t start = Memo.SelStart();
    const size_t length = Memo.SelLength();
    if (length > 0)
        Memo.MapCase(mapping, start, length, start + length);
    else
        Memo.MapCase(mapping, 0, Memo.TextLength(), start);
}

void TEditForm::FontBigClick() { ConvertCase(memo::CaseMapping::Upper); }
void TEditForm::FontSmallClick() { ConvertCase(memo::CaseMapping::Lower); }

// The display line holding the selection's start (with word wrap, only its
// wrapped segment), with its line break; the last line keeps the break in
// front of it.
void TEditForm::DeleteClick()
{
    Memo.DeleteLine(static_cast<size_t>(Memo.CaretLine()));
}

// ---- View -----------------------------------------------------------------------------

void TEditForm::LeftEnterClick()
{
    const ui::THourGlassScope hourGlass;
    ui::TMenuItem* item = MenuItem("LeftEnter");
    item->SetChecked(!item->Checked());
    Memo.SetWordWrap(item->Checked());
    MemoSelectionChange();  // the caret's display line moves with the wrapping
}

void TEditForm::ToolBarClick()
{
    ToolBar1.SetVisible(!ToolBar1.Visible());
    MenuItem("ToolBar")->SetChecked(ToolBar1.Visible());
}

// ---- Status panels ------------------------------------------------------------------

// The memo's CaretLine and CaretColumn, asked of its control directly: this
// runs at every caret move, and the position is found in the line index.
void TEditForm::MemoSelectionChange()
{
    const memo::EditControl* control = Memo.Control();
    if (!control) return;
    const size_t start = control->SelStart();
    const size_t line = control->LineFromChar(start);
    const size_t column = start - static_cast<size_t>(control->LineIndex(static_cast<int64_t>(line)));
    constexpr std::string_view kLine = "行　　", kColumn = "桁";
    char text[64];
    char* end = std::to_chars(text, text + 20, line + 1).ptr;
    end = std::copy(kLine.begin(), kLine.end(), end);
    end = std::to_chars(end, end + 20, column + 1).ptr;
    end = std::copy(kColumn.begin(), kColumn.end(), end);
    StatusBar1.SetText(0, std::string_view(text, static_cast<size_t>(end - text)));
}

// The memo switches its mode on Insert without Shift or Ctrl before this
// event; the panel shows the mode it switched to. Shift+Insert pastes.
void TEditForm::MemoKeyDown(memo::KeyEvent& event)
{
    if (event.key == memo::vk::kInsert && !event.shift && !event.ctrl)
        StatusBar1.SetText(1, Memo.InsertMode() ? "挿入" : "上書");
}

void TEditForm::MemoMouseMove(int, int)
{
    StatusBar1.SetText(2, kInsertHint);
}

}  // namespace kp::app
