// expected_tables.h: the engine's flag items and limits, the IWAD file names with their server-list
// game names, the launcher's address areas and the launcher protocol's byte frequencies, typed in
// independently of the plug-ins'
// own tables so that a wrong value or name in those tables makes a test fail instead of agreeing
// with itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace expected {

struct FlagRow {
    const char* group;
    const char* key;
    int32_t value;
};

// The five words' settings groups and command-line options, in command-line order.
struct FlagWord {
    const char* group;
    const char* option;
};
inline constexpr FlagWord kFlagWords[5] = {
    {"dmflags1", "+dmflags "},
    {"dmflags2", "+dmflags2 "},
    {"dmflags3", "+zadmflags "},
    {"compatflags", "+compatflags "},
    {"compatflags2", "+zacompatflags "},
};

// Every flag item in the order the engine's words are read, word by word.
inline constexpr FlagRow kFlagRows[125] = {
    {"dmflags1", "nohealth", 1},
    {"dmflags1", "noitems", 2},
    {"dmflags1", "weaponstay", 4},
    {"dmflags1", "oldfalldamage", 8},
    {"dmflags1", "falldamage", 16},
    {"dmflags1", "strifefalldamage", 24},
    {"dmflags1", "samelevel", 64},
    {"dmflags1", "spawnfarthest", 128},
    {"dmflags1", "forcerespawn", 256},
    {"dmflags1", "noarmor", 512},
    {"dmflags1", "noexit", 1024},
    {"dmflags1", "infiniteammo", 2048},
    {"dmflags1", "nomonsters", 4096},
    {"dmflags1", "monsterrespawn", 8192},
    {"dmflags1", "itemrespawn", 16384},
    {"dmflags1", "fastmonsters", 32768},
    {"dmflags1", "nojump", 65536},
    {"dmflags1", "nofreelook", 131072},
    {"dmflags1", "respawnsuper", 262144},
    {"dmflags1", "nofov", 524288},
    {"dmflags1", "noweaponspawn", 1048576},
    {"dmflags1", "nocrouch", 2097152},
    {"dmflags1", "loseinventory", 4194304},
    {"dmflags1", "losekeys", 8388608},
    {"dmflags1", "loseweapons", 16777216},
    {"dmflags1", "losearmor", 33554432},
    {"dmflags1", "losepowerups", 67108864},
    {"dmflags1", "loseammo", 134217728},
    {"dmflags1", "halveammo", 268435456},
    {"dmflags1", "allowjump", 536870912},
    {"dmflags1", "allowcrouch", 1073741824},
    {"dmflags2", "weapondrop", 2},
    {"dmflags2", "norunes", 4},
    {"dmflags2", "instantreturn", 8},
    {"dmflags2", "noteamswitch", 16},
    {"dmflags2", "noteamselect", 32},
    {"dmflags2", "doubleammo", 64},
    {"dmflags2", "degeneration", 128},
    {"dmflags2", "bfgfreeaim", 256},
    {"dmflags2", "barrelrespawn", 512},
    {"dmflags2", "norespawninvul", 1024},
    {"dmflags2", "shotgunstart", 2048},
    {"dmflags2", "samespawnspot", 4096},
    {"dmflags2", "keepteams", 8192},
    {"dmflags2", "keepfrags", 16384},
    {"dmflags2", "norespawn", 32768},
    {"dmflags2", "losefrag", 65536},
    {"dmflags2", "infiniteinventory", 131072},
    {"dmflags2", "forcegldefaults", 262144},
    {"dmflags2", "norocketjumping", 524288},
    {"dmflags2", "awarddamageinsteadkills", 1048576},
    {"dmflags2", "forcealpha", 2097152},
    {"dmflags2", "killallmonsters", 4194304},
    {"dmflags2", "noautomap", 8388608},
    {"dmflags2", "noautomapallies", 16777216},
    {"dmflags2", "disallowspying", 33554432},
    {"dmflags2", "chasecam", 67108864},
    {"dmflags2", "disallowsuicide", 134217728},
    {"dmflags2", "noautoaim", 268435456},
    {"dmflags2", "spactorspawn", 536870912},
    {"dmflags3", "noidentifytarget", 1},
    {"dmflags3", "applylmsspectatorsetting", 2},
    {"dmflags3", "nocoopinfo", 4},
    {"dmflags3", "nounlagged", 8},
    {"dmflags3", "unblockplayers", 16},
    {"dmflags3", "nomedals", 32},
    {"dmflags3", "sharekeys", 64},
    {"dmflags3", "keepteams", 128},
    {"dmflags3", "forcegldefaults", 256},
    {"dmflags3", "norocketjumping", 512},
    {"dmflags3", "awarddamageinsteadkills", 1024},
    {"dmflags3", "forcealpha", 2048},
    {"dmflags3", "spactorspawn", 4096},
    {"compatflags", "shorttex", 1},
    {"compatflags", "stairs", 2},
    {"compatflags", "limitpain", 4},
    {"compatflags", "silentpickup", 8},
    {"compatflags", "nopassover", 16},
    {"compatflags", "soundslots", 32},
    {"compatflags", "wallrun", 64},
    {"compatflags", "notossdrops", 128},
    {"compatflags", "useblocking", 256},
    {"compatflags", "nodoorlight", 512},
    {"compatflags", "ravenscroll", 1024},
    {"compatflags", "soundtargtet", 2048},
    {"compatflags", "dehhealth", 4096},
    {"compatflags", "trace", 8192},
    {"compatflags", "dropoff", 16384},
    {"compatflags", "boomscroll", 32768},
    {"compatflags", "invisibility", 65536},
    {"compatflags", "limitedairmovement", 131072},
    {"compatflags", "plasmabump", 262144},
    {"compatflags", "instantrespawn", 524288},
    {"compatflags", "disabletaunts", 1048576},
    {"compatflags", "originalsoundcurve", 2097152},
    {"compatflags", "oldintermission", 4194304},
    {"compatflags", "disablestealthmonsters", 8388608},
    {"compatflags", "oldradiusdmg", 16777216},
    {"compatflags", "nocrosshair", 33554432},
    {"compatflags", "oldweaponswitch", 67108864},
    {"compatflags", "silentinstantfloors", 134217728},
    {"compatflags", "sectorsounds", 268435456},
    {"compatflags", "missileclip", 536870912},
    {"compatflags", "crossdropoff", 1073741824},
    {"compatflags2", "netscriptsareclientside", 1},
    {"compatflags2", "clientssendfullbuttoninfo", 2},
    {"compatflags2", "noland", 4},
    {"compatflags2", "oldrandom", 8},
    {"compatflags2", "nogravityspheres", 16},
    {"compatflags2", "keepplayerscripts", 32},
    {"compatflags2", "explosionthrust", 64},
    {"compatflags2", "bridgedrops", 128},
    {"compatflags2", "oldzdoomzmovement", 256},
    {"compatflags2", "fullweaponlower", 512},
    {"compatflags2", "silentwestspawns", 1024},
    {"compatflags2", "limitedairmovement", 131072},
    {"compatflags2", "plasmabump", 262144},
    {"compatflags2", "instantrespawn", 524288},
    {"compatflags2", "disabletaunts", 1048576},
    {"compatflags2", "originalsoundcurve", 2097152},
    {"compatflags2", "oldintermission", 4194304},
    {"compatflags2", "disablestealthmonsters", 8388608},
    {"compatflags2", "oldradiussmg", 16777216},
    {"compatflags2", "nocrosshair", 33554432},
    {"compatflags2", "oldweaponswitch", 67108864},
};

