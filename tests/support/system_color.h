// system_color.h: the highlight colour as the plug-ins see it, for tests on both systems.
//
// Natively the plug-ins keep it in the file named by SDLL_SYSCOLOR_FILE, on Windows it is the real
// system colour; going through the platform layer reads and sets the one the plug-in uses.
#pragma once

#include <cstdint>

namespace test_support {

std::uint32_t highlight_color();
void set_highlight_color(std::uint32_t color);

}  // namespace test_support
