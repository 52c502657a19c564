// datagram.cpp: the launcher challenge and the decoding of reply datagrams.
#include "brannock/datagram.h"

#include <algorithm>

#include "brannock/codec/huffman.h"

namespace brannock {

static_assert(codec::encode_capacity(4) <= kQueryArea, "the query area holds the coded challenge");

std::vector<unsigned char> challenge_packet() {
    const unsigned char raw[4] = {
        static_cast<unsigned char>(kLauncherChallenge & 0xFF),
        static_cast<unsigned char>((kLauncherChallenge >> 8) & 0xFF),
        static_cast<unsigned char>((kLauncherChallenge >> 16) & 0xFF),
        static_cast<unsigned char>((kLauncherChallenge >> 24) & 0xFF),
    };
    std::vector<unsigned char> packet(kQueryArea, 0);
    int length = 0;
    codec::HuffmanEncode(raw, packet.data(), static_cast<int>(sizeof raw), &length);
    packet.resize(static_cast<std::size_t>(length));
    return packet;
}

// Most bytes a packet of `length` bytes can decode to: a raw packet holds length - 1, a coded one
// at most one byte per shortest code. Sizing the result by this instead of the whole area keeps a
// small reply from clearing 32 KB.
static std::size_t most_decoded(int length) {
    static const unsigned shortest = [] {
        unsigned bits = 32;
        for (int b = 0; b < 256; ++b) bits = std::min(bits, codec::code_of(static_cast<unsigned char>(b)).length);
        return bits;
    }();
    const std::size_t payload = static_cast<std::size_t>(length) - 1;
    return std::max(payload, 8 * payload / shortest);
}

std::vector<unsigned char> decode_datagram(const unsigned char* data, int length, std::size_t area) {
    std::vector<unsigned char> decoded;
    if (!data || length <= 0) return decoded;
    const std::size_t room = std::min(area, most_decoded(length));
    decoded.resize(room);
    int produced = 0;
    codec::HuffmanDecode(data, decoded.data(), length, &produced, static_cast<int>(room));
    decoded.resize(produced < 0 ? 0 : static_cast<std::size_t>(produced));
    return decoded;
}

}  // namespace brannock
