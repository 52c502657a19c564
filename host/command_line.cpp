// command_line.cpp: the sdll-host command, the stand-in launcher on the command line.
//
// Loads one plug-in, reads and keeps its settings in a text file, and calls the plug-in's exports
// the way the launcher does: engine check, verification, multiplayer check, launch and the finish
// poll. Every launcher call and every export the command makes lands in the journal. The
// subcommands are one table (kCommands): each row its name, its help, the options it adds and the
// short function that runs it.
#include "host/command_line.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <ostream>

#include <CLI/CLI.hpp>

#include "frame/iwads.h"
#include "host/browse.h"
#include "host/engine_check.h"
#include "host/game.h"
#include "host/host.h"
#include "host/os.h"
#include "host/settings_pages.h"
#include "host/suggest.h"
#include "host/utf.h"
#include "host/value_words.h"

namespace host {
namespace {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done (the plug-in accepted, the game ran), 1 the plug-in refused, no engine started, it "
    "ended at once, the master failed or a wait ran out, 2 usage, load or settings error, 130 or 143 "
    "interrupted (a game it waited for goes on).";
constexpr const char* kSettingsFileHelp =
    "The settings file (--settings) is plain text, one entry a line: 'page/group/key = value' for a "
    "setting (see describe), 'file = PATH' for each extra game file in order ('copied-file = PATH' for one "
    "the last copy added, which the next copy replaces), 'wad-dir = FOLDER' for "
    "each folder searched when a server's PWADs are looked up; blank lines and lines starting with # "
    "are kept; a value with outer blanks, a leading quote or a line break is a JSON string; a setting "
    "given twice is an error. A missing file starts empty; a file that cannot be read or parsed is an "
    "error (exit 2), never overwritten. Saving writes FILE.tmp and renames it over FILE.";
constexpr const char* kMasterAddress = "engine/servers/masteraddress";
constexpr const char* kEngineFolder = "engine/general/enginepath";
constexpr double kMostSeconds = 86400;

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

// Seconds to wait: a plain number above 0 and at most a day ("nan", "inf" and "1e999" are none).
const CLI::Validator kSeconds(
    [](std::string& text) -> std::string {
        char* end = nullptr;
        const double seconds = std::strtod(text.c_str(), &end);
        if (!text.empty() && *end == '\0' && std::isfinite(seconds) && seconds > 0 && seconds <= kMostSeconds)
            return "";
        return "wants a number of seconds above 0 and at most " + std::to_string(static_cast<int>(kMostSeconds)) +
               ", not '" + text + "'";
    },
    "SECONDS");

const CLI::Validator kNotEmpty(
    [](std::string& path) -> std::string {
        return path.empty() ? "wants the path of a plug-in module, not an empty text" : "";
    },
    "PATH");

// "page/group/key" into its parts.
std::array<std::string, 3> split_address(const std::string& text) {
    const size_t first = text.find('/');
    const size_t second = first == std::string::npos ? first : text.find('/', first + 1);
    if (second == std::string::npos || text.find('/', second + 1) != std::string::npos || first == 0 ||
        second == first + 1 || second + 1 == text.size())
        throw Failure{kExitUsage, "'" + text + "' is not page/group/key"};
    return {text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1)};
}

template <typename Fn>
Fn require_export(const Launcher& launcher, const char* name) {
    Fn fn = launcher.get<Fn>(name);
    if (!fn) throw Failure{kExitUsage, "the plug-in " + launcher.name() + " lacks the export " + name};
    return fn;
}

void save(const Launcher& launcher, const Options& options) {
    if (options.settings.empty()) throw Failure{kExitUsage, "this needs --settings FILE to keep the change"};
    std::string error;
    if (!launcher.save_settings(options.settings, &error)) throw Failure{kExitUsage, error};
}

void print_json(const nlohmann::json& document, std::ostream& out) {
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

// ---- the subcommands ----------------------------------------------------------------------------

int describe(const Run& run) {
    if (run.options.json) print_json(pages_json(run.launcher), run.out);
    else print_pages(run.launcher, run.out);
    return kExitOk;
}

int get(const Run& run) {
    const auto [page, group, key] = split_address(run.options.address);
    const auto value = run.launcher.get_value(page, group, key);
    if (!value)
        throw Failure{kExitUsage, "no setting " + run.options.address + " in the description of " + run.launcher.name()};
    if (run.options.json) print_json({{"setting", run.options.address}, {"value", *value}}, run.out);
    else run.out << *value << "\n";
    return kExitOk;
}

// The settings stay as permissive as the launcher's page: an address the browse could not use is
// taken, with a warning.
int set(const Run& run) {
    const auto [page, group, key] = split_address(run.options.address);
    std::string error;
    if (!run.launcher.set(page, group, key, run.options.value, &error)) throw Failure{kExitUsage, error};
    save(run.launcher, run.options);
    if (run.options.address == kMasterAddress)
        if (const std::string why = master_address_problem(run.launcher); !why.empty())
            run.err << "sdll-host: warning: " << why << " (HOST:PORT, or HOST alone for the default port)\n";
    if (run.options.address == kEngineFolder && !run.options.value.empty() &&
        os::file_kind(run.options.value) != os::FileKind::folder)
        run.err << "sdll-host: warning: the engine folder " << run.options.value << " does not exist (yet); no game "
                << "starts until it holds the engine (see 'check')\n";
    return kExitOk;
}

int check(const Run& run) {
    EngineCheck found;
    std::string error;
    if (!check_engine(run.launcher, &found, &error)) throw Failure{kExitUsage, error};
    if (run.options.json) print_json(check_json(found), run.out);
    else print_check(found, run.out);
    // The plug-in accepts an unset folder (the engine is simply not ready); the person is told.
    if (found.folder.empty())
        throw Failure{kExitRefused, "no engine folder is set, so no game can start; set it with: set "
                                    "engine/general/enginepath FOLDER/"};
    return found.result == 0 ? kExitOk : kExitRefused;
}

int verify(const Run& run) {
    std::vector<RequiredFile> files;
    std::string error;
    if (!required_files(run.launcher, run.options.verify_iwad, &files, &error)) throw Failure{kExitUsage, error};
    bool all_found = true;
    for (const auto& file : files) run.out << "required: " << file.path << "\n";
    for (const auto& file : files)
        if (!file.found) run.out << "missing: " << file.path << "\n", all_found = false;
    return all_found ? kExitOk : kExitRefused;
}

int multicheck(const Run& run) {
    const int result = require_export<SDLL_MultiConfig_t>(run.launcher, "SDLL_MultiConfig")();
    record_export(run.launcher, "SDLL_MultiConfig", nlohmann::json::array(), result);
    run.out << "SDLL_MultiConfig: " << result << (result == 0 ? " (accepted)" : " (refused)") << "\n";
    return result == 0 ? kExitOk : kExitRefused;
}

// `files add` and `files wad-dir`: the full path kept in the settings file (the launcher hands
// the plug-in full paths, and the engine runs in its own folder); one that is not there (yet) is
// taken with a warning.
int keep_path(const Run& run, std::vector<std::string>* list, os::FileKind kind) {
    list->push_back(os::full_path(run.options.file));
    save(run.launcher, run.options);
    if (os::file_kind(list->back()) != kind)
        run.err << "sdll-host: warning: " << (kind == os::FileKind::folder ? "the folder " : "") << list->back()
                << " does not exist (yet)" << (kind == os::FileKind::folder ? "" : "; a game starts without it")
                << "\n";
    return kExitOk;
}

int files_add(const Run& run) { return keep_path(run, &run.launcher.files, os::FileKind::file); }
int wad_dir_add(const Run& run) { return keep_path(run, &run.launcher.wad_dirs, os::FileKind::folder); }

// `files remove`: the entry as kept (a full path) or as given then; from the game files first.
int files_remove(const Run& run) {
    const std::string full = os::full_path(run.options.file);
    for (auto* list : {&run.launcher.files, &run.launcher.wad_dirs})
        for (auto at = list->begin(); at != list->end(); ++at)
            if (*at == run.options.file || *at == full) {
                list->erase(at);
                save(run.launcher, run.options);
                return kExitOk;
            }
    throw Failure{kExitUsage, run.options.file + " is neither an extra game file nor a WAD folder of the settings; "
                                                 "'files list' shows them"};
}

// In the settings file's own words, so a line can be copied either way.
int files_list(const Run& run) {
    for (const auto& path : run.launcher.files) run.out << "file = " << path << "\n";
    for (const auto& folder : run.launcher.wad_dirs) run.out << "wad-dir = " << folder << "\n";
    for (const auto& folder : run.launcher.run_wad_dirs) run.out << "wad-dir = " << folder << " (--wad-dir, this run)\n";
    return kExitOk;
}

// The players' addresses as the launcher passes them: each entry a 16-bit little-endian length
// and that many bytes.
std::string counted_list(const std::vector<std::string>& entries) {
    std::string list;
    for (const auto& entry : entries) {
        const std::string ansi = utf8_to_ansi(entry);
        if (ansi.size() > 0x7FFF) throw Failure{kExitUsage, "address too long: " + entry};
        list += static_cast<char>(ansi.size() & 0xFF);
        list += static_cast<char>(ansi.size() >> 8);
        list += ansi;
    }
    return list;
}

// As the launcher does before a launch: the multiplayer settings must pass SDLL_MultiConfig and
// every file SDLL_Verification names must exist; otherwise no game starts.
void check_before_launch(Launcher& launcher, int iwad) {
    const std::size_t first_message = launcher.message_boxes.size();
    const int refused = require_export<SDLL_MultiConfig_t>(launcher, "SDLL_MultiConfig")();
    record_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), refused);
    if (refused != 0)
        throw Failure{kExitRefused, "the plug-in refused the multiplayer settings (SDLL_MultiConfig answered 1; " +
                                        plugin_said(launcher, first_message) + "), so the launcher starts no game"};
    std::vector<RequiredFile> files;
    std::string error;
    if (!required_files(launcher, iwad, &files, &error)) throw Failure{kExitUsage, error};
    std::string missing;
    for (const auto& file : files)
        if (!file.found) missing += (missing.empty() ? "" : ", ") + file.path;
    if (!missing.empty())
        throw Failure{kExitRefused, "a file the game needs is missing: " + missing +
                                        "; the launcher starts no game without it (see 'check')"};
}

