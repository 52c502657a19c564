// server_settings.h: the game settings of a server's reply, copied to the multiplayer page.
//
// The launcher copies a chosen server's settings into its multiplayer page. A reply walked with
// kSettingsReading (reply_layout.h) is projected here onto the launcher calls, in their order; the
// whole reply is walked before anything is written, so a reply cut short writes nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "brannock/flag_table.h"
#include "brannock/reply_layout.h"
#include "brannock/setting_keys.h"
#include "frame/launcher.h"

namespace brannock {

constexpr const char* kNoPwadMessage = "No PWAD information included in packet";
constexpr const char* kCutShortMessage = "The server's reply was cut short; no settings were copied.";
// Followed by the number of the server's map and file names that were not copied.
constexpr const char* kLeftOutNamesMessage = "Server names left out of the copy (not a plain map or file name): ";
constexpr int kSettingsMessageLevel = 2;

// The launcher calls of the settings copy, one function a call. Texts are zero-terminated and
// valid only during the call.
class SettingsSink {
public:
    // The integer setter runs once per flag item, 125 times a reply, so it is no virtual call but
    // a function of the launcher's own form, called directly with its first argument: the
    // launcher's setter and its handle fit as they are.
    using IntSetter = void(SDLL_CALL*)(void* target, const char* group, const char* key, int value);
    SettingsSink(IntSetter set_int, void* target) : set_int_(set_int), target_(target) {}

    virtual void set_string(const char* group, const char* key, const char* value) = 0;
    virtual void set_map(const char* map) = 0;
    virtual void add_file(const char* file) = 0;
    virtual void report_message(const char* text, int level) = 0;
    void set_int(const char* group, const char* key, int value) { set_int_(target_, group, key, value); }
    void set_int(const frame::SettingKey& item, int value) { set_int(item.group, item.key, value); }
    virtual void set_iwad(int number) = 0;
    virtual void add_player(const char* name) = 0;

protected:
    ~SettingsSink() = default;

private:
    IntSetter set_int_;
    void* target_;
};

// Writes what a reply walked with kSettingsReading holds; a reply cut short is reported instead.
// Gives the export's answer: 1 when settings were written, 0 otherwise.
int write_game_settings(ReplyRead read, const ReplyFields& reply, SettingsSink& sink);

// ---- the decisions, one function each, for this file's own use and its unit tests -------------
namespace detail {

struct GameTypeBlock {
    uint8_t type = 0;
    uint8_t instagib = 0;
    uint8_t buckshot = 0;
};

// The "modifier" values written one after the other.
struct ModifierSteps {
    std::array<int, 3> steps{};
    std::size_t count = 0;
    const int* begin() const { return steps.data(); }
    const int* end() const { return steps.data() + count; }
};

int game_type_setting(const GameTypeBlock& game);           // 0..15; any other number is 0
ModifierSteps modifier_steps(const GameTypeBlock& game);     // 0, then 1 for instagib, then 2 for buckshot
int iwad_setting(std::string_view normalised_iwad);          // 1..19, 20 for any other name
int skill_setting(uint8_t wire_skill);                       // the page counts from 1, the wire from 0
int flag_setting(const FlagRow& row, const FlagWords& words);   // the word's bits under the row's value; 0 for an item made of others' bits

}  // namespace detail

}  // namespace brannock
