// huffman_test.cpp: the packet codec: the tree, the known packets, malformed input, and the fast
// codec held against the tree walk.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <utility>
#include <cstdint>
#include <random>
#include <vector>

#include "brannock/codec/huffman.h"
#include "brannock/codec/huffman_reference.h"
#include "brannock/codec/huffman_tables.h"
#include "tests/support/expected_tables.h"

namespace {

using codec::DecodeStatus;
using Bytes = std::vector<unsigned char>;

Bytes encode(const Bytes& in, int* result = nullptr) {
    Bytes out(codec::encode_capacity(in.size()));
    int length = -1;
    const int r = codec::HuffmanEncode(in.data(), out.data(), static_cast<int>(in.size()), &length);
    if (result) *result = r;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

struct Decoded {
    DecodeStatus status;
    Bytes bytes;
};

using DecodeFn = DecodeStatus (*)(const unsigned char*, unsigned char*, int, int*, int);

// Both widths of the fast decoder run in every build, whichever the target ships.
struct FastDecoder {
    const char* name;
    DecodeFn decode;
};
constexpr FastDecoder kFastDecoders[] = {
    {"64-bit buffer", codec::detail::decode_with<uint64_t>},
    {"32-bit buffer", codec::detail::decode_with<uint32_t>},
};

// Decodes into an area of `capacity` bytes followed by guard bytes that must stay untouched.
Decoded decode(const Bytes& packet, int capacity, DecodeFn decoder = codec::HuffmanDecode) {
    constexpr int guard = 64;
    constexpr unsigned char guard_byte = 0xA5;
    const int room = std::max(capacity, 0);
    Bytes area(static_cast<std::size_t>(room) + guard, guard_byte);
    int length = -1;
    const auto status = decoder(packet.data(), area.data(), static_cast<int>(packet.size()), &length, capacity);
    EXPECT_GE(length, 0);
    EXPECT_LE(length, room);
    EXPECT_TRUE(std::all_of(area.begin() + room, area.end(), [](unsigned char b) { return b == guard_byte; }))
        << "write past an area of " << capacity << " bytes";
    area.resize(static_cast<std::size_t>(length));
    return {status, area};
}

// Bytes drawn with the launcher protocol's frequencies: what the code is made for.
Bytes protocol_bytes(std::mt19937& rng, std::size_t n) {
    static std::discrete_distribution<int> pick(std::begin(expected::kByteFrequencies),
                                                std::end(expected::kByteFrequencies));
    Bytes b(n);
    for (auto& x : b) x = static_cast<unsigned char>(pick(rng));
    return b;
}

Bytes uniform_bytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& x : b) x = static_cast<unsigned char>(rng());
    return b;
}

std::string code_text(unsigned char byte) {
    const codec::Code c = codec::code_of(byte);
    std::string s;
    for (uint32_t i = c.length; i-- > 0;) s += ((c.bits >> i) & 1) ? '1' : '0';
    return s;
}

struct ExpectedCode {
    uint32_t bits = 0;
    uint32_t length = 0;
};

// A second build of the servers' code from the byte weights and their tie rule alone: the two
// lightest slots in (weight, slot) order are joined, the lighter as child 1, into the lighter's
// slot, their weight summed in single precision. Shares nothing with the plug-in's build.
std::array<ExpectedCode, 256> expected_codes() {
    struct Node {
        int child[2] = {-1, -1};
        int byte = -1;
    };
    std::vector<Node> nodes(256);
    std::array<int, 256> slot_node{};
    std::array<float, 256> slot_weight{};
    std::array<bool, 256> filled{};
    for (int i = 0; i < 256; ++i) {
        nodes[i].byte = i;
        slot_node[i] = i;
        slot_weight[i] = expected::kByteFrequencies[i];
        filled[i] = true;
    }
    for (int round = 0; round < 255; ++round) {
        float m1 = 1e30f, m2 = 1e30f;
        int s1 = -1, s2 = -1;
        for (int j = 0; j < 256; ++j) {
            if (!filled[j]) continue;
            if (slot_weight[j] < m1) {
                m2 = m1, s2 = s1;
                m1 = slot_weight[j], s1 = j;
            } else if (slot_weight[j] < m2) {
                m2 = slot_weight[j], s2 = j;
            }
        }
        Node inner;
        inner.child[0] = slot_node[s2];
        inner.child[1] = slot_node[s1];
        nodes.push_back(inner);
        volatile float sum = m2 + m1;   // stored, so rounded to single precision on x87 too
        slot_node[s1] = static_cast<int>(nodes.size()) - 1;
        slot_weight[s1] = sum;
        filled[s2] = false;
    }
    std::array<ExpectedCode, 256> codes{};
    std::vector<std::pair<int, ExpectedCode>> todo{{static_cast<int>(nodes.size()) - 1, {}}};
    while (!todo.empty()) {
        const auto [index, code] = todo.back();
        todo.pop_back();
        const Node& node = nodes[static_cast<std::size_t>(index)];
        if (node.byte >= 0) {
            codes[static_cast<std::size_t>(node.byte)] = code;
            continue;
        }
        for (uint32_t branch = 0; branch < 2; ++branch)
            todo.push_back({node.child[branch], {code.bits * 2 + branch, code.length + 1}});
    }
    return codes;
}

