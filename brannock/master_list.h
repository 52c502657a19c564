// master_list.h: reading the master server's list of game servers.
//
// Decoded reply: u32 status, then records of a marker byte (2 ends the list), four address bytes
// (first number of the dotted text first) and a u16 port. A record cut short by the end of the
// data ends the list; every whole record before it counts. A record that names no server a
// stranger's list may make the launcher send datagrams to is left out: port 0, "this network"
// (0.0.0.0/8), multicast (224.0.0.0/4), and the reserved 240.0.0.0/4 with the broadcast address
// 255.255.255.255. Loopback and private addresses stay (a local or LAN master lists them on
// purpose); the others keep their order, repeats included.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>

namespace brannock {

constexpr uint32_t kMasterListFollows = 0;
constexpr uint32_t kMasterOutdated = 22383;
constexpr const char* kDefaultMasterPort = "15300";
constexpr const char* kMasterOutdatedMessage = "Masterserver query protocol for Brannock is outdated.";
constexpr int kMasterOutdatedLevel = 3;

enum class MasterStatus {
    list,       // a server list follows (possibly empty)
    outdated,   // the master no longer serves this query version
    ignored,    // any other status, or a reply too short to hold one
};

// Receives one listed server, in datagram order: the dotted address ("192.168.1.2") and the port
// in unsigned decimal ("10662"), zero-terminated and valid only during the call.
using MasterEntryFn = void (*)(void* context, const char* address, const char* port);

MasterStatus read_master_list(std::span<const unsigned char> decoded, MasterEntryFn fn, void* context);

// The same with any callable taking (const char* address, const char* port).
template <class Sink>
MasterStatus read_master_list(std::span<const unsigned char> decoded, Sink&& sink) {
    using Target = std::remove_reference_t<Sink>;
    return read_master_list(
        decoded, [](void* context, const char* address, const char* port) { (*static_cast<Target*>(context))(address, port); },
        const_cast<void*>(static_cast<const void*>(std::addressof(sink))));
}

}  // namespace brannock
