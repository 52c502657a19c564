// socket_api.h: the socket calls of posix (Linux) systems, for the launcher's os_sockets.cpp.
//
// The BSD socket headers and the few names in which Winsock differs (host/win32/socket_api.h).
#pragma once

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace host::os {

using SocketHandle = int;
using AddressLength = socklen_t;

inline bool start_sockets() { return true; }
inline bool valid_socket(SocketHandle s) { return s >= 0; }
inline void close_handle(SocketHandle s) { ::close(s); }
inline std::string socket_error() { return std::strerror(errno); }
// select's set is a bit array of FD_SETSIZE bits: a higher number would be written past it.
inline bool fits_wait_set(SocketHandle s) { return s < FD_SETSIZE; }

}  // namespace host::os