TEST(HuffmanTree, MatchesTheServersCode) {
    codec::HuffmanInit();
    EXPECT_EQ(code_text(0x00), "010");
    EXPECT_EQ(code_text(0x20), "0111");
    EXPECT_EQ(code_text(0x80), "0000");
    EXPECT_EQ(code_text(0xC7), "0001110110");
    EXPECT_EQ(code_text(0xFF), "110000011");

    // Every code as the second build makes it: a wrong weight, tie-break or an unrounded sum
    // (32-bit x87 keeps extended precision) changes some of them.
    const std::array<ExpectedCode, 256> want = expected_codes();
    for (int b = 0; b < 256; ++b) {
        const codec::Code c = codec::code_of(static_cast<unsigned char>(b));
        EXPECT_EQ(c.length, want[b].length) << "byte " << b;
        EXPECT_EQ(c.bits, want[b].bits) << "byte " << b;
        EXPECT_GE(c.length, 3u) << b;
        EXPECT_LE(c.length, 10u) << b;
    }
}

TEST(HuffmanPackets, KnownPackets) {
    int result = 0;
    EXPECT_EQ(encode({0xC7, 0, 0, 0}, &result), (Bytes{0x05, 0xB8, 0x49, 0x02}));
    EXPECT_EQ(result, 5);
    EXPECT_EQ(encode({'a', 'b', 'c'}, &result), (Bytes{0xFF, 'a', 'b', 'c'}));
    EXPECT_EQ(result, 4);
    EXPECT_EQ(encode({}, &result), (Bytes{0xFF}));
    EXPECT_EQ(result, 1);

    const Decoded query = decode({0x05, 0xB8, 0x49, 0x02}, 4);
    EXPECT_EQ(query.status, DecodeStatus::ok);
    EXPECT_EQ(query.bytes, (Bytes{0xC7, 0, 0, 0}));

    const Decoded empty = decode({0xFF}, 16);
    EXPECT_EQ(empty.status, DecodeStatus::ok);
    EXPECT_TRUE(empty.bytes.empty());

    // Raw data is taken as it stands, whatever it holds.
    const Decoded raw = decode({0xFF, 0x00, 0xFF, 0x05, 0x80}, 16);
    EXPECT_EQ(raw.status, DecodeStatus::ok);
    EXPECT_EQ(raw.bytes, (Bytes{0x00, 0xFF, 0x05, 0x80}));

    // A header with no payload byte and no padding is an empty compressed packet.
    EXPECT_EQ(decode({0x00}, 16).status, DecodeStatus::ok);
}

TEST(HuffmanPackets, PaddingBitsAreNeverRead) {
    // The five padding bits of the query set to ones: 19 payload bits still give 4 bytes.
    const Decoded d = decode({0x05, 0xB8, 0x49, 0xFA}, 16);
    EXPECT_EQ(d.status, DecodeStatus::ok);
    EXPECT_EQ(d.bytes, (Bytes{0xC7, 0, 0, 0}));

    // Padding 4 makes the payload 20 bits: the 20th bit starts a code that cannot end.
    const Decoded long_tail = decode({0x04, 0xB8, 0x49, 0x02}, 16);
    EXPECT_EQ(long_tail.status, DecodeStatus::malformed);
    EXPECT_EQ(long_tail.bytes, (Bytes{0xC7, 0, 0, 0}));
}

TEST(HuffmanPackets, MalformedPackets) {
    EXPECT_EQ(decode({}, 16).status, DecodeStatus::malformed);
    for (int header = 8; header <= 254; ++header) {
        const Decoded d = decode({static_cast<unsigned char>(header), 0xB8, 0x49, 0x02}, 16);
        EXPECT_EQ(d.status, DecodeStatus::malformed) << header;
        EXPECT_TRUE(d.bytes.empty());
    }
    for (int header = 1; header <= 7; ++header)
        EXPECT_EQ(decode({static_cast<unsigned char>(header)}, 16).status, DecodeStatus::malformed);

    // Padding 6 cuts the last code of the query after two of its three bits: the complete codes
    // before it are kept.
    const Decoded cut = decode({0x06, 0xB8, 0x49, 0x02}, 16);
    EXPECT_EQ(cut.status, DecodeStatus::malformed);
    EXPECT_EQ(cut.bytes, (Bytes{0xC7, 0, 0}));
}

