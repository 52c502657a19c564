// server_names.h: the two rules a stranger's server text must pass before it names anything.
//
// A server's map, address and port become words on an engine's line; its file names are also
// looked up by the launcher and by the file system. Each rule gives the part of the text to use,
// or none when nothing of it may be used.
#pragma once

#include <optional>
#include <string_view>

namespace frame {

// The word rule, for the join's address and port: the text's single_word (engine_arguments.h), not
// empty, not starting with '-' (an option), '+' (a console command) or '@' (a response file), and
// without a double quote (which opens or closes a quoted part).
std::optional<std::string_view> server_argument(std::string_view text);

// The word rule for a map, which goes behind "+map" on the hosted server's line: also printable
// ASCII only (a byte of another code page can turn into a blank or a quote on the way) and no ';',
// which ends a console command.
std::optional<std::string_view> server_map(std::string_view text);

// The file-name rule, for a server's PWAD and IWAD names: the last path component of the word
// (after its last '/', '\' or ':'), so "iwads/doom2.wad" gives "doom2.wad" and no name reaches a
// folder, a drive or a host. That component passes the word rule again, is printable ASCII, does
// not end in a dot (".", ".." and "a." name no plain file), holds none of "*?<>|" and is no
// Windows device (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, in any case, whatever follows
// the first dot: "nul.wad" is the device).
std::optional<std::string_view> server_file_name(std::string_view text);

}  // namespace frame
