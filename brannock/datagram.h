// datagram.h: the launcher challenge and the decoding of reply datagrams for the server browser.
//
// The master and the game servers all get the same 4-byte challenge, Huffman-coded; their
// replies are decoded into areas of a fixed size before any field is read (readers in
// master_list.h, server_list_columns.h and server_settings.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace brannock {

// The challenge every query carries: 199 as a little-endian u32.
constexpr uint32_t kLauncherChallenge = 199;

// Decode areas: a master list may be long, a game server reply is at most this much.
constexpr std::size_t kMasterReplyArea = 65536;
constexpr std::size_t kServerReplyArea = 32768;

// Room for the coded challenge; the encoder needs a few bytes more than it keeps.
constexpr std::size_t kQueryArea = 128;

// The Huffman-coded challenge, exactly as it goes on the wire.
std::vector<unsigned char> challenge_packet();

// Decodes one received datagram into `area` (a local of the export: nothing is allocated) and
// gives the part written. A packet that is malformed or longer than the area gives the bytes
// decoded before the fault: the readers then see a reply cut short. A null or empty datagram
// decodes to nothing.
std::span<const unsigned char> decode_datagram(const unsigned char* data, int length, std::span<unsigned char> area);

}  // namespace brannock