TEST(HuffmanPackets, StopsAtTheCapacity) {
    const Decoded exact = decode({0x05, 0xB8, 0x49, 0x02}, 4);
    EXPECT_EQ(exact.status, DecodeStatus::ok);
    const Decoded short_area = decode({0x05, 0xB8, 0x49, 0x02}, 3);
    EXPECT_EQ(short_area.status, DecodeStatus::overflow);
    EXPECT_EQ(short_area.bytes, (Bytes{0xC7, 0, 0}));
    EXPECT_EQ(decode({0x05, 0xB8, 0x49, 0x02}, 0).status, DecodeStatus::overflow);
    EXPECT_EQ(decode({0x05, 0xB8, 0x49, 0x02}, -1).status, DecodeStatus::overflow);

    const Decoded raw = decode({0xFF, 1, 2, 3}, 2);
    EXPECT_EQ(raw.status, DecodeStatus::overflow);
    EXPECT_EQ(raw.bytes, (Bytes{1, 2}));

    // A long packet into every smaller area: the main loop must leave its last rounds to the
    // careful tail and never store past the end.
    std::mt19937 rng(7);
    const Bytes data = protocol_bytes(rng, 300);
    const Bytes packet = encode(data);
    ASSERT_NE(packet[0], 0xFF);
    for (const FastDecoder& fast : kFastDecoders) {
        for (int capacity = 0; capacity <= 300; ++capacity) {
            const Decoded d = decode(packet, capacity, fast.decode);
            EXPECT_EQ(d.status, capacity == 300 ? DecodeStatus::ok : DecodeStatus::overflow) << fast.name << capacity;
            EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), data.begin())) << fast.name << capacity;
        }
    }
}

TEST(HuffmanRoundTrip, EveryLengthUpTo2000) {
    std::mt19937 rng(1);
    for (std::size_t n = 0; n <= 2000; ++n) {
        for (const Bytes& data : {protocol_bytes(rng, n), uniform_bytes(rng, n)}) {
            int result = 0;
            const Bytes packet = encode(data, &result);
            ASSERT_EQ(result, static_cast<int>(n) + 1);
            ASSERT_LE(packet.size(), n + 1);
            const Decoded d = decode(packet, static_cast<int>(n));
            ASSERT_EQ(d.status, DecodeStatus::ok) << n;
            ASSERT_EQ(d.bytes, data) << n;
        }
    }
}

// The fast codec, at both widths, must give what the tree walk gives: same bytes, same length,
// same status.
void expect_same_decode(const Bytes& packet, int capacity) {
    const Decoded slow = decode(packet, capacity, codec::reference_decode);
    for (const FastDecoder& fast : kFastDecoders) {
        const Decoded d = decode(packet, capacity, fast.decode);
        ASSERT_EQ(d.status, slow.status) << fast.name << ", packet size " << packet.size() << " capacity " << capacity;
        ASSERT_EQ(d.bytes, slow.bytes) << fast.name << ", packet size " << packet.size() << " capacity " << capacity;
    }
}

TEST(HuffmanFastCodec, EncodesLikeTheBitWriter) {
    std::mt19937 rng(2);
    for (std::size_t n = 0; n <= 4096; ++n) {
        const Bytes data = (n % 3 == 0) ? uniform_bytes(rng, n) : protocol_bytes(rng, n);
        // Both start from the same dirty area: padding and unused bytes must not leak into packets.
        Bytes fast(codec::encode_capacity(n), 0xEE), slow(codec::encode_capacity(n), 0xEE);
        int fast_length = 0, slow_length = 0;
        const int fast_result = codec::HuffmanEncode(data.data(), fast.data(), static_cast<int>(n), &fast_length);
        const int slow_result = codec::reference_encode(data.data(), slow.data(), static_cast<int>(n), &slow_length);
        ASSERT_EQ(fast_result, slow_result);
        ASSERT_EQ(fast_length, slow_length) << n;
        ASSERT_TRUE(std::equal(fast.begin(), fast.begin() + fast_length, slow.begin())) << n;
    }
}

TEST(HuffmanFastCodec, DecodesLikeTheTreeWalk) {
    std::mt19937 rng(3);
    for (std::size_t n = 0; n <= 4096; ++n) {
        const Bytes packet = encode(protocol_bytes(rng, n));
        const int capacity = static_cast<int>(n);
        expect_same_decode(packet, capacity);
        expect_same_decode(packet, static_cast<int>(rng() % (n + 1)));
        // Damaged copies: another padding count, a cut, flipped bits.
        Bytes damaged = packet;
        damaged[0] = static_cast<unsigned char>(rng() % 8);
        expect_same_decode(damaged, capacity + 8);
        if (packet.size() > 1) {
            Bytes cut(packet.begin(), packet.begin() + 1 + static_cast<long>(rng() % (packet.size() - 1)));
            expect_same_decode(cut, capacity);
            damaged[1 + rng() % (damaged.size() - 1)] ^= static_cast<unsigned char>(1u << (rng() % 8));
            expect_same_decode(damaged, capacity + 8);
        }
    }
}

TEST(HuffmanFastCodec, DecodesRandomPacketsLikeTheTreeWalk) {
    std::mt19937 rng(4);
    for (int round = 0; round < 3000; ++round) {
        Bytes packet = uniform_bytes(rng, rng() % 600);
        if (!packet.empty() && round % 4 != 0) packet[0] = static_cast<unsigned char>(rng() % 8);
        expect_same_decode(packet, static_cast<int>(rng() % 1200));
    }
}

}  // namespace
