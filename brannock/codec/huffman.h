// huffman.h: the fixed Huffman code of every Brannock launcher datagram.
//
// The tree comes from a table of 256 byte frequencies shared with the engine's servers, so it must
// come out bit for bit as theirs. Packet: one header byte (0..7 padding bits at the end, or 255 for
// raw data), then the bits, least significant first. Built once by HuffmanInit; encode and decode
// only read it afterwards. Pure code, linked by the plug-in and by the server simulator.
#pragma once

#include <cstddef>
#include <cstdint>

namespace codec {

// Builds the tree and the code table. Idempotent and safe to call from several threads; encode
// and decode call it themselves, so a codec used before SDLL_Init still codes correctly.
void HuffmanInit();

// Room the output of HuffmanEncode needs for `input_length` bytes: the bits are written before
// the raw/compressed decision and the longest code is 10 bits.
constexpr std::size_t encode_capacity(std::size_t input_length) {
    return 1 + (10 * input_length + 7) / 8;
}

// Writes the packet for `input` to `output` (at least encode_capacity(input_length) bytes, not
// overlapping the input) and its size to *output_length. Padding bits are written as zeros.
// Returns input_length + 1 in every case; a negative length counts as empty (packet FF, result 1).
int HuffmanEncode(const unsigned char* input, unsigned char* output, int input_length, int* output_length);

enum class DecodeStatus {
    ok,          // the whole packet decoded
    malformed,   // empty packet, header 8..254, a header 1..7 with no payload byte, or a code
                 // running past the last payload bit (padding bits are never read as code bits)
    overflow,    // the output area filled up before the packet ended
};

// Decodes a packet into `output`, never writing more than `capacity` bytes and never reading past
// `input_length`. *output_length receives the bytes written: all of them for ok; for a malformed
// or overflowing packet the complete codes before the fault (nothing for a bad header), so a
// caller may treat such a packet as empty or as truncated. Room is checked before each code: a
// packet that fills the area exactly is ok, one with any code left over is overflow. A raw packet
// (header 255) copies what fits and is overflow when its data does not.
DecodeStatus HuffmanDecode(const unsigned char* input, unsigned char* output, int input_length,
                           int* output_length, int capacity);

struct Code {
    uint32_t bits;     // path from the root, first branch in the most significant of `length` bits
    uint32_t length;
};
// The code of one byte value (valid after HuffmanInit).
Code code_of(unsigned char byte);

}  // namespace codec
