// line_ends.cpp: CR LF line ends for the text files the plug-ins write (any OS).
#include "platform/line_ends.h"

namespace platform::detail {

std::string with_crlf_line_ends(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

}  // namespace platform::detail
