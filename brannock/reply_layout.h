// reply_layout.h: the layout of a game server's reply, and the one walk over it.
//
// A reply is the magic, a version text, a flag word, then the announced fields in a fixed order.
// kReplyFields lists them: the bit that announces each, its wire form, its size. walk_reply runs
// over that table once per reading and notes where each field's bytes lie; the server list
// (server_list_columns.h) and the game settings (server_settings.h) are projections of that result.
//
// The two readings differ in a few places, named by a ReplyReading: where the version text starts,
// whether the twelve bytes after the bot-skill byte are passed always or only with their bit, the
// size of the team-scores field, and the last field read (the server list stops after the player
// count, so a reply cut inside its player records still fills the list).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "brannock/byte_cursor.h"
#include "brannock/flag_table.h"
#include "brannock/game_rules.h"

namespace brannock {

constexpr uint32_t kServerReplyMagic = 5660023;

// Reply flag bits, in the order their fields follow the flag word.
namespace field {
constexpr uint32_t name = 0x00000001;
constexpr uint32_t website = 0x00000002;
constexpr uint32_t email = 0x00000004;
constexpr uint32_t map = 0x00000008;
constexpr uint32_t max_clients = 0x00000010;
constexpr uint32_t limit = 0x00000020;
constexpr uint32_t pwads = 0x00000040;
constexpr uint32_t game_type = 0x00000080;
constexpr uint32_t game_name = 0x00000100;
constexpr uint32_t iwad = 0x00000200;
constexpr uint32_t icon1 = 0x00000400;
constexpr uint32_t icon2 = 0x00000800;
constexpr uint32_t skill = 0x00001000;
constexpr uint32_t bot_skill = 0x00002000;
constexpr uint32_t limits = 0x00010000;
constexpr uint32_t team_damage = 0x00020000;
constexpr uint32_t team_scores = 0x00040000;
constexpr uint32_t player_count = 0x00080000;
constexpr uint32_t players = 0x00100000;
constexpr uint32_t flag_block = 0x08000000;
}  // namespace field

constexpr bool has(uint32_t flags, uint32_t bit) { return (flags & bit) != 0; }

// Longest texts kept; longer ones are cut.
constexpr std::size_t kServerNameMax = 511;
constexpr std::size_t kPlayerNameMax = 255;

enum class Wire : uint8_t {
    text,          // zero-terminated
    bytes,         // `size` bytes
    text_list,     // u8 count, then that many texts
    limits,        // u16 frag, u16 time, u16 time left only when time is not 0, u16 duel, point, win
    team_scores,   // the reading's size
    extra,         // the twelve bytes after the bot-skill byte (see ReplyReading)
    players,       // the player-count field's number of player records
};

// The table's rows by name, in wire order.
enum class Row : uint8_t {
    name, website, email, map, max_clients, limit, pwads, game, game_name, iwad, icon1, icon2,
    skill, bot_skill, extra, limits, team_damage, team_scores, player_count, players, flag_words,
};

struct ReplyField {
    Row row;        // the row's own name: row i of kReplyFields names Row i
    uint32_t bit;
    Wire wire;
    uint8_t size;   // bytes of a Wire::bytes or Wire::extra field
};

inline constexpr std::array<ReplyField, 21> kReplyFields = {{
    {Row::name, field::name, Wire::text, 0},
    {Row::website, field::website, Wire::text, 0},
    {Row::email, field::email, Wire::text, 0},
    {Row::map, field::map, Wire::text, 0},
    {Row::max_clients, field::max_clients, Wire::bytes, 1},
    {Row::limit, field::limit, Wire::bytes, 1},
    {Row::pwads, field::pwads, Wire::text_list, 0},
    {Row::game, field::game_type, Wire::bytes, 5},   // type, instagib, buckshot, two unused
    {Row::game_name, field::game_name, Wire::text, 0},
    {Row::iwad, field::iwad, Wire::text, 0},
    {Row::icon1, field::icon1, Wire::bytes, 1},
    {Row::icon2, field::icon2, Wire::bytes, 1},
    {Row::skill, field::skill, Wire::bytes, 1},
    {Row::bot_skill, field::bot_skill, Wire::bytes, 1},
    // Two rows share the flag-block bit on purpose: it announces the twelve bytes after the
    // bot-skill byte and, at the end, the flag words.
    {Row::extra, field::flag_block, Wire::extra, 12},
    {Row::limits, field::limits, Wire::limits, 0},
    {Row::team_damage, field::team_damage, Wire::bytes, 4},
    {Row::team_scores, field::team_scores, Wire::team_scores, 0},
    {Row::player_count, field::player_count, Wire::bytes, 1},
    {Row::players, field::players, Wire::players, 0},
    {Row::flag_words, field::flag_block, Wire::bytes, 4 * kFlagWordCount},   // dmflags1 .. compatflags2
}};
constexpr std::size_t kRowCount = kReplyFields.size();

constexpr bool rows_in_order() {
    for (std::size_t i = 0; i < kRowCount; ++i)
        if (static_cast<std::size_t>(kReplyFields[i].row) != i) return false;
    return true;
}
static_assert(rows_in_order(), "row i of kReplyFields names Row i");
static_assert(static_cast<std::size_t>(Row::flag_words) + 1 == kRowCount, "one name per row");

struct ReplyReading {
    std::size_t version_offset;
    bool extra_always;              // the twelve bytes are passed (as far as the data goes) without their bit
    std::size_t team_scores_bytes;
    Row last;                       // the last row read
};

inline constexpr ReplyReading kListReading{
    .version_offset = 4, .extra_always = false, .team_scores_bytes = 4, .last = Row::player_count};
inline constexpr ReplyReading kSettingsReading{
    .version_offset = 5, .extra_always = true, .team_scores_bytes = 3, .last = Row::flag_words};

enum class ReplyRead {
    complete,    // every announced field was read
    foreign,     // not a server reply (wrong magic, or too short to hold one)
    truncated,   // an announced field does not fit in the data
};

// Where each field read lies in the decoded reply. Views into the reply: it outlives them.
struct ReplyFields {
    std::array<std::span<const unsigned char>, kRowCount> at{};
    uint32_t read = 0;   // bit n: row n was announced and read

