// reply_layout.cpp: the walk over a game server's reply.
#include "brannock/reply_layout.h"

#include "brannock/datagram.h"

namespace brannock {
namespace {

constexpr std::size_t kMagicBytes = 4;
constexpr std::size_t kPlayerFixedBytes = 2 + 2 + 1 + 1;   // score, ping, spectator, bot
constexpr std::size_t kPlayerMinutesBytes = 1;

// frag, time, the time left only while a time limit runs, duel, point, win.
Limits read_limits(ByteCursor& in) {
    Limits limits{};
    limits[0] = in.u16();
    limits[1] = in.u16();
    if (limits[1] != 0) in.skip(2);
    for (std::size_t i = 2; i < limits.size(); ++i) limits[i] = in.u16();
    return limits;
}

// Moves `in` past one field; false where the field is not there for this reading.
bool pass_field(ByteCursor& in, const ReplyField& field, const ReplyReading& reading, uint32_t flags,
                const ReplyFields& so_far) {
    const bool announced = has(flags, field.bit);
    switch (field.wire) {
        case Wire::text: if (announced) in.skip_text(); return announced;
        case Wire::bytes: if (announced) in.skip(field.size); return announced;
        case Wire::text_list:
            if (!announced) return false;
            for (unsigned i = 0, count = in.u8(); i < count && in.ok(); ++i) in.skip_text();
            return true;
        case Wire::limits: if (announced) read_limits(in); return announced;
        case Wire::team_scores: if (announced) in.skip(reading.team_scores_bytes); return announced;
        case Wire::extra:
            // A server that sends only a few fields may leave these out; the settings reading
            // passes what there is of them.
            if (reading.extra_always) in.skip_at_most(field.size);
            else if (announced) in.skip(field.size);
            return false;
        case Wire::players: {
            if (!announced) return false;
            const unsigned count = so_far.byte(Row::player_count);
            const bool team_byte = players_carry_team_byte(so_far);
            for (unsigned i = 0; i < count && in.ok(); ++i) player_record(in, team_byte);
            return true;
        }
    }
    return false;
}

}  // namespace

uint8_t ReplyFields::byte(Row row, std::size_t offset) const {
    const auto bytes = at[static_cast<std::size_t>(row)];
    return offset < bytes.size() ? bytes[offset] : 0;
}

bool has_server_magic(std::span<const unsigned char> decoded) {
    ByteCursor in(decoded);
    return in.u32() == kServerReplyMagic && in.ok();
}

bool starts_as_server_reply(const unsigned char* datagram, int length) {
    unsigned char head[kMagicBytes];
    return has_server_magic(decode_datagram(datagram, length, head));
}

ReplyRead walk_reply(std::span<const unsigned char> decoded, const ReplyReading& reading, ReplyFields* out) {
    *out = ReplyFields{};
    if (!has_server_magic(decoded)) return ReplyRead::foreign;
    ByteCursor in(decoded);
    in.skip(kMagicBytes);
    in.seek(reading.version_offset);
    in.skip_text();
    const uint32_t flags = in.u32();

    uint32_t read = 0;   // kept apart until the end: the walk reads the fields found so far
    for (std::size_t row = 0; row <= static_cast<std::size_t>(reading.last) && in.ok(); ++row) {
        const std::size_t start = in.position();
        if (!pass_field(in, kReplyFields[row], reading, flags, *out) || !in.ok()) continue;
        out->at[row] = decoded.subspan(start, in.position() - start);
        read |= 1u << row;
    }
    if (!in.ok()) {
        *out = ReplyFields{};
        return ReplyRead::truncated;
    }
    out->read = read;
    return ReplyRead::complete;
}

std::string_view player_record(ByteCursor& in, bool team_byte) {
    const std::string_view name = in.text(kPlayerNameMax);
    in.skip(kPlayerFixedBytes);
    if (team_byte) in.skip(1);
    in.skip(kPlayerMinutesBytes);
    return name;
}

bool players_carry_team_byte(const ReplyFields& fields) {
    // Without a game type the records are those of type 0.
    return carries_team_byte(fields.byte(Row::game));
}

Limits reply_limits(const ReplyFields& fields) {
    ByteCursor in = fields.cursor(Row::limits);
    return read_limits(in);
}

FlagWords reply_flag_words(const ReplyFields& fields) {
    ByteCursor in = fields.cursor(Row::flag_words);
    FlagWords words{};
    for (int32_t& word : words) word = static_cast<int32_t>(in.u32());
    return words;
}

}  // namespace brannock