// Calls the plug-in's launch export with the arguments each plug-in takes, and journals it.
void call_launch(Launcher& launcher, const Options& options, const std::vector<std::string>& entries,
                 GameStart* start) {
    const std::string addresses = counted_list(entries);
    nlohmann::json args = {options.iwad, options.host_entry, options.own_entry, 0, entries};
    if (launcher.name() == "Brannock") {
        const std::string player = utf8_to_ansi(options.player);
        require_export<Brannock_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data(), player.c_str());
        args.push_back(options.player);
    } else {
        require_export<Orvento_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data());
    }
    start->launched();
    record_export(launcher, "SDLL_LaunchMultiplayer", args, nullptr);
}

int launch(const Run& run) {
    const Options& options = run.options;
    std::vector<std::string> entries = options.addresses;
    std::string error;
    if (!launch_addresses(&entries, options.host_entry, options.own_entry, &error)) throw Failure{kExitUsage, error};
    if (options.iwad == frame::kUnknownIwad) run.err << "sdll-host: note: IWAD 20 names none of the known IWADs\n";
    check_before_launch(run.launcher, options.iwad);
    run.launcher.files = files_for_game(run.launcher, run.err);   // for this game only: launch saves nothing
    if (const int interrupted = os::interruption())
        throw Failure{interrupted, "interrupted before the game started: no game started"};
    GameStart start(run.launcher);
    call_launch(run.launcher, options, entries, &start);
    return wait_for_game(run.launcher, "SDLL_MultiplayerFinished", start, options.wait, run.out, run.err);
}