// The limits the settings copy writes and the hosted server's line sets, in that order.
inline constexpr const char* kLimitKeys[5] = {"fraglimit", "timelimit", "duellimit", "pointlimit", "winlimit"};

// The launcher's number for an IWAD that is none of the table's.
inline constexpr int kUnknownIwad = 20;

// A host or port text, and a player's address entry, fill a 256-byte area with their zero.
inline constexpr std::size_t kAddressPartBytes = 255;

struct Iwad {
    int number;
    const char* file;
    bool orvento;       // in Orvento's table too
    const char* game;   // the server list's GAME column begins with it
};
inline constexpr Iwad kIwads[19] = {
    {1, "doom.wad", true, "Doom "},
    {2, "doom1.wad", true, "Doom Demo "},
    {3, "freedoomu.wad", false, "Ultimate Freedoom "},
    {4, "doom2.wad", true, "Doom 2 "},
    {5, "tnt.wad", true, "Evilution "},
    {6, "plutonia.wad", true, "Plutonia "},
    {7, "freedoom.wad", false, "Freedoom "},
    {8, "freedm.wad", true, "FreeDM "},
    {9, "heretic.wad", false, "Heretic "},
    {10, "heretic1.wad", false, "Heretic Demo "},
    {11, "blasphem.wad", false, "Blasphemer "},
    {12, "hexen.wad", false, "Hexen "},
    {13, "hexdd.wad", false, "Deathkings "},
    {14, "strife0.wad", false, "Strife Demo "},
    {15, "strife1.wad", false, "Strife "},
    {16, "chex.wad", false, "Chex Quest "},
    {17, "chex3.wad", false, "Chex Quest 3 "},
    {18, "action2.wad", false, "Action Doom "},
    {19, "megagame.wad", false, "MM8BDM "},
};

