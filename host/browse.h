// browse.h: the public server browser of the stand-in launcher, over real UDP.
//
// Drives a Brannock-style plug-in as the launcher does: the master query it builds goes out over
// UDP, the master's datagrams go back to SDLL_MasterserverResponse, every listed server gets the
// plug-in's query and its answer goes to SDLL_ServerResponse. Queries go out to many servers at
// once and the answers are matched by address and port. Then a table (or JSON) of the list
// columns; `copy` hands a server's reply to SDLL_ServerGamesettings, `join` starts
// SDLL_LaunchServer and polls SDLL_ServerFinished. A server is picked by its table number or
// queried on its own by address.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/game.h"
#include "host/host.h"
#include "host/master_list.h"

namespace host {

struct BrowseOptions {
    std::string master;          // "HOST:PORT" the master query goes to; empty: where the plug-in sends it
    int master_wait_ms = 2000;   // for the master's first datagram
    int master_quiet_ms = 300;   // the list is complete after this long without a datagram
    int server_wait_ms = 1000;   // how long each server query may stay unanswered; one retry halfway
};

// What a server's answer turned out to be. The plug-in's settings reading tells a reply cut short
// (it reports one) from a reply that is no server reply at all (it refuses it silently).
enum class ReplyStatus { answered, cut_short, not_server_reply, no_answer };
const char* status_name(ReplyStatus status);   // "answered", "cut short", "not a server reply", "no answer"

struct BrowsedServer {
    Server* server = nullptr;
    std::vector<unsigned char> reply;   // the first datagram it answered with
    ReplyStatus status = ReplyStatus::no_answer;
};

struct BrowseResult {
    std::string master;                 // "host:port" the query went to
    int master_datagrams = 0;
    MasterList master_list = MasterList::whole;   // the worst of its datagrams
    std::vector<BrowsedServer> servers;
    std::string error;                  // why there is no list; empty when there is one
};

// A browse that could not produce a list, with sdll-host's exit code (1 the master failed the
// user, 2 a usage or set-up error).
struct BrowseFailure {
    int code = 0;
    std::string message;
};

// Runs a whole refresh; progress lines go to `progress`. False with `failure` set when there is
// no list: public servers switched off, the master's address unusable or unresolvable, the
// master silent, outdated or answering with no server list, a missing export, no socket.
bool browse(Launcher& launcher, const BrowseOptions& options, std::ostream& progress, BrowseResult* result,
            BrowseFailure* failure);

// Queries the servers of `servers` (already in the launcher's list) all at once, at most
// kQueryWindow in flight, and fills in their replies and statuses.
constexpr std::size_t kQueryWindow = 64;
bool query_servers(Launcher& launcher, const BrowseOptions& options, std::vector<BrowsedServer>* servers,
                   BrowseFailure* failure);

// Why the browse could not send the master query where the plug-in sends it with the current
// settings (asked of SDLL_QueryMasterserver, nothing goes out); empty when it could, or when
// public servers are off.
std::string master_address_problem(Launcher& launcher);

// The list as the launcher shows it: number, status, name, map, type, game, players, limit, address.
std::string server_table(const Launcher& launcher, const BrowseResult& result);
// The same as one JSON document: {"master", "master_datagrams", "master_list", "error",
// "servers": [{"number", "address", "port", "status", "properties": {key: value, ...}}]}; ports
// are numbers, "master_list" is null when the master sent nothing, properties stand under the
// keys the plug-in used (the server name under the empty key), and "error" is null unless the
// browse failed.
nlohmann::json browse_json(const BrowseResult& result);

// ---- the sdll-host commands --------------------------------------------------------------------
struct BrowserCommand {
    enum Kind { list, copy, join } kind = list;
    int number = 0;                      // 1-based server number of the table, for copy and join
    std::string address;                 // "HOST:PORT": query this one server instead of a browse
    std::string player = "Player";       // for join
    GameWait wait;                       // for a joined game
    std::string settings_file;           // copy keeps the settings here when given
    bool json = false;                   // browse: print JSON instead of the table
    BrowseOptions browse;
};

// Exit codes as sdll-host's: 0 done, 1 refused, no such server, master failure or timed out,
// 2 usage error.
int run_browser_command(Launcher& launcher, const BrowserCommand& command, std::ostream& out, std::ostream& err);

}  // namespace host
