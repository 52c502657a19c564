// browse.cpp: the public server browser of the stand-in launcher, over real UDP.
#include "host/browse.h"

#include <chrono>
#include <iomanip>
#include <ostream>
#include <sstream>
#include <thread>

#include "frame/helpers.h"
#include "host/udp.h"

namespace host {
namespace {

constexpr int kQueryArea = 128;   // room for the plug-in's coded query
constexpr int kFinishPollMs = 100;
constexpr const char* kAnyAddress = "0.0.0.0";

void journal_export(Launcher& launcher, const char* name, nlohmann::json args, nlohmann::json result) {
    JournalEntry entry;
    entry.slot = kSlotCount;
    entry.name = name;
    entry.args = std::move(args);
    entry.result = std::move(result);
    launcher.record(std::move(entry));
}

template <typename Fn>
Fn need(const Launcher& launcher, const char* name, std::string* error) {
    Fn fn = launcher.get<Fn>(name);
    if (!fn && error) *error = "the plug-in " + launcher.name() + " lacks the export " + name;
    return fn;
}

// Sends what the plug-in handed to Host_SendQuery since `first`.
std::size_t send_new_queries(Launcher& launcher, std::size_t first, UdpSocket& socket, std::ostream& progress) {
    std::size_t count = 0;
    for (std::size_t i = first; i < launcher.sent.size(); ++i) {
        const Launcher::Datagram& d = launcher.sent[i];
        std::string error;
        if (socket.send_to(d.host, d.port, d.data, &error)) {
            ++count;
        } else {
            progress << "master query not sent: " << error << "\n";
        }
    }
    return count;
}

void read_master(Launcher& launcher, SDLL_MasterserverResponse_t respond, UdpSocket& socket,
                 const BrowseOptions& options, BrowseResult* result) {
    int wait = options.master_wait_ms;
    while (auto got = socket.receive(wait)) {
        const int answer = respond(nullptr, nullptr, got->data.data(), static_cast<int>(got->data.size()));
        journal_export(launcher, "SDLL_MasterserverResponse", {static_cast<int>(got->data.size())}, answer);
        ++result->master_datagrams;
        wait = options.master_quiet_ms;
    }
}

// Queries one server and waits for its answer from its own address and port.
bool query_server(Launcher& launcher, SDLL_ServerQueryData_t query, SDLL_ServerResponse_t respond, UdpSocket& socket,
                  const BrowseOptions& options, BrowsedServer* browsed) {
    unsigned char packet[kQueryArea] = {};
    int length = 0;
    const int made = query(nullptr, nullptr, packet, &length);
    journal_export(launcher, "SDLL_ServerQueryData", nlohmann::json::array(), made);
    if (length <= 0 || length > kQueryArea) return false;
    Server& server = *browsed->server;
    if (!socket.send_to(server.address, server.port, std::span<const unsigned char>(packet, length))) return false;

    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(options.server_wait_ms);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        auto got = socket.receive(static_cast<int>(left.count()));
        if (!got) return false;
        if (got->host != server.address || std::to_string(got->port) != server.port) continue;   // a late answer
        browsed->reply = std::move(got->data);
        browsed->answered = true;
        const int answer = respond(Launcher::ref(&server), browsed->reply.data(), static_cast<int>(browsed->reply.size()));
        journal_export(launcher, "SDLL_ServerResponse", {static_cast<int>(browsed->reply.size())}, answer);
        return true;
    }
}

std::string info_or_dash(const Launcher& launcher, const Server& server, const char* key) {
    const auto value = launcher.server_info(server, key);
    return value && !value->empty() ? *value : "-";
}

}  // namespace

bool browse(Launcher& launcher, const BrowseOptions& options, std::ostream& progress, BrowseResult* result,
            std::string* error) {
    *result = BrowseResult{};
    auto ask_master = need<SDLL_QueryMasterserver_t>(launcher, "SDLL_QueryMasterserver", error);
    auto master_reply = need<SDLL_MasterserverResponse_t>(launcher, "SDLL_MasterserverResponse", error);
    auto query = need<SDLL_ServerQueryData_t>(launcher, "SDLL_ServerQueryData", error);
    auto server_reply = need<SDLL_ServerResponse_t>(launcher, "SDLL_ServerResponse", error);
    if (!ask_master || !master_reply || !query || !server_reply) return false;

    UdpSocket socket;
    if (!socket.open(kAnyAddress, 0, error)) return false;

    const std::size_t first_sent = launcher.sent.size();
    const std::size_t first_server = launcher.servers.size();
    ask_master();
    journal_export(launcher, "SDLL_QueryMasterserver", nlohmann::json::array(), nullptr);
    if (send_new_queries(launcher, first_sent, socket, progress) == 0) {
        progress << "no master query was sent (public servers switched off?)\n";
        return true;
    }
    result->sent_query = true;
    progress << "master " << launcher.sent[first_sent].host << ":" << launcher.sent[first_sent].port << " asked\n";
    read_master(launcher, master_reply, socket, options, result);
    const std::size_t listed = launcher.servers.size() - first_server;
    progress << "master answered with " << result->master_datagrams << " datagram(s), " << listed << " server(s)\n";

    for (std::size_t i = first_server; i < launcher.servers.size(); ++i) {
        BrowsedServer browsed;
        browsed.server = launcher.servers[i].get();
        progress << "[" << (i - first_server + 1) << "/" << listed << "] " << browsed.server->address << ":"
                 << browsed.server->port << " ... " << std::flush;
        const bool answered = query_server(launcher, query, server_reply, socket, options, &browsed);
        progress << (answered ? "answered" : "no answer") << "\n";
        result->servers.push_back(std::move(browsed));
    }
    return true;
}

