#include "platform/clipboard/SimClipboard.h"

namespace kp::platform {

bool SimClipboard::SetText(std::u16string_view text)
{
    if (held_ || unwritable_) return false;
    text_ = std::u16string(text.substr(0, text.find(u'\0')));
    return true;
}

std::optional<std::u16string> SimClipboard::GetText()
{
    if (held_ || (unreadable_ && text_)) return std::nullopt;
    return text_;
}

bool SimClipboard::HasText()
{
    return text_.has_value();
}

}  // namespace kp::platform