    bool has(Row row) const { return (read >> static_cast<unsigned>(row) & 1u) != 0; }
    // A field's bytes as a cursor, to read its parts.
    ByteCursor cursor(Row row) const { return ByteCursor(at[static_cast<std::size_t>(row)]); }
    // A text field (Wire::text) without its zero byte, at most `max_kept` bytes of it; "" for a
    // field not read. Its bytes as walked end with its zero byte, so the length is known.
    std::string_view text(Row row, std::size_t max_kept = SIZE_MAX) const {
        const auto bytes = at[static_cast<std::size_t>(row)];
        const std::size_t length = bytes.empty() ? 0 : bytes.size() - 1;
        return {reinterpret_cast<const char*>(bytes.data()), length < max_kept ? length : max_kept};
    }
    // A text field as it lies in the reply, with its zero byte; "" for a field not read.
    const char* c_text(Row row) const {
        const auto bytes = at[static_cast<std::size_t>(row)];
        return bytes.empty() ? "" : reinterpret_cast<const char*>(bytes.data());
    }
    // A byte of a field; 0 for a field not read.
    uint8_t byte(Row row, std::size_t offset = 0) const;
};

// True when the data starts with a server reply's magic.
bool has_server_magic(std::span<const unsigned char> decoded);
// The same for a datagram, decoding only the magic: a datagram that is no server reply is refused
// before the rest of it is decoded.
bool starts_as_server_reply(const unsigned char* datagram, int length);

// Walks a decoded reply the way `reading` reads it. On anything but complete `*out` is empty.
ReplyRead walk_reply(std::span<const unsigned char> decoded, const ReplyReading& reading, ReplyFields* out);

// ---- the parts of a field, for the projections -------------------------------------------------

// Calls fn(text) for each text of a Wire::text_list field.
template <class Fn>
void each_listed_text(const ReplyFields& fields, Row row, Fn&& fn) {
    ByteCursor in = fields.cursor(row);
    const unsigned count = in.u8();
    for (unsigned i = 0; i < count && in.ok(); ++i) fn(in.text());
}

// One player record: name; u16 score; u16 ping; u8 spectator; u8 bot; the team byte where the game
// type has one; u8 minutes. Gives the name, cut to kPlayerNameMax.
std::string_view player_record(ByteCursor& in, bool team_byte);
bool players_carry_team_byte(const ReplyFields& fields);

template <class Fn>
void each_player_name(const ReplyFields& fields, Fn&& fn) {
    ByteCursor in = fields.cursor(Row::players);
    const unsigned count = fields.byte(Row::player_count);
    const bool team_byte = players_carry_team_byte(fields);
    for (unsigned i = 0; i < count; ++i) {
        const std::string_view name = player_record(in, team_byte);
        if (!in.ok()) break;
        fn(name);
    }
}

Limits reply_limits(const ReplyFields& fields);
FlagWords reply_flag_words(const ReplyFields& fields);

}  // namespace brannock
