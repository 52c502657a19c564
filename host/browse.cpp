// browse.cpp: the public server browser of the stand-in launcher, over real UDP.
#include "host/browse.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "frame/iwads.h"
#include "host/game.h"
#include "host/os.h"
#include "host/query_schedule.h"
#include "host/udp.h"

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQueryArea = 128;   // room for the plug-in's coded query
constexpr int kMasterFailedLevel = 3;   // the plug-in's report level for a master that refuses
constexpr const char* kAnyAddress = "0.0.0.0";
constexpr const char* kInterruptedNothingWritten = "sdll-host: interrupted: nothing was written and no game started\n";

template <typename Fn>
Fn need(const Launcher& launcher, const char* name, BrowseFailure* failure) {
    Fn fn = launcher.get<Fn>(name);
    if (!fn && failure) *failure = {2, "the plug-in " + launcher.name() + " lacks the export " + name};
    return fn;
}

bool fail(BrowseFailure* failure, int code, std::string message) {
    *failure = {code, std::move(message)};
    return false;
}

// Hands every datagram of the master to the plug-in until the master falls quiet, and notes the
// worst of them.
void read_master(Launcher& launcher, SDLL_MasterserverResponse_t respond, UdpSocket& socket,
                 const BrowseOptions& options, BrowseResult* result) {
    int wait = options.master_wait_ms;
    while (auto got = os::interruption() ? std::nullopt : socket.receive(wait)) {
        const int answer = respond(nullptr, nullptr, got->data.data(), static_cast<int>(got->data.size()));
        record_export(launcher, "SDLL_MasterserverResponse", {static_cast<int>(got->data.size())}, answer);
        ++result->master_datagrams;
        result->master_list = std::max(result->master_list, read_master_list(got->data));
        wait = options.master_quiet_ms;
    }
}

// Why nothing could be sent to host:port; empty when it can be tried.
std::string target_problem(const std::string& host, const std::string& port) {
    if (host.empty()) return "it names no host";
    if (std::any_of(host.begin(), host.end(), [](unsigned char c) { return c <= ' '; }))
        return "its host '" + host + "' holds a blank or control character";
    if (!port_number(port)) return "its port '" + port + "' is outside 1..65535";
    return "";
}

// Hands the reply to the plug-in's settings reading against a scratch copy of the game state, to
// learn what kind of reply it is and which IWAD the server runs; the user's settings stay as
// they were.
void classify(Launcher& launcher, SDLL_ServerGamesettings_t read_settings, BrowsedServer* browsed) {
    const Launcher::GameState saved = launcher.game_state();
    const std::size_t reports = launcher.reports.size();
    const bool quiet = launcher.quiet;
    launcher.quiet = true;
    const int copied = read_settings(nullptr, browsed->reply.data(), static_cast<int>(browsed->reply.size()));
    record_export(launcher, "SDLL_ServerGamesettings", {static_cast<int>(browsed->reply.size())}, copied);
    const bool reported = launcher.reports.size() > reports;
    std::string iwad_name;
    if (copied == 1 && frame::IwadFileName(launcher.iwad, &iwad_name))
        browsed->server->iwad = iwad_name;
    launcher.reports.resize(reports);
    launcher.quiet = quiet;
    launcher.restore_game_state(saved);
    browsed->status = copied == 1 ? ReplyStatus::answered
                      : reported  ? ReplyStatus::cut_short
                                  : ReplyStatus::not_server_reply;
}

std::string key_of(const std::string& address, const std::string& port) { return address + ":" + port; }

// Which of the servers a datagram came from, by its address and port.
class Senders {
public:
    explicit Senders(const std::vector<BrowsedServer>& servers) : servers_(servers) {
        for (std::size_t i = 0; i < servers.size(); ++i)
            by_address_[key_of(servers[i].server->address, servers[i].server->port)] = i;
    }
    std::optional<std::size_t> find(const Received& got) const {
        const auto found = by_address_.find(key_of(got.host, std::to_string(got.port)));
        if (found != by_address_.end()) return found->second;
        // One server asked by name answers from its address: the port tells it.
        if (servers_.size() == 1 && servers_[0].server->port == std::to_string(got.port)) return 0;
        return std::nullopt;
    }

private:
    const std::vector<BrowsedServer>& servers_;
    std::map<std::string, std::size_t> by_address_;
};

