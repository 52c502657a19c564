// text_bytes.h: byte-wise rules over texts: ASCII letter case and the engine's colour escapes.
#pragma once

#include <cstddef>
#include <span>

namespace frame {

// Case of ASCII letters only; every other byte stays as it is.
void to_upper_ascii(std::span<char> text);
void to_lower_ascii(std::span<char> text);

// Removes every colour escape (byte 0x1C and the byte after it) in place; gives the length kept.
std::size_t StripColorCodes(std::span<char> text);

}  // namespace frame
