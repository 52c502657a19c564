// launch_text.h: what the Brannock plug-in writes for the engine, as plain text.
//
// The hosted game's server and client command lines and the join response file, built from
// plain values the exports have already read from the launcher. No launcher calls and no OS here:
// reading the settings and starting the engine live in the export_*.cpp files and the engine session of frame/.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "brannock/flag_table.h"
#include "brannock/game_rules.h"

namespace brannock {

// ---- hosting a game ------------------------------------------------------------------------

// What every machine of a hosted game puts on its client line.
struct ClientGame {
    std::string host_address;            // the address list entry of the hosting player, a single word
    std::string iwad;                    // bare IWAD file name, or empty
    std::vector<std::string> files;      // file arguments, see file_argument
    std::string parameters;              // the user's extra launch text, verbatim
    std::string player_name;
};

// The rules the hosting machine gives its server.
struct ServerGame {
    std::string iwad;
    std::vector<std::string> files;
    std::string map;                     // as the launcher holds it
    int type = 0;                        // 0..15, see game_rules.h
    int modifier = 0;                    // 1 instagib, 2 buckshot
    int skill = 4;                       // 1..5 as the user sees it
    FlagWords flags{};
    Limits limits{};
};

std::string client_line(const ClientGame& game);
std::string server_line(const ServerGame& game);

// ---- joining a listed server ---------------------------------------------------------------

// The "NUMPWADS" text read like "%i" (decimal, 0x hex, leading-0 octal); text that does not
// parse, or a negative count, is 0; a count beyond any reply's is cut to detail::kMaxServerFiles.
int parse_file_count(std::string_view text);

struct JoinGame {
    std::string parameters;
    std::string iwad;
    std::optional<std::vector<std::string>> files;   // the "-file" line, present when the count > 0
    std::string player_name;
    std::string address;
    std::string port;
};

// The response file's lines, each ended by '\n' (written as CR LF on disk). The server's IWAD is
// a plain file name (frame::server_file_name), its address and port one word each
// (frame::server_argument), each empty where the server's text fails its rule; the user's
// parameters and the file arguments keep their blanks but lose control bytes, so each stays on its
// own line.
std::string response_file_text(const JoinGame& game);

// ---- the pieces of the lines, for this file's own use and its unit tests ------------------------
namespace detail {

// Drops CR, LF and every other control byte, so the text stays on one line of a response file.
std::string single_line(std::string_view text);
// A player name goes between double quotes: it loses its own quote characters and control bytes.
std::string clean_player_name(std::string_view name);

// " -file a b c" for the command lines; empty without files.
std::string command_file_list(const std::vector<std::string>& files);

// "+map " and the map name in upper case, cut to a single word, then one blank.
std::string map_option(std::string_view map);

// A server reply lists at most this many extra files (its count is one byte).
constexpr int kMaxServerFiles = 255;

}  // namespace detail

}  // namespace brannock