// Sends the plug-in's query to one server; false when none could go (a listed port 0, say).
bool send_query(Launcher& launcher, SDLL_ServerQueryData_t query, UdpSocket& socket, const Server& server) {
    unsigned char packet[kQueryArea] = {};
    int length = 0;
    const int made = query(nullptr, nullptr, packet, &length);
    record_export(launcher, "SDLL_ServerQueryData", nlohmann::json::array(), made);
    return length > 0 && length <= kQueryArea &&
           socket.send_to(server.address, server.port, std::span<const unsigned char>(packet, length));
}

std::string info_or_dash(const Launcher& launcher, const Server& server, const char* key) {
    const auto value = launcher.server_info(server, key);
    return value && !value->empty() ? *value : "-";
}

}  // namespace

const char* status_name(ReplyStatus status) {
    switch (status) {
    case ReplyStatus::answered: return "answered";
    case ReplyStatus::cut_short: return "cut short";
    case ReplyStatus::not_server_reply: return "not a server reply";
    case ReplyStatus::no_answer: return "no answer";
    }
    return "?";
}

bool query_servers(Launcher& launcher, const BrowseOptions& options, std::vector<BrowsedServer>* servers,
                   BrowseFailure* failure) {
    auto query = need<SDLL_ServerQueryData_t>(launcher, "SDLL_ServerQueryData", failure);
    auto respond = need<SDLL_ServerResponse_t>(launcher, "SDLL_ServerResponse", failure);
    auto read_settings = need<SDLL_ServerGamesettings_t>(launcher, "SDLL_ServerGamesettings", failure);
    if (!query || !respond || !read_settings) return false;
    UdpSocket socket;
    std::string error;
    if (!socket.open(kAnyAddress, 0, &error)) return fail(failure, 2, error);

    const Senders senders(*servers);
    QuerySchedule schedule(servers->size(), kQueryWindow, std::chrono::milliseconds(options.server_wait_ms));
    for (;;) {
        for (const auto& [i, again] : schedule.due(Clock::now()))
            if (!send_query(launcher, query, socket, *(*servers)[i].server) && !again) schedule.not_sent(i);
        if (schedule.done() || os::interruption()) return true;   // the command tells an interruption
        const auto now = Clock::now();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(schedule.next(now) - now).count();
        auto got = socket.receive(static_cast<int>(std::max<long long>(left, 1)));
        if (!got) continue;
        const auto i = senders.find(*got);
        if (!i || !schedule.answered(*i)) continue;   // stray or late
        BrowsedServer& browsed = (*servers)[*i];
        browsed.reply = std::move(got->data);
        const int answer = respond(Launcher::ref(browsed.server), browsed.reply.data(),
                                   static_cast<int>(browsed.reply.size()));
        record_export(launcher, "SDLL_ServerResponse", {static_cast<int>(browsed.reply.size())}, answer);
        classify(launcher, read_settings, &browsed);
    }
}

