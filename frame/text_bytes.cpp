// text_bytes.cpp: ASCII letter case, the characters of a path, and the removal of colour escapes.
#include "frame/text_bytes.h"

namespace frame {
namespace {
constexpr char kColorEscape = '\x1C';

bool can_end_character(unsigned char byte) { return byte > ' ' && byte != '"' && byte != 0x7F; }
}  // namespace

// Without a branch, so the compiler handles many bytes a step.
void to_upper_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 'a' - 'A' : 0));
}

void to_lower_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 'a' - 'A' : 0));
}

std::size_t character_size(std::string_view text, std::size_t at, LeadByteRule is_lead) {
    const bool pair = at + 1 < text.size() && is_lead(static_cast<unsigned char>(text[at])) &&
                      can_end_character(static_cast<unsigned char>(text[at + 1]));
    return pair ? 2 : 1;
}

void to_lower_path(std::span<char> path, LeadByteRule is_lead) {
    const std::string_view text(path.data(), path.size());
    for (std::size_t at = 0; at < path.size();) {
        const std::size_t size = character_size(text, at, is_lead);
        if (size == 1) to_lower_ascii(path.subspan(at, 1));
        at += size;
    }
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
