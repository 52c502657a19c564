// udp.cpp: the UDP socket of the stand-in launcher and the simulator; posix and Windows.
#include "host/udp.h"

#include <cerrno>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace host {
namespace {

constexpr std::size_t kMaxDatagram = 65536;

#ifdef _WIN32
using SocketHandle = SOCKET;
using AddressLength = int;
// Winsock needs starting once per process before the first socket.
bool start_sockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}
void close_socket(intptr_t fd) { closesocket(static_cast<SOCKET>(fd)); }
std::string socket_error() { return "socket error " + std::to_string(WSAGetLastError()); }
#else
using SocketHandle = int;
using AddressLength = socklen_t;
bool start_sockets() { return true; }
void close_socket(intptr_t fd) { ::close(static_cast<int>(fd)); }
std::string socket_error() { return std::strerror(errno); }
#endif

SocketHandle handle(intptr_t fd) { return static_cast<SocketHandle>(fd); }

void set_error(std::string* error, const std::string& text) {
    if (error) *error = text;
}

bool resolve(const std::string& host, const std::string& port, sockaddr_in* out, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        set_error(error, "cannot resolve " + host + ":" + port);
        return false;
    }
    std::memcpy(out, found->ai_addr, sizeof *out);
    freeaddrinfo(found);
    return true;
}

}  // namespace

UdpSocket::~UdpSocket() {
    if (fd_ != -1) close_socket(fd_);
}

UdpSocket::UdpSocket(UdpSocket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

UdpSocket& UdpSocket::operator=(UdpSocket&& other) noexcept {
    if (this != &other) {
        if (fd_ != -1) close_socket(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool UdpSocket::open(const std::string& address, uint16_t port, std::string* error) {
    if (!start_sockets()) {
        set_error(error, "cannot start sockets");
        return false;
    }
    sockaddr_in local{};
    if (!resolve(address, std::to_string(port), &local, error)) return false;
    const SocketHandle s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
#ifdef _WIN32
    if (s == INVALID_SOCKET) {
#else
    if (s < 0) {
#endif
        set_error(error, "cannot open a socket: " + socket_error());
        return false;
    }
    if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        set_error(error, "cannot bind " + address + ":" + std::to_string(port) + ": " + socket_error());
        close_socket(static_cast<intptr_t>(s));
        return false;
    }
    if (fd_ != -1) close_socket(fd_);
    fd_ = static_cast<intptr_t>(s);
    return true;
}

bool UdpSocket::is_open() const { return fd_ != -1; }

uint16_t UdpSocket::local_port() const {
    sockaddr_in local{};
    AddressLength length = sizeof local;
    if (fd_ == -1 || getsockname(handle(fd_), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

bool UdpSocket::send_to(const std::string& host, const std::string& port, std::span<const unsigned char> data,
                        std::string* error) {
    sockaddr_in to{};
    if (fd_ == -1 || !resolve(host, port, &to, error)) return false;
    const auto sent = ::sendto(handle(fd_), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()),
                               0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0 || static_cast<std::size_t>(sent) != data.size()) {
        set_error(error, "cannot send to " + host + ":" + port + ": " + socket_error());
        return false;
    }
    return true;
}

bool UdpSocket::send_to(const std::string& host, uint16_t port, std::span<const unsigned char> data,
                        std::string* error) {
    return send_to(host, std::to_string(port), data, error);
}

std::optional<Received> UdpSocket::receive(int timeout_ms) {
    UdpSocket* self[] = {this};
    if (wait_readable(self, timeout_ms) != 0) return std::nullopt;
    Received got;
    got.data.resize(kMaxDatagram);
    sockaddr_in from{};
    AddressLength length = sizeof from;
    const auto n = ::recvfrom(handle(fd_), reinterpret_cast<char*>(got.data.data()), static_cast<int>(got.data.size()),
                              0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) return std::nullopt;
    got.data.resize(static_cast<std::size_t>(n));
    const auto* parts = reinterpret_cast<const unsigned char*>(&from.sin_addr);
    got.host = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
               std::to_string(parts[3]);
    got.port = ntohs(from.sin_port);
    return got;
}

int wait_readable(std::span<UdpSocket* const> sockets, int timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    intptr_t highest = -1;
    for (UdpSocket* s : sockets) {
        if (!s->is_open()) continue;
        FD_SET(handle(s->native()), &readable);
        if (s->native() > highest) highest = s->native();
    }
    if (highest < 0) return -1;
    timeval wait{};
    wait.tv_sec = timeout_ms / 1000;
    wait.tv_usec = (timeout_ms % 1000) * 1000;
    if (::select(static_cast<int>(highest + 1), &readable, nullptr, nullptr, &wait) <= 0) return -1;
    for (std::size_t i = 0; i < sockets.size(); ++i) {
        if (sockets[i]->is_open() && FD_ISSET(handle(sockets[i]->native()), &readable)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace host
