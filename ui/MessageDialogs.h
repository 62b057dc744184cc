#pragma once
// Message dialogs with this program's own look: the caption and icon follow
// the kind, the buttons have Japanese captions. A MessageDialogService shows
// them (our own Win32 dialog, or scripted answers in tests).

#include <cstdint>
#include <string>
#include <string_view>

namespace kp::ui {

enum class DialogKind { Warning, Error, Information, Confirmation, Custom };

enum DialogButton : uint32_t { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
using DialogButtons = uint32_t;
constexpr DialogButtons mbYesNoCancel = mbYes | mbNo | mbCancel;
constexpr DialogButtons mbYesNo = mbYes | mbNo;
constexpr DialogButtons mbOKCancel = mbOK | mbCancel;

// The results carry the standard message-box ids (IDOK 1, IDCANCEL 2,
// IDYES 6, IDNO 7), which are also the ids of the buttons.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// "確認", "ｴﾗｰ", "警告", "情報".
std::string_view CaptionOf(DialogKind kind);
// "はい(&Y)", "いいえ(&N)", "OK", "ｷｬﾝｾﾙ".
std::string_view ButtonCaption(DialogButton button);

class MessageDialogService {
public:
    virtual ~MessageDialogService() = default;
    // Shows the message modally and returns the button pressed (Esc or the
    // close box: Cancel when there is one, else No, else OK).
    virtual ModalResult Show(std::string_view text, std::string_view caption, DialogKind kind,
                             DialogButtons buttons) = 0;
    // The system sound of a kind, without a box (the information kind: the
    // asterisk).
    virtual void Beep(DialogKind kind) = 0;
};

// The framework's MessageDlg: the caption is the kind's.
inline ModalResult MessageDlg(MessageDialogService& service, std::string_view text, DialogKind kind,
                              DialogButtons buttons)
{
    return service.Show(text, CaptionOf(kind), kind, buttons);
}

}  // namespace kp::ui
