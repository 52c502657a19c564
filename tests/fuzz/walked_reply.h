// walked_reply.h: a fuzzed datagram decoded and walked as a game server's reply, for the targets
// that read replies.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/reply_layout.h"

namespace fuzz {

struct WalkedReply {
    std::span<const unsigned char> decoded;   // the decoded reply; valid until the next walk
    brannock::ReplyFields fields;             // views into `decoded`
    brannock::ReplyRead read = brannock::ReplyRead::foreign;
};

// Decodes the datagram into one area kept for the whole program, as large as the plug-in's own,
// and walks it the way `reading` reads it.
inline WalkedReply walk_datagram(const uint8_t* data, std::size_t size, const brannock::ReplyReading& reading) {
    codec::HuffmanInit();
    static unsigned char area[brannock::kServerReplyArea];
    WalkedReply reply;
    reply.decoded = brannock::decode_datagram(data, static_cast<int>(size), area);
    reply.read = brannock::walk_reply(reply.decoded, reading, &reply.fields);
    return reply;
}

}  // namespace fuzz
