// system_color.cpp: the system highlight colour (COLOR_HIGHLIGHT), for posix (Linux) builds.
//
// There is no system palette here. When SDLL_SYSCOLOR_FILE names a file, the colour lives in it
// as one decimal number, so a test process can see what a plug-in set; otherwise in memory.
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/platform.h"

namespace platform {
namespace {

constexpr const char* kColorFileVariable = "SDLL_SYSCOLOR_FILE";
// The colour a fresh system has (0x00D77800), also read from a missing or unreadable file.
constexpr std::uint32_t kDefaultHighlight = 14120960;

std::uint32_t g_highlight = kDefaultHighlight;

const char* color_file() {
    const char* path = std::getenv(kColorFileVariable);
    return path && *path ? path : nullptr;
}

}  // namespace

std::uint32_t get_highlight_color() {
    const char* path = color_file();
    if (!path) return g_highlight;
    std::ifstream in(path);
    unsigned long value = 0;
    if (!(in >> value) || value > 0xFFFFFFFFul) return kDefaultHighlight;
    return static_cast<std::uint32_t>(value);
}

void set_highlight_color(std::uint32_t color) {
    const char* path = color_file();
    if (!path) {
        g_highlight = color;
        return;
    }
    std::ofstream out(path, std::ios::trunc);
    out << color << '\n';
}

}  // namespace platform
