// server_reply.cpp: game prefixes and the IWAD name clean-up shared by both readings.
#include "brannock/server_reply.h"

#include "frame/helpers.h"

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

bool removed_from_iwad(char c) { return c == '.' || c == '\\' || c == '/'; }

}  // namespace

void append_game_prefix(std::string_view normalised_iwad, TextBuilder& out) {
    const int number = frame::IwadNumber(normalised_iwad);
    if (number >= 1 && number < frame::kUnknownIwad) {
        out.append(kGamePrefixes[static_cast<std::size_t>(number - 1)]);
        return;
    }
    out.append("(").append(normalised_iwad).append(") ");
}

IwadName normalise_iwad(std::string_view name) {
    IwadName out;
    for (char c : name.substr(0, kIwadNameMax)) {
        if (!removed_from_iwad(c)) out.text[out.length++] = c;
    }
    frame::to_lower_ascii(std::span<char>(out.text.data(), out.length));
    out.length = out.length > kExtensionLength ? out.length - kExtensionLength : 0;
    for (char c : kIwadExtension) out.text[out.length++] = c;
    out.text[out.length] = '\0';
    return out;
}

}  // namespace brannock
