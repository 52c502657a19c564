// command_line.cpp: the sdll-host command, the stand-in launcher on the command line.
//
// Loads one plug-in, reads and keeps its settings in a text file, and calls the plug-in's exports
// the way the launcher does: engine check, verification, multiplayer check, launch and the finish
// poll. Every launcher call and every export the command makes lands in the journal.
#include "host/command_line.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <ostream>

#include <CLI/CLI.hpp>

#include "frame/helpers.h"
#include "host/browse.h"
#include "host/engine_check.h"
#include "host/game.h"
#include "host/host.h"
#include "host/suggest.h"
#include "host/udp.h"
#include "host/utf.h"

namespace host {
namespace {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done (the plug-in accepted, the game ran), 1 the plug-in refused, no engine started, it "
    "ended at once, the master failed or a wait ran out, 2 usage, load or settings error.";
constexpr const char* kSettingsFileHelp =
    "The settings file (--settings) is plain text, one entry a line: 'page/group/key = value' for a "
    "setting (see describe), 'file = PATH' for each extra game file in order, 'wad-dir = FOLDER' for "
    "each folder searched when a server's PWADs are looked up; blank lines and lines starting with # "
    "are kept; a value with outer blanks, a leading quote or a line break is a JSON string; a setting "
    "given twice is an error. A missing file starts empty; a file that cannot be read or parsed is an "
    "error (exit 2), never overwritten. Saving writes FILE.tmp and renames it over FILE.";
constexpr const char* kMasterAddress = "engine/servers/masteraddress";
constexpr double kMostSeconds = 86400;

// A failure that ends the command with a message and an exit code.
struct Failure {
    int code;
    std::string message;
};

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

std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool is_brannock(const Launcher& launcher) { return launcher.name() == "Brannock"; }

void save(const Launcher& launcher, const Options& options) {
    if (options.settings.empty()) throw Failure{kExitUsage, "this needs --settings FILE to keep the change"};
    std::string error;
    if (!launcher.save_settings(options.settings, &error)) throw Failure{kExitUsage, error};
}

void print_json(const nlohmann::json& document, std::ostream& out) {
    out << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

// What the plug-in showed the user since message number `first`, quoted, for a refusal.
std::string messages_since(const Launcher& launcher, std::size_t first) {
    std::string said;
    for (std::size_t i = first; i < launcher.message_boxes.size(); ++i)
        said += (said.empty() ? "" : "; ") + quoted(launcher.message_boxes[i].text);
    return said.empty() ? "it showed no message" : "it said " + said;
}

// ---- subcommands ------------------------------------------------------------------------------

nlohmann::json describe_json(const Launcher& launcher) {
    nlohmann::json pages = nlohmann::json::array();
    for (const auto& page : launcher.description().pages) {
        nlohmann::json groups = nlohmann::json::array();
        for (const auto& group : page.groups) {
            nlohmann::json items = nlohmann::json::array();
            for (const auto& item : group.items) {
                nlohmann::json one = {{"key", item.key}, {"type", item_type_name(item.type)},
                                      {"caption", item.caption}};
                if (item.type != ItemType::Caption) {
                    one["default"] = item.default_value ? nlohmann::json(*item.default_value) : nlohmann::json();
                    one["value"] = launcher.get_value(page.name, group.name, item.key).value_or("");
                }
                if (item.min) one["min"] = *item.min;
                if (item.max) one["max"] = *item.max;
                if (item.step) one["step"] = *item.step;
                if (item.maxlength) one["maxlength"] = *item.maxlength;
                if (!item.list.empty()) {
                    one["list"] = nlohmann::json::array();
                    for (const auto& row : item.list) one["list"].push_back({{"key", row.key}, {"label", row.label}});
                }
                items.push_back(std::move(one));
            }
            groups.push_back({{"name", group.name}, {"items", std::move(items)}});
        }
        pages.push_back({{"name", page.name}, {"groups", std::move(groups)}});
    }
    return {{"name", launcher.name()}, {"capabilities", launcher.capabilities()}, {"pages", std::move(pages)}};
}

int describe(const Launcher& launcher, const Options& options, std::ostream& out) {
    if (options.json) return print_json(describe_json(launcher), out), kExitOk;
    out << launcher.name() << " (capabilities " << launcher.capabilities() << ")\n";
    for (const auto& page : launcher.description().pages) {
        out << "page " << page.name << "\n";
        for (const auto& group : page.groups) {
            out << "  group " << group.name << "\n";
            for (const auto& item : group.items) {
                out << "    " << item.key << "  " << item_type_name(item.type);
                if (item.type == ItemType::Caption) {
                    out << "  " << quoted(item.caption) << "\n";
                    continue;
                }
                out << "  " << quoted(item.caption);
                if (item.default_value) out << "  default " << quoted(*item.default_value);
                out << "  value " << quoted(launcher.get_value(page.name, group.name, item.key).value_or(""));
                if (item.min) out << "  min " << *item.min;
                if (item.max) out << "  max " << *item.max;
                if (item.step) out << "  step " << *item.step;
                if (item.maxlength) out << "  maxlength " << *item.maxlength;
                out << "\n";
                for (const auto& row : item.list) out << "      " << row.key << " = " << quoted(row.label) << "\n";
            }
        }
    }
    return kExitOk;
}

int get(const Launcher& launcher, const Options& options, std::ostream& out) {
    const auto [page, group, key] = split_address(options.address);
    const auto value = launcher.get_value(page, group, key);
    if (!value) throw Failure{kExitUsage, "no setting " + options.address + " in the description of " + launcher.name()};
    if (options.json) return print_json({{"setting", options.address}, {"value", *value}}, out), kExitOk;
    out << *value << "\n";
    return kExitOk;
}

// The settings stay as permissive as the launcher's page: an address the browse could not use is
// taken, with a warning.
int set(Launcher& launcher, const Options& options, std::ostream& err) {
    const auto [page, group, key] = split_address(options.address);
    std::string error;
    if (!launcher.set(page, group, key, options.value, &error)) throw Failure{kExitUsage, error};
    save(launcher, options);
    if (options.address == kMasterAddress)
        if (const std::string why = master_address_problem(launcher); !why.empty())
            err << "sdll-host: warning: " << why << " (HOST:PORT, or HOST alone for the default port)\n";
    return kExitOk;
}

int check(Launcher& launcher, const Options& options, std::ostream& out, std::ostream& err) {
    EngineCheck found;
    std::string error;
    if (!check_engine(launcher, &found, &error)) throw Failure{kExitUsage, error};
    if (options.json) print_json(check_json(found), out);
    else print_check(found, out);
    // The plug-in accepts an unset folder (the engine is simply not ready); the person is told.
    if (found.folder.empty()) {
        err << "sdll-host: no engine folder is set, so no game can start; set it with: set "
               "engine/general/enginepath FOLDER/\n";
        return kExitRefused;
    }
    return found.result == 0 ? kExitOk : kExitRefused;
}

int verify(Launcher& launcher, const Options& options, std::ostream& out) {
    std::vector<RequiredFile> files;
    std::string error;
    if (!required_files(launcher, options.verify_iwad, &files, &error)) throw Failure{kExitUsage, error};
    bool all_found = true;
    for (const auto& file : files) out << "required: " << file.path << "\n";
    for (const auto& file : files)
        if (!file.found) out << "missing: " << file.path << "\n", all_found = false;
    return all_found ? kExitOk : kExitRefused;
}

int multicheck(Launcher& launcher, std::ostream& out) {
    const int result = require_export<SDLL_MultiConfig_t>(launcher, "SDLL_MultiConfig")();
    record_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), result);
    out << "SDLL_MultiConfig: " << result << (result == 0 ? " (accepted)" : " (refused)") << "\n";
    return result == 0 ? kExitOk : kExitRefused;
}

// The launcher hands the plug-in full paths, and the engine runs in its own folder.
std::string full_path(const std::string& path) {
    std::error_code ec;
    const std::u8string full = std::filesystem::absolute(std::filesystem::u8path(path), ec).u8string();
    return ec ? path : std::string(full.begin(), full.end());
}

bool exists_as(const std::string& path, bool folder) {
    std::error_code ec;
    const auto p = std::filesystem::u8path(path);
    return folder ? std::filesystem::is_directory(p, ec) : std::filesystem::is_regular_file(p, ec);
}

// `files add` and `files wad-dir`: the full path kept in the settings file; one that is not
// there (yet) is taken with a warning.
int keep_path(Launcher& launcher, std::vector<std::string>* list, bool folder, const Options& options,
              std::ostream& err) {
    list->push_back(full_path(options.file));
    save(launcher, options);
    if (!exists_as(list->back(), folder))
        err << "sdll-host: warning: " << (folder ? "the folder " : "") << list->back() << " does not exist (yet)"
            << (folder ? "" : "; a game starts without it") << "\n";
    return kExitOk;
}

int files_list(const Launcher& launcher, std::ostream& out) {
    for (const auto& path : launcher.files) out << path << "\n";
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
    if (require_export<SDLL_MultiConfig_t>(launcher, "SDLL_MultiConfig")() != 0) {
        record_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), 1);
        throw Failure{kExitRefused, "the plug-in refused the multiplayer settings (SDLL_MultiConfig answered 1; " +
                                        messages_since(launcher, first_message) + "), so the launcher starts no game"};
    }
    record_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), 0);
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

