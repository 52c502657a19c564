// line_ends.h: the text-file line-end rule both platform implementations share (any OS).
#pragma once

#include <string>

namespace platform::detail {

// `text` with every '\n' that is not already preceded by '\r' written as CR LF, so a text that
// already holds CR LF line ends is not doubled.
std::string with_crlf_line_ends(const std::string& text);

}  // namespace platform::detail
