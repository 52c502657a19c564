// main.cpp: the sdll-host command, the stand-in launcher on the command line.
//
// Loads one plug-in, reads and keeps its settings in a text file, and calls the plug-in's exports
// the way the launcher does: engine check, verification, multiplayer check, launch and the finish
// poll. Every launcher call and every export the command makes lands in the journal.
#include <array>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <thread>

#include <CLI/CLI.hpp>

#include "host/browse.h"
#include "host/host.h"
#include "host/utf.h"

namespace {

enum ExitCode { kExitOk = 0, kExitRefused = 1, kExitUsage = 2 };

constexpr const char* kExitCodesHelp =
    "Exit codes: 0 done (the plug-in accepted), 1 the plug-in refused or the wait timed out, "
    "2 usage, load or settings error.";
constexpr int kFinishPollMs = 100;

// A failure that ends the command with a message and an exit code.
struct Failure {
    int code;
    std::string message;
};

struct Options {
    std::string plugin, settings, journal;
    bool quiet = false;
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

// Journals an export the command called, after it returned.
void note_export(host::Launcher& launcher, const char* name, nlohmann::json args, nlohmann::json result) {
    host::JournalEntry entry;
    entry.slot = kSlotCount;
    entry.name = name;
    entry.args = std::move(args);
    entry.result = std::move(result);
    launcher.record(std::move(entry));
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

// ---- subcommands ------------------------------------------------------------------------------

int describe(const host::Launcher& launcher) {
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

int check(host::Launcher& launcher) {
    const int result = require_export<SDLL_EngineConfig_t>(launcher, "SDLL_EngineConfig")();
    note_export(launcher, "SDLL_EngineConfig", nlohmann::json::array(), result);
    std::cout << "SDLL_EngineConfig: " << result << (result == 0 ? " (accepted)" : " (refused)") << "\n";
    std::cout << "engine ready: " << launcher.engine_ready << "\n";
    if (launcher.iwad_mask) {
        char mask[16];
        std::snprintf(mask, sizeof mask, "0x%X", *launcher.iwad_mask);
        std::cout << "IWAD mask: " << mask << "\n";
    } else {
        std::cout << "IWAD mask: not set\n";
    }
    return result == 0 ? kExitOk : kExitRefused;
}

int verify(host::Launcher& launcher, const Options& options) {
    if (is_brannock(launcher)) {
        require_export<Brannock_Verification_t>(launcher, "SDLL_Verification")();
        note_export(launcher, "SDLL_Verification", nlohmann::json::array(), nullptr);
    } else {
        require_export<Orvento_Verification_t>(launcher, "SDLL_Verification")(options.verify_iwad);
        note_export(launcher, "SDLL_Verification", {options.verify_iwad}, nullptr);
    }
    for (const auto& [folder, name] : launcher.required_files) std::cout << "required: " << folder << name << "\n";
    for (const auto& path : launcher.missing_files) std::cout << "missing: " << path << "\n";
    return launcher.missing_files.empty() ? kExitOk : kExitRefused;
}

int multicheck(host::Launcher& launcher) {
    const int result = require_export<SDLL_MultiConfig_t>(launcher, "SDLL_MultiConfig")();
    note_export(launcher, "SDLL_MultiConfig", nlohmann::json::array(), result);
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
    const std::string addresses = counted_list(options.addresses);
    const nlohmann::json args = {options.iwad, options.host_entry, options.own_entry, 0, options.addresses};
    if (is_brannock(launcher)) {
        const std::string player = host::utf8_to_ansi(options.player);
        require_export<Brannock_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data(), player.c_str());
        nlohmann::json with_player = args;
        with_player.push_back(options.player);
        note_export(launcher, "SDLL_LaunchMultiplayer", with_player, nullptr);
    } else {
        require_export<Orvento_LaunchMultiplayer_t>(launcher, "SDLL_LaunchMultiplayer")(
            options.iwad, options.host_entry, options.own_entry, 0, addresses.data());
        note_export(launcher, "SDLL_LaunchMultiplayer", args, nullptr);
    }

    auto finished = require_export<SDLL_MultiplayerFinished_t>(launcher, "SDLL_MultiplayerFinished");
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(options.timeout);
    for (;;) {
        const int result = finished();
        if (result == 1) {
            note_export(launcher, "SDLL_MultiplayerFinished", nlohmann::json::array(), result);
            std::cout << "game finished\n";
            return kExitOk;
        }
        if (std::chrono::steady_clock::now() >= end) {
            note_export(launcher, "SDLL_MultiplayerFinished", nlohmann::json::array(), result);
            std::cerr << "sdll-host: the game did not finish within " << options.timeout << " seconds\n";
            return kExitRefused;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kFinishPollMs));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app{"sdll-host: loads a Vorlane engine plug-in as the launcher does and drives it."};
    app.footer(kExitCodesHelp);
    app.set_version_flag("--version", std::string("sdll-host ") + SDLL_VERSION, "print the version and exit");
    app.require_subcommand(1);
    app.add_option("--plugin", options.plugin, "plug-in module (brannock.dll, orvento.so, ...)")->required();
    app.add_option("--settings", options.settings,
                   "settings file, lines 'page/group/key = value' and 'file = PATH'; created by set");
    app.add_option("--journal", options.journal, "append every launcher call as a JSON line to this file");
    app.add_flag("--quiet", options.quiet, "do not echo the plug-in's messages on stderr");

    auto* describe_cmd = app.add_subcommand("describe", "show the settings pages: groups, items, types, "
                                                        "defaults and current values");
    auto* get_cmd = app.add_subcommand("get", "print one setting's current value");
    get_cmd->add_option("address", options.address, "page/group/key")->required();
    auto* set_cmd = app.add_subcommand("set", "set one setting (checked against its item) and save");
    set_cmd->add_option("address", options.address, "page/group/key")->required();
    set_cmd->add_option("value", options.value, "the value: 0/1, a number, a list key or a text")->required();
    auto* check_cmd = app.add_subcommand("check", "check the engine folder (SDLL_EngineConfig); print the "
                                                  "result, the engine-ready flag and the IWAD mask");
    auto* verify_cmd = app.add_subcommand("verify", "ask for the files a game needs (SDLL_Verification) and "
                                                    "check that they exist; exit 1 when one is missing");
    verify_cmd->add_option("iwad", options.verify_iwad, "IWAD number (Orvento only)");
    auto* multicheck_cmd = app.add_subcommand("multicheck", "check the multiplayer settings (SDLL_MultiConfig)");
    auto* files_cmd = app.add_subcommand("files", "the extra game files (kept in the settings file)");
    files_cmd->require_subcommand(1);
    auto* files_add_cmd = files_cmd->add_subcommand("add", "add an extra game file");
    files_add_cmd->add_option("path", options.file, "full path of the file")->required();
    auto* files_list_cmd = files_cmd->add_subcommand("list", "list the extra game files");
    auto* launch_cmd = app.add_subcommand("launch", "start a game (SDLL_LaunchMultiplayer) and poll "
                                                    "SDLL_MultiplayerFinished every 100 ms until it answers 1");
    launch_cmd->add_option("--iwad", options.iwad, "IWAD number (1..20)")->capture_default_str();
    launch_cmd->add_option("--host-entry", options.host_entry, "position of the hosting player in the "
                                                               "address list")->capture_default_str();
    launch_cmd->add_option("--own-entry", options.own_entry, "position of this player in the address list")
        ->capture_default_str();
    launch_cmd->add_option("--address", options.addresses, "a player's address, once per player, in order");
    launch_cmd->add_option("--player", options.player, "this player's name (Brannock)")->capture_default_str();
    launch_cmd->add_option("--timeout", options.timeout, "seconds to wait for the finish")->capture_default_str();
    // Server browser (Brannock): over real UDP; copy and join browse first and pick by table number.
    host::BrowserCommand browser;
    auto* browse_cmd = app.add_subcommand("browse", "list the public servers: master query, each server's "
                                                    "query with progress on stderr, then a table");
    auto* copy_cmd = app.add_subcommand("copy", "browse, then copy server N's settings into the multiplayer "
                                                "page (SDLL_ServerGamesettings) and save them");
    copy_cmd->add_option("number", browser.number, "server number in the table")->required();
    auto* join_cmd = app.add_subcommand("join", "browse, then join server N (SDLL_LaunchServer) and poll "
                                                "SDLL_ServerFinished every 100 ms until it answers 1");
    join_cmd->add_option("number", browser.number, "server number in the table")->required();
    join_cmd->add_option("--player", browser.player, "this player's name")->capture_default_str();
    join_cmd->add_option("--timeout", browser.timeout, "seconds to wait for the finish")->capture_default_str();
    for (auto* cmd : {browse_cmd, copy_cmd, join_cmd})
        cmd->add_option("--server-wait", browser.browse.server_wait_ms, "milliseconds to wait for each server")
            ->capture_default_str();
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

        if (describe_cmd->parsed()) return describe(*launcher);
        if (get_cmd->parsed()) return get(*launcher, options);
        if (set_cmd->parsed()) return set(*launcher, options);
        if (check_cmd->parsed()) return check(*launcher);
        if (verify_cmd->parsed()) return verify(*launcher, options);
        if (multicheck_cmd->parsed()) return multicheck(*launcher);
        if (files_add_cmd->parsed()) return files_add(*launcher, options);
        if (files_list_cmd->parsed()) return files_list(*launcher);
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
