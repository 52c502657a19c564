// launch_text.h: the response file and the command line that start an Orvento game.
//
// Plain functions that decide every byte the engine receives: the split of the extra files into
// -file and -deh, the -warp forms of a map name, and the options of a solo, hosted or joined
// game. Settings are read through a SettingsSource in the order the launcher sees them. The
// export that writes the file and starts the engine lives in export_launch.cpp.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "orvento/settings_source.h"

namespace orvento {

// The two option lines of extra files, each with the number of files it names.
struct ExtraFiles {
    std::string file_option = "-file";
    int file_count = 0;
    std::string deh_option = "-deh";
    int deh_count = 0;
};

// Files whose lower-cased path ends in ".wad" go after -file, all others after -deh.
void add_extra_file(ExtraFiles& files, std::string_view lower_path, std::string_view argument);

// The characters of a map name that -warp takes: the two after "MAP" for the MAPxx form, the
// episode and map digits for ExMy. Only characters the name holds are taken.
struct Warp {
    bool episode_form = false;
    std::string characters;
};
Warp warp_of(std::string_view map);
// The response-file line ("-warp 07\n", "-warp 2 5\n"); empty when the name gives nothing.
std::string warp_line(const Warp& warp);
// The command-line piece (" -warp 07", " -warp 25"); empty when the name gives nothing.
std::string warp_piece(const Warp& warp);

// A demo name longer than this turns recording on.
constexpr std::size_t kDemoNameThreshold = 3;
bool records_demo(std::string_view demo_name);

struct LaunchText {
    std::string response;       // lines ending in '\n'; written with CR LF
    std::string command_line;   // the parameters of doom32.exe
    bool records = false;       // the engine records into kRecordingName in its folder
};

// Everything the engine is started with. `join_address` is the starting player's address when
// this player joins another's game, and empty when this player starts the game. The map and the
// address are taken as single words; the user's parameters stay as they are.
LaunchText build_launch(SettingsSource& settings, int iwad, const ExtraFiles& files,
                        const std::optional<std::string>& join_address);

}  // namespace orvento
