#include "ui/MessageDialogs.h"

namespace kp::ui {

std::string_view CaptionOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Warning: return "警告";
    case DialogKind::Error: return "ｴﾗｰ";
    case DialogKind::Information: return "情報";
    case DialogKind::Confirmation: return "確認";
    case DialogKind::Custom: break;
    }
    return "";
}

std::string_view ButtonCaption(DialogButton button)
{
    switch (button) {
    case mbYes: return "はい(&Y)";
    case mbNo: return "いいえ(&N)";
    case mbOK: return "OK";
    case mbCancel: return "ｷｬﾝｾﾙ";
    }
    return "";
}

}  // namespace kp::ui
