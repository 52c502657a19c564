// system_color.cpp: the highlight colour through the platform layer the plug-ins use.
#include "tests/support/system_color.h"

#include "platform/platform.h"

namespace test_support {

std::uint32_t highlight_color() { return platform::get_highlight_color(); }
void set_highlight_color(std::uint32_t color) { platform::set_highlight_color(color); }

}  // namespace test_support
