// server_list_columns.cpp: the server list's columns of a game server's reply.
#include "brannock/server_list_columns.h"

#include "brannock/datagram.h"
#include "brannock/reply_iwad.h"
#include "brannock/text_builder.h"
#include "frame/text_bytes.h"

namespace brannock {
namespace {

constexpr const char* kIconPlain = "13";
constexpr const char* kIconMarked = "14";

// The longest built text is the map with every PWAD: each PWAD name takes its zero byte on the
// wire and two or three bytes of separator in the column.
constexpr std::size_t kColumnArea = kServerReplyArea + 2 * 256 + 8;

// "PWAD" and the index, in `key`.
using PwadKey = char[4 + sizeof(DecimalText)];
const char* pwad_key(std::size_t index, PwadKey& key) {
    DecimalText number;
    const char* digits = decimal(index, number);
    const std::size_t length = static_cast<std::size_t>(number + sizeof number - digits);   // with the zero
    std::char_traits<char>::copy(key + 4, digits, length);
    return key;
}

// Each PWAD name as its own property, and the map text when there is a map: the map in upper
// case, then the PWADs, " - " before the first and ", " between the others. Each name is appended
// to the text and lower-cased there, once; while it is the text's last part it is a zero-terminated
// text of its own, so its column goes to the launcher from there.
void emit_pwads_and_map(const ReplyFields& reply, TextBuilder& text, PropertyFn fn, void* context) {
    const bool with_map = reply.has(Row::map);
    if (with_map) {
        text.append(reply.text(Row::map));
        frame::to_upper_ascii(text.chars());
    }
    PwadKey key = "PWAD";
    const char* separator = " - ";
    std::size_t index = 0;
    each_listed_text(reply, Row::pwads, [&](std::string_view pwad) {
        if (with_map) text.append(separator);
        else text.clear();
        separator = ", ";
        const std::size_t start = text.view().size();
        const std::span<char> name = text.append(pwad).chars().subspan(start);
        frame::to_lower_ascii(name);
        fn(context, pwad_key(index++, key), name.data());
    });
}

}  // namespace

void emit_server_properties(const ReplyFields& reply, PropertyFn fn, void* context) {
    char area[kColumnArea];
    TextBuilder text(area);
    DecimalText number;

    // Texts kept whole go to the launcher as they lie in the reply.
    if (reply.has(Row::website)) fn(context, "WEBSITE", reply.c_text(Row::website));
    if (reply.has(Row::email)) fn(context, "EMAIL", reply.c_text(Row::email));
    if (reply.has(Row::limit)) fn(context, "LIMIT", decimal(reply.byte(Row::limit), number));

    emit_pwads_and_map(reply, text, fn, context);
    if (reply.has(Row::map)) fn(context, "MAP", text.c_str());

    const std::string_view type = reply.has(Row::game) ? game_type_name(reply.byte(Row::game)) : kUnknownGameType;
    fn(context, "TYPE", text.clear().append(type).c_str());
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
    else fn(context, "", text.clear().append(name.substr(0, kServerNameMax)).c_str());
}

}  // namespace brannock
