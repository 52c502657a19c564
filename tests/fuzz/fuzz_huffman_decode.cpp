// fuzz_huffman_decode.cpp: arbitrary datagrams through the packet decoder.
//
// The first input byte picks the size of the output area, the rest is the packet. Checks that
// decoding stays inside the area, that the fast decoder with each bit buffer width (the 64-bit and
// the 32-bit target's) and the tree walk agree on status, length and bytes, and that the input,
// taken as plain data, survives an encode and decode.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "brannock/codec/huffman.h"
#include "brannock/codec/huffman_reference.h"
#include "brannock/codec/huffman_tables.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 1 << 16) return 0;
    const int capacity = data[0] * 16;  // 0 .. 4080: short areas stop long packets
    const unsigned char* packet = data + 1;
    const int length = static_cast<int>(size - 1);

    // Exact-size heap areas, so the sanitizer sees any write past the capacity.
    std::vector<unsigned char> slow_out(static_cast<size_t>(capacity));
    int slow_length = -1;
    const auto slow = codec::reference_decode(packet, slow_out.data(), length, &slow_length, capacity);
    for (auto* fast_decode : {codec::detail::decode_with<uint64_t>, codec::detail::decode_with<uint32_t>}) {
        std::vector<unsigned char> fast_out(static_cast<size_t>(capacity));
        int fast_length = -1;
        const auto fast = fast_decode(packet, fast_out.data(), length, &fast_length, capacity);
        check(fast == slow);
        check(fast_length == slow_length);
        check(fast_length >= 0 && fast_length <= capacity);
        check(fast_length == 0 ||
              std::memcmp(fast_out.data(), slow_out.data(), static_cast<size_t>(fast_length)) == 0);
    }

    std::vector<unsigned char> encoded(codec::encode_capacity(size - 1));
    int encoded_length = -1;
    check(codec::HuffmanEncode(packet, encoded.data(), length, &encoded_length) == length + 1);
    check(encoded_length >= 1 && encoded_length <= length + 1);
    std::vector<unsigned char> back(size - 1);
    int back_length = -1;
    check(codec::HuffmanDecode(encoded.data(), back.data(), encoded_length, &back_length, length) ==
          codec::DecodeStatus::ok);
    check(back_length == length && (length == 0 || std::memcmp(back.data(), packet, back.size()) == 0));
    return 0;
}