std::string server_table(const Launcher& launcher, const BrowseResult& result) {
    struct Row { std::string cells[8]; };
    std::vector<Row> rows;
    rows.push_back({{"#", "NAME", "MAP", "TYPE", "GAME", "PLAYERS", "LIMIT", "ADDRESS"}});
    for (std::size_t i = 0; i < result.servers.size(); ++i) {
        const Server& s = *result.servers[i].server;
        rows.push_back({{std::to_string(i + 1), info_or_dash(launcher, s, ""), info_or_dash(launcher, s, "MAP"),
                         info_or_dash(launcher, s, "TYPE"), info_or_dash(launcher, s, "GAME"),
                         info_or_dash(launcher, s, "USERS"), info_or_dash(launcher, s, "LIMIT"),
                         s.address + ":" + s.port}});
    }
    std::size_t widths[8] = {};
    for (const Row& row : rows) {
        for (int c = 0; c < 8; ++c) widths[c] = std::max(widths[c], row.cells[c].size());
    }
    std::ostringstream out;
    for (const Row& row : rows) {
        for (int c = 0; c < 8; ++c) {
            out << std::left << std::setw(c == 7 ? 0 : static_cast<int>(widths[c])) << row.cells[c]
                << (c == 7 ? "\n" : "  ");
        }
    }
    return out.str();
}

int run_browser_command(Launcher& launcher, const BrowserCommand& command, std::ostream& out, std::ostream& err) {
    BrowseResult result;
    std::string error;
    if (!browse(launcher, command.browse, err, &result, &error)) {
        err << "sdll-host: " << error << "\n";
        return 2;
    }
    out << server_table(launcher, result);
    if (command.kind == BrowserCommand::list) return 0;

    if (command.number < 1 || static_cast<std::size_t>(command.number) > result.servers.size()) {
        err << "sdll-host: no server number " << command.number << " in the list\n";
        return 1;
    }
    const BrowsedServer& chosen = result.servers[static_cast<std::size_t>(command.number - 1)];
    if (!chosen.answered) {
        err << "sdll-host: server " << command.number << " did not answer\n";
        return 1;
    }
    // Copying the server's settings is also how the launcher learns what a join needs: the IWAD
    // and the extra files the server runs.
    auto copy = need<SDLL_ServerGamesettings_t>(launcher, "SDLL_ServerGamesettings", &error);
    if (!copy) return err << "sdll-host: " << error << "\n", 2;
    const int copied = copy(nullptr, chosen.reply.data(), static_cast<int>(chosen.reply.size()));
    journal_export(launcher, "SDLL_ServerGamesettings", {static_cast<int>(chosen.reply.size())}, copied);
    if (command.kind == BrowserCommand::copy) {
        out << "SDLL_ServerGamesettings answered " << copied << "\n";
        if (copied != 1) return 1;
        if (!command.settings_file.empty() && !launcher.save_settings(command.settings_file, &error)) {
            err << "sdll-host: " << error << "\n";
            return 2;
        }
        return 0;
    }
    std::string iwad_name;
    if (copied == 1 && frame::IwadFileName(frame::Plugin::brannock, launcher.iwad, &iwad_name))
        launcher.server_iwad = iwad_name;

    auto launch = need<SDLL_LaunchServer_t>(launcher, "SDLL_LaunchServer", &error);
    auto finished = need<SDLL_ServerFinished_t>(launcher, "SDLL_ServerFinished", &error);
    if (!launch || !finished) return err << "sdll-host: " << error << "\n", 2;
    launch(Launcher::ref(chosen.server), command.player.c_str());
    journal_export(launcher, "SDLL_LaunchServer", {"server", command.player}, nullptr);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(command.timeout);
    for (;;) {
        const int answer = finished();
        if (answer == 1 || std::chrono::steady_clock::now() >= end) {
            journal_export(launcher, "SDLL_ServerFinished", nlohmann::json::array(), answer);
            if (answer == 1) out << "game finished\n";
            else err << "sdll-host: the game did not finish within " << command.timeout << " seconds\n";
            return answer == 1 ? 0 : 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kFinishPollMs));
    }
}

}  // namespace host
