// subcommands.cpp: the sdll-host command, the stand-in launcher on the command line.
//
// Loads one plug-in, reads and keeps its settings in a text file, and calls the plug-in's exports
// the way the launcher does: engine check, verification, multiplayer check, launch and the finish
// poll. Every launcher call and every export the command makes lands in the journal. The
// subcommands are one table (kCommands): each row its name, its help, the options it adds and the
// short function that runs it, each group of them in a file of its own (commands.h).
#include "host/subcommands.h"

#include <cctype>
#include <ostream>

#include <CLI/CLI.hpp>

#include "host/commands.h"
#include "host/suggest.h"
#include "host/value_words.h"

namespace host {
namespace {

using namespace commands;

constexpr const char* kSettingsFileHelp =
    "The settings file (--settings) is plain text, one entry a line: 'page/group/key = value' for a "
    "setting (see describe), 'file = PATH' for each extra game file in order ('copied-file = PATH' for one "
    "the last copy added, which the next copy replaces), 'wad-dir = FOLDER' for "
    "each folder searched when a server's PWADs are looked up; blank lines and lines starting with # "
    "are kept; a value with outer blanks, a leading quote or a line break is a JSON string; a setting "
    "given twice is an error. A missing file starts empty; a file that cannot be read or parsed is an "
    "error (exit 2), never overwritten. Saving writes FILE.tmp and renames it over FILE.";

const CLI::Validator kNotEmpty(
    [](std::string& path) -> std::string {
        return path.empty() ? "wants the path of a plug-in module, not an empty text" : "";
    },
    "PATH");

// ---- the table ----------------------------------------------------------------------------------

struct Command {
    const char* group;   // the subcommand it belongs to ("files"), or empty
    const char* name;
    const char* help;
    void (*options)(CLI::App* command, Options* options);   // null: none of its own
    int (*run)(const Run& run);                              // null: a group of subcommands
};

const Command kCommands[] = {
    {"", "describe", "show the settings pages: groups, items, types, defaults and current values", json_option,
     describe},
    {"", "get", "print one setting's current value", get_options, get},
    {"", "set", "set one setting (checked against its item) and save; a master address the browse could not use "
                "is taken with a warning",
     set_options, set},
    {"", "check", "check the engine folder (SDLL_EngineConfig) and the files a game needs (SDLL_Verification): the "
                  "result, the engine-ready flag, the IWAD mask (Brannock: any IWAD; Orvento: the IWADs found, with "
                  "their numbers), each required file with the path tried, and what to do when one is missing; exit "
                  "1 also when no engine folder is set",
     json_option, check},
    {"", "verify", "ask for the files a game needs (SDLL_Verification) and check that they exist; exit 1 when one "
                   "is missing",
     verify_options, verify},
    {"", "multicheck", "check the multiplayer settings (SDLL_MultiConfig)", nullptr, multicheck},
    {"", "files", "the extra game files and WAD folders (kept in the settings file)", nullptr, nullptr},
    {"files", "add", "add an extra game file; one that does not exist gets a warning", path_option, files_add},
    {"files", "list", "list the extra game files ('file = PATH') and the WAD folders ('wad-dir = FOLDER')", nullptr,
     files_list},
    {"files", "wad-dir", "keep a folder searched for a server's PWADs", folder_option, wad_dir_add},
    {"files", "remove", "forget an extra game file or a WAD folder", entry_option, files_remove},
    {"", "launch", "as the launcher starts a game: SDLL_MultiConfig and SDLL_Verification first (a refusal or a "
                   "missing file stops it), then SDLL_LaunchMultiplayer, then SDLL_MultiplayerFinished every 100 ms "
                   "until it answers 1; exit 1 when no engine process was created or the engine ended within its "
                   "first second",
     launch_options, launch},
    {"", "browse", "list the public servers: the master query, every server queried at once, then a table with "
                   "each server's status (answered, cut short, not a server reply, no answer)",
     browse_options, browse},
    {"", "copy", "copy a server's settings into the multiplayer page (SDLL_ServerGamesettings) and save them",
     copy_options, copy},
    {"", "join", "join a server (SDLL_LaunchServer) and poll SDLL_ServerFinished every 100 ms until it answers 1; "
                 "the server's PWADs are looked for in the WAD folders (files wad-dir FOLDER keeps one; --wad-dir "
                 "FOLDER, before or after join, adds one for this run) and each found in none is warned about; exit "
                 "1 when no engine process was created or the engine ended within its first second",
     join_options, join},
};

// Each row's subcommand as CLI11 made it, in table order.
using Made = std::vector<std::pair<const Command*, CLI::App*>>;

void add_program_options(CLI::App& app, Options* o) {
    app.name("sdll-host");
    app.footer(std::string(kExitCodesHelp) + "\n\n" + kSettingsFileHelp);
    app.set_version_flag("--version", std::string("sdll-host ") + SDLL_VERSION, "print the version and exit");
    app.require_subcommand(1);
    app.fallthrough();   // the options below may also follow the subcommand
    // A value such as /home/... is a path on every system, never a Windows-style /option; set
    // before the subcommands are made, which inherit it.
    app.allow_windows_style_options(false);
    app.add_option("--plugin", o->plugin, "plug-in module (brannock.dll, orvento.so, ...)")->required()->check(kNotEmpty);
    app.add_option("--settings", o->settings, "settings file (format below); a missing one starts empty and is "
                                              "created by set");
    app.add_option("--journal", o->journal, "append every launcher call as a JSON line to this file");
    app.add_flag("--quiet", o->quiet, "do not echo the plug-in's messages on stderr");
    app.add_option("--wad-dir", o->wad_dirs, "also look for game files (a server's PWADs) in this folder, this run "
                                             "only; repeatable");
}

Made add_commands(CLI::App& app, Options* o) {
    Made made;
    for (const Command& command : kCommands) {
        CLI::App* parent = *command.group ? app.get_subcommand(command.group) : &app;
        CLI::App* sub = parent->add_subcommand(command.name, command.help);
        sub->footer(kExitCodesHelp);   // a row's options may say more
        if (!command.run) sub->require_subcommand(1);
        if (command.options) command.options(sub, o);
        made.emplace_back(&command, sub);
    }
    return made;
}

// Options a person is known to reach for where the subcommand has others: what to say instead of
// a near name.
struct WrongOption {
    const char* command;
    const char* option;
    const char* hint;
};

constexpr const char* kServerWaits = "its waits are --master-wait and --server-wait, in milliseconds";
constexpr WrongOption kWrongOptions[] = {
    {"browse", "--timeout", kServerWaits},
    {"copy", "--timeout", kServerWaits},
    {"join", "--iwad", "a server names its own IWAD, and join takes it from the server's reply"},
    {"launch", "--master-wait", "launch asks no master; --timeout is how long the game may run"},
    {"launch", "--server-wait", "launch asks no server; --timeout is how long the game may run"},
};

// "sdll-host files remove": the words that run `command`, for its --help.
std::string command_words(const CLI::App* command) {
    return command->get_parent() ? command_words(command->get_parent()) + " " + command->get_name() : "sdll-host";
}

// An option `command` takes, its own or of a command above it (they may follow the subcommand).
const CLI::Option* find_option(const CLI::App* command, const std::string& name) {
    for (; command; command = command->get_parent())
        if (const CLI::Option* option = command->get_option_no_throw(name)) return option;
    return nullptr;
}

std::string no_option(const CLI::App* command, const std::string& name) {
    const std::string help = "; " + command_words(command) + " --help lists its options";
    for (const WrongOption& wrong : kWrongOptions)
        if (command->get_name() == wrong.command && name == wrong.option)
            return command->get_name() + " has no option " + name + ": " + wrong.hint + help;
    std::vector<std::string> names;
    for (const CLI::App* above = command; above; above = above->get_parent())
        for (const CLI::Option* option : above->get_options())
            for (const std::string& long_name : option->get_lnames()) names.push_back("--" + long_name);
    return (command->get_parent() ? command->get_name() + " has" : std::string("there is")) + " no option " + name +
           did_you_mean(name, names) + help;
}

// "-x" or "--name": an option, never a negative number.
bool is_option_word(const std::string& arg) {
    return arg.size() > 1 && arg[0] == '-' && !std::isdigit(static_cast<unsigned char>(arg[1])) && arg[1] != '.';
}

// The first slip CLI11 would answer unhelpfully: an option the subcommand does not take (CLI11
// lists it among "arguments not expected", with no near name) or a word that names no subcommand
// where one is wanted (CLI11 says only that one is required). Empty when there is none.
std::string usage_slip(const CLI::App& app, const std::vector<std::string>& args) {
    const CLI::App* command = &app;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") return "";
        if (is_option_word(arg)) {
            const std::string name = arg.substr(0, arg.find('='));
            const CLI::Option* option = find_option(command, name);
            if (!option) return no_option(command, name);
            if (arg.find('=') == std::string::npos && option->get_items_expected_min() > 0) ++i;
            continue;
        }
        std::vector<std::string> names;
        const CLI::App* next = nullptr;
        for (const CLI::App* sub : command->get_subcommands({})) {
            names.push_back(sub->get_name());
            if (sub->check_name(arg)) next = sub;
        }
        if (next) command = next;
        else if (command->get_require_subcommand_min() > 0)
            return "'" + arg + "' is no subcommand" + (command == &app ? "" : " of " + command->get_name()) +
                   did_you_mean(arg, names) + "; " + command_words(command) + " --help lists them";
    }
    return "";
}

// Loads the plug-in and its settings, then runs the subcommand; a failure becomes its message.
int run_command(const Command& command, const Options& options, std::ostream& out, std::ostream& err) {
    try {
        std::string error;
        auto launcher = Launcher::open(options.plugin, &error);
        if (!launcher) throw Failure{kExitUsage, error};
        launcher->quiet = options.quiet;
        if (!options.journal.empty()) launcher->set_journal_file(options.journal);
        if (!options.settings.empty() && !launcher->load_settings(options.settings, &error))
            throw Failure{kExitUsage, error};
        launcher->run_wad_dirs = options.wad_dirs;
        return command.run({*launcher, options, out, err});
    } catch (const Failure& failure) {
        err << "sdll-host: " << failure.message << "\n";
        return failure.code;
    } catch (const std::exception& e) {
        err << "sdll-host: " << e.what() << "\n";
        return kExitUsage;
    }
}

}  // namespace

int run_sdll_host(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    CLI::App app{"sdll-host: loads a Vorlane engine plug-in as the launcher does and drives it."};
    add_program_options(app, &options);
    const Made made = add_commands(app, &options);
    // A value that looks like an option is a value first; only what is left can be a slip.
    const std::vector<std::string> words = values_as_values(app, args);
    if (const std::string slip = usage_slip(app, words); !slip.empty()) {
        err << "sdll-host: " << slip << "\n";
        return kExitUsage;
    }
    try {
        std::vector<std::string> reversed(words.rbegin(), words.rend());   // CLI11 takes them last first
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? kExitOk : kExitUsage;
    }
    for (const auto& [command, sub] : made)
        if (command->run && sub->parsed()) return run_command(*command, options, out, err);
    err << "sdll-host: no subcommand given\n";
    return kExitUsage;
}

}  // namespace host
