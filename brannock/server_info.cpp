// server_info.cpp: the server-list reading of a game server's reply.
#include "brannock/server_info.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "brannock/byte_cursor.h"
#include "brannock/server_reply.h"

namespace brannock {
namespace {

constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();
constexpr std::size_t kVersionOffset = 4;
constexpr std::size_t kTeamScoresBytes = 4;   // this reading's size of field::team_scores

constexpr const char* kIconPlain = "13";
constexpr const char* kIconMarked = "14";

bool has(uint32_t flags, uint32_t bit) { return (flags & bit) != 0; }

}  // namespace

ReplyRead read_server_info(std::span<const unsigned char> decoded, ServerInfo* info) {
    *info = ServerInfo{};
    ByteCursor in(decoded);
    if (in.u32() != kServerReplyMagic || !in.ok()) return ReplyRead::foreign;
    in.seek(kVersionOffset);
    in.skip_text();
    const uint32_t flags = in.u32();

    if (has(flags, field::name)) info->name = in.text(kServerNameMax);
    if (has(flags, field::website)) info->website = in.text(kWhole);
    if (has(flags, field::email)) info->email = in.text(kWhole);
    if (has(flags, field::map)) {
        info->map = in.text(kWhole);
        to_upper_ascii(*info->map);
    }
    if (has(flags, field::max_clients)) in.skip(1);
    if (has(flags, field::limit)) info->limit = in.u8();
    if (has(flags, field::pwads)) {
        info->pwads.emplace();
        const uint8_t count = in.u8();
        info->pwads->reserve(std::min<std::size_t>(count, in.remaining()));   // each name takes a byte at least
        for (unsigned i = 0; i < count && in.ok(); ++i) {
            std::string pwad = in.text(kWhole);
            to_lower_ascii(pwad);
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

std::vector<ServerProperty> server_properties(const ServerInfo& info) {
    constexpr std::size_t kMostFixed = 9;   // every key but the PWADs
    const std::size_t pwad_count = info.pwads ? info.pwads->size() : 0;
    std::vector<ServerProperty> out;
    out.reserve(kMostFixed + pwad_count);
    if (info.website) out.push_back({"WEBSITE", *info.website});
    if (info.email) out.push_back({"EMAIL", *info.email});
    if (info.limit) out.push_back({"LIMIT", std::to_string(*info.limit)});

    std::string map_text = info.map.value_or("");
    if (info.pwads) {
        std::size_t length = map_text.size();
        for (const std::string& pwad : *info.pwads) length += 2 + pwad.size() + 1;
        map_text.reserve(length);
        for (std::size_t i = 0; i < info.pwads->size(); ++i) {
            map_text += i == 0 ? " - " : ", ";
            map_text += (*info.pwads)[i];
            out.push_back({"PWAD" + std::to_string(i), (*info.pwads)[i]});
        }
    }
    if (info.map) out.push_back({"MAP", std::move(map_text)});

    const std::string type(info.game_type ? game_type_name(*info.game_type) : kUnknownGameType);
    out.push_back({"TYPE", type});
    if (info.iwad) out.push_back({"GAME", game_prefix(*info.iwad) + type});
    out.push_back({"ICON", info.icon1 != 0 || info.icon2 != 0 ? kIconMarked : kIconPlain});
    if (info.players) out.push_back({"USERS", std::to_string(*info.players)});
    out.push_back({"", info.name});
    return out;
}

}  // namespace brannock
