// master_list.h: reading the master server's list of game servers.
//
// Decoded reply: u32 status, then records of a marker byte (2 ends the list), four address bytes
// (first number of the dotted text first) and a u16 port. A record cut short by the end of the
// data ends the list; every whole record before it counts.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

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

struct MasterEntry {
    std::string address;   // dotted text, "192.168.1.2"
    std::string port;      // unsigned decimal, "10662"
};

struct MasterList {
    MasterStatus status = MasterStatus::ignored;
    std::vector<MasterEntry> entries;   // in datagram order
};

MasterList read_master_list(std::span<const unsigned char> decoded);

}  // namespace brannock
