// system_color.cpp: the system highlight colour (COLOR_HIGHLIGHT), for Windows builds.
#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

namespace platform {

std::uint32_t get_highlight_color() { return GetSysColor(COLOR_HIGHLIGHT); }

void set_highlight_color(std::uint32_t color) {
    const INT element = COLOR_HIGHLIGHT;
    const COLORREF value = color;
    SetSysColors(1, &element, &value);
}

}  // namespace platform
