// server_reply.h: what both readings of a game server's reply share.
//
// The reply magic, the flag bits that announce each field, the text areas, the game prefixes by
// IWAD, and the clean-up of IWAD names. The layout and its walk are in reply_model.h; the
// server-list reading in server_info.h, the game-settings reading in server_settings.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "brannock/text_builder.h"

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

// Longest texts kept; longer ones are cut.
constexpr std::size_t kServerNameMax = 511;
constexpr std::size_t kIwadNameMax = 255;
constexpr std::size_t kPlayerNameMax = 255;

// The IWAD name as both readings compare it: cut to kIwadNameMax bytes, lower case, without full
// stops and slashes, the last three characters (the extension left after the full stop went)
// replaced by ".wad". A name shorter than three characters after the removals loses all of them.
struct IwadName {
    std::array<char, kIwadNameMax + 2> text;   // at most 252 kept and ".wad", and the zero byte; no
                                               // more than that is written or read
    std::size_t length = 0;
    std::string_view view() const { return {text.data(), length}; }
};
IwadName normalise_iwad(std::string_view name);

// Appends the list column prefix of an IWAD: "Doom 2 " for doom2.wad, "(other.wad) " for any other.
void append_game_prefix(std::string_view normalised_iwad, TextBuilder& out);

}  // namespace brannock
