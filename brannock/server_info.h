// server_info.h: the server-list reading of a game server's reply.
//
// Reads the fields up to the player count into a ServerInfo, then turns it into the launcher's
// list properties in the order the launcher is told them. The game-settings reading of the same
// reply is in server_settings.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brannock {

enum class ReplyRead {
    complete,    // every announced field was read
    foreign,     // not a server reply (wrong magic, or too short to hold one)
    truncated,   // an announced field does not fit in the data
};

struct ServerInfo {
    std::string name;                               // empty without the name field
    std::optional<std::string> website;
    std::optional<std::string> email;
    std::optional<std::string> map;                 // upper case
    std::optional<uint8_t> limit;
    std::optional<std::vector<std::string>> pwads;  // lower case
    std::optional<uint8_t> game_type;
    std::optional<std::string> iwad;                // normalised (see normalise_iwad)
    uint8_t icon1 = 0;                              // absent icon bytes count as 0
    uint8_t icon2 = 0;
    std::optional<uint8_t> players;
};

ReplyRead read_server_info(std::span<const unsigned char> decoded, ServerInfo* info);

struct ServerProperty {
    std::string key;
    std::string value;
};

// The launcher properties in call order: "WEBSITE", "EMAIL", "LIMIT", "PWAD0".., "MAP", "TYPE",
// "GAME", "ICON", "USERS", and the empty key with the server name. Absent fields are left out,
// except "TYPE", "ICON" and the name, which are always there.
std::vector<ServerProperty> server_properties(const ServerInfo& info);

}  // namespace brannock
