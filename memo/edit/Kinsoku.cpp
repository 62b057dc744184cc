#include "memo/edit/Kinsoku.h"

#include "base/Cp932.h"
#include "memo/edit/RichEditMessages.h"

namespace kp::memo {

Kinsoku::Kinsoku(uint32_t mode, const std::string_view (&sets)[4])
    : wordWrap_((mode & re::kWbfWordWrap) != 0),
      wordBreak_((mode & re::kWbfWordBreak) != 0),
      overflow_((mode & re::kWbfOverflow) != 0)
{
    for (int set = 0; set < 4; ++set) {
        const std::string_view characters = sets[set];
        for (size_t at = 0; at < characters.size();) {
            const size_t length = cp932::CharLength(characters, at);
            const auto b0 = static_cast<uint8_t>(characters[at]);
            const uint16_t code =
                length == 2 ? static_cast<uint16_t>((b0 << 8) | static_cast<uint8_t>(characters[at + 1])) : b0;
            tables_[set].set(code);
            at += length;
        }
    }
}

}  // namespace kp::memo
