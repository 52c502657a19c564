// game.h: telling whether a launch started an engine, and waiting for the game to end, as the
// launcher polls the finish export.
//
// Shared by `launch` (SDLL_MultiplayerFinished) and `join` (SDLL_ServerFinished). A start is told
// by whether the launch export created a process (host/os.h counts them, ended ones included),
// and with the fake engine (FAKE_ENGINE_LOG) also by its record; never by the first poll alone.
// An engine that ends within its first second ended at once: a real engine does that when its
// command line is wrong. The command lines and response files the fake engine recorded are
// printed for the person at the keyboard. Where the system names the processes a launch started
// (posix), only the records of those processes are this launch's, so two stand-ins sharing one
// log do not take each other's engines; a Windows job counts processes without naming the ended
// ones, so there every record written since the launch is taken as its own.
#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host.h"
#include "host/os.h"

namespace host {

// Completes and checks the players' address list of a launch: no entries means the host alone on
// this machine (127.0.0.1); each entry is HOST or HOST:PORT of at most 255 characters (the
// plug-ins' buffers) without blanks, with a port 1..65535; both positions must name an entry.
bool launch_addresses(std::vector<std::string>* entries, int host_entry, int own_entry, std::string* error);

// The extra game files as the engine is to get them: a bare name (a server's file, copied by
// name) looked up in the WAD folders as a join looks up a server's PWADs, and passed as the full
// path found; a file found nowhere, bare or full path, left out with a warning on `err`.
std::vector<std::string> files_for_game(const Launcher& launcher, std::ostream& err);
// Warnings on `err`, by name, about what the engine would start without: each WAD folder (kept,
// or this run's) that is not there; each file the plug-in asked for by name since journal entry
// `first` (a server's PWADs, Host_FindFile) that no WAD folder holds.
void warn_missing_wad_dirs(const Launcher& launcher, std::ostream& err);
void warn_unfound_files(const Launcher& launcher, std::size_t first, std::ostream& err);

// The fake engine's start records written after a mark.
class EngineRecord {
public:
    EngineRecord();                          // marks the log's current end (no log: nothing)
    bool in_use() const { return !path_.empty(); }
    // The starts written since the mark; with `ids`, only those of these process numbers.
    std::vector<nlohmann::json> new_starts(const std::optional<std::vector<unsigned long>>& ids) const;
    // The starts since the mark whose engine has not ended by itself (wrote no end record).
    std::vector<nlohmann::json> still_running() const;

private:
    std::vector<nlohmann::json> new_events() const;
    std::string path_;
    std::uintmax_t mark_ = 0;
};

// Prints each start: its command line and, when it had one, its response file.
void print_starts(const std::vector<nlohmann::json>& starts, std::ostream& out);

struct GameWait {
    double timeout_s = 600;    // how long the game may run
    double at_once_s = 1;      // a game over this soon after the launch ended at once
};

// Marks taken just before a launch export, against which its starts are told afterwards.
class GameStart {
public:
    explicit GameStart(const Launcher& launcher);
    // Right after the launch export returned, before the first finish poll (which reaps an
    // engine that has already ended): counts the processes it created.
    void launched();

    const std::optional<os::StartedProcesses>& processes() const { return processes_; }   // nothing: not counted
    const EngineRecord& record() const { return record_; }
    std::chrono::steady_clock::time_point launched_at() const { return launched_at_; }
    std::size_t first_message() const { return first_message_; }

private:
    os::ProcessMark mark_;
    EngineRecord record_;
    std::size_t first_message_;
    std::optional<os::StartedProcesses> processes_;
    std::chrono::steady_clock::time_point launched_at_;
};

// What the plug-in showed the user (Host_MessageBox) since message number `first`, quoted: "it
// said ..." or "it showed no message".
std::string plugin_said(const Launcher& launcher, std::size_t first);

// Polls `finish_export` every 100 ms until it answers 1, the time is up or the stand-in is
// interrupted (os::interruption), then says what happened. A game it stops waiting for goes on,
// as when the launcher is closed: it says so, names the engines still running (a hosted server
// among them) and where the user's earlier doomargs.tmp is kept when a doomargs.tmp.bak is in
// the engine folder. Exit code as sdll-host's: 0 the game ran and ended, 1 no engine started, it
// ended at once or did not end in time, 2 the plug-in lacks the export, 130 or 143 interrupted.
int wait_for_game(Launcher& launcher, const char* finish_export, const GameStart& start, const GameWait& wait,
                  std::ostream& out, std::ostream& err);

}  // namespace host
