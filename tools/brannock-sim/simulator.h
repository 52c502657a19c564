// simulator.h: brannock-sim's master and game servers on 127.0.0.1.
//
// One UDP socket per server. The master answers the launcher challenge with the list of game
// servers (at 127.0.0.1 and the ports they got), each game server with its reply; other datagrams
// get no answer. Runs in its own program (main.cpp) or on a thread inside a test.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "host/udp.h"
#include "tools/brannock-sim/replies.h"
#include "tools/brannock-sim/scenario.h"

namespace sim {

constexpr const char* kLoopback = "127.0.0.1";

class Simulator {
public:
    // Opens the sockets: the master on `scenario.master.port`, each game server on its own port
    // (0: any free port). False with `error` set when a port cannot be had.
    bool open(const Scenario& scenario, std::string* error);

    uint16_t master_port() const { return master_.local_port(); }
    uint16_t server_port(std::size_t index) const { return servers_[index].local_port(); }
    const Scenario& scenario() const { return scenario_; }
    // The list the master hands out.
    std::vector<ListEntry> list() const;

    // Answers datagrams until `stop` is set (checked at least every 50 ms) or `seconds` pass
    // (0: no limit).
    void run(const std::atomic<bool>& stop, double seconds = 0);
    // Answers at most one datagram, waiting up to `timeout_ms`; true when one was handled.
    bool serve_one(int timeout_ms);

private:
    Scenario scenario_;
    host::UdpSocket master_;
    std::vector<host::UdpSocket> servers_;
};

// Writes the seed datagrams of `scenario` for the fuzz targets into `folder`/master_response,
// server_response and server_gamesettings. False with `error` set when a file cannot be written.
bool write_corpus(const Scenario& scenario, const std::string& folder, std::string* error);

}  // namespace sim
