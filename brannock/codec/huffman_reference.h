// huffman_reference.h: the plain forms of the packet codec, one tree step or one bit at a time.
//
// They follow the wire definition step by step and share nothing with the fast codec but the
// tree and the code table, so tests and benchmarks hold HuffmanEncode and HuffmanDecode against
// them. Same arguments, results and statuses as in huffman.h.
#pragma once

#include "brannock/codec/huffman.h"

namespace codec {

// Writes each code bit by bit at its stream position; padding bits are left zero.
int reference_encode(const unsigned char* input, unsigned char* output, int input_length, int* output_length);

// Walks the tree from the root for every code.
DecodeStatus reference_decode(const unsigned char* input, unsigned char* output, int input_length,
                              int* output_length, int capacity);

}  // namespace codec
