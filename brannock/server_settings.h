// server_settings.h: the game-settings reading of a game server's reply.
//
// The launcher copies a chosen server's settings into its multiplayer page. This reading walks
// the same reply as server_info.h with its own rules: the version text is taken from offset 5,
// the 12 bytes after the bot-skill byte are always passed, the team-scores field counts 3 bytes,
// and it goes on to the player records and the flag block. The whole reply is read before anything
// is written, so a reply cut short writes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "brannock/flag_table.h"
#include "brannock/server_info.h"

namespace brannock {

constexpr const char* kNoPwadMessage = "No PWAD information included in packet";
constexpr const char* kCutShortMessage = "The server's reply was cut short; no settings were copied.";
constexpr int kSettingsMessageLevel = 2;

struct GameTypeBlock {
    uint8_t type = 0;
    uint8_t instagib = 0;
    uint8_t buckshot = 0;
};

struct Limits {
    uint16_t frag = 0;
    uint16_t time = 0;
    uint16_t duel = 0;
    uint16_t point = 0;
    uint16_t win = 0;
};

struct ServerSettings {
    std::optional<std::string> map;                   // upper case
    std::optional<std::vector<std::string>> pwads;    // lower case; absent: the launcher is told
    std::optional<GameTypeBlock> game;
    std::optional<std::string> iwad;                  // normalised (see normalise_iwad)
    std::optional<uint8_t> skill;                     // counted from 0 on the wire
    std::optional<Limits> limits;
    std::vector<std::string> players;                 // colour codes removed
    std::optional<std::array<uint32_t, kFlagWordCount>> flag_words;   // dmflags1 .. compatflags2
};

ReplyRead read_server_settings(std::span<const unsigned char> decoded, ServerSettings* settings);

// What the launcher is told, decided from the settings read.
int game_type_setting(const GameTypeBlock& game);          // 0..15; any other number is 0
std::vector<int> modifier_steps(const GameTypeBlock& game); // 0, then 1 for instagib, then 2 for buckshot
int iwad_setting(const std::string& normalised_iwad);      // 1..19, 20 for any other name

struct FlagItem {
    const char* group;
    const char* key;
    int value;   // the word's bits under the row's value: nonzero means on
};
// One item per flag row, in table order.
std::vector<FlagItem> flag_items(const std::array<uint32_t, kFlagWordCount>& words);

}  // namespace brannock
