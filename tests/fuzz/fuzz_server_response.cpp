// fuzz_server_response.cpp: any datagram through the server-list reading of a game server reply.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/server_info.h"
#include "brannock/server_reply.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HuffmanInit();
    const auto decoded = brannock::decode_datagram(data, static_cast<int>(size), brannock::kServerReplyArea);
    brannock::ServerInfo info;
    if (brannock::read_server_info(decoded, &info) != brannock::ReplyRead::complete) return 0;
    if (info.name.size() > brannock::kServerNameMax) __builtin_trap();
    brannock::server_properties(info, [&](const char*, const char* value) {
        if (std::strlen(value) > decoded.size() * 2 + 64) __builtin_trap();
    });
    return 0;
}
