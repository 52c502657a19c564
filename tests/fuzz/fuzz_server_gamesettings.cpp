// fuzz_server_gamesettings.cpp: any datagram through the game-settings reading of a server reply.
#include <cstddef>
#include <cstdint>

#include "brannock/codec/huffman.h"
#include "brannock/datagram.h"
#include "brannock/server_reply.h"
#include "brannock/server_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    codec::HuffmanInit();
    const auto decoded = brannock::decode_datagram(data, static_cast<int>(size), brannock::kServerReplyArea);
    brannock::ServerSettings settings;
    if (brannock::read_server_settings(decoded, &settings) != brannock::ReplyRead::complete) return 0;
    for (const auto& player : settings.players) {
        if (player.size() > brannock::kPlayerNameMax) __builtin_trap();
    }
    if (settings.game) {
        const int type = brannock::game_type_setting(*settings.game);
        if (type < 0 || type > 15) __builtin_trap();
    }
    if (settings.iwad) brannock::iwad_setting(*settings.iwad);
    if (settings.flag_words) brannock::flag_items(*settings.flag_words);
    return 0;
}
