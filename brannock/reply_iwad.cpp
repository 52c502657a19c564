// reply_iwad.cpp: game prefixes and the IWAD name clean-up shared by both readings.
#include "brannock/reply_iwad.h"

#include "frame/iwads.h"

namespace brannock {
namespace {

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

// The clean-up of an IWAD name, byte by byte: 0 for a byte removed (full stops and slashes),
// the lower-case letter for an upper-case one, every other byte as it is.
constexpr std::array<char, 256> kIwadBytes = [] {
    std::array<char, 256> kept{};
    for (unsigned b = 0; b < kept.size(); ++b) {
        const char c = static_cast<char>(b);
        kept[b] = c == '.' || c == '\\' || c == '/' ? '\0' : b - 'A' < 26u ? static_cast<char>(c + ('a' - 'A')) : c;
    }
    return kept;
}();

}  // namespace

void append_game_prefix(std::string_view normalised_iwad, TextBuilder& out) {
    const int number = frame::iwad_number(normalised_iwad);
    if (number >= 1 && number < frame::kUnknownIwad) {
        out.append(kGamePrefixes[static_cast<std::size_t>(number - 1)]);
        return;
    }
    out.append("(").append(normalised_iwad).append(") ");
}

IwadName normalise_iwad(std::string_view name) {
    IwadName out;
    std::size_t length = 0;   // a local: a char written through out.text could alias out.length
    for (char c : name.substr(0, kIwadNameMax)) {
        const char kept = kIwadBytes[static_cast<unsigned char>(c)];
        out.text[length] = kept;   // a removed byte is written over by the next one
        length += kept != '\0';
    }
    length = length > kExtensionLength ? length - kExtensionLength : 0;
    for (char c : kIwadExtension) out.text[length++] = c;
    out.text[length] = '\0';
    out.length = length;
    return out;
}

}  // namespace brannock