int launch(Launcher& launcher, const Options& options, std::ostream& out, std::ostream& err) {
    std::vector<std::string> entries = options.addresses;
    std::string error;
    if (!launch_addresses(&entries, options.host_entry, options.own_entry, &error)) throw Failure{kExitUsage, error};
    if (options.iwad == frame::kUnknownIwad) err << "sdll-host: note: IWAD 20 names none of the known IWADs\n";
    check_before_launch(launcher, options.iwad);
    warn_missing_extra_files(launcher, err);
    const std::string addresses = counted_list(entries);
    const nlohmann::json args = {options.iwad, options.host_entry, options.own_entry, 0, entries};
    GameStart start(launcher);
    if (is_brannock(launcher)) {
        const std::string player = utf8_to_ansi(options.player);
        require_export<Brannock_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data(), player.c_str());
        start.launched();
        nlohmann::json with_player = args;
        with_player.push_back(options.player);
        record_export(launcher, "SDLL_LaunchMultiplayer", with_player, nullptr);
    } else {
        require_export<Orvento_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data());
        start.launched();
        record_export(launcher, "SDLL_LaunchMultiplayer", args, nullptr);
    }
    return wait_for_game(launcher, "SDLL_MultiplayerFinished", start, options.wait, out, err);
}

// The word a person gave as the subcommand when it names none: the first that is no option or
// option value. CLI11 would only say that a subcommand is required.
std::string unknown_subcommand(const CLI::App& app, const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--") return "";
        if (arg.size() > 1 && arg[0] == '-') {
            const CLI::Option* option = app.get_option_no_throw(arg.substr(0, arg.find('=')));
            if (option && arg.find('=') == std::string::npos && option->get_items_expected_min() > 0) ++i;
            continue;
        }
        for (const CLI::App* sub : app.get_subcommands({}))
            if (sub->check_name(arg)) return "";
        return arg;
    }
    return "";
}

