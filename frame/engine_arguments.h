// engine_arguments.h: what goes onto an engine's command line or into its response file.
//
// One argument per text, file names in their short form, a stranger's text kept to one word, and
// the length Windows allows.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "frame/text_bytes.h"

namespace frame {

// Longest short (8.3) path the engine gets (a 260-character buffer with its zero); a longer answer
// does not count as a short form.
constexpr std::size_t kShortPathMax = 259;

// `text`, a path of the user's in the ANSI code page, written so that a Windows command line
// (CommandLineToArgvW) and the engine's response file give it back as exactly one argument: bare
// when it has no blank, tab or double quote and is not empty, else in double quotes with each
// quote escaped and the backslashes before a quote or the closing quote doubled. The second byte
// of a two-byte character is part of that character, never a backslash (表 is 0x95 0x5C in code
// page 932).
std::string one_argument(std::string_view text, LeadByteRule is_lead = platform::is_lead_byte);

// What names one extra game file to an engine: its short form when the system has one, else the
// full path, as one argument (one_argument), so a missing file is named to the user instead of
// dropping out, and no name can add an argument of its own.
std::string file_argument(std::string_view full_path, const std::optional<std::string>& short_form);
// The same with the short form asked of the file system for `lookup_path`.
std::string short_file_argument(const std::string& lookup_path, std::string_view full_path);

// A server's map, IWAD or file name, or an address, is one word wherever it goes onto an engine's
// line: it ends at its first blank, tab or control byte, so a stranger's text cannot add options.
// What else a server's text must pass is in server_names.h.
std::string_view single_word(std::string_view text);

// Windows takes a command line of at most 32,767 characters with its terminating zero; a longer
// one starts nothing.
constexpr std::size_t kCommandLineMax = 32767;
// The length of the line Windows builds to start `program` with `parameters`: the program in
// double quotes, a blank, the parameters.
std::size_t command_line_length(std::string_view program, std::string_view parameters);

}  // namespace frame
