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

// Word by word, in the order the engine numbers its bits. `strifefalldamage` is 24 on purpose:
// the engine reads it as both fall-damage bits together. The keys `soundtargtet` and
// `oldradiussmg` are spelled as the settings description declares them.
constexpr FlagRow kRows[] = {
    // dmflags1
    {0, kDmflags1, "nohealth", 1},
    {0, kDmflags1, "noitems", 2},
    {0, kDmflags1, "weaponstay", 4},
    {0, kDmflags1, "oldfalldamage", 8},
    {0, kDmflags1, "falldamage", 16},
    {0, kDmflags1, "strifefalldamage", 24},
    {0, kDmflags1, "samelevel", 64},
    {0, kDmflags1, "spawnfarthest", 128},
    {0, kDmflags1, "forcerespawn", 256},
    {0, kDmflags1, "noarmor", 512},
    {0, kDmflags1, "noexit", 1024},
    {0, kDmflags1, "infiniteammo", 2048},
    {0, kDmflags1, "nomonsters", 4096},
    {0, kDmflags1, "monsterrespawn", 8192},
    {0, kDmflags1, "itemrespawn", 16384},
    {0, kDmflags1, "fastmonsters", 32768},
    {0, kDmflags1, "nojump", 65536},
    {0, kDmflags1, "nofreelook", 131072},
    {0, kDmflags1, "respawnsuper", 262144},
    {0, kDmflags1, "nofov", 524288},
    {0, kDmflags1, "noweaponspawn", 1048576},
    {0, kDmflags1, "nocrouch", 2097152},
    {0, kDmflags1, "loseinventory", 4194304},
    {0, kDmflags1, "losekeys", 8388608},
    {0, kDmflags1, "loseweapons", 16777216},
    {0, kDmflags1, "losearmor", 33554432},
    {0, kDmflags1, "losepowerups", 67108864},
    {0, kDmflags1, "loseammo", 134217728},
    {0, kDmflags1, "halveammo", 268435456},
    {0, kDmflags1, "allowjump", 536870912},
    {0, kDmflags1, "allowcrouch", 1073741824},

    // dmflags2
    {1, kDmflags2, "weapondrop", 2},
    {1, kDmflags2, "norunes", 4},
    {1, kDmflags2, "instantreturn", 8},
    {1, kDmflags2, "noteamswitch", 16},
    {1, kDmflags2, "noteamselect", 32},
    {1, kDmflags2, "doubleammo", 64},
    {1, kDmflags2, "degeneration", 128},
    {1, kDmflags2, "bfgfreeaim", 256},
    {1, kDmflags2, "barrelrespawn", 512},
    {1, kDmflags2, "norespawninvul", 1024},
    {1, kDmflags2, "shotgunstart", 2048},
    {1, kDmflags2, "samespawnspot", 4096},
    {1, kDmflags2, "keepteams", 8192},
    {1, kDmflags2, "keepfrags", 16384},
    {1, kDmflags2, "norespawn", 32768},
    {1, kDmflags2, "losefrag", 65536},
    {1, kDmflags2, "infiniteinventory", 131072},
    {1, kDmflags2, "forcegldefaults", 262144},
    {1, kDmflags2, "norocketjumping", 524288},
    {1, kDmflags2, "awarddamageinsteadkills", 1048576},
    {1, kDmflags2, "forcealpha", 2097152},
    {1, kDmflags2, "killallmonsters", 4194304},
    {1, kDmflags2, "noautomap", 8388608},
    {1, kDmflags2, "noautomapallies", 16777216},
    {1, kDmflags2, "disallowspying", 33554432},
    {1, kDmflags2, "chasecam", 67108864},
    {1, kDmflags2, "disallowsuicide", 134217728},
    {1, kDmflags2, "noautoaim", 268435456},
    {1, kDmflags2, "spactorspawn", 536870912},

    // dmflags3
    {2, kDmflags3, "noidentifytarget", 1},
    {2, kDmflags3, "applylmsspectatorsetting", 2},
    {2, kDmflags3, "nocoopinfo", 4},
    {2, kDmflags3, "nounlagged", 8},
    {2, kDmflags3, "unblockplayers", 16},
    {2, kDmflags3, "nomedals", 32},
    {2, kDmflags3, "sharekeys", 64},
    {2, kDmflags3, "keepteams", 128},
    {2, kDmflags3, "forcegldefaults", 256},
    {2, kDmflags3, "norocketjumping", 512},
    {2, kDmflags3, "awarddamageinsteadkills", 1024},
    {2, kDmflags3, "forcealpha", 2048},
    {2, kDmflags3, "spactorspawn", 4096},

    // compatflags
    {3, kCompatflags, "shorttex", 1},
    {3, kCompatflags, "stairs", 2},
    {3, kCompatflags, "limitpain", 4},
    {3, kCompatflags, "silentpickup", 8},
    {3, kCompatflags, "nopassover", 16},
    {3, kCompatflags, "soundslots", 32},
    {3, kCompatflags, "wallrun", 64},
    {3, kCompatflags, "notossdrops", 128},
    {3, kCompatflags, "useblocking", 256},
    {3, kCompatflags, "nodoorlight", 512},
    {3, kCompatflags, "ravenscroll", 1024},
    {3, kCompatflags, "soundtargtet", 2048},
    {3, kCompatflags, "dehhealth", 4096},
    {3, kCompatflags, "trace", 8192},
    {3, kCompatflags, "dropoff", 16384},
    {3, kCompatflags, "boomscroll", 32768},
    {3, kCompatflags, "invisibility", 65536},
    {3, kCompatflags, "limitedairmovement", 131072},
    {3, kCompatflags, "plasmabump", 262144},
    {3, kCompatflags, "instantrespawn", 524288},
    {3, kCompatflags, "disabletaunts", 1048576},
    {3, kCompatflags, "originalsoundcurve", 2097152},
    {3, kCompatflags, "oldintermission", 4194304},
    {3, kCompatflags, "disablestealthmonsters", 8388608},
    {3, kCompatflags, "oldradiusdmg", 16777216},
    {3, kCompatflags, "nocrosshair", 33554432},
    {3, kCompatflags, "oldweaponswitch", 67108864},
    {3, kCompatflags, "silentinstantfloors", 134217728},
    {3, kCompatflags, "sectorsounds", 268435456},
    {3, kCompatflags, "missileclip", 536870912},
    {3, kCompatflags, "crossdropoff", 1073741824},

    // compatflags2
    {4, kCompatflags2, "netscriptsareclientside", 1},
    {4, kCompatflags2, "clientssendfullbuttoninfo", 2},
    {4, kCompatflags2, "noland", 4},
    {4, kCompatflags2, "oldrandom", 8},
    {4, kCompatflags2, "nogravityspheres", 16},
    {4, kCompatflags2, "keepplayerscripts", 32},
    {4, kCompatflags2, "explosionthrust", 64},
    {4, kCompatflags2, "bridgedrops", 128},
    {4, kCompatflags2, "oldzdoomzmovement", 256},
    {4, kCompatflags2, "fullweaponlower", 512},
    {4, kCompatflags2, "silentwestspawns", 1024},
    {4, kCompatflags2, "limitedairmovement", 131072},
    {4, kCompatflags2, "plasmabump", 262144},
    {4, kCompatflags2, "instantrespawn", 524288},
    {4, kCompatflags2, "disabletaunts", 1048576},
    {4, kCompatflags2, "originalsoundcurve", 2097152},
    {4, kCompatflags2, "oldintermission", 4194304},
    {4, kCompatflags2, "disablestealthmonsters", 8388608},
    {4, kCompatflags2, "oldradiussmg", 16777216},
    {4, kCompatflags2, "nocrosshair", 33554432},
    {4, kCompatflags2, "oldweaponswitch", 67108864},
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
