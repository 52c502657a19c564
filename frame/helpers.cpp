// helpers.cpp: the IWAD table, file existence, response-file backup and restore, and the text
// clean-ups both plug-ins share. Stateless; the OS is reached through platform/platform.h.
#include "frame/helpers.h"

#include <array>

#include "platform/platform.h"

namespace frame {
namespace {

constexpr std::string_view kBackupSuffix = ".bak";
constexpr char kColorEscape = '\x1C';

std::string joined(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + name.size());
    path.append(folder).append(name);
    return path;
}

}  // namespace

std::span<const IwadRow> iwad_table() { return kIwadTable; }

bool IwadFileName(Plugin plugin, int number, std::string* target) {
    for (const IwadRow& row : kIwadTable) {
        if (row.number != number) continue;
        if (plugin == Plugin::orvento && !row.orvento) return false;
        target->assign(row.file);
        return true;
    }
    return false;
}

int IwadNumber(std::string_view file) {
    for (const IwadRow& row : kIwadTable) {
        if (file == row.file) return row.number;
    }
    return kUnknownIwad;
}

bool FileExists(const std::string& path) { return platform::file_exists(path); }

bool FileExists(std::string_view folder, std::string_view name) {
    return platform::file_exists(joined(folder, name));
}

Backup BackupFile(const std::string& path) {
    const std::string backup = joined(path, kBackupSuffix);
    if (!FileExists(path)) return Backup::no_file;
    if (FileExists(backup) && !platform::delete_file(backup)) return Backup::failed;
    // A rename never replaces: an old backup the search missed makes it fail, not vanish.
    return platform::rename_file(path, backup) ? Backup::moved_aside : Backup::failed;
}

bool BackupExists(const std::string& path) { return FileExists(joined(path, kBackupSuffix)); }

bool RestoreFile(std::string_view folder, std::string_view name) {
    const std::string path = joined(folder, name);
    // One move over the current file: there is no moment without either file.
    return platform::move_file_replace(joined(path, kBackupSuffix), path);
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

std::string_view single_word(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size()) {
        const auto c = static_cast<unsigned char>(text[end]);
        if (c <= ' ' || c == 0x7F) break;
        ++end;
    }
    return text.substr(0, end);
}

std::optional<std::string_view> server_argument(std::string_view text) {
    const std::string_view word = single_word(text);
    const bool option_like = !word.empty() && (word[0] == '-' || word[0] == '+' || word[0] == '@');
    if (option_like || word.find('"') != std::string_view::npos) return std::nullopt;
    return word;
}

std::size_t command_line_length(std::string_view program, std::string_view parameters) {
    return program.size() + 3 + parameters.size();
}

// Without a branch, so the compiler handles many bytes a step.
void to_upper_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c - (static_cast<unsigned char>(c - 'a') < 26 ? 'a' - 'A' : 0));
}

void to_lower_ascii(std::span<char> text) {
    for (char& c : text) c = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 'a' - 'A' : 0));
}

std::string one_argument(std::string_view text) {
    if (!text.empty() && text.find_first_of(" \t\"") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    std::size_t backslashes = 0;   // the run just before the current character
    for (char c : text) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes stand for themselves unless a quote follows: then they are doubled and the
        // quote escaped.
        out.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        out += c;
        backslashes = 0;
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
