// game_rules.h: the Brannock game types, modifiers and limits, each defined here once.
//
// A game type has four faces that differ on purpose: the label of the settings page, the name in
// the server list, the engine's command-line option, and whether the type's player records in a
// server reply carry a team byte. The plug-in's pages, its readings of a server reply, its command
// lines and the server simulator all look them up here.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace brannock {

struct GameRule {
    std::string_view label;       // the multiplayer page's "type" list (brannock.cfg)
    std::string_view list_name;   // the server list's TYPE column
    std::string_view option;      // on the hosted server's command line, ends in a blank
    bool team_byte;               // its player records in a server reply carry one more byte
};

inline constexpr std::array<GameRule, 16> kGameRules = {{
    {"Cooperative", "Cooperative", "+cooperative 1 ", false},
    {"Survival", "Survival", "+survival 1 ", false},
    {"Invasion", "Invasion", "+invasion 1 ", true},
    {"Deathmatch", "Deathmatch", "+deathmatch 1 ", false},
    {"Teamplay", "Team Play", "+teamplay 1 ", false},
    {"Duel", "Duel", "+duel 1 ", false},
    {"Terminator", "Terminator", "+terminator 1 ", true},
    {"LMS", "LMS", "+lastmanstanding 1 ", false},
    // "leamlms", not "teamlms": the option as the engine reads it.
    {"Team LMS", "Team LMS", "+leamlms 1 ", false},
    {"Possession", "Possession", "+possession 1 ", true},
    {"Team Possession", "Team Possession", "+teampossession 1 ", false},
    {"Team Game", "Team Game", "+teamgame 1 ", true},
    {"CTF", "CTF", "+ctf 1 ", false},
    {"One Flag CTF", "One Flag CTF", "+oneflagctf 1 ", false},
    {"Skulltag", "Skulltag", "+skulltag 1 ", false},
    {"Domination", "Domination", "+domination 1 ", false},
}};
constexpr int kGameTypeCount = static_cast<int>(kGameRules.size());

// The rule of a game type number; null for a number outside the table.
const GameRule* game_rule(int type);

// The server-list name; "Unknown" for any other number and for a reply without a game type.
constexpr std::string_view kUnknownGameType = "Unknown";
std::string_view game_type_name(int type);
// The command-line option; empty for any other number.
std::string_view game_type_text(int type);
// False for any other number.
bool carries_team_byte(int type);

// Modifiers: 1 instagib, 2 buckshot. "+instagib 1 " / "+buckshot 1 "; empty for any other value.
std::string_view modifier_text(int modifier);

// The limits of a game, in the order the page, the server reply and the command line give them.
inline constexpr std::array<const char*, 5> kLimitKeys = {"fraglimit", "timelimit", "duellimit", "pointlimit",
                                                          "winlimit"};
using Limits = std::array<int, kLimitKeys.size()>;

}  // namespace brannock
