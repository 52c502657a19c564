// main.cpp: the sdll-host command, the stand-in launcher on the command line.
//
// Loads one plug-in, reads and keeps its settings in a text file, and calls the plug-in's exports
// the way the launcher does: engine check, verification, multiplayer check, launch and the finish
// poll. Every launcher call and every export the command makes lands in the journal.
#include <array>
#include <cstdio>
#include <iostream>

#include <CLI/CLI.hpp>

#include "frame/iwads.h"
#include "host/browse.h"
#include "host/engine_check.h"
#include "host/game.h"
#include "host/host.h"
#include "host/udp.h"
#include "host/utf.h"

namespace {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done (the plug-in accepted), 1 the plug-in refused or the wait timed out, "
    "2 usage, load or settings error.";
constexpr const char* kSettingsFileHelp =
    "The settings file (--settings) is plain text, one entry a line: 'page/group/key = value' for a "
    "setting (see describe), 'file = PATH' for each extra game file in order, 'wad-dir = FOLDER' for "
    "each folder searched when a server's PWADs are looked up; blank lines and lines starting with # "
    "are passed over; a value with outer blanks, a leading quote or a line break is a JSON string. A "
    "missing file starts empty; a file that cannot be read or parsed is an error (exit 2), never "
    "overwritten. Saving writes FILE.tmp and renames it over FILE.";

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
    double timeout = 600;
};

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
Fn require_export(const host::Launcher& launcher, const char* name) {
    Fn fn = launcher.get<Fn>(name);
    if (!fn) throw Failure{kExitUsage, "the plug-in " + launcher.name() + " lacks the export " + name};
    return fn;
}

