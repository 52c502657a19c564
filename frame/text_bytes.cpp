// text_bytes.cpp: ASCII letter case and the removal of colour escapes.
#include "frame/text_bytes.h"

namespace frame {
namespace {
constexpr char kColorEscape = '\x1C';
}  // namespace

// Without a branch, so the compiler handles many bytes a step.
void to_upper_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 'a' - 'A' : 0));
}

void to_lower_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 'a' - 'A' : 0));
}

std::size_t StripColorCodes(std::span<char> text) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kColorEscape) {
            ++i;   // the colour letter goes with its escape
            continue;
        }
        text[kept++] = text[i];
    }
    return kept;
}

}  // namespace frame
