// launch_text.cpp: builds the response file and the command line of an Orvento game.
#include "orvento/launch_text.h"

#include "frame/engine_arguments.h"
#include "frame/engine_session.h"
#include "frame/iwads.h"
#include "frame/text_bytes.h"
#include "orvento/engine_check.h"
#include "orvento/names.h"
#include "orvento/setting_keys.h"

namespace orvento {
namespace {

// A blank-edged piece of the command line with one number in it, e.g. " -frags 0 ".
std::string numbered(const char* before, int value, const char* after) {
    return before + std::to_string(value) + after;
}

// Options of a game this player starts: network and game settings on the command line, the
// connection settings in the response file. The launcher sees the reads in this order.
void append_host_options(SettingsSource& settings, LaunchText& out) {
    std::string& line = out.command_line;
    std::string& file = out.response;

    const int players = settings.multiplayer_int(setting::net_players);
    if (players >= 1 && players <= 4) line += numbered(" -net ", players, " ");
    // In a solo game nothing before -skill ends in a blank; without one the engine would read
    // "-warp 01-skill" and lose both options.
    if (line.back() != ' ') line += ' ';
    line += numbered("-skill ", settings.multiplayer_int(setting::skill), " ");
    if (settings.multiplayer_int(setting::type) == 2) line += " -deathmatch ";
    switch (settings.multiplayer_int(setting::monsters)) {
        case 1: line += " -nomonsters "; break;
        case 3: line += " -fast "; break;
        default: break;
    }
    if (settings.multiplayer_int(setting::respawn_monsters) == 1) line += " -respawn ";
    line += numbered(" -frags ", settings.multiplayer_int(setting::frag_limit), " ");
    line += numbered(" -timer ", settings.multiplayer_int(setting::time_limit), " ");
    if (settings.multiplayer_int(setting::avg) == 1) file += "-avg \n";
    if (settings.multiplayer_int(setting::turbo) == 1) line += " -turbo 200 ";

    file += numbered("-dup ", settings.multiplayer_int(setting::dup), "\n");
    file += numbered("-extratics ", settings.multiplayer_int(setting::extra_tics), "\n");
    file += "-port " + settings.multiplayer_text(setting::port) + "\n";
    if (settings.multiplayer_int(setting::private_server) == 2) file += "-privateserver\n";
    file += "-servername " + settings.multiplayer_text(setting::server_name) + "\n";
}

}  // namespace

void add_extra_file(ExtraFiles& files, std::string_view lower_path, std::string_view argument) {
    const bool wad = lower_path.size() >= 4 && lower_path.substr(lower_path.size() - 4) == ".wad";
    std::string& option = wad ? files.file_option : files.deh_option;
    option += ' ';
    option += argument;
    ++(wad ? files.file_count : files.deh_count);
}

Warp warp_of(std::string_view map) {
    std::string name(map);
    frame::to_upper_ascii(name);
    Warp warp;
    if (!name.empty() && name[0] == 'M') {
        if (name.size() > 3) warp.characters = name.substr(3, 2);   // MAPxx
        return warp;
    }
    warp.episode_form = true;                                        // ExMy
    if (name.size() > 1) warp.characters += name[1];
    if (name.size() > 3) warp.characters += name[3];
    return warp;
}

std::string warp_line(const Warp& warp) {
    if (warp.characters.empty()) return {};
    std::string line = "-warp ";
    if (warp.episode_form && warp.characters.size() == 2) {
        line += warp.characters[0];
        line += ' ';
        line += warp.characters[1];
    } else {
        line += warp.characters;
    }
    return line + "\n";
}

std::string warp_piece(const Warp& warp) {
    if (warp.characters.empty()) return {};
    return " -warp " + warp.characters;
}

bool records_demo(std::string_view demo_name) { return demo_name.size() > kDemoNameThreshold; }

LaunchText build_launch(SettingsSource& settings, int iwad, const ExtraFiles& files,
                        const std::optional<std::string>& join_address) {
    LaunchText out;
    out.command_line = frame::kResponseArgument;
    std::string& file = out.response;

    file += settings.engine_text(setting::engine_parameters.key) + "\n";
    if (const char* iwad_file = orvento::iwad_file(iwad)) file += "-iwad " + std::string(iwad_file) + "\n";
    if (files.file_count > 0) file += files.file_option + "\n";
    if (files.deh_count > 0) file += files.deh_option + "\n";

    // The map may have been copied from a stranger's server: only its first word counts.
    const Warp warp = warp_of(frame::single_word(settings.multiplayer_text(setting::map)));
    file += warp_line(warp);
    out.command_line += warp_piece(warp);

    out.records = records_demo(settings.multiplayer_text(setting::demo_file));
    if (out.records) {
        // The engine adds the extension; the finish files the recording by the same name.
        file += "-record " + std::string(kRecordingName) + "\n";
        file += numbered("-maxdemo ", settings.multiplayer_int(setting::max_demo), "\n");
    }

    if (join_address) {
        out.command_line += " -connect ";
        out.command_line += " " + std::string(frame::single_word(*join_address)) + " ";
    } else {
        append_host_options(settings, out);
    }
    return out;
}

}  // namespace orvento
