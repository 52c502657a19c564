// fuzz_master_response.cpp: any datagram through the master list reader; no unusable server
// reaches the launcher.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/master_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HuffmanInit();
    static unsigned char area[brannock::kMasterReplyArea];
    const auto decoded = brannock::decode_datagram(data, static_cast<int>(size), area);
    std::size_t entries = 0;
    brannock::read_master_list(decoded, [&](const char* address, const char* port) {
        if (std::strlen(address) > 15 || std::strlen(port) > 5) __builtin_trap();
        // No port 0, no 0.0.0.0/8, no multicast, reserved or broadcast address (224 and above).
        const long first = std::strtol(address, nullptr, 10);
        if (std::strcmp(port, "0") == 0 || first == 0 || first >= 224) __builtin_trap();
        ++entries;
    });
    // Every record is 7 decoded bytes after the 4-byte status.
    if (entries * 7 + 4 > decoded.size() && entries != 0) __builtin_trap();
    return 0;
}