namespace {

// The master query the plug-in builds, sent where it says or to --master; false with `failure`
// when none goes out.
bool send_master_query(Launcher& launcher, const BrowseOptions& options, UdpSocket& socket, BrowseResult* result,
                       BrowseFailure* failure) {
    auto ask_master = need<SDLL_QueryMasterserver_t>(launcher, "SDLL_QueryMasterserver", failure);
    if (!ask_master) return false;
    const std::size_t first_sent = launcher.sent.size();
    ask_master();
    record_export(launcher, "SDLL_QueryMasterserver", nlohmann::json::array(), nullptr);
    if (launcher.sent.size() == first_sent)
        return fail(failure, 1, "no master query was sent: public servers are switched off "
                                "(set engine/servers/performquery to 1)");
    Launcher::Datagram query = launcher.sent[first_sent];
    if (!options.master.empty()) {
        const auto master = split_host_port(options.master);
        if (!master) return fail(failure, 2, "--master wants HOST:PORT with a port 1..65535, not '" + options.master + "'");
        query.host = master->first;
        query.port = std::to_string(master->second);
    }
    result->master = query.host + ":" + query.port;
    if (const std::string why = target_problem(query.host, query.port); !why.empty())
        return fail(failure, 1, "the master query cannot go to '" + result->master + "': " + why +
                                    "; set engine/servers/masteraddress to HOST:PORT or give --master HOST:PORT");
    std::string error;
    if (socket.send_to(query.host, query.port, query.data, &error)) return true;
    if (error.rfind(os::kUnresolved, 0) == 0)
        return fail(failure, 1, "the master's name '" + query.host + "' cannot be resolved; check "
                                "engine/servers/masteraddress or give --master HOST:PORT");
    return fail(failure, 1, "the master query was not sent: " + error);
}

// What the master's answer came to, once the plug-in has read it: a failure when it gave no list.
bool judge_master(const Launcher& launcher, const BrowseOptions& options, std::size_t first_report,
                  std::size_t listed, const BrowseResult& result, BrowseFailure* failure) {
    if (result.master_datagrams == 0)
        return fail(failure, 1, "the master " + result.master + " did not answer within " +
                                    std::to_string(options.master_wait_ms) + " ms (is it running? --master-wait "
                                    "sets the wait)");
    for (std::size_t i = first_report; i < launcher.reports.size(); ++i)
        if (launcher.reports[i].level == kMasterFailedLevel)
            return fail(failure, 1, "the master " + result.master + " refused the list: " + launcher.reports[i].text);
    if (listed == 0 && result.master_list == MasterList::not_a_list)
        return fail(failure, 1, "the master " + result.master + " answered with something that is not a server "
                                    "list (is that address a Brannock master?)");
    return true;
}

}  // namespace

bool browse(Launcher& launcher, const BrowseOptions& options, std::ostream& progress, BrowseResult* result,
            BrowseFailure* failure) {
    *result = BrowseResult{};
    auto master_reply = need<SDLL_MasterserverResponse_t>(launcher, "SDLL_MasterserverResponse", failure);
    if (!master_reply) return false;
    UdpSocket socket;
    std::string error;
    if (!socket.open(kAnyAddress, 0, &error)) return fail(failure, 2, error);

    const std::size_t first_server = launcher.servers.size();
    const std::size_t first_report = launcher.reports.size();
    if (!send_master_query(launcher, options, socket, result, failure)) return false;
    progress << "master " << result->master << " asked\n";
    read_master(launcher, master_reply, socket, options, result);
    const std::size_t listed = launcher.servers.size() - first_server;
    if (!judge_master(launcher, options, first_report, listed, *result, failure)) return false;
    progress << "master answered with " << result->master_datagrams << " datagram(s), " << listed << " server(s)";
    if (result->master_list == MasterList::cut_short) progress << "; its list was cut short, so servers may be missing";
    if (result->master_list == MasterList::not_a_list) progress << "; some of it was no server list";
    progress << "\n";

    for (std::size_t i = first_server; i < launcher.servers.size(); ++i)
        result->servers.push_back(BrowsedServer{launcher.servers[i].get(), {}, ReplyStatus::no_answer});
    if (!query_servers(launcher, options, &result->servers, failure)) return false;
    std::map<ReplyStatus, int> counts;
    for (const auto& browsed : result->servers) ++counts[browsed.status];
    progress << "servers:";
    for (const auto& [status, count] : counts) progress << " " << count << " " << status_name(status) << ";";
    progress << "\n";
    return true;
}

