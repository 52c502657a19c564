// server_info.cpp: the server list's columns of a game server's reply.
#include "brannock/server_info.h"

#include "brannock/datagram.h"
#include "brannock/text_builder.h"
#include "frame/helpers.h"

namespace brannock {
namespace {

constexpr const char* kIconPlain = "13";
constexpr const char* kIconMarked = "14";

// The longest built text is the map with every PWAD: each PWAD name takes its zero byte on the
// wire and two or three bytes of separator in the column.
constexpr std::size_t kColumnArea = kServerReplyArea + 2 * 256 + 8;

}  // namespace

void emit_server_properties(const ReplyFields& reply, PropertyFn fn, void* context) {
    char area[kColumnArea];
    TextBuilder text(area);
    const auto emit_text = [&](const char* key, std::string_view value) {
        fn(context, key, text.clear().append(value).c_str());
    };
    DecimalText number;

    // Texts kept whole go to the launcher as they lie in the reply.
    if (reply.has(Row::website)) fn(context, "WEBSITE", reply.c_text(Row::website));
    if (reply.has(Row::email)) fn(context, "EMAIL", reply.c_text(Row::email));
    if (reply.has(Row::limit)) fn(context, "LIMIT", decimal(reply.byte(Row::limit), number));

    if (reply.has(Row::pwads)) {
        char key[4 + sizeof number] = "PWAD";
        std::size_t index = 0;
        each_listed_text(reply, Row::pwads, [&](std::string_view pwad) {
            const char* digits = decimal(index++, number);
            std::char_traits<char>::copy(key + 4, digits, std::char_traits<char>::length(digits) + 1);
            text.clear().append(pwad);
            frame::to_lower_ascii(text.chars());
            fn(context, key, text.c_str());
        });
    }
    if (reply.has(Row::map)) {
        text.clear().append(reply.text(Row::map));
        frame::to_upper_ascii(text.chars());
        if (reply.has(Row::pwads)) {
            const char* separator = " - ";
            each_listed_text(reply, Row::pwads, [&](std::string_view pwad) {
                const std::size_t start = text.view().size();   // the separators have no letters
                text.append(separator).append(pwad);
                frame::to_lower_ascii(text.chars().subspan(start));
                separator = ", ";
            });
        }
        fn(context, "MAP", text.c_str());
    }

    const std::string_view type = reply.has(Row::game) ? game_type_name(reply.byte(Row::game)) : kUnknownGameType;
    emit_text("TYPE", type);
    if (reply.has(Row::iwad)) {
        text.clear();
        append_game_prefix(normalise_iwad(reply.text(Row::iwad)).view(), text);
        fn(context, "GAME", text.append(type).c_str());
    }
    const bool marked = reply.byte(Row::icon1) != 0 || reply.byte(Row::icon2) != 0;
    fn(context, "ICON", marked ? kIconMarked : kIconPlain);
    if (reply.has(Row::player_count)) fn(context, "USERS", decimal(reply.byte(Row::player_count), number));
    const std::string_view name = reply.text(Row::name);
    if (name.size() <= kServerNameMax) fn(context, "", reply.c_text(Row::name));
    else emit_text("", name.substr(0, kServerNameMax));
}

}  // namespace brannock
