// udp.h: a UDP socket on the loopback or any address, for the server browser and the simulator.
//
// Sends one datagram to host:port and receives one with a time-out; the system's sockets are
// reached through the launcher's OS door (host/os.h). Used by the sdll-host browse commands and by
// brannock-sim; plug-ins never open sockets.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace host {

struct Received {
    std::vector<unsigned char> data;
    std::string host;   // dotted sender address
    uint16_t port = 0;
};

class UdpSocket {
public:
    UdpSocket() = default;
    ~UdpSocket();
    UdpSocket(UdpSocket&& other) noexcept;
    UdpSocket& operator=(UdpSocket&& other) noexcept;
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;

    // Binds to `address` ("127.0.0.1", "0.0.0.0") and `port` (0: any free port).
    bool open(const std::string& address, uint16_t port, std::string* error = nullptr);
    bool is_open() const;
    uint16_t local_port() const;

    // `host` is a dotted address or a name; `port` decimal text. False when it cannot be sent.
    bool send_to(const std::string& host, const std::string& port, std::span<const unsigned char> data,
                 std::string* error = nullptr);
    bool send_to(const std::string& host, uint16_t port, std::span<const unsigned char> data,
                 std::string* error = nullptr);

    // Waits up to `timeout_ms` for one datagram.
    std::optional<Received> receive(int timeout_ms);

    intptr_t native() const { return fd_; }

private:
    intptr_t fd_ = -1;
};

// A port as decimal text 1..65535; nothing for anything else.
std::optional<uint16_t> port_number(const std::string& text);
// "HOST:PORT" with a port 1..65535 split at its last colon; nothing otherwise.
std::optional<std::pair<std::string, uint16_t>> split_host_port(const std::string& text);

// Waits up to `timeout_ms` until one of `sockets` has a datagram; its index, or -1.
int wait_readable(std::span<UdpSocket* const> sockets, int timeout_ms);

}  // namespace host
