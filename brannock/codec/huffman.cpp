// huffman.cpp: the packet codec used on the wire: table-driven encode and decode.
//
// Both work on a bit buffer in stream order (first bit in bit 0). The encoder adds five
// pre-reversed codes per 64-bit store; the decoder looks up 12 bits at a time and gets up to three
// bytes per lookup. The decoder's buffer is as wide as the target's registers: 64 bits, four
// lookups a refill, on a 64-bit target; 32 bits, two lookups a refill, on a 32-bit one, where a
// 64-bit buffer would live in a register pair. One body serves both widths. The main loops run
// only while the input, the output area and the payload bits all have room for a whole round, so
// their bodies check nothing; the last few codes go through a careful loop that checks every code
// against the payload's end. No allocation, no state beyond the tables of HuffmanInit.
#include "brannock/codec/huffman.h"

#include <algorithm>
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

template <class Word>
Word load_le(const unsigned char* p) {
    Word v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        if constexpr (sizeof v == 8) v = __builtin_bswap64(v);
        else v = __builtin_bswap32(v);
    }
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
            acc |= static_cast<uint64_t>(detail::encoder_bits(e)) << pending;
            pending += detail::encoder_length(e);
        }
        store64_le(out, acc);
        out += pending >> 3;
        acc >>= pending & ~7u;
        pending &= 7;
    }
    for (; i < n; ++i) {
        const uint32_t e = enc[input[i]];
        acc |= static_cast<uint64_t>(detail::encoder_bits(e)) << pending;
        pending += detail::encoder_length(e);
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

// The decoder's constants for a bit buffer of type Buf.
template <class Buf>
struct Width {
    static constexpr unsigned bits = 8 * sizeof(Buf);
    // A branch-free refill leaves at least this many bits (the load's last byte may be partial).
    static constexpr unsigned refilled = bits - 8;
    static constexpr int lookups = static_cast<int>(refilled) / detail::window_bits;
    static constexpr std::size_t round_bits = static_cast<std::size_t>(lookups) * detail::window_bits;
    static constexpr std::ptrdiff_t round_out = lookups * 4;   // each lookup stores 4 bytes
    static constexpr std::ptrdiff_t round_max_out = lookups * detail::symbols_per_entry;
    // Entries hold their bits used in bits 0..5 and are used as shift counts: a shift by the
    // entry takes the count modulo the width, which the mask says to the compiler.
    static constexpr uint32_t shift_mask = bits - 1;
    static_assert(lookups >= 2, "a round overlaps at least two lookups");
    static_assert(round_bits < 64, "a round's bits used add up inside bits 0..5");
};

// A position in the payload: the next bits in buf from bit 0; the bits above `have` mirror the
// bytes from `in` on (or are zero), so refills may OR the same bytes in again.
template <class Buf>
struct Reader {
    const unsigned char* in;
    Buf buf;
    unsigned have;
};

struct Payload {
    const unsigned char* start;
    const unsigned char* end;
    std::size_t bits;  // payload bits: 8 * bytes - padding
};

constexpr unsigned window_mask = (1u << detail::window_bits) - 1;
constexpr unsigned one_mask = (1u << detail::max_code_length) - 1;

template <class Buf>
std::size_t position(const Payload& p, const Reader<Buf>& r) {
    return 8 * static_cast<std::size_t>(r.in - p.start) - r.have;
}

// Whole rounds that fit before any limit: each needs sizeof(Buf) input bytes to load and moves
// `in` at most one byte less on, stores at most round_out bytes and moves `out` at most
// round_max_out bytes on, and uses at most round_bits bits. Counting them up front keeps the
// checks out of the rounds.
template <class Buf>
std::size_t rounds_that_fit(const Payload& p, const Reader<Buf>& r, const unsigned char* out,
                            const unsigned char* out_stop, std::size_t bit_stop) {
    using W = Width<Buf>;
    constexpr std::ptrdiff_t load = sizeof(Buf);
    const std::size_t at = position(p, r);
    if (p.end - r.in < load || out_stop - out < W::round_out || at + W::round_bits > bit_stop) return 0;
    const std::size_t by_input = static_cast<std::size_t>(p.end - r.in - load) / (load - 1) + 1;
    const std::size_t by_output = static_cast<std::size_t>(out_stop - out - W::round_out) / W::round_max_out + 1;
    const std::size_t by_bits = (bit_stop - at - W::round_bits) / W::round_bits + 1;
    return std::min({by_input, by_output, by_bits});
}

// Branch-free refill to at least `refilled` bits; needs sizeof(Buf) readable bytes and have below
// the width.
template <class Buf>
[[gnu::always_inline]] inline void refill(Reader<Buf>& r) {
    using W = Width<Buf>;
    r.buf |= load_le<Buf>(r.in) << r.have;
    r.in += (W::bits - 1 - r.have) >> 3;
    r.have |= W::refilled;
}

// To `refilled` bits or more, or to the end of the input; byte by byte only in the last bytes (the
// branch-free refill shifts by `have`, so it must stay below the width).
template <class Buf>
[[gnu::always_inline]] inline void refill_careful(const Payload& p, Reader<Buf>& r) {
    if (p.end - r.in >= static_cast<std::ptrdiff_t>(sizeof(Buf))) return refill(r);
    while (r.have < Width<Buf>::refilled && r.in < p.end) {
        r.buf |= static_cast<Buf>(*r.in++) << r.have;
        r.have += 8;
    }
}

template <class Buf>
[[gnu::always_inline]] inline void consume(Reader<Buf>& r, uint32_t bits) {
    r.buf >>= bits & Width<Buf>::shift_mask;
    r.have -= bits;
}

// One round: refill, then `lookups` table entries; the entries' sum carries the bits used.
template <class Buf>
[[gnu::always_inline]] inline void round(Reader<Buf>& r, unsigned char*& out) {
    using W = Width<Buf>;
    refill(r);
    uint32_t used = 0;
#pragma GCC unroll 4
    for (int k = 0; k < W::lookups; ++k) {
        const uint32_t e = tables.decode[r.buf & window_mask];
        r.buf >>= e & W::shift_mask;
        used += e;
        store32_le(out, detail::entry_symbols(e));
        out += detail::entry_count(e);
    }
    r.have -= detail::entry_bits(used);
}

// Whole rounds while they fit; the caller finishes with decode_careful.
template <class Buf>
void decode_rounds(const Payload& p, Reader<Buf>& r, unsigned char*& out, const unsigned char* out_stop,
                   std::size_t bit_stop) {
    while (std::size_t n = rounds_that_fit(p, r, out, out_stop, bit_stop)) {
        for (; n > 0; --n) round(r, out);
    }
}

// Until bit_stop is reached or passed. A table entry is taken whole when its codes all end by
// bit_stop and the area has room for its store; otherwise one code at a time, each checked
// against the payload's end and the area's end before it is taken.
template <class Buf>
DecodeStatus decode_careful(const Payload& p, Reader<Buf>& r, unsigned char*& out, const unsigned char* out_end,
                            std::size_t bit_stop) {
    for (;;) {
        refill_careful(p, r);
        const std::size_t at = position(p, r);
        if (at >= bit_stop) return DecodeStatus::ok;
        const uint32_t entry = tables.decode[r.buf & window_mask];
        if (detail::entry_bits(entry) <= bit_stop - at && out_end - out >= 4) {
            store32_le(out, detail::entry_symbols(entry));
            out += detail::entry_count(entry);
            consume(r, detail::entry_bits(entry));
            continue;
        }
        if (out == out_end) return DecodeStatus::overflow;
        const uint16_t e = tables.decode_one[r.buf & one_mask];
        const unsigned bits = e >> 8;
        if (bits > p.bits - at) return DecodeStatus::malformed;
        *out++ = static_cast<unsigned char>(e);
        consume(r, bits);
    }
}

// The decoder's speed is bound by one chain: a lookup decides how far to shift before the next.
// Long payloads therefore run a second chain a stretch ahead of the first. A code stream falls
// into step after a few codes wherever it starts, so the second reader skips some codes, marks
// where it stands, and decodes the next stretch into a small local area while the first reader
// decodes up to the mark. When the first reader lands on the mark exactly, both parses agree from
// there: the second reader's bytes are the next bytes of the packet. Otherwise they are dropped
// and the first reader goes on alone. The result is the same either way.
constexpr std::size_t stretch_max_bits = 6144;
constexpr std::size_t stretch_min_bits = 512;
constexpr int skip_codes = 32;  // enough for every stretch of protocol data tried to fall into step
// Skipping goes a table entry at a time, so it may pass up to two codes more.
constexpr std::size_t skip_max_bits = (skip_codes + detail::symbols_per_entry - 1) * detail::max_code_length;
constexpr std::size_t second_area_size = 2048 + 16;   // a stretch and the last round's store
static_assert(second_area_size - 16 >= stretch_max_bits / 3, "a stretch of 3-bit codes fits the area");

// Starts the second reader at bit `from`; false when a skipped entry would run past the payload.
template <class Buf>
bool start_second(const Payload& p, std::size_t from, Reader<Buf>& b, std::size_t* mark) {
    b = Reader<Buf>{p.start + from / 8, 0, 0};
    refill_careful(p, b);
    consume(b, static_cast<uint32_t>(from % 8));
    for (uint32_t skipped = 0; skipped < skip_codes;) {
        refill_careful(p, b);
        const uint32_t e = tables.decode[b.buf & window_mask];
        if (detail::entry_bits(e) > p.bits - position(p, b)) return false;
        consume(b, detail::entry_bits(e));
        skipped += detail::entry_count(e);
    }
    *mark = position(p, b);
    return true;
}

template <class Buf>
DecodeStatus decode_packet(const unsigned char* input, unsigned char* output, int input_length,
                           int* output_length, int capacity) {
    using W = Width<Buf>;
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

    const Payload p{input + 1, input + 1 + payload_bytes, 8 * payload_bytes - header};
    unsigned char* const out_end = output + room;
    Reader<Buf> r{p.start, 0, 0};
    unsigned char* out = output;
    auto finish = [&](DecodeStatus status) {
        *output_length = static_cast<int>(out - output);
        return status;
    };

    unsigned char second_area[second_area_size];
    unsigned char* const second_end = second_area + second_area_size;
    for (;;) {
        const std::size_t at = position(p, r);
        const std::size_t spare = p.bits - at - skip_max_bits - W::round_bits;
        const std::size_t stretch = p.bits - at > 2 * stretch_min_bits + skip_max_bits + W::round_bits
                                        ? std::min(stretch_max_bits, spare / 2) : 0;
        Reader<Buf> b{};
        std::size_t mark = 0;
        // Every code gives a byte, so an area that fills before `stretch` bits are read would
        // leave the second reader's work unused: a small area (a reply's magic) goes alone.
        const std::size_t room_left = static_cast<std::size_t>(out_end - out);
        if (stretch < stretch_min_bits || room_left * detail::max_code_length < stretch ||
            !start_second(p, at + stretch, b, &mark)) {
            break;
        }
        unsigned char* b_out = second_area;
        // The second reader may run on past its stretch, to the payload's end when its area
        // holds it, so the last stretch of a packet is not left to one chain.
        const std::size_t b_stop = std::min(p.bits, mark + stretch_max_bits);
        // Two independent rounds per step: the processor overlaps their chains.
        while (std::size_t n = std::min(rounds_that_fit(p, r, out, out_end, mark),
                                        rounds_that_fit(p, b, b_out, second_end, b_stop))) {
            for (; n > 0; --n) {
                round(r, out);
                round(b, b_out);
            }
        }
        decode_rounds(p, r, out, out_end, mark);
        const DecodeStatus status = decode_careful(p, r, out, out_end, mark);
        if (status != DecodeStatus::ok) return finish(status);
        if (position(p, r) != mark) continue;  // out of step: the first reader goes on from here
        const std::size_t made = static_cast<std::size_t>(b_out - second_area);
        const std::size_t fits = std::min(made, static_cast<std::size_t>(out_end - out));
        std::memcpy(out, second_area, fits);
        out += fits;
        if (fits < made) return finish(DecodeStatus::overflow);
        r = b;
    }
    decode_rounds(p, r, out, out_end, p.bits);
    return finish(decode_careful(p, r, out, out_end, p.bits));
}

}  // namespace

template <class Buf>
DecodeStatus detail::decode_with(const unsigned char* input, unsigned char* output, int input_length,
                                 int* output_length, int capacity) {
    HuffmanInit();
    return decode_packet<Buf>(input, output, input_length, output_length, capacity);
}
template DecodeStatus detail::decode_with<uint64_t>(const unsigned char*, unsigned char*, int, int*, int);
template DecodeStatus detail::decode_with<uint32_t>(const unsigned char*, unsigned char*, int, int*, int);

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
    return detail::decode_with<detail::TargetBuffer>(input, output, input_length, output_length, capacity);
}

Code code_of(unsigned char byte) {
    HuffmanInit();
    return tables.codes[byte];
}

}  // namespace codec
