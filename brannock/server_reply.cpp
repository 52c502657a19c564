// server_reply.cpp: game type names, game prefixes and name clean-up shared by both readings.
#include "brannock/server_reply.h"

#include <array>

#include "frame/helpers.h"

namespace brannock {
namespace {

constexpr std::array<std::string_view, kGameTypeCount> kGameTypeNames = {
    "Cooperative", "Survival",   "Invasion", "Deathmatch",      "Team Play", "Duel",
    "Terminator",  "LMS",        "Team LMS", "Possession",      "Team Possession",
    "Team Game",   "CTF",        "One Flag CTF", "Skulltag",    "Domination",
};

// Indexed by IWAD number - 1: the same 19 files, in the same order, as the launcher's IWAD table.
constexpr std::array<std::string_view, 19> kGamePrefixes = {
    "Doom ",     "Doom Demo ",    "Ultimate Freedoom ", "Doom 2 ",      "Evilution ",
    "Plutonia ", "Freedoom ",     "FreeDM ",            "Heretic ",     "Heretic Demo ",
    "Blasphemer ", "Hexen ",      "Deathkings ",        "Strife Demo ", "Strife ",
    "Chex Quest ", "Chex Quest 3 ", "Action Doom ",     "MM8BDM ",
};
static_assert(kGamePrefixes.size() == frame::kUnknownIwad - 1, "one prefix per known IWAD");

constexpr std::size_t kExtensionLength = 3;
constexpr std::string_view kIwadExtension = ".wad";

}  // namespace

std::string_view game_type_name(int type) {
    if (type < 0 || type >= kGameTypeCount) return kUnknownGameType;
    return kGameTypeNames[static_cast<std::size_t>(type)];
}

std::string game_prefix(std::string_view normalised_iwad) {
    const int number = frame::IwadNumber(normalised_iwad);
    if (number >= 1 && number < frame::kUnknownIwad) {
        return std::string(kGamePrefixes[static_cast<std::size_t>(number - 1)]);
    }
    std::string prefix = "(";
    prefix.append(normalised_iwad);
    prefix.append(") ");
    return prefix;
}

std::string normalise_iwad(std::string name) {
    frame::to_lower_ascii(name);
    frame::RemoveChar(name, '.');
    frame::RemoveChar(name, '\\');
    frame::RemoveChar(name, '/');
    name.resize(name.size() > kExtensionLength ? name.size() - kExtensionLength : 0);
    name += kIwadExtension;
    return name;
}

std::optional<uint32_t> open_reply(ByteCursor& in, std::size_t version_offset) {
    if (in.u32() != kServerReplyMagic || !in.ok()) return std::nullopt;
    in.seek(version_offset);
    in.skip_text();
    return in.u32();
}

}  // namespace brannock
