// commands.h: what the sdll-host subcommands share, and each group's commands and options.
//
// The table that makes them subcommands is subcommands.cpp's; each group lives in a file named
// for it: settings_commands.cpp, file_commands.cpp, check_commands.cpp, game_commands.cpp and
// browse_commands.cpp. A command runs once the plug-in is loaded and its settings read; it
// answers with an exit code or throws a Failure. In a namespace of their own: their names (get,
// set, browse) are short.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include "host/browse.h"
#include "host/game.h"
#include "host/host.h"

namespace host::commands {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done (the plug-in accepted, the game ran), 1 the plug-in refused, no engine started, it "
    "ended at once, the master failed or a wait ran out, 2 usage, load or settings error, 130 or 143 "
    "interrupted (a game it waited for goes on).";

// A failure that ends the command with a message and an exit code.
struct Failure {
    int code;
    std::string message;
};

// Everything the command line can set; each subcommand reads its own part.
struct Options {
    std::string plugin, settings, journal;
    bool quiet = false, json = false;
    std::vector<std::string> wad_dirs;   // --wad-dir: searched this run only
    std::string address, value, file;
    int verify_iwad = 0;
    int iwad = 1, host_entry = 0, own_entry = 0;
    std::vector<std::string> addresses;
    std::string player = "Player";
    GameWait wait;
    BrowserCommand browser;              // browse, copy and join
};

// What a subcommand works with once the plug-in is loaded and its settings read.
struct Run {
    Launcher& launcher;
    const Options& options;
    std::ostream& out;
    std::ostream& err;
};

// ---- shared by the groups (commands.cpp) --------------------------------------------------------
// Seconds to wait: a plain number above 0 and at most a day ("nan", "inf" and "1e999" are none).
extern const CLI::Validator kSeconds;

template <typename Fn>
Fn require_export(const Launcher& launcher, const char* name) {
    Fn fn = launcher.get<Fn>(name);
    if (!fn) throw Failure{kExitUsage, "the plug-in " + launcher.name() + " lacks the export " + name};
    return fn;
}

// Saves the settings into --settings FILE; a Failure when none is named or it cannot be written.
void save(const Launcher& launcher, const Options& options);
void print_json(const nlohmann::json& document, std::ostream& out);
void json_option(CLI::App* command, Options* options);

// ---- settings_commands.cpp ----------------------------------------------------------------------
int describe(const Run& run);
int get(const Run& run);
int set(const Run& run);
void get_options(CLI::App* command, Options* options);
void set_options(CLI::App* command, Options* options);

// ---- file_commands.cpp --------------------------------------------------------------------------
int files_add(const Run& run);
int files_list(const Run& run);
int wad_dir_add(const Run& run);
int files_remove(const Run& run);
void path_option(CLI::App* command, Options* options);
void folder_option(CLI::App* command, Options* options);
void entry_option(CLI::App* command, Options* options);

// ---- check_commands.cpp -------------------------------------------------------------------------
int check(const Run& run);
int verify(const Run& run);
int multicheck(const Run& run);
void verify_options(CLI::App* command, Options* options);

// ---- game_commands.cpp --------------------------------------------------------------------------
int launch(const Run& run);
void launch_options(CLI::App* command, Options* options);

// ---- browse_commands.cpp ------------------------------------------------------------------------
int browse(const Run& run);
int copy(const Run& run);
int join(const Run& run);
void browse_options(CLI::App* command, Options* options);
void copy_options(CLI::App* command, Options* options);
void join_options(CLI::App* command, Options* options);

}  // namespace host::commands
