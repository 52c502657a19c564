// bench_samples.cpp: builds the benchmark data (protocol bytes, a server reply, a master list).
#include "bench_samples.h"

#include <cstdint>
#include <iterator>
#include <random>
#include <string>

#include "brannock/codec/huffman.h"
#include "brannock/codec/huffman_tables.h"

namespace bench {

Bytes protocol_bytes(std::size_t n, unsigned variant) {
    std::mt19937 rng(static_cast<unsigned>(n) + 7919 * variant);
    std::discrete_distribution<int> pick(std::begin(codec::detail::frequencies), std::end(codec::detail::frequencies));
    Bytes b(n);
    for (auto& x : b) x = static_cast<unsigned char>(pick(rng));
    return b;
}

constexpr char kVersion[] = "3.1.0-r240517";

static void put_u32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
static void put_u16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<unsigned char>(v));
    b.push_back(static_cast<unsigned char>(v >> 8));
}
static void put_text(Bytes& b, const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    b.push_back(0);
}

// A game server's answer as the browser sees it: every common field present.
Bytes server_reply() {
    Bytes b;
    put_u32(b, 5660023);
    put_text(b, kVersion);
    put_u32(b, 0x000F3FFF | 0x08000000);
    put_text(b, "\x1c" "d[EU] Friday Night Frags \x1c" "g| Deathmatch 24/7 | newstuff");
    put_text(b, "https://frags.example.net/maps/");
    put_text(b, "admin@frags.example.net");
    put_text(b, "map07");
    b.push_back(0);
    b.push_back(20);
    b.push_back(4);
    for (const char* pwad : {"dwango5.wad", "brannock-dm-textures.pk3", "zdmextras_v2.pk3", "music-pack.pk3"})
        put_text(b, pwad);
    b.insert(b.end(), {3, 0, 0, 0, 0});
    put_text(b, "normal");
    put_text(b, "doom2.wad");
    b.push_back(0);
    b.push_back(1);
    b.push_back(3);
    b.push_back(0);
    for (int i = 0; i < 12; ++i) b.push_back(0);
    for (uint16_t v : {20, 15, 312, 0, 0, 0}) put_u16(b, v);
    put_u32(b, 0);
    put_u16(b, 8);
    put_u16(b, 16);
    b.push_back(6);
    for (int i = 0; i < 6; ++i) {
        put_text(b, "player" + std::to_string(i));
        put_u16(b, static_cast<uint16_t>(12 - i));
        put_u16(b, static_cast<uint16_t>(40 + 7 * i));
        b.insert(b.end(), {0, 0, 5});
    }
    return b;
}

// A master server's list: status, then marker, IPv4 address and port per server, then the end.
// Every address is one the reader passes on (first number 1 to 223), so each record costs a
// launcher call, as a real master's list does.
Bytes master_list() {
    std::mt19937 rng(11);
    Bytes b;
    put_u32(b, 0);
    for (int i = 0; i < kMasterListServers; ++i) {
        b.push_back(1);
        b.push_back(static_cast<unsigned char>(1 + rng() % 223));
        for (int k = 1; k < 4; ++k) b.push_back(static_cast<unsigned char>(rng()));
        put_u16(b, static_cast<uint16_t>(10666 + rng() % 8));
    }
    b.push_back(2);
    return b;
}

constexpr std::size_t kFlagWordOffset = 4 + sizeof kVersion;   // after the magic and the version text

Bytes without_fields(Bytes reply) {
    for (std::size_t i = 0; i < 4; ++i) reply.at(kFlagWordOffset + i) = 0;
    return reply;
}

Bytes fieldless_reply(std::size_t n, unsigned variant) {
    Bytes b;
    put_u32(b, 5660023);
    put_text(b, kVersion);
    put_u32(b, 0);
    const Bytes rest = protocol_bytes(n > b.size() ? n - b.size() : 0, variant);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

Bytes unlisted_master_reply(std::size_t n, unsigned variant) {
    Bytes b;
    put_u32(b, 1);   // neither a list (0) nor the outdated answer
    const Bytes rest = protocol_bytes(n > b.size() ? n - b.size() : 0, variant);
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

Bytes encoded(const Bytes& data) {
    Bytes packet(codec::encode_capacity(data.size()));
    int length = 0;
    codec::HuffmanEncode(data.data(), packet.data(), static_cast<int>(data.size()), &length);
    packet.resize(static_cast<std::size_t>(length));
    return packet;
}

}  // namespace bench