int browser(const Run& run, BrowserCommand::Kind kind) {
    BrowserCommand command = run.options.browser;
    command.kind = kind;
    command.settings_file = run.options.settings;
    return run_browser_command(run.launcher, command, run.out, run.err);
}

int browse(const Run& run) { return browser(run, BrowserCommand::list); }
int copy(const Run& run) { return browser(run, BrowserCommand::copy); }
int join(const Run& run) { return browser(run, BrowserCommand::join); }

// ---- the options of each subcommand -------------------------------------------------------------

void json_option(CLI::App* command, Options* o) {
    command->add_flag("--json", o->json, "print one JSON document");
}

void get_options(CLI::App* command, Options* o) {
    command->add_option("address", o->address, "page/group/key")->required();
    json_option(command, o);
}

void set_options(CLI::App* command, Options* o) {
    command->add_option("address", o->address, "page/group/key")->required();
    command->add_option("value", o->value, "the value: 0/1, a number, a list key or a text")->required();
}

void verify_options(CLI::App* command, Options* o) {
    command->add_option("iwad", o->verify_iwad, "IWAD number (Orvento only)")->check(CLI::Range(0, 20));
}

void path_option(CLI::App* command, Options* o) {
    command->add_option("path", o->file, "the file (kept as a full path)")->required();
}

