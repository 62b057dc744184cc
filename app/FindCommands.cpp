// The Search menu: the find dialog, the repeat find (F3) and the replace
// dialog.
//
// Both dialogs are modeless and keep their texts for the whole run; F3 always
// searches for the find dialog's text. A search runs forward only, matches
// letter case exactly and never wraps around: the find step starts after the
// selection, or at the very beginning when nothing is selected, and the
// replace step always takes the first occurrence in the whole text, one per
// press of Replace or Replace All. The dialogs' options (direction, whole
// word, the replace dialog's match case) are shown and not used.
//
// Every search goes through the memo's own find message over the memo's own
// bytes, so offsets are the memo's positions whatever the wrapping and the
// line breaks, and a match never starts inside a double-byte character.
// Dialog texts are UTF-8; a character that code page 932 cannot hold is never
// searched for as a substitute, nor written into the document.

#include "app/MainForm.h"

#include "base/Utf.h"
#include "memo/edit/RichEditMessages.h"
#include "platform/codec/Cp932Codec.h"
#include "ui/ViewTypes.h"

#include <string>

namespace kp::app {

namespace {

constexpr const char* kNotFoundTail = "\" は見つかりません";
constexpr const char* kReplaceUnrepresentable = "置換後の文字列にシフトJISで表せない文字が含まれています";

}  // namespace

void TEditForm::ConnectFindCommands()
{
    FindDialog1.Options = ui::frDown | ui::frHideMatchCase | ui::frHideWholeWord;
    MenuItem("Find")->OnClick = [this] { FindClick(); };
    MenuItem("FindNext")->OnClick = [this] { FindNextClick(); };
    MenuItem("Replace")->OnClick = [this] { ReplaceClick(); };
    // The dialogs' events arrive between other messages, as commands do.
    FindDialog1.OnFind = [this] {
        const TickHold hold(*this);
        FindDialog1Find();
    };
    ReplaceDialog1.OnFind = [this] {
        const TickHold hold(*this);
        ReplaceDialog1Find();
    };
    ReplaceDialog1.OnReplace = [this] {
        const TickHold hold(*this);
        ReplaceDialog1Replace();
    };
}

void TEditForm::FindClick() { FindDialog1.Execute(); }
void TEditForm::ReplaceClick() { ReplaceDialog1.Execute(); }
void TEditForm::FindNextClick() { FindStep(FindDialog1.FindText); }
void TEditForm::FindDialog1Find() { FindStep(FindDialog1.FindText); }
void TEditForm::ReplaceDialog1Find() { FindStep(ReplaceDialog1.FindText); }
void TEditForm::ReplaceDialog1Replace() { ReplaceStep(); }

std::optional<std::string> TEditForm::DocumentBytes(std::string_view utf8) const
{
    const std::u16string text = Utf8ToUtf16(utf8);
    std::string bytes = services_.codec.FromUtf16(text);
    // A character without a form comes back as something else ('?').
    if (services_.codec.ToUtf16(bytes) != text) return std::nullopt;
    return bytes;
}

void TEditForm::SelectInView(size_t offset, size_t length)
{
    Memo.SetSelStart(offset);
    Memo.SetSelLength(length);
    Memo.Perform(memo::re::kScrollCaret);
}

void TEditForm::FindStep(std::string_view findText)
{
    const ui::THourGlassScope hourGlass;
    if (findText.empty()) return;
    const std::optional<std::string> pattern = DocumentBytes(findText);
    if (!pattern) return;
    const size_t selected = Memo.SelLength();
    const size_t start = selected == 0 ? 0 : Memo.SelStart() + selected;
    const size_t length = Memo.TextLength();
    if (start >= length) return;
    const int64_t found = Memo.FindText(*pattern, static_cast<int64_t>(start), static_cast<int64_t>(length - start),
                                        memo::re::kFtMatchCase);
    if (found < 0) return;
    SelectInView(static_cast<size_t>(found), pattern->size());
}

void TEditForm::ReplaceStep()
{
    // A press while the message of an earlier one shows (the dialog stays
    // usable then) does nothing.
    if (replaceMessageShowing_) return;
    const auto report = [this](const std::string& text) {
        replaceMessageShowing_ = true;
        try {
            ui::MessageDlg(services_.application.Dialogs(), text, ui::DialogKind::Error, ui::mbOK);
        } catch (...) {
            replaceMessageShowing_ = false;
            throw;
        }
        replaceMessageShowing_ = false;
    };
    const std::string& findText = ReplaceDialog1.FindText;
    const std::optional<std::string> pattern = findText.empty() ? std::nullopt : DocumentBytes(findText);
    // The hourglass shows while the text is searched and replaced, never
    // over the message.
    std::optional<ui::THourGlassScope> hourGlass(std::in_place);
    const int64_t found = pattern ? Memo.FindText(*pattern, 0, static_cast<int64_t>(Memo.TextLength()),
                                                  memo::re::kFtMatchCase)
                                  : -1;
    if (found < 0) {
        hourGlass.reset();
        report("\"" + findText + kNotFoundTail);
        return;
    }
    const std::optional<std::string> replacement = DocumentBytes(ReplaceDialog1.ReplaceText);
    if (!replacement) {
        hourGlass.reset();
        report(kReplaceUnrepresentable);
        return;
    }
    const auto at = static_cast<size_t>(found);
    // The occurrence is selected and replaced as one undoable step; the new
    // text is left selected, so a find step goes on after it.
    Memo.SetSelStart(at);
    Memo.SetSelLength(pattern->size());
    Memo.ReplaceRange(at, pattern->size(), *replacement, at + replacement->size());
    SelectInView(at, replacement->size());
}

}  // namespace kp::app
