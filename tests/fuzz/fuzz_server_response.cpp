// fuzz_server_response.cpp: any datagram through the server-list reading of a game server reply.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/reply_model.h"
#include "brannock/server_info.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HuffmanInit();
    static unsigned char area[brannock::kServerReplyArea];
    const auto decoded = brannock::decode_datagram(data, static_cast<int>(size), area);
    brannock::ReplyFields reply;
    if (brannock::walk_reply(decoded, brannock::kListReading, &reply) != brannock::ReplyRead::complete) return 0;
    for (const auto& bytes : reply.at) {
        if (!bytes.empty() && (bytes.data() < decoded.data() || bytes.data() + bytes.size() > decoded.data() + decoded.size())) {
            __builtin_trap();
        }
    }
    brannock::server_properties(reply, [&](const char* key, const char* value) {
        if (std::strlen(value) > decoded.size() * 2 + 64) __builtin_trap();
        if (key[0] == '\0' && std::strlen(value) > brannock::kServerNameMax) __builtin_trap();
    });
    return 0;
}
