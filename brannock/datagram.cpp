// datagram.cpp: the launcher challenge and the decoding of reply datagrams.
#include "brannock/datagram.h"

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

std::span<const unsigned char> decode_datagram(const unsigned char* data, int length, std::span<unsigned char> area) {
    if (!data || length <= 0 || area.empty()) return {};
    int produced = 0;
    codec::HuffmanDecode(data, area.data(), length, &produced, static_cast<int>(area.size()));
    return area.first(produced < 0 ? 0 : static_cast<std::size_t>(produced));
}

}  // namespace brannock
