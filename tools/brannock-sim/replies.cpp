// replies.cpp: building the simulator's master and game server datagrams.
#include "tools/brannock-sim/replies.h"

#include <algorithm>
#include <cstdio>
#include <random>

#include "brannock/codec/huffman.h"
#include "brannock/game_rules.h"

namespace sim {
namespace {

constexpr std::size_t kExtraBlock = 12;
constexpr std::size_t kGarbageBytes = 48;
constexpr uint8_t kRecordMarker = 1;
constexpr uint8_t kEndOfList = 2;

struct Writer {
    Bytes bytes;
    void u8(unsigned v) { bytes.push_back(static_cast<unsigned char>(v)); }
    void u16(unsigned v) { u8(v & 0xFF); u8((v >> 8) & 0xFF); }
    void u32(uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    void text(const std::string& t) {
        bytes.insert(bytes.end(), t.begin(), t.end());
        u8(0);
    }
};

Bytes garbage(std::size_t seed) {
    std::mt19937 random(static_cast<unsigned>(seed));
    Bytes out(kGarbageBytes);
    for (unsigned char& b : out) b = static_cast<unsigned char>(random());
    return out;
}

Bytes cut(Bytes bytes, std::size_t length) {
    bytes.resize(std::min(bytes.size(), length));
    return bytes;
}

}  // namespace

Bytes server_reply(const GameServer& s) {
    const uint32_t f = s.fields;
    auto has = [f](const char* name) { return (f & field_bit(name)) != 0; };
    Writer w;
    w.u32(kServerReplyMagic);
    w.text(s.version);
    w.u32(s.reply_flags.value_or(f));
    if (has("name")) w.text(s.name);
    if (has("website")) w.text(s.website);
    if (has("email")) w.text(s.email);
    if (has("map")) w.text(s.map);
    if (has("max_clients")) w.u8(s.max_clients);
    if (has("limit")) w.u8(s.max_players);
    if (has("pwads")) {
        w.u8(static_cast<unsigned>(s.pwads.size()));
        for (const std::string& pwad : s.pwads) w.text(pwad);
    }
    if (has("game_type")) {
        w.u8(s.game_type);
        w.u8(s.instagib ? 1 : 0);
        w.u8(s.buckshot ? 1 : 0);
        w.u8(0);
        w.u8(0);
    }
    if (has("game_name")) w.text(s.game_name);
    if (has("iwad")) w.text(s.iwad);
    if (has("icon1")) w.u8(s.icon1);
    if (has("icon2")) w.u8(s.icon2);
    if (has("skill")) w.u8(s.skill);
    if (has("bot_skill")) w.u8(s.bot_skill);
    if (has("flag_block")) w.bytes.insert(w.bytes.end(), kExtraBlock, 0);
    if (has("limits")) {
        w.u16(s.fraglimit);
        w.u16(s.timelimit);
        if (s.timelimit != 0) w.u16(s.timeleft);
        w.u16(s.duellimit);
        w.u16(s.pointlimit);
        w.u16(s.winlimit);
    }
    if (has("team_damage")) w.u32(0);
    if (has("team_scores")) w.u32(0);   // two u16 team scores
    if (has("player_count")) w.u8(static_cast<unsigned>(s.players.size()));
    if (has("players")) {
        for (const Player& p : s.players) {
            w.text(p.name);
            w.u16(p.score);
            w.u16(p.ping);
            w.u8(0);   // spectator
            w.u8(0);   // bot
            if (brannock::carries_team_byte(s.game_type)) w.u8(p.team);
            w.u8(0);   // minutes in game
        }
    }
    if (has("flag_block")) {
        for (uint32_t word : s.flag_words) w.u32(word);
    }
    return w.bytes;
}

std::optional<Bytes> server_datagram(const GameServer& s) {
    switch (s.fault) {
        case Fault::silent: return std::nullopt;
        case Fault::garbage: return garbage(s.port + s.name.size());
        case Fault::truncate: return encode(cut(server_reply(s), s.truncate_at));
        case Fault::wrong_magic: {
            Bytes reply = server_reply(s);
            reply[0] ^= 0x5A;
            return encode(reply);
        }
        case Fault::outdated:
        case Fault::none: break;
    }
    return encode(server_reply(s));
}

std::vector<Bytes> master_replies(const Master& master, const std::vector<ListEntry>& entries) {
    const std::size_t parts = static_cast<std::size_t>(std::max(1, master.datagrams));
    const std::size_t per_part = (entries.size() + parts - 1) / parts;
    std::vector<Bytes> out;
    for (std::size_t part = 0; part < parts; ++part) {
        Writer w;
        w.u32(master.fault == Fault::outdated ? kMasterOutdated : master.status.value_or(0));
        const std::size_t first = part * per_part;
        for (std::size_t i = first; i < std::min(entries.size(), first + per_part); ++i) {
            w.u8(kRecordMarker);
            unsigned a = 0, b = 0, c = 0, d = 0;
            std::sscanf(entries[i].address.c_str(), "%u.%u.%u.%u", &a, &b, &c, &d);
            w.u8(a); w.u8(b); w.u8(c); w.u8(d);
            w.u16(entries[i].port);
        }
        w.u8(kEndOfList);
        out.push_back(w.bytes);
        if (first + per_part >= entries.size()) break;
    }
    return out;
}

std::vector<Bytes> master_datagrams(const Master& master, const std::vector<ListEntry>& entries) {
    std::vector<Bytes> out;
    switch (master.fault) {
        case Fault::silent: return out;
        case Fault::garbage: out.push_back(garbage(master.port)); return out;
        default: break;
    }
    for (Bytes reply : master_replies(master, entries)) {
        if (master.fault == Fault::truncate) reply = cut(std::move(reply), master.truncate_at);
        out.push_back(encode(reply));
    }
    return out;
}

Bytes encode(const Bytes& decoded) {
    codec::HuffmanInit();
    Bytes out(codec::encode_capacity(decoded.size()));
    int length = 0;
    codec::HuffmanEncode(decoded.data(), out.data(), static_cast<int>(decoded.size()), &length);
    out.resize(static_cast<std::size_t>(length));
    return out;
}

bool is_challenge(const Bytes& datagram) {
    codec::HuffmanInit();
    unsigned char decoded[16];
    int length = 0;
    const auto status = codec::HuffmanDecode(datagram.data(), decoded, static_cast<int>(datagram.size()), &length,
                                             static_cast<int>(sizeof decoded));
    return status == codec::DecodeStatus::ok && length == 4 && decoded[0] == (kChallenge & 0xFF) &&
           decoded[1] == 0 && decoded[2] == 0 && decoded[3] == 0;
}

}  // namespace sim
