// server_info.h: the server-list reading of a game server's reply.
//
// Reads the fields up to the player count into a ServerInfo, then hands the launcher's list
// properties to a sink in the order the launcher is told them. The game-settings reading of the same
// reply is in server_settings.h.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace brannock {

enum class ReplyRead {
    complete,    // every announced field was read
    foreign,     // not a server reply (wrong magic, or too short to hold one)
    truncated,   // an announced field does not fit in the data
};

// The texts kept unchanged are views into the decoded reply and live as long as it does.
struct ServerInfo {
    std::string_view name;                          // empty without the name field
    std::optional<std::string_view> website;
    std::optional<std::string_view> email;
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

// Receives one property; both texts are zero-terminated and valid only during the call.
using PropertyFn = void (*)(void* context, const char* key, const char* value);

// The launcher properties in call order: "WEBSITE", "EMAIL", "LIMIT", "PWAD0".., "MAP", "TYPE",
// "GAME", "ICON", "USERS", and the empty key with the server name. Absent fields are left out,
// except "TYPE", "ICON" and the name, which are always there.
void emit_server_properties(const ServerInfo& info, PropertyFn fn, void* context);

// The same with any callable taking (const char* key, const char* value).
template <class Sink>
void server_properties(const ServerInfo& info, Sink&& sink) {
    using Target = std::remove_reference_t<Sink>;
    emit_server_properties(
        info, [](void* context, const char* key, const char* value) { (*static_cast<Target*>(context))(key, value); },
        const_cast<void*>(static_cast<const void*>(std::addressof(sink))));
}

}  // namespace brannock
