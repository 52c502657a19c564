// server_settings.cpp: the game-settings reading of a game server's reply.
#include "brannock/server_settings.h"


#include "brannock/byte_cursor.h"
#include "brannock/server_reply.h"
#include "frame/helpers.h"

namespace brannock {
namespace {

// This reading takes the version text to start one byte later than the server-list reading.
constexpr std::size_t kVersionOffset = 5;
constexpr std::size_t kTeamScoresBytes = 3;   // this reading's size of field::team_scores

// Game types whose player records carry a team byte.
bool has_team_byte(uint8_t type) { return type == 2 || type == 6 || type == 9 || type == 11; }

// Name; u16 score; u16 ping; u8; u8; u8 team for team game types; u8. Only the name is kept.
std::string read_player(ByteCursor& in, uint8_t game_type) {
    std::string name = in.text(kPlayerNameMax);
    in.skip(2 + 2 + 1 + 1);
    if (has_team_byte(game_type)) in.skip(1);
    in.skip(1);
    frame::StripColorCodes(name);
    return name;
}

}  // namespace

ReplyRead read_server_settings(std::span<const unsigned char> decoded, ServerSettings* out) {
    *out = ServerSettings{};
    ByteCursor in(decoded);
    const auto opened = open_reply(in, kVersionOffset);
    if (!opened) return ReplyRead::foreign;
    const uint32_t flags = *opened;

    if (has(flags, field::name)) in.skip_text();
    if (has(flags, field::website)) in.skip_text();
    if (has(flags, field::email)) in.skip_text();
    if (has(flags, field::map)) {
        out->map = in.text(kWholeText);
        frame::to_upper_ascii(*out->map);
    }
    if (has(flags, field::max_clients)) in.skip(1);
    if (has(flags, field::limit)) in.skip(1);
    if (has(flags, field::pwads)) {
        out->pwads.emplace();
        const uint8_t count = in.u8();
        for (unsigned i = 0; i < count && in.ok(); ++i) {
            std::string pwad = in.text(kWholeText);
            frame::to_lower_ascii(pwad);
            out->pwads->push_back(std::move(pwad));
        }
    }
    if (has(flags, field::game_type)) {
        GameTypeBlock game;
        game.type = in.u8();
        game.instagib = in.u8();
        game.buckshot = in.u8();
        in.skip(kGameTypeBlock - 3);
        out->game = game;
    }
    if (has(flags, field::game_name)) in.skip_text();
    if (has(flags, field::iwad)) out->iwad = normalise_iwad(in.text(kIwadNameMax));
    if (has(flags, field::icon1)) in.skip(1);
    if (has(flags, field::icon2)) in.skip(1);
    if (has(flags, field::skill)) out->skill = in.u8();
    if (has(flags, field::bot_skill)) in.skip(1);
    // Passed whatever the flag word says. A reply that ends here, with nothing announced after
    // these bytes, is still whole: a server that sends only a few fields leaves them out.
    in.skip_at_most(kExtraBlock);
    if (has(flags, field::limits)) {
        Limits limits;
        limits.frag = in.u16();
        limits.time = in.u16();
        if (limits.time != 0) in.skip(2);
        limits.duel = in.u16();
        limits.point = in.u16();
        limits.win = in.u16();
        out->limits = limits;
    }
    if (has(flags, field::team_damage)) in.skip(kTeamDamageBytes);
    if (has(flags, field::team_scores)) in.skip(kTeamScoresBytes);
    const uint8_t player_count = has(flags, field::player_count) ? in.u8() : 0;
    if (has(flags, field::players)) {
        const uint8_t game_type = out->game ? out->game->type : 0;
        for (unsigned i = 0; i < player_count && in.ok(); ++i) {
            out->players.push_back(read_player(in, game_type));
        }
    }
    if (has(flags, field::flag_block)) {
        std::array<uint32_t, kFlagWordCount> words{};
        for (uint32_t& word : words) word = in.u32();
        out->flag_words = words;
    }

    if (!in.ok()) {
        *out = ServerSettings{};
        return ReplyRead::truncated;
    }
    return ReplyRead::complete;
}

int game_type_setting(const GameTypeBlock& game) {
    return game.type < kGameTypeCount ? game.type : 0;
}

std::vector<int> modifier_steps(const GameTypeBlock& game) {
    std::vector<int> steps{0};
    if (game.instagib == 1) steps.push_back(1);
    if (game.buckshot == 1) steps.push_back(2);
    return steps;
}

int iwad_setting(const std::string& normalised_iwad) { return frame::IwadNumber(normalised_iwad); }

std::vector<FlagItem> flag_items(const std::array<uint32_t, kFlagWordCount>& words) {
    std::vector<FlagItem> items;
    items.reserve(kFlagRowCount);
    for (const FlagRow& row : flag_rows()) {
        const uint32_t bits = words[row.word] & static_cast<uint32_t>(row.value);
        items.push_back({row.group, row.key, static_cast<int>(bits)});
    }
    return items;
}

}  // namespace brannock
