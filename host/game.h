// game.h: waiting for a started game to end, as the launcher polls the finish export.
//
// Shared by `launch` (SDLL_MultiplayerFinished) and `join` (SDLL_ServerFinished). A finish that
// answers 1 at the very first poll means nothing ran; when the fake engine records its starts
// (FAKE_ENGINE_LOG), its log decides whether an engine started after all, and the command lines
// and response files it recorded are printed for the person at the keyboard.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host.h"

namespace host {

// Completes and checks the players' address list of a launch: no entries means the host alone on
// this machine (127.0.0.1); each entry is HOST or HOST:PORT of at most 255 characters (the
// plug-ins' buffers) without blanks, with a port 1..65535; both positions must name an entry.
bool launch_addresses(std::vector<std::string>* entries, int host_entry, int own_entry, std::string* error);

// The fake engine's start records written after a mark.
class EngineRecord {
public:
    EngineRecord();                          // marks the log's current end (no log: nothing)
    bool in_use() const { return !path_.empty(); }
    std::vector<nlohmann::json> new_starts() const;

private:
    std::string path_;
    std::uintmax_t mark_ = 0;
};

// Prints each start: its command line and, when it had one, its response file.
void print_starts(const std::vector<nlohmann::json>& starts, std::ostream& out);

// Polls `finish_export` every 100 ms until it answers 1 or `timeout_s` passes. Exit code as
// sdll-host's: 0 the game ran and ended, 1 it never started or did not end in time, 2 the plug-in
// lacks the export.
int wait_for_game(Launcher& launcher, const char* finish_export, double timeout_s, const EngineRecord& record,
                  std::ostream& out, std::ostream& err);

}  // namespace host
