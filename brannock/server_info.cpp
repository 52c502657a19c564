// server_info.cpp: the server-list reading of a game server's reply.
#include "brannock/server_info.h"

#include <algorithm>
#include <utility>

#include "brannock/byte_cursor.h"
#include "brannock/server_reply.h"
#include "frame/helpers.h"

namespace brannock {
namespace {

constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kTeamScoresBytes = 4;   // this reading's size of field::team_scores

constexpr const char* kIconPlain = "13";
constexpr const char* kIconMarked = "14";

// A zero-terminated text as a view into the data; at most `max_kept` bytes are kept.
std::string_view text_view(ByteCursor& in, std::span<const unsigned char> data, std::size_t max_kept) {
    const std::size_t start = in.position();
    in.skip_text();
    if (!in.ok()) return {};
    const std::size_t length = in.position() - 1 - start;
    return {reinterpret_cast<const char*>(data.data() + start), std::min(length, max_kept)};
}

// Writes a number in decimal ending with a zero byte; `out` holds any uint64_t.
const char* decimal(uint64_t value, char (&out)[24]) {
    char* p = out + sizeof out;
    *--p = '\0';
    do {
        *--p = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    return p;
}

}  // namespace

ReplyRead read_server_info(std::span<const unsigned char> decoded, ServerInfo* info) {
    *info = ServerInfo{};
    ByteCursor in(decoded);
    const auto opened = open_reply(in, kVersionOffset);
    if (!opened) return ReplyRead::foreign;
    const uint32_t flags = *opened;

    if (has(flags, field::name)) info->name = text_view(in, decoded, kServerNameMax);
    if (has(flags, field::website)) info->website = text_view(in, decoded, kWholeText);
    if (has(flags, field::email)) info->email = text_view(in, decoded, kWholeText);
    if (has(flags, field::map)) {
        info->map = in.text(kWholeText);
        frame::to_upper_ascii(*info->map);
    }
    if (has(flags, field::max_clients)) in.skip(1);
    if (has(flags, field::limit)) info->limit = in.u8();
    if (has(flags, field::pwads)) {
        info->pwads.emplace();
        const uint8_t count = in.u8();
        info->pwads->reserve(std::min<std::size_t>(count, in.remaining()));   // each name takes a byte at least
        for (unsigned i = 0; i < count && in.ok(); ++i) {
            std::string pwad = in.text(kWholeText);
            frame::to_lower_ascii(pwad);
            info->pwads->push_back(std::move(pwad));
        }
    }
    if (has(flags, field::game_type)) {
        info->game_type = in.u8();
        in.skip(kGameTypeBlock - 1);
    }
    if (has(flags, field::game_name)) in.skip_text();
    if (has(flags, field::iwad)) info->iwad = normalise_iwad(in.text(kIwadNameMax));
    if (has(flags, field::icon1)) info->icon1 = in.u8();
    if (has(flags, field::icon2)) info->icon2 = in.u8();
    if (has(flags, field::skill)) in.skip(1);
    if (has(flags, field::bot_skill)) in.skip(1);
    if (has(flags, field::flag_block)) in.skip(kExtraBlock);
    if (has(flags, field::limits)) {
        in.skip(2);
        const uint16_t time_limit = in.u16();
        if (time_limit != 0) in.skip(2);
        in.skip(2 + 2 + 2);
    }
    if (has(flags, field::team_damage)) in.skip(kTeamDamageBytes);
    if (has(flags, field::team_scores)) in.skip(kTeamScoresBytes);
    if (has(flags, field::player_count)) info->players = in.u8();

    if (!in.ok()) {
        *info = ServerInfo{};
        return ReplyRead::truncated;
    }
    return ReplyRead::complete;
}

void emit_server_properties(const ServerInfo& info, PropertyFn fn, void* context) {
    // Every built or borrowed text goes through this one buffer, sized once for the longest.
    std::size_t map_length = info.map ? info.map->size() : 0;
    if (info.pwads) {
        for (const std::string& pwad : *info.pwads) map_length += 2 + pwad.size() + 1;
    }
    std::size_t longest = std::max(map_length, info.name.size());
    if (info.website) longest = std::max(longest, info.website->size());
    if (info.email) longest = std::max(longest, info.email->size());
    std::string text;
    text.reserve(longest);
    const auto emit_text = [&](const char* key, std::string_view value) {
        text.assign(value);
        fn(context, key, text.c_str());
    };
    char number[24];

    if (info.website) emit_text("WEBSITE", *info.website);
    if (info.email) emit_text("EMAIL", *info.email);
    if (info.limit) fn(context, "LIMIT", decimal(*info.limit, number));

    if (info.pwads) {
        char key[4 + sizeof number] = "PWAD";
        for (std::size_t i = 0; i < info.pwads->size(); ++i) {
            const char* digits = decimal(i, number);
            std::char_traits<char>::copy(key + 4, digits, std::char_traits<char>::length(digits) + 1);
            fn(context, key, (*info.pwads)[i].c_str());
        }
    }
    if (info.map) {
        text.assign(*info.map);
        if (info.pwads) {
            for (std::size_t i = 0; i < info.pwads->size(); ++i) {
                text += i == 0 ? " - " : ", ";
                text += (*info.pwads)[i];
            }
        }
        fn(context, "MAP", text.c_str());
    }

    const std::string_view type = info.game_type ? game_type_name(*info.game_type) : kUnknownGameType;
    emit_text("TYPE", type);
    if (info.iwad) {
        text.assign(game_prefix(*info.iwad));
        text += type;
        fn(context, "GAME", text.c_str());
    }
    fn(context, "ICON", info.icon1 != 0 || info.icon2 != 0 ? kIconMarked : kIconPlain);
    if (info.players) fn(context, "USERS", decimal(*info.players, number));
    emit_text("", info.name);
}

}  // namespace brannock