void entry_option(CLI::App* command, Options* o) {
    command->add_option("path", o->file, "the extra game file or WAD folder, as 'files list' shows it or as "
                                         "given to add")
        ->required();
}

// The IWAD numbers the launcher and the engines share, for the help of `launch --iwad`.
std::string iwad_numbers_help() {
    std::string text = "IWAD numbers (--iwad; Orvento runs those marked *):";
    for (const frame::IwadRow& row : frame::iwad_table())
        text += (row.number % 5 == 1 ? "\n  " : ", ") + std::to_string(row.number) + " " + row.file +
                (row.orvento ? "*" : "");
    return text + ", " + std::to_string(frame::kUnknownIwad) + " any other IWAD";
}

void folder_option(CLI::App* command, Options* o) {
    command->add_option("folder", o->file, "the folder (kept as a full path)")->required();
}

void launch_options(CLI::App* command, Options* o) {
    command->footer(iwad_numbers_help() + "\n\n" + kExitCodesHelp);
    command->add_option("--iwad", o->iwad, "IWAD number 1..20, the game's IWAD (the numbers below)")
        ->capture_default_str()
        ->check(CLI::Range(1, 20));
    command->add_option("--host-entry", o->host_entry, "position of the hosting player in the address list, from 0")
        ->capture_default_str()
        ->check(CLI::Range(0, 0x7FFF));
    command->add_option("--own-entry", o->own_entry, "position of this player in the address list, from 0")
        ->capture_default_str()
        ->check(CLI::Range(0, 0x7FFF));
    command->add_option("--address", o->addresses, "a player's address (HOST or HOST:PORT), once per player, in "
                                                   "order; default: 127.0.0.1 alone");
    command->add_option("--player", o->player, "this player's name (Brannock)")->capture_default_str();
    command->add_option("--timeout", o->wait.timeout_s, "seconds to wait for the finish (above 0, at most a day)")
        ->capture_default_str()
        ->check(kSeconds);
}

// How browse, copy and join reach the master and the servers.
void server_options(CLI::App* command, Options* o) {
    BrowseOptions& b = o->browser.browse;
    command->add_option("--server-wait", b.server_wait_ms, "milliseconds each server may stay silent (1..600000); "
                                                           "one retry halfway")
        ->capture_default_str()
        ->check(CLI::Range(1, 600000));
    command->add_option("--master", b.master, "send the master query to HOST:PORT instead of "
                                              "engine/servers/masteraddress");
    command->add_option("--master-wait", b.master_wait_ms, "milliseconds to wait for the master's first datagram "
                                                           "(1..600000)")
        ->capture_default_str()
        ->check(CLI::Range(1, 600000));
}

void browse_options(CLI::App* command, Options* o) {
    command->add_flag("--json", o->browser.json, "print one JSON document, also when the browse fails: master, "
                                                 "master_datagrams, master_list, error, servers [{number, address, "
                                                 "port, status, properties}]");
    server_options(command, o);
}

void copy_options(CLI::App* command, Options* o) {
    auto* number = command->add_option("number", o->browser.number, "server number in the browse table")
                       ->check(CLI::Range(1, 1 << 20));
    auto* address = command->add_option("--address", o->browser.address, "query this one server (HOST:PORT, the "
                                                                          "server's UDP port as the ADDRESS column "
                                                                          "of browse shows it) instead of browsing");
    number->excludes(address);
    server_options(command, o);
}

void join_options(CLI::App* command, Options* o) {
    copy_options(command, o);
    command->add_option("--player", o->browser.player, "this player's name")->capture_default_str();
    command->add_option("--timeout", o->browser.wait.timeout_s, "seconds to wait for the finish (above 0, at most "
                                                                "a day)")
        ->capture_default_str()
        ->check(kSeconds);
}

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
