// os_sockets.cpp: the UDP socket calls of the launcher's OS door, written once for both systems.
//
// Winsock offers the BSD calls under the same names, so only what differs (headers, socket type,
// start, close, error text) comes from the system's socket_api.h, which the build picks from
// host/posix/ or host/win32/.
#include "host/os.h"

#include <cstring>

#include "socket_api.h"

namespace host::os {
namespace {

constexpr std::size_t kMaxDatagram = 65536;

SocketHandle handle(Socket socket) { return static_cast<SocketHandle>(socket); }

void set_error(std::string* error, const std::string& text) {
    if (error) *error = text;
}

bool resolve(const std::string& host, const std::string& port, sockaddr_in* out, std::string* error) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        set_error(error, kUnresolved + host + ":" + port);
        return false;
    }
    std::memcpy(out, found->ai_addr, sizeof *out);
    freeaddrinfo(found);
    return true;
}

}  // namespace

Socket open_udp(const std::string& address, uint16_t port, std::string* error) {
    if (!start_sockets()) {
        set_error(error, "cannot start sockets");
        return kNoSocket;
    }
    sockaddr_in local{};
    if (!resolve(address, std::to_string(port), &local, error)) return kNoSocket;
    const SocketHandle s = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (!valid_socket(s)) {
        set_error(error, "cannot open a socket: " + socket_error());
        return kNoSocket;
    }
    if (!fits_wait_set(s)) {
        set_error(error, "cannot open a socket: this program has too many files and sockets open to wait on one more");
        close_handle(s);
        return kNoSocket;
    }
    if (::bind(s, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        set_error(error, "cannot bind " + address + ":" + std::to_string(port) + ": " + socket_error());
        close_handle(s);
        return kNoSocket;
    }
    return static_cast<Socket>(s);
}

void close_socket(Socket socket) {
    if (socket != kNoSocket) close_handle(handle(socket));
}

uint16_t local_port(Socket socket) {
    sockaddr_in local{};
    AddressLength length = sizeof local;
    if (socket == kNoSocket || getsockname(handle(socket), reinterpret_cast<sockaddr*>(&local), &length) != 0) return 0;
    return ntohs(local.sin_port);
}

bool send_datagram(Socket socket, const std::string& host, const std::string& port,
                   std::span<const unsigned char> data, std::string* error) {
    sockaddr_in to{};
    if (socket == kNoSocket || !resolve(host, port, &to, error)) return false;
    const auto sent = ::sendto(handle(socket), reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()),
                               0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    if (sent < 0 || static_cast<std::size_t>(sent) != data.size()) {
        set_error(error, "cannot send to " + host + ":" + port + ": " + socket_error());
        return false;
    }
    return true;
}

bool receive_datagram(Socket socket, std::vector<unsigned char>* data, std::string* from_host,
                      uint16_t* from_port) {
    data->resize(kMaxDatagram);
    sockaddr_in from{};
    AddressLength length = sizeof from;
    const auto n = ::recvfrom(handle(socket), reinterpret_cast<char*>(data->data()), static_cast<int>(data->size()),
                              0, reinterpret_cast<sockaddr*>(&from), &length);
    if (n < 0) {
        data->clear();
        return false;
    }
    data->resize(static_cast<std::size_t>(n));
    const auto* parts = reinterpret_cast<const unsigned char*>(&from.sin_addr);
    *from_host = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
                 std::to_string(parts[3]);
    *from_port = ntohs(from.sin_port);
    return true;
}

int wait_readable(std::span<const Socket> sockets, int timeout_ms) {
    fd_set readable;
    FD_ZERO(&readable);
    Socket highest = kNoSocket;
    for (const Socket s : sockets) {
        if (s == kNoSocket) continue;
        FD_SET(handle(s), &readable);
        if (s > highest) highest = s;
    }
    if (highest == kNoSocket) return -1;
    timeval wait{};
    wait.tv_sec = timeout_ms / 1000;
    wait.tv_usec = (timeout_ms % 1000) * 1000;
    if (::select(static_cast<int>(highest + 1), &readable, nullptr, nullptr, &wait) <= 0) return -1;
    for (std::size_t i = 0; i < sockets.size(); ++i) {
        if (sockets[i] != kNoSocket && FD_ISSET(handle(sockets[i]), &readable)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace host::os
