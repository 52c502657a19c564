// fuzz_server_gamesettings.cpp: any datagram through the game-settings reading of a server reply.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "brannock/reply_layout.h"
#include "brannock/reply_iwad.h"
#include "brannock/server_settings.h"
#include "tests/fuzz/walked_reply.h"

namespace {

volatile std::size_t g_text_bytes = 0;
// Reads a written text to its end, so the address sanitizer sees a text without its zero byte.
void touch(const char* text) { g_text_bytes = g_text_bytes + std::strlen(text); }

// Traps on a written value no reply can give.
class CheckedSettings final : public brannock::SettingsSink {
public:
    CheckedSettings() : SettingsSink(check_int, nullptr) {}
    void set_string(const char*, const char*, const char* value) override { touch(value); }
    void set_map(const char* map) override { touch(map); }
    void add_file(const char* file) override { touch(file); }
    void report_message(const char*, int) override {}
    static void SDLL_CALL check_int(void*, const char*, const char* key, int value) {
        if (std::strcmp(key, "type") == 0 && (value < 0 || value > 15)) __builtin_trap();
    }
    void set_iwad(int number) override {
        if (number < 1 || number > 20) __builtin_trap();
    }
    void add_player(const char* name) override {
        if (std::strlen(name) > brannock::kPlayerNameMax) __builtin_trap();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::WalkedReply reply = fuzz::walk_datagram(data, size, brannock::kSettingsReading);
    CheckedSettings sink;
    brannock::write_game_settings(reply.read, reply.fields, sink);
    return 0;
}
