// launch_text.cpp: the Brannock server and client command lines and the join response file.
//
// Several pieces begin or end with a blank, so the lines hold doubled blanks at fixed places; the
// engine does not mind, and keeping them keeps the lines identical to what the engine is known to
// accept.
#include "brannock/launch_text.h"

#include <cerrno>
#include <cstdlib>

#include "frame/engine_arguments.h"
#include "frame/server_names.h"
#include "frame/text_bytes.h"

namespace brannock {
namespace {

bool is_control(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

namespace detail {

std::string single_line(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (!is_control(static_cast<unsigned char>(c))) out += c;
    }
    return out;
}

std::string clean_player_name(std::string_view name) {
    std::string out = single_line(name);
    std::erase(out, '"');
    return out;
}

std::string command_file_list(const std::vector<std::string>& files) {
    if (files.empty()) return {};
    std::string text = " -file";
    for (const std::string& file : files) text += " " + file;
    return text;
}

std::string map_option(std::string_view map) {
    std::string name(frame::single_word(map));
    frame::to_upper_ascii(name);
    return "+map " + name + " ";
}

}  // namespace detail

std::string client_line(const ClientGame& game) {
    std::string line = "-connect " + std::string(frame::single_word(game.host_address));
    line += " -iwad " + game.iwad + " ";
    line += detail::command_file_list(game.files);
    line += " " + game.parameters + " ";
    line += "+name \"" + detail::clean_player_name(game.player_name) + "\"";
    return line;
}

std::string server_line(const ServerGame& game) {
    std::string line = " -host -iwad " + game.iwad + " ";
    line += detail::command_file_list(game.files);
    line += " +masterip 0.0.0.0 ";
    line += " -private ";
    line += " +sv_updatemaster 0 ";
    line += detail::map_option(game.map);
    line += game_type_text(game.type);
    line += modifier_text(game.modifier);
    line += "+skill " + std::to_string(game.skill - 1) + " ";
    line += flag_words_text(game.flags);
    for (std::size_t i = 0; i < kLimitKeys.size(); ++i) {
        if (game.limits[i] > 0) {
            line += std::string(" +set ") + kLimitKeys[i] + " " + std::to_string(game.limits[i]);
        }
    }
    return line;
}

int parse_file_count(std::string_view text) {
    // strtol with base 0 reads what "%i" reads; it needs a terminated copy.
    const std::string copy(text);
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(copy.c_str(), &end, 0);
    if (end == copy.c_str() || value <= 0) return 0;
    if (errno == ERANGE || value > detail::kMaxServerFiles) return detail::kMaxServerFiles;
    return static_cast<int>(value);
}

std::string response_file_text(const JoinGame& game) {
    std::string text;
    text.append(detail::single_line(game.parameters)).append("\n");
    text.append("-iwad ").append(frame::server_file_name(game.iwad).value_or("")).append("\n");
    if (game.files) {
        text.append("-file");
        for (const std::string& file : *game.files) text.append(" ").append(detail::single_line(file));
        text.append("\n");
    }
    text.append("+name \"").append(detail::clean_player_name(game.player_name)).append("\"\n");
    text.append("-connect ").append(frame::server_argument(game.address).value_or(""));
    text.append(":").append(frame::server_argument(game.port).value_or(""));
    text.append("\n");
    return text;
}

}  // namespace brannock
