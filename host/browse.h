// browse.h: the public server browser of the stand-in launcher, over real UDP.
//
// Drives a Brannock-style plug-in as the launcher does: the master query it builds goes out over
// UDP, the master's datagrams go back to SDLL_MasterserverResponse, every listed server gets the
// plug-in's query and its answer goes to SDLL_ServerResponse. Then a table of the list columns;
// `copy N` hands server N's reply to SDLL_ServerGamesettings, `join N` starts SDLL_LaunchServer
// and polls SDLL_ServerFinished.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/host.h"

namespace host {

struct BrowseOptions {
    int master_wait_ms = 2000;   // for the master's first datagram
    int master_quiet_ms = 300;   // the list is complete after this long without a datagram
    int server_wait_ms = 1000;   // per server
};

struct BrowsedServer {
    Server* server = nullptr;
    std::vector<unsigned char> reply;   // the last datagram it answered with
    bool answered = false;
};

struct BrowseResult {
    bool sent_query = false;            // false: public servers are switched off
    int master_datagrams = 0;
    std::vector<BrowsedServer> servers;
};

// Runs a whole refresh; progress lines go to `progress`. False with `error` set when the plug-in
// lacks an export or the socket cannot be opened.
bool browse(Launcher& launcher, const BrowseOptions& options, std::ostream& progress, BrowseResult* result,
            std::string* error);

// The list as the launcher shows it: number, name, map, type, game, players, limit, address.
std::string server_table(const Launcher& launcher, const BrowseResult& result);

// ---- the sdll-host commands --------------------------------------------------------------------
struct BrowserCommand {
    enum Kind { list, copy, join } kind = list;
    int number = 0;                      // 1-based server number of the table, for copy and join
    std::string player = "Player";       // for join
    double timeout = 600;                // seconds to wait for a joined game to finish
    std::string settings_file;           // copy keeps the settings here when given
    BrowseOptions browse;
};

// Exit codes as sdll-host's: 0 done, 1 refused, no such server or timed out, 2 usage error.
int run_browser_command(Launcher& launcher, const BrowserCommand& command, std::ostream& out, std::ostream& err);

}  // namespace host