std::string server_table(const Launcher& launcher, const BrowseResult& result) {
    constexpr int kColumns = 9;
    struct Row { std::string cells[kColumns]; };
    std::vector<Row> rows;
    rows.push_back({{"#", "STATUS", "NAME", "MAP", "TYPE", "GAME", "PLAYERS", "LIMIT", "ADDRESS"}});
    for (std::size_t i = 0; i < result.servers.size(); ++i) {
        const Server& s = *result.servers[i].server;
        rows.push_back({{std::to_string(i + 1), status_name(result.servers[i].status), info_or_dash(launcher, s, ""),
                         info_or_dash(launcher, s, "MAP"), info_or_dash(launcher, s, "TYPE"),
                         info_or_dash(launcher, s, "GAME"), info_or_dash(launcher, s, "USERS"),
                         info_or_dash(launcher, s, "LIMIT"), s.address + ":" + s.port}});
    }
    std::size_t widths[kColumns] = {};
    for (const Row& row : rows)
        for (int c = 0; c < kColumns; ++c) widths[c] = std::max(widths[c], row.cells[c].size());
    std::ostringstream out;
    for (const Row& row : rows)
        for (int c = 0; c < kColumns; ++c) {
            const bool last = c == kColumns - 1;
            out << std::left << std::setw(last ? 0 : static_cast<int>(widths[c])) << row.cells[c] << (last ? "\n" : "  ");
        }
    return out.str();
}

nlohmann::json browse_json(const BrowseResult& result) {
    nlohmann::json servers = nlohmann::json::array();
    for (std::size_t i = 0; i < result.servers.size(); ++i) {
        const Server& s = *result.servers[i].server;
        nlohmann::json properties = nlohmann::json::object();
        for (const auto& [key, value] : s.info) properties[key] = value;
        const auto port = port_number(s.port);
        servers.push_back({{"number", i + 1},
                           {"address", s.address},
                           {"port", port ? nlohmann::json(*port) : nlohmann::json(s.port)},
                           {"status", status_name(result.servers[i].status)},
                           {"properties", properties}});
    }
    return {{"master", result.master},
            {"master_datagrams", result.master_datagrams},
            {"master_list", result.master_datagrams ? nlohmann::json(master_list_name(result.master_list)) : nullptr},
            {"error", result.error.empty() ? nlohmann::json() : nlohmann::json(result.error)},
            {"servers", servers}};
}

std::string master_address_problem(Launcher& launcher) {
    auto ask_master = launcher.get<SDLL_QueryMasterserver_t>("SDLL_QueryMasterserver");
    if (!ask_master) return "";
    const std::size_t first_sent = launcher.sent.size();
    ask_master();
    record_export(launcher, "SDLL_QueryMasterserver", nlohmann::json::array(), nullptr);
    if (launcher.sent.size() == first_sent) return "";
    const Launcher::Datagram& query = launcher.sent[first_sent];
    const std::string why = target_problem(query.host, query.port);
    return why.empty() ? "" : "the browse cannot ask the master at '" + query.host + ":" + query.port + "': " + why;
}

