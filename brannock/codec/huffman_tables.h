// huffman_tables.h: the tree and lookup tables HuffmanInit builds, shared inside the codec.
//
// One build makes everything from the same tree: the nodes (walked by the reference decoder), the
// code table (the wire definition), and the tables of the fast encoder and decoder. Only the
// codec's own files and its tests include this header; callers use huffman.h.
#pragma once

#include <cstdint>
#include <type_traits>

#include "brannock/codec/huffman.h"

namespace codec::detail {

constexpr int symbol_count = 256;
constexpr int node_count = 2 * symbol_count - 1;
constexpr int max_code_length = 10;  // the tree's deepest leaf; checked when the tables are built

// Width of the fast decoder's window. Every entry holds the codes that end inside the window, so
// it must cover the longest code; a refill serves as many lookups as its bits hold (four of a
// 64-bit buffer, two of a 32-bit one).
constexpr int window_bits = 12;
constexpr int symbols_per_entry = 3;
static_assert(window_bits >= max_code_length, "one lookup must always finish a code");
static_assert(symbols_per_entry == 3, "three symbol bytes fill bits 6..29 of an entry");

struct Node {
    int16_t child[2];  // -1 in a leaf
    uint8_t byte;      // 255 in an inner node
    float weight;
};

// Fast decoder entry: bits used in bits 0..5 (so the entry itself is the shift count: shifts
// take the count modulo the buffer's width, and no entry uses 32 bits or more), the symbol bytes
// in bits 6..29, the symbol count (1..3) in bits 30..31. Entries added up keep the sum of their
// bits used in bits 0..5 while it stays below 64.
constexpr uint32_t entry_bits(uint32_t entry) { return entry & 63; }
constexpr uint32_t entry_symbols(uint32_t entry) { return entry >> 6; }
constexpr uint32_t entry_count(uint32_t entry) { return entry >> 30; }

// Fast encoder entry: the code with its first branch in bit 0 (the stream's order) in bits
// 0..15, its length in bits 16 and up.
constexpr uint32_t encoder_entry(uint32_t stream_bits, uint32_t length) { return stream_bits | length << 16; }
constexpr uint32_t encoder_bits(uint32_t entry) { return entry & 0xFFFF; }
constexpr uint32_t encoder_length(uint32_t entry) { return entry >> 16; }

struct Tables {
    Node nodes[node_count];
    int root;
    Code codes[symbol_count];
    uint32_t encode[symbol_count];   // encoder_entry of each byte
    uint32_t decode[1u << window_bits];
    // One code per entry, for the tail of a packet: byte | length << 8.
    uint16_t decode_one[1u << max_code_length];
};

// The launcher protocol's byte frequencies the tree is built from (they sum to 1).
extern const float frequencies[symbol_count];

// Filled once by HuffmanInit; read-only afterwards.
extern Tables tables;

// Builds every table from the frequency table into `t`.
void build_tables(Tables& t);

// The fast decoder with a bit buffer of type Buf, uint64_t or uint32_t: one body, the two differ
// only in that type. HuffmanDecode runs the target's; the tests hold both against the tree walk.
template <class Buf>
DecodeStatus decode_with(const unsigned char* input, unsigned char* output, int input_length, int* output_length,
                         int capacity);
extern template DecodeStatus decode_with<uint64_t>(const unsigned char*, unsigned char*, int, int*, int);
extern template DecodeStatus decode_with<uint32_t>(const unsigned char*, unsigned char*, int, int*, int);

// The width of the target's registers: a 64-bit buffer would take a register pair on a 32-bit one.
using TargetBuffer = std::conditional_t<(UINTPTR_MAX > 0xFFFFFFFFu), uint64_t, uint32_t>;

}  // namespace codec::detail
