// replies.h: the datagrams brannock-sim sends, as the engine's master and game servers lay them out.
//
// Game server reply (decoded): u32 magic 5660023, version text, u32 flag word, then each field
// whose bit is set, in bit order, with the 12 bytes of bit 0x08000000 after the bot skill byte and
// its 20-byte flag block (five u32 words, compatibility words at 12 and 16) after the players.
// Master reply (decoded): u32 status, 7-byte records (marker 1, four address bytes, u16 port), and
// the end marker 2. Everything goes out Huffman-coded. The layout and the numbers below are the
// simulator's own, kept apart from the plug-in's reader on purpose: it is the independent encoder
// the tests hold the plug-in against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/brannock-sim/scenario.h"

namespace sim {

using Bytes = std::vector<unsigned char>;

constexpr uint32_t kServerReplyMagic = 5660023;
constexpr uint32_t kMasterOutdated = 22383;
constexpr uint32_t kChallenge = 199;

struct ListEntry {
    std::string address;   // dotted
    uint16_t port = 0;
};

// The decoded reply of a game server, before any fault but the flag word override.
Bytes server_reply(const GameServer& server);
// What the game server puts on the wire for one challenge; nothing for a silent server.
std::optional<Bytes> server_datagram(const GameServer& server);

// The decoded master datagrams for a list, spread over `master.datagrams` datagrams.
std::vector<Bytes> master_replies(const Master& master, const std::vector<ListEntry>& entries);
// What the master puts on the wire for one challenge.
std::vector<Bytes> master_datagrams(const Master& master, const std::vector<ListEntry>& entries);

Bytes encode(const Bytes& decoded);
// True when a received datagram is the launcher's challenge.
bool is_challenge(const Bytes& datagram);

}  // namespace sim