namespace {

// Why a server cannot be copied or joined; empty when it answered.
std::string refusal(ReplyStatus status) {
    switch (status) {
    case ReplyStatus::answered: return "";
    case ReplyStatus::cut_short: return "sent a reply cut short, so its settings are incomplete";
    case ReplyStatus::not_server_reply: return "answered with something that is not a server reply";
    case ReplyStatus::no_answer: return "did not answer (try a longer --server-wait)";
    }
    return "?";
}

// A copy replaces the files an earlier copy added (the user's own stay): the settings are the
// chosen server's, not a pile of every server copied before.
void drop_copied_files(Launcher& launcher) {
    for (const std::string& copied : launcher.copied_files) {
        const auto at = std::find(launcher.files.rbegin(), launcher.files.rend(), copied);
        if (at != launcher.files.rend()) launcher.files.erase(std::next(at).base());
    }
    launcher.copied_files.clear();
}

int finish(Launcher& launcher, const BrowserCommand& command, const BrowsedServer& chosen, std::ostream& out,
           std::ostream& err) {
    std::string error;
    if (command.kind == BrowserCommand::copy) {
        drop_copied_files(launcher);
        auto copy = launcher.get<SDLL_ServerGamesettings_t>("SDLL_ServerGamesettings");
        const int copied = copy(nullptr, chosen.reply.data(), static_cast<int>(chosen.reply.size()));
        record_export(launcher, "SDLL_ServerGamesettings", {static_cast<int>(chosen.reply.size())}, copied);
        out << "SDLL_ServerGamesettings answered " << copied << "\n";
        if (copied != 1) return 1;
        if (!command.settings_file.empty() && !launcher.save_settings(command.settings_file, &error)) {
            err << "sdll-host: " << error << "\n";
            return 2;
        }
        return 0;
    }
    auto launch = launcher.get<SDLL_LaunchServer_t>("SDLL_LaunchServer");
    if (!launch) return err << "sdll-host: the plug-in " << launcher.name() << " lacks SDLL_LaunchServer\n", 2;
    warn_missing_wad_dirs(launcher, err);
    const std::size_t first_call = launcher.journal().size();
    GameStart start(launcher);
    launch(Launcher::ref(chosen.server), command.player.c_str());
    start.launched();
    record_export(launcher, "SDLL_LaunchServer", {"server", command.player}, nullptr);
    warn_unfound_files(launcher, first_call, err);
    return wait_for_game(launcher, "SDLL_ServerFinished", start, command.wait, out, err);
}

}  // namespace

int run_browser_command(Launcher& launcher, const BrowserCommand& command, std::ostream& out, std::ostream& err) {
    BrowseResult result;
    BrowseFailure failure;
    bool ok = false;
    if (!command.address.empty()) {
        if (const auto target = split_host_port(command.address)) {
            Server* server = launcher.add_server(target->first, std::to_string(target->second));
            result.servers.push_back(BrowsedServer{server, {}, ReplyStatus::no_answer});
            ok = query_servers(launcher, command.browse, &result.servers, &failure);
        } else {
            ok = fail(&failure, 2, "--address wants HOST:PORT with a port 1..65535, not '" + command.address + "'");
        }
    } else {
        ok = browse(launcher, command.browse, err, &result, &failure);
    }
    // Interrupted, a browse, copy or join writes nothing, prints no table and starts no game.
    if (const int interrupted = os::interruption()) {
        err << kInterruptedNothingWritten;
        return interrupted;
    }
    if (!ok) {
        err << "sdll-host: " << failure.message << "\n";
        result.error = failure.message;
        result.servers.clear();
    }
    if (command.kind == BrowserCommand::list) {
        // A script gets one JSON document whatever happened.
        if (command.json) out << browse_json(result).dump(2) << "\n";
        else if (ok) out << server_table(launcher, result);
        return ok ? 0 : failure.code;
    }
    if (!ok) return failure.code;
    if (command.address.empty()) out << server_table(launcher, result);

    const std::size_t index = command.address.empty() ? static_cast<std::size_t>(command.number - 1) : 0;
    if (command.address.empty() && command.number == 0) {
        err << "sdll-host: name the server: its number in the table above, or --address HOST:PORT\n";
        return 2;
    }
    if (command.address.empty() && (command.number < 1 || index >= result.servers.size())) {
        // A number outside the table is a slip of the person, as any other usage error.
        err << "sdll-host: no server number " << command.number << " in the list of " << result.servers.size()
            << " (the numbers 1.." << result.servers.size() << " of the browse table above)\n";
        return 2;
    }
    const BrowsedServer& chosen = result.servers[index];
    if (const std::string why = refusal(chosen.status); !why.empty()) {
        err << "sdll-host: server " << chosen.server->address << ":" << chosen.server->port << " " << why << "\n";
        return 1;
    }
    return finish(launcher, command, chosen, out, err);
}

}  // namespace host
