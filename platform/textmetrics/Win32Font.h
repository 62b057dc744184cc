#pragma once
// The GDI font a FontSpec stands for. Layout measures with it and the view
// draws with it, so both must make it the same way: through this function.

#include "platform/textmetrics/TextMetrics.h"

#include <windows.h>

namespace kp::platform {

LOGFONTW LogFontOf(const FontSpec& spec);

}  // namespace kp::platform
