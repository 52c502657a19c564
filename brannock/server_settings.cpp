// server_settings.cpp: the game settings of a server's reply, as launcher calls.
#include "brannock/server_settings.h"

#include <bit>

#include "brannock/datagram.h"
#include "brannock/reply_iwad.h"
#include "brannock/text_builder.h"
#include "frame/iwads.h"
#include "frame/server_names.h"
#include "frame/text_bytes.h"

namespace brannock {
namespace {

// The longest text written is the map, the longest a whole reply holds.
constexpr std::size_t kSettingsArea = kServerReplyArea + 1;

detail::GameTypeBlock reply_game(const ReplyFields& reply) {
    return {reply.byte(Row::game, 0), reply.byte(Row::game, 1), reply.byte(Row::game, 2)};
}

}  // namespace

int write_game_settings(ReplyRead read, const ReplyFields& reply, SettingsSink& sink) {
    if (read == ReplyRead::foreign) return 0;
    if (read == ReplyRead::truncated) {
        sink.report_message(kCutShortMessage, kSettingsMessageLevel);
        return 0;
    }
    char area[kSettingsArea];
    TextBuilder text(area);

    // The map and the files go onto the hosted game's lines later, and the files are looked up by
    // the launcher: a name that fails its rule (server_names.h) is not copied at all, and the
    // user's map stays as it was.
    int left_out = 0;
    if (reply.has(Row::map)) {
        if (const auto map = frame::server_map(reply.text(Row::map))) {
            text.clear().append(*map);
            frame::to_upper_ascii(text.chars());
            sink.set_string(setting::map.group, setting::map.key, text.c_str());
            sink.set_map(text.c_str());
        } else {
            ++left_out;
        }
    }
    if (reply.has(Row::pwads)) {
        each_listed_text(reply, Row::pwads, [&](std::string_view listed) {
            const auto pwad = frame::server_file_name(listed);
            if (!pwad) {
                ++left_out;
                return;
            }
            text.clear().append(*pwad);
            frame::to_lower_ascii(text.chars());
            sink.add_file(text.c_str());
        });
    } else {
        sink.report_message(kNoPwadMessage, kSettingsMessageLevel);
    }
    if (reply.has(Row::game)) {
        const detail::GameTypeBlock game = reply_game(reply);
        sink.set_int(setting::type, detail::game_type_setting(game));
        for (int step : detail::modifier_steps(game)) sink.set_int(setting::modifier, step);
    }
    if (reply.has(Row::iwad)) sink.set_iwad(detail::iwad_setting(normalise_iwad(reply.text(Row::iwad)).view()));
    if (reply.has(Row::skill)) sink.set_int(setting::skill, detail::skill_setting(reply.byte(Row::skill)));
    if (reply.has(Row::limits)) {
        const Limits limits = reply_limits(reply);
        for (std::size_t i = 0; i < limits.size(); ++i) sink.set_int({setting::general, kLimitKeys[i]}, limits[i]);
    }
    if (reply.has(Row::players)) {
        each_player_name(reply, [&](std::string_view name) {
            text.clear().append(name);
            sink.add_player(text.shorten(frame::StripColorCodes(text.chars())).c_str());
        });
    }
    if (reply.has(Row::flag_words)) {
        const FlagWords words = reply_flag_words(reply);
        for (const FlagRow& row : flag_rows()) sink.set_int(row.group, row.key, detail::flag_setting(row, words));
    }
    // Counted, not echoed: the names are what the rules keep off the user's screen and lines.
    if (left_out > 0) {
        DecimalText count;
        sink.report_message(text.clear().append(kLeftOutNamesMessage).append(decimal(left_out, count)).c_str(),
                            kSettingsMessageLevel);
    }
    return 1;
}

namespace detail {

int game_type_setting(const GameTypeBlock& game) { return game_rule(game.type) ? game.type : 0; }

ModifierSteps modifier_steps(const GameTypeBlock& game) {
    ModifierSteps out;
    out.steps[out.count++] = 0;
    if (game.instagib == 1) out.steps[out.count++] = 1;
    if (game.buckshot == 1) out.steps[out.count++] = 2;
    return out;
}

int iwad_setting(std::string_view normalised_iwad) { return frame::iwad_number(normalised_iwad); }

int skill_setting(uint8_t wire_skill) { return wire_skill + 1; }

int flag_setting(const FlagRow& row, const FlagWords& words) {
    // An item made of other items' bits (strifefalldamage is 8 + 16) is on exactly when they are.
    // Hosting adds the value of every item that is on, so copying its bits as well would count
    // them twice: the server's fall damage would come back as another rule.
    if (!std::has_single_bit(static_cast<uint32_t>(row.value))) return 0;
    return static_cast<int>(static_cast<uint32_t>(words[row.word]) & static_cast<uint32_t>(row.value));
}

}  // namespace detail

}  // namespace brannock
