// windows_arguments.h: splitting a Windows parameter text into arguments, for posix (Linux) builds.
#pragma once

#include <string>
#include <vector>

namespace platform::detail {

// The arguments a Windows program's runtime would see for `parameters` (the text after the
// program name), by the rules of CommandLineToArgvW: blanks and tabs separate arguments outside
// quotes; 2n backslashes before a quote give n backslashes and the quote opens or closes a quoted
// part; 2n+1 backslashes before a quote give n backslashes and a literal quote; other
// backslashes are literal; in a run of quotes every third one is a literal quote, so "" inside
// a quoted part gives a quote and ends the part.
std::vector<std::string> split_command_line(const std::string& parameters);

}  // namespace platform::detail
