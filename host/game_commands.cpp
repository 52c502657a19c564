// game_commands.cpp: the sdll-host `launch` command: a multiplayer game started as the launcher
// starts one, and waited for.
#include <ostream>

#include "frame/iwads.h"
#include "host/commands.h"
#include "host/engine_check.h"
#include "host/os.h"
#include "host/utf.h"

namespace host::commands {
namespace {

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
    if (is_brannock(launcher)) {
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

// The IWAD numbers the launcher and the engines share, for the help of `launch --iwad`.
std::string iwad_numbers_help() {
    std::string text = "IWAD numbers (--iwad; Orvento runs those marked *):";
    for (const frame::IwadRow& row : frame::iwad_table())
        text += (row.number % 5 == 1 ? "\n  " : ", ") + std::to_string(row.number) + " " + row.file +
                (row.orvento ? "*" : "");
    return text + ", " + std::to_string(frame::kUnknownIwad) + " any other IWAD";
}

}  // namespace

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

}  // namespace host::commands
