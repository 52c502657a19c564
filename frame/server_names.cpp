// server_names.cpp: the word rule and the file-name rule for a stranger's server texts.
#include "frame/server_names.h"

#include <algorithm>

#include "frame/engine_arguments.h"

namespace frame {
namespace {

constexpr std::string_view kPathSeparators = "/\\:";
constexpr std::string_view kWildcardsAndPipes = "*?<>|";
constexpr std::string_view kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
// These take one digit after them.
constexpr std::string_view kNumberedDevices[] = {"COM", "LPT"};

bool printable_ascii(std::string_view word) {
    return std::all_of(word.begin(), word.end(), [](char c) { return c >= 0x21 && c <= 0x7E; });
}

bool same_letters(std::string_view text, std::string_view upper) {
    return text.size() == upper.size() && std::equal(text.begin(), text.end(), upper.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

// Windows opens the device whatever extension follows the name.
bool device_name(std::string_view name) {
    const std::string_view stem = name.substr(0, name.find('.'));
    for (std::string_view device : kDevices)
        if (same_letters(stem, device)) return true;
    for (std::string_view device : kNumberedDevices)
        if (stem.size() == device.size() + 1 && same_letters(stem.substr(0, device.size()), device) &&
            stem.back() >= '0' && stem.back() <= '9')
            return true;
    return false;
}

}  // namespace

std::optional<std::string_view> server_argument(std::string_view text) {
    const std::string_view word = single_word(text);
    if (word.empty() || word[0] == '-' || word[0] == '+' || word[0] == '@') return std::nullopt;
    if (word.find('"') != std::string_view::npos) return std::nullopt;
    return word;
}

std::optional<std::string_view> server_map(std::string_view text) {
    const std::optional<std::string_view> word = server_argument(text);
    if (!word || !printable_ascii(*word) || word->find(';') != std::string_view::npos) return std::nullopt;
    return word;
}

std::optional<std::string_view> server_file_name(std::string_view text) {
    const std::optional<std::string_view> word = server_argument(text);
    if (!word) return std::nullopt;
    const std::size_t separator = word->find_last_of(kPathSeparators);
    const std::optional<std::string_view> name =
        server_argument(separator == std::string_view::npos ? *word : word->substr(separator + 1));
    if (!name || !printable_ascii(*name) || name->back() == '.') return std::nullopt;
    if (name->find_first_of(kWildcardsAndPipes) != std::string_view::npos || device_name(*name)) return std::nullopt;
    return name;
}

}  // namespace frame
