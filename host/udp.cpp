// udp.cpp: the UDP socket of the stand-in launcher and the simulator, over the launcher's OS door
// (host/os.h).
#include "host/udp.h"

#include <charconv>
#include <utility>

#include "host/os.h"

namespace host {

static_assert(os::kNoSocket == -1, "a UdpSocket without a socket holds -1 (udp.h)");

UdpSocket::~UdpSocket() { os::close_socket(fd_); }

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(std::exchange(other.fd_, os::kNoSocket)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        os::close_socket(fd_);
        fd_ = std::exchange(other.fd_, os::kNoSocket);
    }
    return *this;
}

bool UdpSocket::open(const std::string& address, uint16_t port, std::string* error) {
    const os::Socket opened = os::open_udp(address, port, error);
    if (opened == os::kNoSocket) return false;
    os::close_socket(fd_);
    fd_ = opened;
    return true;
}

bool UdpSocket::is_open() const { return fd_ != os::kNoSocket; }

uint16_t UdpSocket::local_port() const { return os::local_port(fd_); }

std::optional<uint16_t> port_number(const std::string& text) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

std::optional<std::pair<std::string, uint16_t>> split_host_port(const std::string& text) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0) return std::nullopt;
    const auto port = port_number(text.substr(colon + 1));
    if (!port) return std::nullopt;
    return std::make_pair(text.substr(0, colon), *port);
}

bool UdpSocket::send_to(const std::string& host, const std::string& port, std::span<const unsigned char> data,
                        std::string* error) {
    // The system's resolver takes "99999" and wraps it to another port.
    if (!port_number(port)) {
        if (error) *error = "port '" + port + "' of " + host + " is outside 1..65535";
        return false;
    }
    return os::send_datagram(fd_, host, port, data, error);
}

bool UdpSocket::send_to(const std::string& host, uint16_t port, std::span<const unsigned char> data,
                        std::string* error) {
    return send_to(host, std::to_string(port), data, error);
}

std::optional<Received> UdpSocket::receive(int timeout_ms) {
    UdpSocket* self[] = {this};
    if (wait_readable(self, timeout_ms) != 0) return std::nullopt;
    Received got;
    if (!os::receive_datagram(fd_, &got.data, &got.host, &got.port)) return std::nullopt;
    return got;
}

int wait_readable(std::span<UdpSocket* const> sockets, int timeout_ms) {
    std::vector<os::Socket> handles;
    handles.reserve(sockets.size());
    for (const UdpSocket* s : sockets) handles.push_back(s->native());
    return os::wait_readable(handles, timeout_ms);
}

}  // namespace host
