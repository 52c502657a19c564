// flag_table.cpp: the 125 game-flag items of the Brannock engine and the five words they form.
//
// The launcher shows every flag as its own boolean item; the engine wants five numbers. The table
// below is the single place that ties an item (group, key) to its word and its value; the words'
// text form lives here too. Reading the items is the caller's job (see FlagReader).
#include "brannock/flag_table.h"

#include <string>

namespace brannock {
namespace {

constexpr const char* kDmflags1 = "dmflags1";
constexpr const char* kDmflags2 = "dmflags2";
constexpr const char* kDmflags3 = "dmflags3";
constexpr const char* kCompatflags = "compatflags";
constexpr const char* kCompatflags2 = "compatflags2";

constexpr FlagWordInfo kWords[kFlagWordCount] = {
    {kDmflags1, "+dmflags "},
    {kDmflags2, "+dmflags2 "},
    {kDmflags3, "+zadmflags "},
    {kCompatflags, "+compatflags "},
    {kCompatflags2, "+zacompatflags "},
};

// A row of word `word`: its group is the word's.
constexpr FlagRow flag(std::size_t word, const char* key, uint32_t bits) {
    return {word, kWords[word].group, key, static_cast<int32_t>(bits)};
}

// Word by word, in the order the engine numbers its bits. The keys `soundtargtet` and
// `oldradiussmg` are spelled as the settings description declares them.
constexpr FlagRow kRows[] = {
    // dmflags1
    flag(0, "nohealth", 1u << 0),
    flag(0, "noitems", 1u << 1),
    flag(0, "weaponstay", 1u << 2),
    flag(0, "oldfalldamage", 1u << 3),
    flag(0, "falldamage", 1u << 4),
    // Both fall-damage bits together, on purpose: the engine reads the pair as Strife's.
    flag(0, "strifefalldamage", (1u << 3) | (1u << 4)),
    flag(0, "samelevel", 1u << 6),
    flag(0, "spawnfarthest", 1u << 7),
    flag(0, "forcerespawn", 1u << 8),
    flag(0, "noarmor", 1u << 9),
    flag(0, "noexit", 1u << 10),
    flag(0, "infiniteammo", 1u << 11),
    flag(0, "nomonsters", 1u << 12),
    flag(0, "monsterrespawn", 1u << 13),
    flag(0, "itemrespawn", 1u << 14),
    flag(0, "fastmonsters", 1u << 15),
    flag(0, "nojump", 1u << 16),
    flag(0, "nofreelook", 1u << 17),
    flag(0, "respawnsuper", 1u << 18),
    flag(0, "nofov", 1u << 19),
    flag(0, "noweaponspawn", 1u << 20),
    flag(0, "nocrouch", 1u << 21),
    flag(0, "loseinventory", 1u << 22),
    flag(0, "losekeys", 1u << 23),
    flag(0, "loseweapons", 1u << 24),
    flag(0, "losearmor", 1u << 25),
    flag(0, "losepowerups", 1u << 26),
    flag(0, "loseammo", 1u << 27),
    flag(0, "halveammo", 1u << 28),
    flag(0, "allowjump", 1u << 29),
    flag(0, "allowcrouch", 1u << 30),

    // dmflags2
    flag(1, "weapondrop", 1u << 1),
    flag(1, "norunes", 1u << 2),
    flag(1, "instantreturn", 1u << 3),
    flag(1, "noteamswitch", 1u << 4),
    flag(1, "noteamselect", 1u << 5),
    flag(1, "doubleammo", 1u << 6),
    flag(1, "degeneration", 1u << 7),
    flag(1, "bfgfreeaim", 1u << 8),
    flag(1, "barrelrespawn", 1u << 9),
    flag(1, "norespawninvul", 1u << 10),
    flag(1, "shotgunstart", 1u << 11),
    flag(1, "samespawnspot", 1u << 12),
    flag(1, "keepteams", 1u << 13),
    flag(1, "keepfrags", 1u << 14),
    flag(1, "norespawn", 1u << 15),
    flag(1, "losefrag", 1u << 16),
    flag(1, "infiniteinventory", 1u << 17),
    flag(1, "forcegldefaults", 1u << 18),
    flag(1, "norocketjumping", 1u << 19),
    flag(1, "awarddamageinsteadkills", 1u << 20),
    flag(1, "forcealpha", 1u << 21),
    flag(1, "killallmonsters", 1u << 22),
    flag(1, "noautomap", 1u << 23),
    flag(1, "noautomapallies", 1u << 24),
    flag(1, "disallowspying", 1u << 25),
    flag(1, "chasecam", 1u << 26),
    flag(1, "disallowsuicide", 1u << 27),
    flag(1, "noautoaim", 1u << 28),
    flag(1, "spactorspawn", 1u << 29),

    // dmflags3
    flag(2, "noidentifytarget", 1u << 0),
    flag(2, "applylmsspectatorsetting", 1u << 1),
    flag(2, "nocoopinfo", 1u << 2),
    flag(2, "nounlagged", 1u << 3),
    flag(2, "unblockplayers", 1u << 4),
    flag(2, "nomedals", 1u << 5),
    flag(2, "sharekeys", 1u << 6),
    flag(2, "keepteams", 1u << 7),
    flag(2, "forcegldefaults", 1u << 8),
    flag(2, "norocketjumping", 1u << 9),
    flag(2, "awarddamageinsteadkills", 1u << 10),
    flag(2, "forcealpha", 1u << 11),
    flag(2, "spactorspawn", 1u << 12),

    // compatflags
    flag(3, "shorttex", 1u << 0),
    flag(3, "stairs", 1u << 1),
    flag(3, "limitpain", 1u << 2),
    flag(3, "silentpickup", 1u << 3),
    flag(3, "nopassover", 1u << 4),
    flag(3, "soundslots", 1u << 5),
    flag(3, "wallrun", 1u << 6),
    flag(3, "notossdrops", 1u << 7),
    flag(3, "useblocking", 1u << 8),
    flag(3, "nodoorlight", 1u << 9),
    flag(3, "ravenscroll", 1u << 10),
    flag(3, "soundtargtet", 1u << 11),
    flag(3, "dehhealth", 1u << 12),
    flag(3, "trace", 1u << 13),
    flag(3, "dropoff", 1u << 14),
    flag(3, "boomscroll", 1u << 15),
    flag(3, "invisibility", 1u << 16),
    flag(3, "limitedairmovement", 1u << 17),
    flag(3, "plasmabump", 1u << 18),
    flag(3, "instantrespawn", 1u << 19),
    flag(3, "disabletaunts", 1u << 20),
    flag(3, "originalsoundcurve", 1u << 21),
    flag(3, "oldintermission", 1u << 22),
    flag(3, "disablestealthmonsters", 1u << 23),
    flag(3, "oldradiusdmg", 1u << 24),
    flag(3, "nocrosshair", 1u << 25),
    flag(3, "oldweaponswitch", 1u << 26),
    flag(3, "silentinstantfloors", 1u << 27),
    flag(3, "sectorsounds", 1u << 28),
    flag(3, "missileclip", 1u << 29),
    flag(3, "crossdropoff", 1u << 30),

    // compatflags2
    flag(4, "netscriptsareclientside", 1u << 0),
    flag(4, "clientssendfullbuttoninfo", 1u << 1),
    flag(4, "noland", 1u << 2),
    flag(4, "oldrandom", 1u << 3),
    flag(4, "nogravityspheres", 1u << 4),
    flag(4, "keepplayerscripts", 1u << 5),
    flag(4, "explosionthrust", 1u << 6),
    flag(4, "bridgedrops", 1u << 7),
    flag(4, "oldzdoomzmovement", 1u << 8),
    flag(4, "fullweaponlower", 1u << 9),
    flag(4, "silentwestspawns", 1u << 10),
    flag(4, "limitedairmovement", 1u << 17),
    flag(4, "plasmabump", 1u << 18),
    flag(4, "instantrespawn", 1u << 19),
    flag(4, "disabletaunts", 1u << 20),
    flag(4, "originalsoundcurve", 1u << 21),
    flag(4, "oldintermission", 1u << 22),
    flag(4, "disablestealthmonsters", 1u << 23),
    flag(4, "oldradiussmg", 1u << 24),
    flag(4, "nocrosshair", 1u << 25),
    flag(4, "oldweaponswitch", 1u << 26),
};

static_assert(sizeof(kRows) / sizeof(kRows[0]) == kFlagRowCount);

}  // namespace

std::span<const FlagRow> flag_rows() { return kRows; }

std::span<const FlagWordInfo, kFlagWordCount> flag_words() { return kWords; }

FlagWords compute_flag_words(const FlagReader& read) {
    // Summed, not ORed: the engine expects the Strife value to carry into the next bit when it
    // meets the other fall damages. No word's rows add up past 2^31 - 1.
    long long sums[kFlagWordCount] = {};
    for (const FlagRow& row : kRows) {
        if (read(row.group, row.key) != 0) sums[row.word] += row.value;
    }
    FlagWords words{};
    for (std::size_t i = 0; i < kFlagWordCount; ++i) words[i] = static_cast<int32_t>(sums[i]);
    return words;
}

std::string flag_words_text(const FlagWords& words) {
    std::string text;
    for (std::size_t i = 0; i < kFlagWordCount; ++i) {
        text += kWords[i].option;
        text += std::to_string(words[i]);
        text += ' ';
    }
    return text;
}

}  // namespace brannock
