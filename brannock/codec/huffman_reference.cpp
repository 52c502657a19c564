// huffman_reference.cpp: the packet codec written as the wire defines it: bit by bit, tree step by step.
#include "brannock/codec/huffman_reference.h"

#include <cstring>

#include "brannock/codec/huffman_tables.h"

namespace codec {

using detail::tables;

int reference_encode(const unsigned char* input, unsigned char* output, int input_length, int* output_length) {
    HuffmanInit();
    const long long n = input_length > 0 ? input_length : 0;
    long long a = 0;  // bits written
    for (long long i = 0; i < n; ++i) {
        uint32_t c = tables.codes[input[i]].bits;
        const long long l = tables.codes[input[i]].length;
        for (long long j = 0; j < l; ++j) {
            const long long p = a + l - 1 - j;
            unsigned char& byte = output[1 + p / 8];
            const unsigned char mask = static_cast<unsigned char>(1u << (p % 8));
            byte = (c & 1) ? (byte | mask) : (byte & ~mask);
            c >>= 1;
        }
        a += l;
    }
    long long length = (a + 7) / 8 + 1;
    const int padding = static_cast<int>(8 * (length - 1) - a);
    if (padding > 0) output[length - 1] &= static_cast<unsigned char>(0xFF >> padding);
    output[0] = static_cast<unsigned char>(padding);
    if (length >= n + 1) {
        output[0] = 255;
        if (n > 0) std::memcpy(output + 1, input, static_cast<std::size_t>(n));
        length = n + 1;
    }
    *output_length = static_cast<int>(length);
    return static_cast<int>(n + 1);
}

DecodeStatus reference_decode(const unsigned char* input, unsigned char* output, int input_length,
                              int* output_length, int capacity) {
    HuffmanInit();
    *output_length = 0;
    if (input_length <= 0) return DecodeStatus::malformed;
    const long long room = capacity > 0 ? capacity : 0;
    if (input[0] == 255) {
        long long count = 0;
        for (; count < input_length - 1 && count < room; ++count) output[count] = input[1 + count];
        *output_length = static_cast<int>(count);
        return count == input_length - 1 ? DecodeStatus::ok : DecodeStatus::overflow;
    }
    const long long total = 8LL * input_length - 8 - input[0];
    if (input[0] > 7 || total < 0) return DecodeStatus::malformed;

    long long i = 0;
    long long count = 0;
    while (i < total) {
        if (count == room) {
            *output_length = static_cast<int>(count);
            return DecodeStatus::overflow;
        }
        int node = tables.root;
        while (tables.nodes[node].child[0] >= 0) {
            if (i == total) {  // the code runs past the last payload bit
                *output_length = static_cast<int>(count);
                return DecodeStatus::malformed;
            }
            const int bit = (input[1 + i / 8] >> (i % 8)) & 1;
            node = tables.nodes[node].child[bit];
            ++i;
        }
        output[count++] = tables.nodes[node].byte;
    }
    *output_length = static_cast<int>(count);
    return DecodeStatus::ok;
}

}  // namespace codec
