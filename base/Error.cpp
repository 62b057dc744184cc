#include "base/Error.h"

namespace kp {

std::string FormatWithArgument(std::string_view pattern, std::string_view arg)
{
    std::string out(pattern);
    const auto at = out.find("%s");
    if (at != std::string::npos)
        out.replace(at, 2, arg);
    return out;
}

}  // namespace kp
