// browse.cpp: the public server browser of the stand-in launcher, over real UDP.
#include "host/browse.h"

#include <algorithm>
#include <chrono>
#include <iomanip>
#include <map>
#include <ostream>
#include <sstream>

#include "frame/iwads.h"
#include "host/game.h"
#include "host/os.h"
#include "host/udp.h"

namespace host {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kQueryArea = 128;   // room for the plug-in's coded query
constexpr int kMasterFailedLevel = 3;   // the plug-in's report level for a master that refuses
constexpr const char* kAnyAddress = "0.0.0.0";

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

int read_master(Launcher& launcher, SDLL_MasterserverResponse_t respond, UdpSocket& socket,
                const BrowseOptions& options) {
    int datagrams = 0;
    int wait = options.master_wait_ms;
    while (auto got = socket.receive(wait)) {
        const int answer = respond(nullptr, nullptr, got->data.data(), static_cast<int>(got->data.size()));
        record_export(launcher, "SDLL_MasterserverResponse", {static_cast<int>(got->data.size())}, answer);
        ++datagrams;
        wait = options.master_quiet_ms;
    }
    return datagrams;
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

// One server's query on its way.
struct Pending {
    Clock::time_point sent_at;
    bool in_flight = false;
    bool retried = false;
};

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

    std::map<std::string, std::size_t> by_address;
    for (std::size_t i = 0; i < servers->size(); ++i)
        by_address[key_of((*servers)[i].server->address, (*servers)[i].server->port)] = i;
    std::vector<Pending> pending(servers->size());
    const auto wait = std::chrono::milliseconds(options.server_wait_ms);
    const auto halfway = wait / 2;

    auto send = [&](std::size_t i) {
        unsigned char packet[kQueryArea] = {};
        int length = 0;
        const int made = query(nullptr, nullptr, packet, &length);
        record_export(launcher, "SDLL_ServerQueryData", nlohmann::json::array(), made);
        const Server& server = *(*servers)[i].server;
        return length > 0 && length <= kQueryArea &&
               socket.send_to(server.address, server.port, std::span<const unsigned char>(packet, length));
    };
    auto take = [&](Received& got) {
        auto found = by_address.find(key_of(got.host, std::to_string(got.port)));
        // One server asked by name answers from its address: the port tells it.
        if (found == by_address.end() && servers->size() == 1 && (*servers)[0].server->port == std::to_string(got.port))
            found = by_address.begin();
        if (found == by_address.end() || !pending[found->second].in_flight) return false;   // stray or late
        BrowsedServer& browsed = (*servers)[found->second];
        pending[found->second].in_flight = false;
        browsed.reply = std::move(got.data);
        const int answer = respond(Launcher::ref(browsed.server), browsed.reply.data(),
                                   static_cast<int>(browsed.reply.size()));
        record_export(launcher, "SDLL_ServerResponse", {static_cast<int>(browsed.reply.size())}, answer);
        classify(launcher, read_settings, &browsed);
        return true;
    };

    std::size_t next = 0, in_flight = 0;
    for (;;) {
        for (; in_flight < kQueryWindow && next < servers->size(); ++next) {
            if (!send(next)) continue;   // a listed port 0, say: stays "no answer"
            pending[next] = {Clock::now(), true, false};
            ++in_flight;
        }
        // Expire the silent ones, retry those silent for half their wait, and find the next of
        // those moments to wake at.
        const auto now = Clock::now();
        auto wake = now + wait;
        for (std::size_t i = 0; i < pending.size(); ++i) {
            Pending& p = pending[i];
            if (!p.in_flight) continue;
            if (now >= p.sent_at + wait) {
                p.in_flight = false;
                --in_flight;
                continue;
            }
            if (!p.retried && now >= p.sent_at + halfway) {
                p.retried = true;
                send(i);
            }
            wake = std::min(wake, p.retried ? p.sent_at + wait : p.sent_at + halfway);
        }
        if (in_flight == 0 && next == servers->size()) return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(wake - now).count();
        if (auto got = socket.receive(static_cast<int>(std::max<long long>(left, 1)))) {
            if (take(*got)) --in_flight;
        }
    }
}

bool browse(Launcher& launcher, const BrowseOptions& options, std::ostream& progress, BrowseResult* result,
            BrowseFailure* failure) {
    *result = BrowseResult{};
    auto ask_master = need<SDLL_QueryMasterserver_t>(launcher, "SDLL_QueryMasterserver", failure);
    auto master_reply = need<SDLL_MasterserverResponse_t>(launcher, "SDLL_MasterserverResponse", failure);
    if (!ask_master || !master_reply) return false;

    UdpSocket socket;
    std::string error;
    if (!socket.open(kAnyAddress, 0, &error)) return fail(failure, 2, error);

    const std::size_t first_sent = launcher.sent.size();
    const std::size_t first_server = launcher.servers.size();
    const std::size_t first_report = launcher.reports.size();
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
    if (!socket.send_to(query.host, query.port, query.data, &error)) {
        if (error.rfind(os::kUnresolved, 0) == 0)
            return fail(failure, 1, "the master's name '" + query.host + "' cannot be resolved; check "
                                    "engine/servers/masteraddress or give --master HOST:PORT");
        return fail(failure, 1, "the master query was not sent: " + error);
    }
    progress << "master " << result->master << " asked\n";
    result->master_datagrams = read_master(launcher, master_reply, socket, options);
    if (result->master_datagrams == 0)
        return fail(failure, 1, "the master " + result->master + " did not answer within " +
                                    std::to_string(options.master_wait_ms) + " ms (is it running? --master-wait "
                                    "sets the wait)");
    for (std::size_t i = first_report; i < launcher.reports.size(); ++i)
        if (launcher.reports[i].level == kMasterFailedLevel)
            return fail(failure, 1, "the master " + result->master + " refused the list: " + launcher.reports[i].text);
    const std::size_t listed = launcher.servers.size() - first_server;
    progress << "master answered with " << result->master_datagrams << " datagram(s), " << listed << " server(s)\n";

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
        servers.push_back({{"number", i + 1},
                           {"address", s.address},
                           {"port", s.port},
                           {"status", status_name(result.servers[i].status)},
                           {"properties", properties}});
    }
    return {{"master", result.master}, {"master_datagrams", result.master_datagrams}, {"servers", servers}};
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

int finish(Launcher& launcher, const BrowserCommand& command, const BrowsedServer& chosen, std::ostream& out,
           std::ostream& err) {
    std::string error;
    if (command.kind == BrowserCommand::copy) {
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
    const EngineRecord record;
    launch(Launcher::ref(chosen.server), command.player.c_str());
    record_export(launcher, "SDLL_LaunchServer", {"server", command.player}, nullptr);
    return wait_for_game(launcher, "SDLL_ServerFinished", command.timeout, record, out, err);
}

}  // namespace

int run_browser_command(Launcher& launcher, const BrowserCommand& command, std::ostream& out, std::ostream& err) {
    BrowseResult result;
    BrowseFailure failure;
    bool ok = false;
    if (!command.address.empty()) {
        const auto target = split_host_port(command.address);
        if (!target) {
            err << "sdll-host: --address wants HOST:PORT with a port 1..65535, not '" << command.address << "'\n";
            return 2;
        }
        Server* server = launcher.add_server(target->first, std::to_string(target->second));
        result.servers.push_back(BrowsedServer{server, {}, ReplyStatus::no_answer});
        ok = query_servers(launcher, command.browse, &result.servers, &failure);
    } else {
        ok = browse(launcher, command.browse, err, &result, &failure);
    }
    if (!ok) {
        err << "sdll-host: " << failure.message << "\n";
        return failure.code;
    }
    if (command.kind == BrowserCommand::list) {
        if (command.json) out << browse_json(result).dump(2) << "\n";
        else out << server_table(launcher, result);
        return 0;
    }
    if (command.address.empty()) out << server_table(launcher, result);

    const std::size_t index = command.address.empty() ? static_cast<std::size_t>(command.number - 1) : 0;
    if (command.address.empty() && command.number == 0) {
        err << "sdll-host: name the server: its number in the table above, or --address HOST:PORT\n";
        return 2;
    }
    if (command.address.empty() && (command.number < 1 || index >= result.servers.size())) {
        err << "sdll-host: no server number " << command.number << " in the list of " << result.servers.size() << "\n";
        return 1;
    }
    const BrowsedServer& chosen = result.servers[index];
    if (const std::string why = refusal(chosen.status); !why.empty()) {
        err << "sdll-host: server " << chosen.server->address << ":" << chosen.server->port << " " << why << "\n";
        return 1;
    }
    return finish(launcher, command, chosen, out, err);
}

}  // namespace host
