// reply_iwad.h: a server's IWAD name as both readings of its reply compare it, and the game
// prefix the server list shows for it.
//
// The reply's layout and its walk are in reply_layout.h; the server-list reading in
// server_list_columns.h, the game-settings reading in server_settings.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "brannock/text_builder.h"

namespace brannock {

// Longest IWAD name kept; a longer one is cut.
constexpr std::size_t kIwadNameMax = 255;

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
