// server_reply.h: what both readings of a game server's reply share.
//
// The reply magic, the flag bits that announce each field, the text areas, the game type names,
// the game prefixes by IWAD, and the clean-up of map, PWAD and IWAD names. The server-list
// reading is in server_info.h, the game-settings reading in server_settings.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "brannock/byte_cursor.h"

namespace brannock {

constexpr uint32_t kServerReplyMagic = 5660023;

// Reply flag bits, in the order their fields follow the flag word.
namespace field {
constexpr uint32_t name = 0x00000001;
constexpr uint32_t website = 0x00000002;
constexpr uint32_t email = 0x00000004;
constexpr uint32_t map = 0x00000008;
constexpr uint32_t max_clients = 0x00000010;
constexpr uint32_t limit = 0x00000020;
constexpr uint32_t pwads = 0x00000040;
constexpr uint32_t game_type = 0x00000080;
constexpr uint32_t game_name = 0x00000100;
constexpr uint32_t iwad = 0x00000200;
constexpr uint32_t icon1 = 0x00000400;
constexpr uint32_t icon2 = 0x00000800;
constexpr uint32_t skill = 0x00001000;
constexpr uint32_t bot_skill = 0x00002000;
constexpr uint32_t limits = 0x00010000;
constexpr uint32_t team_damage = 0x00020000;
constexpr uint32_t team_scores = 0x00040000;
constexpr uint32_t player_count = 0x00080000;
constexpr uint32_t players = 0x00100000;
constexpr uint32_t flag_block = 0x08000000;
}  // namespace field

constexpr bool has(uint32_t flags, uint32_t bit) { return (flags & bit) != 0; }

// Opens a reply for reading: checks the magic, moves past the version text that the reading takes
// to start at `version_offset`, and gives the reply flag word. Nothing for a reply that is not a
// server's; a flag word cut short leaves `in` failed for the caller to see.
std::optional<uint32_t> open_reply(ByteCursor& in, std::size_t version_offset);

// Sizes of the fixed fields.
constexpr std::size_t kGameTypeBlock = 5;       // type, instagib, buckshot, two unused
constexpr std::size_t kExtraBlock = 12;         // follows the byte of field::bot_skill
constexpr std::size_t kTeamDamageBytes = 4;
constexpr std::size_t kFlagBlockBytes = 20;     // five u32 flag words

// Longest texts kept; longer ones are cut.
constexpr std::size_t kWholeText = SIZE_MAX;   // a text kept whole
constexpr std::size_t kServerNameMax = 511;
constexpr std::size_t kIwadNameMax = 255;
constexpr std::size_t kPlayerNameMax = 255;

// Game types 0..15 have names; any other number, or no game type at all, is "Unknown".
constexpr int kGameTypeCount = 16;
std::string_view game_type_name(int type);
constexpr std::string_view kUnknownGameType = "Unknown";

// The list column prefix of an IWAD: "Doom 2 " for doom2.wad, "(other.wad) " for any other.
std::string game_prefix(std::string_view normalised_iwad);


// The IWAD name as both readings compare it: lower case, without full stops and slashes, the
// last three characters (the extension left after the full stop went) replaced by ".wad".
// A name shorter than three characters after the removals loses all of them.
std::string normalise_iwad(std::string name);

}  // namespace brannock
