// socket_api.h: the socket calls of Windows (Winsock 2), for the launcher's os_sockets.cpp.
//
// Winsock offers the BSD calls under the same names; what differs is its start, the socket type,
// closing and the error number (host/posix/socket_api.h for the posix side).
#pragma once

// Winsock's select takes 64 sockets unless told otherwise, and FD_SET passes over the rest
// without a word: the simulator waits on one socket per game server.
#define FD_SETSIZE 1024
#include <winsock2.h>
#include <ws2tcpip.h>

#include <string>

namespace host::os {

using SocketHandle = SOCKET;
using AddressLength = int;

// Winsock needs starting once per process before the first socket.
inline bool start_sockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}
inline bool valid_socket(SocketHandle s) { return s != INVALID_SOCKET; }
inline void close_handle(SocketHandle s) { closesocket(s); }
inline std::string socket_error() { return "socket error " + std::to_string(WSAGetLastError()); }
// Winsock's set is a list of FD_SETSIZE handles, filled only as far as it holds.
inline bool fits_wait_set(SocketHandle) { return true; }

}  // namespace host::os
