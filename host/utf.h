// utf.h: the launcher's own text conversions (UTF-8 <-> UTF-16, and the plug-ins' ANSI texts).
//
// The launcher keeps every text as UTF-8 and hands UTF-16 to the plug-ins. Malformed input never
// fails: each bad sequence becomes U+FFFD, so a journal line is always valid JSON.
#pragma once

#include <string>
#include <string_view>

namespace host {

std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);
// A zero-terminated ANSI text from a plug-in as UTF-8, through the system's ANSI code page (UTF-8
// itself on posix, where malformed sequences become U+FFFD). Null reads as empty.
std::string ansi_to_utf8(const char* text);
// UTF-8 to the ANSI code page, for texts handed to exports; what the code page lacks becomes its
// default character.
std::string utf8_to_ansi(const std::string& text);

}  // namespace host