std::vector<std::string> subcommand_names(const CLI::App& app) {
    std::vector<std::string> names;
    for (const CLI::App* sub : app.get_subcommands({})) names.push_back(sub->get_name());
    return names;
}

}  // namespace

int run_sdll_host(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options options;
    CLI::App app{"sdll-host: loads a Vorlane engine plug-in as the launcher does and drives it."};
    app.name("sdll-host");
    app.footer(std::string(kExitCodesHelp) + "\n\n" + kSettingsFileHelp);
    app.set_version_flag("--version", std::string("sdll-host ") + SDLL_VERSION, "print the version and exit");
    app.require_subcommand(1);
    app.fallthrough();   // the options above may also follow the subcommand
    app.add_option("--plugin", options.plugin, "plug-in module (brannock.dll, orvento.so, ...)")
        ->required()
        ->check(CLI::Validator(
            [](std::string& path) { return path.empty() ? "wants the path of a plug-in module, not an empty text" : ""; },
            "PATH"));
    app.add_option("--settings", options.settings,
                   "settings file (format below); a missing one starts empty and is created by set");
    app.add_option("--journal", options.journal, "append every launcher call as a JSON line to this file");
    app.add_flag("--quiet", options.quiet, "do not echo the plug-in's messages on stderr");
    app.add_option("--wad-dir", options.wad_dirs, "also look for game files (a server's PWADs) in this folder, "
                                                  "this run only; repeatable");

    const auto json_flag = [&](CLI::App* cmd) { cmd->add_flag("--json", options.json, "print one JSON document"); };
    auto* describe_cmd = app.add_subcommand("describe", "show the settings pages: groups, items, types, "
                                                        "defaults and current values");
    json_flag(describe_cmd);
    auto* get_cmd = app.add_subcommand("get", "print one setting's current value");
    get_cmd->add_option("address", options.address, "page/group/key")->required();
    json_flag(get_cmd);
    auto* set_cmd = app.add_subcommand("set", "set one setting (checked against its item) and save; a master "
                                              "address the browse could not use is taken with a warning");
    set_cmd->add_option("address", options.address, "page/group/key")->required();
    set_cmd->add_option("value", options.value, "the value: 0/1, a number, a list key or a text")->required();
    auto* check_cmd = app.add_subcommand("check", "check the engine folder (SDLL_EngineConfig) and the files a "
                                                  "game needs (SDLL_Verification): the result, the engine-ready "
                                                  "flag, the IWAD mask (Brannock: any IWAD; Orvento: the IWADs "
                                                  "found, with their numbers), each required file with the path "
                                                  "tried, and what to do when one is missing; exit 1 also when no "
                                                  "engine folder is set");
    json_flag(check_cmd);
    auto* verify_cmd = app.add_subcommand("verify", "ask for the files a game needs (SDLL_Verification) and "
                                                    "check that they exist; exit 1 when one is missing");
    verify_cmd->add_option("iwad", options.verify_iwad, "IWAD number (Orvento only)")->check(CLI::Range(0, 20));
    auto* multicheck_cmd = app.add_subcommand("multicheck", "check the multiplayer settings (SDLL_MultiConfig)");
    auto* files_cmd = app.add_subcommand("files", "the extra game files and WAD folders (kept in the settings file)");
    files_cmd->require_subcommand(1);
    auto* files_add_cmd = files_cmd->add_subcommand("add", "add an extra game file");
    files_add_cmd->add_option("path", options.file, "full path of the file")->required();
    auto* files_list_cmd = files_cmd->add_subcommand("list", "list the extra game files");
    auto* wad_dir_cmd = files_cmd->add_subcommand("wad-dir", "keep a folder searched for a server's PWADs");
    wad_dir_cmd->add_option("folder", options.file, "the folder")->required();
    auto* launch_cmd = app.add_subcommand("launch", "as the launcher starts a game: SDLL_MultiConfig and "
                                                    "SDLL_Verification first (a refusal or a missing file stops it), "
                                                    "then SDLL_LaunchMultiplayer, then SDLL_MultiplayerFinished every "
                                                    "100 ms until it answers 1; exit 1 when no engine process was "
                                                    "created or the engine ended within its first second");
    launch_cmd->add_option("--iwad", options.iwad, "IWAD number 1..20 (20: none of the known IWADs)")
        ->capture_default_str()->check(CLI::Range(1, 20));
    launch_cmd->add_option("--host-entry", options.host_entry, "position of the hosting player in the "
                                                               "address list, from 0")
        ->capture_default_str()->check(CLI::Range(0, 0x7FFF));
    launch_cmd->add_option("--own-entry", options.own_entry, "position of this player in the address list, from 0")
        ->capture_default_str()->check(CLI::Range(0, 0x7FFF));
    launch_cmd->add_option("--address", options.addresses, "a player's address (HOST or HOST:PORT), once per "
                                                           "player, in order; default: 127.0.0.1 alone");
    launch_cmd->add_option("--player", options.player, "this player's name (Brannock)")->capture_default_str();
    launch_cmd->add_option("--timeout", options.wait.timeout_s, "seconds to wait for the finish (above 0, at most "
                                                                "a day)")
        ->capture_default_str()->check(kSeconds);
    // Server browser (Brannock): over real UDP; copy and join pick a browsed server by number, or
    // query one server by --address without a browse.
    BrowserCommand browser;
    auto* browse_cmd = app.add_subcommand("browse", "list the public servers: the master query, every server "
                                                    "queried at once, then a table with each server's status "
                                                    "(answered, cut short, not a server reply, no answer)");
    browse_cmd->add_flag("--json", browser.json, "print one JSON document, also when the browse fails: master, "
                                                 "master_datagrams, master_list, error, servers [{number, address, "
                                                 "port, status, properties}]");
    auto* copy_cmd = app.add_subcommand("copy", "copy a server's settings into the multiplayer page "
                                                "(SDLL_ServerGamesettings) and save them");
    auto* join_cmd = app.add_subcommand("join", "join a server (SDLL_LaunchServer) and poll SDLL_ServerFinished "
                                                "every 100 ms until it answers 1; warns about each PWAD of the "
                                                "server found in no WAD folder; exit 1 when no engine process was "
                                                "created or the engine ended within its first second");
    for (auto* cmd : {copy_cmd, join_cmd}) {
        auto* number = cmd->add_option("number", browser.number, "server number in the browse table")
                           ->check(CLI::Range(1, 1 << 20));
        auto* address = cmd->add_option("--address", browser.address, "query this one server (HOST:PORT, the "
                                                                       "server's UDP port as the ADDRESS column of "
                                                                       "browse shows it) instead of browsing");
        number->excludes(address);
    }
    join_cmd->add_option("--player", browser.player, "this player's name")->capture_default_str();
    join_cmd->add_option("--timeout", browser.wait.timeout_s, "seconds to wait for the finish (above 0, at most a "
                                                              "day)")
        ->capture_default_str()->check(kSeconds);
    for (auto* cmd : {browse_cmd, copy_cmd, join_cmd}) {
        cmd->add_option("--server-wait", browser.browse.server_wait_ms, "milliseconds each server may stay "
                                                                        "silent (1..600000); one retry halfway")
            ->capture_default_str()->check(CLI::Range(1, 600000));
        cmd->add_option("--master", browser.browse.master, "send the master query to HOST:PORT instead of "
                                                           "engine/servers/masteraddress");
        cmd->add_option("--master-wait", browser.browse.master_wait_ms, "milliseconds to wait for the "
                                                                        "master's first datagram (1..600000)")
            ->capture_default_str()->check(CLI::Range(1, 600000));
    }
    for (auto* sub : app.get_subcommands({})) sub->footer(kExitCodesHelp);

    if (const std::string word = unknown_subcommand(app, args); !word.empty()) {
        err << "sdll-host: '" << word << "' is no subcommand" << did_you_mean(word, subcommand_names(app))
            << "; sdll-host --help lists them\n";
        return kExitUsage;
    }
    try {
        std::vector<std::string> reversed(args.rbegin(), args.rend());   // CLI11 takes them last first
        app.parse(reversed);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, out, err);
        return code == 0 ? kExitOk : kExitUsage;
    }

    try {
        std::string error;
        auto launcher = Launcher::open(options.plugin, &error);
        if (!launcher) throw Failure{kExitUsage, error};
        launcher->quiet = options.quiet;
        if (!options.journal.empty()) launcher->set_journal_file(options.journal);
        if (!options.settings.empty() && !launcher->load_settings(options.settings, &error))
            throw Failure{kExitUsage, error};
        launcher->run_wad_dirs = options.wad_dirs;

        if (describe_cmd->parsed()) return describe(*launcher, options, out);
        if (get_cmd->parsed()) return get(*launcher, options, out);
        if (set_cmd->parsed()) return set(*launcher, options, err);
        if (check_cmd->parsed()) return check(*launcher, options, out, err);
        if (verify_cmd->parsed()) return verify(*launcher, options, out);
        if (multicheck_cmd->parsed()) return multicheck(*launcher, out);
        if (files_add_cmd->parsed()) return keep_path(*launcher, &launcher->files, false, options, err);
        if (files_list_cmd->parsed()) return files_list(*launcher, out);
        if (wad_dir_cmd->parsed()) return keep_path(*launcher, &launcher->wad_dirs, true, options, err);
        if (launch_cmd->parsed()) return launch(*launcher, options, out, err);
        if (browse_cmd->parsed() || copy_cmd->parsed() || join_cmd->parsed()) {
            browser.kind = copy_cmd->parsed()   ? BrowserCommand::copy
                           : join_cmd->parsed() ? BrowserCommand::join
                                                : BrowserCommand::list;
            browser.settings_file = options.settings;
            return run_browser_command(*launcher, browser, out, err);
        }
        throw Failure{kExitUsage, "no subcommand given"};
    } catch (const Failure& failure) {
        err << "sdll-host: " << failure.message << "\n";
        return failure.code;
    } catch (const std::exception& e) {
        err << "sdll-host: " << e.what() << "\n";
        return kExitUsage;
    }
}

}  // namespace host
