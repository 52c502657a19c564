// huffman.cpp: the packet codec used on the wire: table-driven encode and decode.
//
// Both work on a 64-bit bit buffer in stream order (first bit in bit 0). The encoder adds five
// pre-reversed codes per store; the decoder looks up 12 bits at a time and gets up to three bytes
// per lookup. The main loops run only while the input, the output area and the payload bits all
// have room for a whole round, so their bodies check nothing; the last few codes go through a
// careful loop that checks every code against the payload's end. No allocation, no state beyond
// the tables of HuffmanInit.
#include "brannock/codec/huffman.h"

#include <bit>
#include <cstring>

#include "brannock/codec/huffman_tables.h"

namespace codec {

namespace detail {
Tables tables;
}  // namespace detail

using detail::tables;

namespace {

constexpr unsigned char raw_header = 255;
constexpr int max_padding = 7;

uint64_t load64_le(const unsigned char* p) {
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    return v;
}

void store64_le(unsigned char* p, uint64_t v) {
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap64(v);
    std::memcpy(p, &v, sizeof v);
}

void store32_le(unsigned char* p, uint32_t v) {
    if constexpr (std::endian::native == std::endian::big) v = __builtin_bswap32(v);
    std::memcpy(p, &v, sizeof v);
}

// Five codes of at most 10 bits on top of at most 7 pending bits fit one 64-bit store.
constexpr int codes_per_store = 5;
static_assert(codes_per_store * detail::max_code_length + 7 <= 64);

int encode_packet(const unsigned char* input, unsigned char* output, int input_length) {
    const std::size_t n = input_length > 0 ? static_cast<std::size_t>(input_length) : 0;
    const uint32_t* enc = tables.encode;
    unsigned char* out = output + 1;
    unsigned char* const out_limit = output + encode_capacity(n);
    uint64_t acc = 0;
    unsigned pending = 0;  // bits in acc not yet counted as written
    std::size_t i = 0;

    while (n - i >= codes_per_store && out_limit - out >= 8) {
        for (int k = 0; k < codes_per_store; ++k) {
            const uint32_t e = enc[input[i++]];
            acc |= static_cast<uint64_t>(e & 0xFFFF) << pending;
            pending += e >> 16;
        }
        store64_le(out, acc);
        out += pending >> 3;
        acc >>= pending & ~7u;
        pending &= 7;
    }
    for (; i < n; ++i) {
        const uint32_t e = enc[input[i]];
        acc |= static_cast<uint64_t>(e & 0xFFFF) << pending;
        pending += e >> 16;
        for (; pending >= 8; pending -= 8, acc >>= 8) *out++ = static_cast<unsigned char>(acc);
    }
    // Padding bits go out as zeros.
    if (pending > 0) *out++ = static_cast<unsigned char>(acc);

    const std::size_t length = static_cast<std::size_t>(out - output);
    if (length >= n + 1) {
        output[0] = raw_header;
        if (n > 0) std::memcpy(output + 1, input, n);
        return static_cast<int>(n + 1);
    }
    output[0] = static_cast<unsigned char>((8 - pending) & 7);
    return static_cast<int>(length);
}

DecodeStatus decode_packet(const unsigned char* input, unsigned char* output, int input_length,
                           int* output_length, int capacity) {
    *output_length = 0;
    if (input_length <= 0) return DecodeStatus::malformed;
    const std::size_t room = capacity > 0 ? static_cast<std::size_t>(capacity) : 0;
    const std::size_t payload_bytes = static_cast<std::size_t>(input_length) - 1;
    const unsigned header = input[0];

    if (header == raw_header) {
        const std::size_t copied = payload_bytes < room ? payload_bytes : room;
        if (copied > 0) std::memcpy(output, input + 1, copied);
        *output_length = static_cast<int>(copied);
        return copied == payload_bytes ? DecodeStatus::ok : DecodeStatus::overflow;
    }
    if (header > max_padding || header > 8 * payload_bytes) return DecodeStatus::malformed;

    const unsigned char* const start = input + 1;
    const unsigned char* const in_end = start + payload_bytes;
    const unsigned char* in = start;
    unsigned char* out = output;
    unsigned char* const out_end = output + room;
    const std::size_t total = 8 * payload_bytes - header;  // payload bits
    uint64_t buf = 0;
    unsigned have = 0;  // bits of buf not yet used; the bits above them mirror the next input bytes
    auto used = [&] { return 8 * static_cast<std::size_t>(in - start) - have; };

    constexpr unsigned window_mask = (1u << detail::window_bits) - 1;
    constexpr std::size_t round_bits = detail::lookups_per_refill * detail::window_bits;
    constexpr std::size_t round_out = detail::lookups_per_refill * 4;  // each lookup stores 4 bytes
    const uint32_t* dec = tables.decode;
    while (in_end - in >= 8 && static_cast<std::size_t>(out_end - out) >= round_out &&
           total - used() >= round_bits) {
        // Branch-free refill to at least 56 bits; re-ORs bytes already there with the same bits.
        buf |= load64_le(in) << have;
        in += (63 - have) >> 3;
        have |= 56;
        for (int k = 0; k < detail::lookups_per_refill; ++k) {
            const uint32_t e = dec[buf & window_mask];
            store32_le(out, e);
            out += detail::entry_count(e);
            const unsigned bits = detail::entry_bits(e);
            buf >>= bits;
            have -= bits;
        }
    }

    // The tail: one code at a time, each checked against the payload's end before it is taken.
    constexpr unsigned one_mask = (1u << detail::max_code_length) - 1;
    for (;;) {
        while (have <= 56 && in < in_end) {
            buf |= static_cast<uint64_t>(*in++) << have;
            have += 8;
        }
        const std::size_t left = total - used();
        if (left == 0) break;
        if (out == out_end) {
            *output_length = static_cast<int>(out - output);
            return DecodeStatus::overflow;
        }
        const uint16_t e = tables.decode_one[buf & one_mask];
        const unsigned bits = e >> 8;
        if (bits > left) {
            *output_length = static_cast<int>(out - output);
            return DecodeStatus::malformed;
        }
        *out++ = static_cast<unsigned char>(e);
        buf >>= bits;
        have -= bits;
    }
    *output_length = static_cast<int>(out - output);
    return DecodeStatus::ok;
}

}  // namespace

void HuffmanInit() {
    // Magic static: one build even when several threads get here first.
    [[maybe_unused]] static const bool built = [] {
        detail::build_tables(tables);
        return true;
    }();
}

int HuffmanEncode(const unsigned char* input, unsigned char* output, int input_length, int* output_length) {
    HuffmanInit();
    *output_length = encode_packet(input, output, input_length);
    return input_length > 0 ? input_length + 1 : 1;
}

DecodeStatus HuffmanDecode(const unsigned char* input, unsigned char* output, int input_length,
                           int* output_length, int capacity) {
    HuffmanInit();
    return decode_packet(input, output, input_length, output_length, capacity);
}

Code code_of(unsigned char byte) {
    HuffmanInit();
    return tables.codes[byte];
}

}  // namespace codec
