// text_bytes.h: rules over the bytes of texts: ASCII letter case, the characters of the user's
// paths in the ANSI code page, and the engine's colour escapes.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "platform/platform.h"

namespace frame {

// Case of ASCII letters only; every other byte stays as it is.
void to_upper_ascii(std::span<char> text);
void to_lower_ascii(std::span<char> text);

// Whether a byte starts a two-byte character of the ANSI code page: platform::is_lead_byte, or a
// test's own rule.
using LeadByteRule = bool (*)(unsigned char byte);

// The bytes of the character at `at` (below text.size()): two for a lead byte followed by a byte
// that can end a character, else one. A blank, a control byte or a double quote ends no
// character in any double-byte code page, and a lead byte at the end stands alone.
std::size_t character_size(std::string_view text, std::size_t at, LeadByteRule is_lead);

// A path of the user's in lower case for the launcher's case-blind file names: ASCII letters only,
// and a two-byte character stays whole, since its second byte may be a capital (ア is 0x83 0x41
// in code page 932).
void to_lower_path(std::span<char> path, LeadByteRule is_lead = platform::is_lead_byte);

// Removes every colour escape (byte 0x1C and the byte after it) in place; gives the length kept.
std::size_t StripColorCodes(std::span<char> text);

}  // namespace frame