// The weight of each byte value in the launcher protocol, from which both ends build their code.
inline constexpr float kByteFrequencies[256] = {
    0.14473692f, 0.01147017f, 0.00167522f, 0.03831121f, 0.00356579f, 0.03811315f, 0.00178254f, 0.00199644f,
    0.00183511f, 0.00225716f, 0.0021124f, 0.00308829f, 0.00172852f, 0.00186608f, 0.00215921f, 0.00168891f,
    0.00168603f, 0.00218586f, 0.00284414f, 0.00161833f, 0.00196043f, 0.00151029f, 0.00173932f, 0.0021837f,
    0.00934121f, 0.0022053f, 0.00381211f, 0.00185456f, 0.00194675f, 0.00161977f, 0.0018668f, 0.00182071f,
    0.06421956f, 0.00537786f, 0.00514019f, 0.00487155f, 0.00493925f, 0.00503143f, 0.00514019f, 0.0045352f,
    0.00454241f, 0.00485642f, 0.00422407f, 0.00593387f, 0.0045813f, 0.00343687f, 0.00342823f, 0.00531592f,
    0.0032489f, 0.00333388f, 0.00308613f, 0.00293776f, 0.00258918f, 0.00259278f, 0.00377105f, 0.00267488f,
    0.00227516f, 0.00415997f, 0.00248763f, 0.00301555f, 0.00220962f, 0.0020699f, 0.00270369f, 0.00231694f,
    0.00273826f, 0.00450928f, 0.0038438f, 0.00504728f, 0.00221251f, 0.00376961f, 0.0023299f, 0.00312574f,
    0.00291688f, 0.00280236f, 0.00252436f, 0.00229461f, 0.00294353f, 0.00241201f, 0.0036659f, 0.0019986f,
    0.00257838f, 0.0022586f, 0.00260646f, 0.00187256f, 0.00266552f, 0.00242641f, 0.0021945f, 0.00192082f,
    0.00182071f, 0.0218593f, 0.00157439f, 0.00164353f, 0.00161401f, 0.00187544f, 0.00186248f, 0.03338637f,
    0.00186968f, 0.00172132f, 0.00148509f, 0.00177749f, 0.0014462f, 0.00192442f, 0.00169683f, 0.00209439f,
    0.00209439f, 0.00259062f, 0.00194531f, 0.00182359f, 0.00159096f, 0.00145196f, 0.00128199f, 0.00158376f,
    0.00171412f, 0.00243433f, 0.00345704f, 0.00156359f, 0.001457f, 0.00157007f, 0.00232342f, 0.00154198f,
    0.0014073f, 0.00288807f, 0.0015283f, 0.00151246f, 0.00250203f, 0.0022442f, 0.00161761f, 0.00714383f,
    0.08188576f, 0.00802537f, 0.00119484f, 0.00123805f, 0.05632671f, 0.00305156f, 0.00105584f, 0.00105368f,
    0.00099246f, 0.00090459f, 0.00109473f, 0.00115379f, 0.00261223f, 0.00105656f, 0.00124381f, 0.00100326f,
    0.0012755f, 0.00089739f, 0.00162481f, 0.0010083f, 0.00097229f, 0.00078864f, 0.0010724f, 0.00084409f,
    0.0026576f, 0.00116891f, 0.00073102f, 0.00075695f, 0.00093916f, 0.0010688f, 0.00086786f, 0.001856f,
    0.00608367f, 0.001336f, 0.00075695f, 0.00122077f, 0.00566955f, 0.00108249f, 0.00259638f, 0.00077063f,
    0.00166586f, 0.00090387f, 0.00087074f, 0.00084914f, 0.00130935f, 0.00162409f, 0.00085922f, 0.0009334f,
    0.00093844f, 0.00087722f, 0.00108249f, 0.00098598f, 0.00095933f, 0.00427593f, 0.00496661f, 0.00102775f,
    0.00159312f, 0.00118404f, 0.00114947f, 0.00104936f, 0.00154342f, 0.00140082f, 0.00115883f, 0.00110769f,
    0.00161112f, 0.00169107f, 0.00107816f, 0.00142747f, 0.00279804f, 0.00085922f, 0.00116315f, 0.00119484f,
    0.00128559f, 0.00146204f, 0.00130215f, 0.00101551f, 0.00091756f, 0.00161184f, 0.00236375f, 0.00131872f,
    0.0021412f, 0.00088875f, 0.0013857f, 0.0021196f, 0.0009406f, 0.00088083f, 0.00094564f, 0.00090243f,
    0.0010616f, 0.00088659f, 0.00114514f, 0.00095861f, 0.00108753f, 0.00124165f, 0.00427016f, 0.00159384f,
    0.00170547f, 0.00104431f, 0.00091395f, 0.00095789f, 0.00134681f, 0.00095213f, 0.00105944f, 0.00094132f,
    0.00141883f, 0.00102127f, 0.00101911f, 0.00082105f, 0.00158448f, 0.00102631f, 0.00087938f, 0.0013929f,
    0.00114658f, 0.00095501f, 0.00161329f, 0.00126542f, 0.00113218f, 0.00123661f, 0.00101695f, 0.0011293f,
    0.00317976f, 0.00085346f, 0.0010119f, 0.00189849f, 0.00105728f, 0.00186824f, 0.00092908f, 0.00160896f,
};

}  // namespace expected
