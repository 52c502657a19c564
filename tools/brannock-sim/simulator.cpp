// simulator.cpp: running brannock-sim's servers and writing its seed corpus.
//
// Its sockets and files are the stand-in launcher's, through that launcher's door (host/os.h).
#include "tools/brannock-sim/simulator.h"

#include <chrono>

#include "host/os.h"

namespace sim {
namespace {

constexpr int kPollMs = 50;

bool write_bytes(const std::string& path, const Bytes& bytes, std::string* error) {
    if (!host::os::replace_file(path, std::string(bytes.begin(), bytes.end()), nullptr)) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace

bool Simulator::open(const Scenario& scenario, std::string* error) {
    scenario_ = scenario;
    servers_.clear();
    if (!master_.open(kLoopback, scenario.master.port, error)) return false;
    for (const GameServer& server : scenario.servers) {
        host::UdpSocket socket;
        if (!socket.open(kLoopback, server.port, error)) return false;
        servers_.push_back(std::move(socket));
    }
    // Ports found now go into the scenario, so replies and seeds that depend on them agree.
    scenario_.master.port = master_port();
    for (std::size_t i = 0; i < servers_.size(); ++i) scenario_.servers[i].port = server_port(i);
    return true;
}

std::vector<ListEntry> Simulator::list() const {
    std::vector<ListEntry> entries;
    for (std::size_t i = 0; i < servers_.size(); ++i) entries.push_back({kLoopback, server_port(i)});
    for (const std::string& extra : scenario_.master.extra_entries) {
        const std::size_t colon = extra.find(':');
        if (colon == std::string::npos) continue;
        entries.push_back({extra.substr(0, colon), static_cast<uint16_t>(std::stoul(extra.substr(colon + 1)))});
    }
    return entries;
}

bool Simulator::serve_one(int timeout_ms) {
    std::vector<host::UdpSocket*> sockets{&master_};
    for (host::UdpSocket& s : servers_) sockets.push_back(&s);
    const int ready = host::wait_readable(sockets, timeout_ms);
    if (ready < 0) return false;
    const auto got = sockets[static_cast<std::size_t>(ready)]->receive(0);
    if (!got || !is_challenge(got->data)) return got.has_value();
    host::UdpSocket& socket = *sockets[static_cast<std::size_t>(ready)];
    if (ready == 0) {
        for (const Bytes& datagram : master_datagrams(scenario_.master, list())) {
            socket.send_to(got->host, got->port, datagram);
        }
    } else if (const auto reply = server_datagram(scenario_.servers[static_cast<std::size_t>(ready - 1)])) {
        socket.send_to(got->host, got->port, *reply);
    }
    return true;
}

void Simulator::run(const std::atomic<bool>& stop, double seconds) {
    const auto start = std::chrono::steady_clock::now();
    while (!stop.load()) {
        if (seconds > 0 &&
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= seconds) {
            return;
        }
        serve_one(kPollMs);
    }
}

bool write_corpus(const Scenario& scenario, const std::string& folder, std::string* error) {
    using host::os::path_in;
    for (const char* target : {"master_response", "server_response", "server_gamesettings", "copy_and_host"}) {
        if (!host::os::make_folder(path_in(folder, target))) {
            if (error) *error = "cannot create " + path_in(folder, target);
            return false;
        }
    }
    std::vector<ListEntry> entries;
    for (std::size_t i = 0; i < scenario.servers.size(); ++i) {
        entries.push_back({kLoopback, static_cast<uint16_t>(10666 + i)});
    }
    // The master's whole list in one and in two datagrams, and each of its faults.
    int index = 0;
    for (Master master : {scenario.master, Master{}, Master{}}) {
        if (index == 1) master.datagrams = 2;
        if (index == 2) master.fault = Fault::outdated;
        int part = 0;
        for (const Bytes& datagram : master_datagrams(master, entries)) {
            const std::string name = "master" + std::to_string(index) + "_" + std::to_string(part++);
            if (!write_bytes(path_in(path_in(folder, "master_response"), name), datagram, error)) return false;
        }
        ++index;
    }
    for (const GameServer& server : scenario.servers) {
        const auto datagram = server_datagram(server);
        if (!datagram) continue;
        for (const char* target : {"server_response", "server_gamesettings", "copy_and_host"}) {
            if (!write_bytes(path_in(path_in(folder, target), server.label), *datagram, error)) return false;
        }
    }
    return true;
}

}  // namespace sim