std::string quoted(const std::string& text) {
    return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

bool is_brannock(const host::Launcher& launcher) { return launcher.name() == "Brannock"; }

void save(const host::Launcher& launcher, const Options& options) {
    if (options.settings.empty()) throw Failure{kExitUsage, "this needs --settings FILE to keep the change"};
    std::string error;
    if (!launcher.save_settings(options.settings, &error)) throw Failure{kExitUsage, error};
}

void print_json(const nlohmann::json& document) {
    std::cout << document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
}

// ---- subcommands ------------------------------------------------------------------------------

nlohmann::json describe_json(const host::Launcher& launcher) {
    nlohmann::json pages = nlohmann::json::array();
    for (const auto& page : launcher.description().pages) {
        nlohmann::json groups = nlohmann::json::array();
        for (const auto& group : page.groups) {
            nlohmann::json items = nlohmann::json::array();
            for (const auto& item : group.items) {
                nlohmann::json one = {{"key", item.key}, {"type", host::item_type_name(item.type)},
                                      {"caption", item.caption}};
                if (item.type != host::ItemType::Caption) {
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

int describe(const host::Launcher& launcher, const Options& options) {
    if (options.json) return print_json(describe_json(launcher)), kExitOk;
    std::cout << launcher.name() << " (capabilities " << launcher.capabilities() << ")\n";
    for (const auto& page : launcher.description().pages) {
        std::cout << "page " << page.name << "\n";
        for (const auto& group : page.groups) {
            std::cout << "  group " << group.name << "\n";
            for (const auto& item : group.items) {
                std::cout << "    " << item.key << "  " << host::item_type_name(item.type);
                if (item.type == host::ItemType::Caption) {
                    std::cout << "  " << quoted(item.caption) << "\n";
                    continue;
                }
                std::cout << "  " << quoted(item.caption);
                if (item.default_value) std::cout << "  default " << quoted(*item.default_value);
                std::cout << "  value " << quoted(launcher.get_value(page.name, group.name, item.key).value_or(""));
                if (item.min) std::cout << "  min " << *item.min;
                if (item.max) std::cout << "  max " << *item.max;
                if (item.step) std::cout << "  step " << *item.step;
                if (item.maxlength) std::cout << "  maxlength " << *item.maxlength;
                std::cout << "\n";
                for (const auto& row : item.list) std::cout << "      " << row.key << " = " << quoted(row.label) << "\n";
            }
        }
    }
    return kExitOk;
}

int get(const host::Launcher& launcher, const Options& options) {
    const auto [page, group, key] = split_address(options.address);
    const auto value = launcher.get_value(page, group, key);
    if (!value) throw Failure{kExitUsage, "no setting " + options.address + " in the description of " + launcher.name()};
    if (options.json) return print_json({{"setting", options.address}, {"value", *value}}), kExitOk;
    std::cout << *value << "\n";
    return kExitOk;
}

int set(host::Launcher& launcher, const Options& options) {
    const auto [page, group, key] = split_address(options.address);
    std::string error;
    if (!launcher.set(page, group, key, options.value, &error)) throw Failure{kExitUsage, error};
    save(launcher, options);
    return kExitOk;
}

int check(host::Launcher& launcher, const Options& options) {
    host::EngineCheck found;
    std::string error;
    if (!host::check_engine(launcher, &found, &error)) throw Failure{kExitUsage, error};
    if (options.json) print_json(host::check_json(found));
    else host::print_check(found, std::cout);
    return found.result == 0 ? kExitOk : kExitRefused;
}

int verify(host::Launcher& launcher, const Options& options) {
    if (is_brannock(launcher)) {
        require_export<Brannock_Verification_t>(launcher, "SDLL_Verification")();
        host::record_export(launcher, "SDLL_Verification", nlohmann::json::array(), nullptr);
    } else {
        require_export<Orvento_Verification_t>(launcher, "SDLL_Verification")(options.verify_iwad);
        host::record_export(launcher, "SDLL_Verification", {options.verify_iwad}, nullptr);
    }
    for (const auto& [folder, name] : launcher.required_files) std::cout << "required: " << folder << name << "\n";
    for (const auto& path : launcher.missing_files) std::cout << "missing: " << path << "\n";
    return launcher.missing_files.empty() ? kExitOk : kExitRefused;
}

int multicheck(host::Launcher& launcher) {
    const int result = require_export<SDLL_MultiConfig_t>(launcher, "SDLL_MultiConfig")();
    host::record_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), result);
    std::cout << "SDLL_MultiConfig: " << result << (result == 0 ? " (accepted)" : " (refused)") << "\n";
    return result == 0 ? kExitOk : kExitRefused;
}

int files_add(host::Launcher& launcher, const Options& options) {
    launcher.files.push_back(options.file);
    save(launcher, options);
    return kExitOk;
}

int files_list(const host::Launcher& launcher) {
    for (const auto& path : launcher.files) std::cout << path << "\n";
    return kExitOk;
}

// The players' addresses as the launcher passes them: each entry a 16-bit little-endian length
// and that many bytes.
std::string counted_list(const std::vector<std::string>& entries) {
    std::string list;
    for (const auto& entry : entries) {
        const std::string ansi = host::utf8_to_ansi(entry);
        if (ansi.size() > 0x7FFF) throw Failure{kExitUsage, "address too long: " + entry};
        list += static_cast<char>(ansi.size() & 0xFF);
        list += static_cast<char>(ansi.size() >> 8);
        list += ansi;
    }
    return list;
}

int launch(host::Launcher& launcher, const Options& options) {
    std::vector<std::string> entries = options.addresses;
    std::string error;
    if (!host::launch_addresses(&entries, options.host_entry, options.own_entry, &error))
        throw Failure{kExitUsage, error};
    if (options.iwad == frame::kUnknownIwad) std::cerr << "sdll-host: note: IWAD 20 names none of the known IWADs\n";
    const std::string addresses = counted_list(entries);
    const nlohmann::json args = {options.iwad, options.host_entry, options.own_entry, 0, entries};
    const host::EngineRecord record;
    if (is_brannock(launcher)) {
        const std::string player = host::utf8_to_ansi(options.player);
        require_export<Brannock_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data(), player.c_str());
        nlohmann::json with_player = args;
        with_player.push_back(options.player);
        host::record_export(launcher, "SDLL_LaunchMultiplayer", with_player, nullptr);
    } else {
        require_export<Orvento_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data());
        host::record_export(launcher, "SDLL_LaunchMultiplayer", args, nullptr);
    }
    return host::wait_for_game(launcher, "SDLL_MultiplayerFinished", options.timeout, record, std::cout, std::cerr);
}

int wad_dir_add(host::Launcher& launcher, const Options& options) {
    launcher.wad_dirs.push_back(options.file);
    save(launcher, options);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"sdll-host: loads a Vorlane engine plug-in as the launcher does and drives it."};
    app.footer(std::string(kExitCodesHelp) + "\n\n" + kSettingsFileHelp);
    app.set_version_flag("--version", std::string("sdll-host ") + SDLL_VERSION, "print the version and exit");
    app.require_subcommand(1);
    app.fallthrough();   // the options above may also follow the subcommand
    app.add_option("--plugin", options.plugin, "plug-in module (brannock.dll, orvento.so, ...)")->required();
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
    auto* set_cmd = app.add_subcommand("set", "set one setting (checked against its item) and save");
    set_cmd->add_option("address", options.address, "page/group/key")->required();
    set_cmd->add_option("value", options.value, "the value: 0/1, a number, a list key or a text")->required();
    auto* check_cmd = app.add_subcommand("check", "check the engine folder (SDLL_EngineConfig) and the files a "
                                                  "game needs (SDLL_Verification): the result, the engine-ready "
                                                  "flag, the IWADs found with their numbers, each required file "
                                                  "with the path tried, and what to do when one is missing");
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
    auto* launch_cmd = app.add_subcommand("launch", "start a game (SDLL_LaunchMultiplayer) and poll "
                                                    "SDLL_MultiplayerFinished every 100 ms until it answers 1; "
                                                    "exit 1 when the engine did not start");
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
    launch_cmd->add_option("--timeout", options.timeout, "seconds to wait for the finish (more than 0)")
        ->capture_default_str()->check(CLI::PositiveNumber);
    // Server browser (Brannock): over real UDP; copy and join pick a browsed server by number, or
    // query one server by --address without a browse.
    host::BrowserCommand browser;
    auto* browse_cmd = app.add_subcommand("browse", "list the public servers: the master query, every server "
                                                    "queried at once, then a table with each server's status "
                                                    "(answered, cut short, not a server reply, no answer)");
    browse_cmd->add_flag("--json", browser.json, "print one JSON document: master, master_datagrams, servers "
                                                 "[{number, address, port, status, properties}]");
    auto* copy_cmd = app.add_subcommand("copy", "copy a server's settings into the multiplayer page "
                                                "(SDLL_ServerGamesettings) and save them");
    auto* join_cmd = app.add_subcommand("join", "join a server (SDLL_LaunchServer) and poll SDLL_ServerFinished "
                                                "every 100 ms until it answers 1; exit 1 when the engine did not "
                                                "start");
    for (auto* cmd : {copy_cmd, join_cmd}) {
        auto* number = cmd->add_option("number", browser.number, "server number in the browse table")
                           ->check(CLI::Range(1, 1 << 20));
        auto* address = cmd->add_option("--address", browser.address, "query this one server (HOST:PORT) "
                                                                       "instead of browsing");
        number->excludes(address);
    }
    join_cmd->add_option("--player", browser.player, "this player's name")->capture_default_str();
    join_cmd->add_option("--timeout", browser.timeout, "seconds to wait for the finish (more than 0)")
        ->capture_default_str()->check(CLI::PositiveNumber);
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

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? kExitOk : kExitUsage;
    }

    try {
        std::string error;
        auto launcher = host::Launcher::open(options.plugin, &error);
        if (!launcher) throw Failure{kExitUsage, error};
        launcher->quiet = options.quiet;
        if (!options.journal.empty()) launcher->set_journal_file(options.journal);
        if (!options.settings.empty() && !launcher->load_settings(options.settings, &error))
            throw Failure{kExitUsage, error};
        launcher->run_wad_dirs = options.wad_dirs;

        if (describe_cmd->parsed()) return describe(*launcher, options);
        if (get_cmd->parsed()) return get(*launcher, options);
        if (set_cmd->parsed()) return set(*launcher, options);
        if (check_cmd->parsed()) return check(*launcher, options);
        if (verify_cmd->parsed()) return verify(*launcher, options);
        if (multicheck_cmd->parsed()) return multicheck(*launcher);
        if (files_add_cmd->parsed()) return files_add(*launcher, options);
        if (files_list_cmd->parsed()) return files_list(*launcher);
        if (wad_dir_cmd->parsed()) return wad_dir_add(*launcher, options);
        if (launch_cmd->parsed()) return launch(*launcher, options);
        if (browse_cmd->parsed() || copy_cmd->parsed() || join_cmd->parsed()) {
            browser.kind = copy_cmd->parsed()   ? host::BrowserCommand::copy
                           : join_cmd->parsed() ? host::BrowserCommand::join
                                                : host::BrowserCommand::list;
            browser.settings_file = options.settings;
            return host::run_browser_command(*launcher, browser, std::cout, std::cerr);
        }
        throw Failure{kExitUsage, "no subcommand given"};
    } catch (const Failure& failure) {
        std::cerr << "sdll-host: " << failure.message << "\n";
        return failure.code;
    } catch (const std::exception& e) {
        std::cerr << "sdll-host: " << e.what() << "\n";
        return kExitUsage;
    }
}
