// fuzz_master_response.cpp: any datagram through the master list reader.
#include <cstddef>
#include <cstdint>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/master_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HuffmanInit();
    const auto decoded = brannock::decode_datagram(data, static_cast<int>(size), brannock::kMasterReplyArea);
    const brannock::MasterList list = brannock::read_master_list(decoded);
    // Every record is 7 decoded bytes after the 4-byte status.
    if (list.entries.size() * 7 + 4 > decoded.size() && !list.entries.empty()) __builtin_trap();
    return 0;
}
