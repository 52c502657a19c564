// scenario.h: what brannock-sim plays: a master server and game servers, read from a JSON file.
//
// A scenario names each game server's settings as its reply carries them, which reply fields it
// sends, and how it misbehaves on purpose (wrong magic, a reply cut short, garbage, silence).
// The master has its own status and faults. See scenarios/demo.json for a full example.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sim {

enum class Fault {
    none,
    wrong_magic,   // game server: the reply starts with another magic
    outdated,      // master: status 22383, "the query version is outdated"
    truncate,      // the decoded reply ends after `truncate_at` bytes
    garbage,       // random bytes instead of a coded reply
    silent,        // no reply at all
};

struct Player {
    std::string name;
    uint16_t score = 0;
    uint16_t ping = 0;
    uint8_t team = 0;
};

struct GameServer {
    std::string label;                  // file name of its seed; defaults to "server<N>"
    uint16_t port = 0;                  // 0: any free port
    std::string version = "3.1";
    std::string name, website, email, map = "map01";
    uint8_t max_clients = 16;
    uint8_t max_players = 8;            // the "LIMIT" column
    std::vector<std::string> pwads;
    uint8_t game_type = 0;
    bool instagib = false;
    bool buckshot = false;
    std::string game_name = "Brannock";
    std::string iwad = "doom2.wad";
    uint8_t icon1 = 0, icon2 = 0;
    uint8_t skill = 3;                  // counted from 0
    uint8_t bot_skill = 2;
    uint16_t fraglimit = 0, timelimit = 0, timeleft = 0, duellimit = 0, pointlimit = 0, winlimit = 0;
    std::vector<Player> players;
    std::array<uint32_t, 5> flag_words{};   // dmflags1, dmflags2, dmflags3, compatflags, compatflags2
    uint32_t fields = 0;                // reply flag bits of the fields sent
    std::optional<uint32_t> reply_flags;   // written instead of `fields`, to break the layout on purpose
    Fault fault = Fault::none;
    std::size_t truncate_at = 0;
};

struct Master {
    uint16_t port = 15300;
    int datagrams = 1;                  // the list is spread over this many datagrams
    std::optional<uint32_t> status;     // written instead of 0 when set
    Fault fault = Fault::none;
    std::size_t truncate_at = 0;
    std::vector<std::string> extra_entries;   // "a.b.c.d:port" listed besides the game servers
};

struct Scenario {
    Master master;
    std::vector<GameServer> servers;
};

// The reply fields both readings of the launcher plug-in take alike.
uint32_t default_fields();
// A field's reply flag bit by its scenario name ("name", "map", "players", ...); 0 when unknown.
uint32_t field_bit(const std::string& name);

// Parses a scenario; false with `error` set on a malformed file.
bool parse_scenario(const std::string& json_text, Scenario* scenario, std::string* error);
bool load_scenario(const std::string& path, Scenario* scenario, std::string* error);

// `servers` generated game servers ("server 1", ...), the first `silent` + `broken` of every
// evenly spread share misbehaving: `silent` give no answer, `broken` replies cut short, of another
// magic or garbage in turn. The master spreads the list over one datagram per hundred servers.
// Takes silent + broken <= servers.
Scenario generated_scenario(int servers, int silent, int broken);

}  // namespace sim
