// engine_arguments.cpp: arguments of an engine's line, and the length of the line Windows builds.
#include "frame/engine_arguments.h"

#include "platform/platform.h"

namespace frame {

std::string_view single_word(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size()) {
        const auto c = static_cast<unsigned char>(text[end]);
        if (c <= ' ' || c == 0x7F) break;
        ++end;
    }
    return text.substr(0, end);
}

std::size_t command_line_length(std::string_view program, std::string_view parameters) {
    return program.size() + 3 + parameters.size();
}

std::string one_argument(std::string_view text, LeadByteRule is_lead) {
    if (!text.empty() && text.find_first_of(" \t\"") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    std::size_t backslashes = 0;   // the run just before the current character
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t size = character_size(text, at, is_lead);
        const char c = size == 1 ? text[at] : '\0';   // a two-byte character is neither \\ nor "
        if (c == '\\') {
            ++backslashes;
            ++at;
            continue;
        }
        // Backslashes stand for themselves unless a quote follows: then they are doubled and the
        // quote escaped.
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        out.append(text.substr(at, size));
        backslashes = 0;
        at += size;
    }
    out.append(2 * backslashes, '\\');   // before the closing quote
    out += '"';
    return out;
}

std::string file_argument(std::string_view full_path, const std::optional<std::string>& short_form) {
    const bool usable = short_form && !short_form->empty() && short_form->size() <= kShortPathMax;
    return one_argument(usable ? std::string_view(*short_form) : full_path);
}

std::string short_file_argument(const std::string& lookup_path, std::string_view full_path) {
    std::string short_form;
    const bool found = platform::short_path(lookup_path, &short_form);
    return file_argument(full_path, found ? std::optional<std::string>(short_form) : std::nullopt);
}

}  // namespace frame
