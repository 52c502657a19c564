// fuzz_copy_and_host.cpp: any datagram copied as a server's settings, then hosted from them.
//
// The settings copy writes into a store kept here in memory, as the launcher keeps its multiplayer
// page; the hosting machine's server line and client line are built from that store by the launch
// texts, as the launch builds them, and split as Windows splits a command line. Each line must hold
// exactly the arguments the store implies: its fixed tokens, one per option and value, one per
// file. A server's text on a line is one argument of its own and never starts an option, a console
// command or a response file. Every map and file name the copy hands the launcher passes its rule
// unchanged (server_names.h). Hosting a copied server also keeps its flag words.
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "brannock/flag_table.h"
#include "brannock/game_rules.h"
#include "brannock/launch_text.h"
#include "brannock/reply_layout.h"
#include "brannock/server_settings.h"
#include "frame/engine_arguments.h"
#include "frame/iwads.h"
#include "frame/server_names.h"
#include "platform/posix/windows_arguments.h"
#include "tests/fuzz/walked_reply.h"
#include "tests/support/expected_tables.h"

namespace {

// The hosting player's own launcher texts: fixed, so every argument of a server's text shows.
constexpr const char* kHostAddress = "192.0.2.7:10666";
constexpr const char* kParameters = "-nosound  +vid_fps\t1";
constexpr const char* kPlayerName = "Ann \"Two\"";
constexpr const char* kPlayerArg = "Ann Two";

// The multiplayer page's integer items: the game's own, then every flag item, in table order, all
// typed in apart from the plug-in's tables, so a wrong key in those makes the store trap.
constexpr std::size_t kLimitCount = std::size(expected::kLimitKeys);
constexpr std::array<const char*, 3 + kLimitCount> kGeneralInts = {
    "type", "modifier", "skill", "fraglimit", "timelimit", "duellimit", "pointlimit", "winlimit"};
constexpr std::size_t kIntItems = kGeneralInts.size() + std::size(expected::kFlagRows);
constexpr std::size_t kFlagWordCount = std::size(expected::kFlagWords);

// "group/key" of every integer item to its place. Built once: the store is asked some 250 times a
// run, and a text built per question would cost the fuzzer most of its time.
struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};
using ItemPlaces = std::unordered_map<std::string, std::size_t, TextHash, std::equal_to<>>;

const ItemPlaces& int_items() {
    static const auto items = [] {
        ItemPlaces map;
        for (const char* key : kGeneralInts) map.emplace(std::string("general/") + key, map.size());
        for (const expected::FlagRow& row : expected::kFlagRows) map.emplace(std::string(row.group) + "/" + row.key, map.size());
        if (map.size() != kIntItems) __builtin_trap();   // an item named twice
        return map;
    }();
    return items;
}

// The place of an integer item; traps for an item the page does not have.
std::size_t int_item(const char* group, const char* key) {
    std::array<char, 128> address;
    const std::size_t group_size = std::strlen(group), key_size = std::strlen(key);
    if (group_size + 1 + key_size > address.size()) __builtin_trap();
    std::memcpy(address.data(), group, group_size);
    address[group_size] = '/';
    std::memcpy(address.data() + group_size + 1, key, key_size);
    const auto found = int_items().find(std::string_view(address.data(), group_size + 1 + key_size));
    if (found == int_items().end()) __builtin_trap();
    return found->second;
}

// The multiplayer page: its defaults (brannock.cfg), then what the copy wrote.
class Store final : public brannock::SettingsSink {
public:
    Store() : SettingsSink(store_int, this) { ints_[int_item("general", "skill")] = 4; }

    void set_string(const char* group, const char* key, const char* value) override {
        if (std::strcmp(group, "general") != 0 || std::strcmp(key, "map") != 0) __builtin_trap();
        map = plain(value, frame::server_map);
    }
    void set_map(const char* text) override { map = plain(text, frame::server_map); }
    void add_file(const char* file) override { files.emplace_back(plain(file, frame::server_file_name)); }
    void report_message(const char*, int) override {}
    static void SDLL_CALL store_int(void* store, const char* group, const char* key, int value) {
        static_cast<Store*>(store)->ints_[int_item(group, key)] = value;
    }
    void set_iwad(int number) override { iwad = number; }
    void add_player(const char*) override {}

    int get_int(const char* group, const char* key) const { return ints_[int_item(group, key)]; }

    std::string map;
    std::vector<std::string> files;
    int iwad = expected::kUnknownIwad;

private:
    // Traps unless `rule` keeps the whole name.
    static const char* plain(const char* name, std::optional<std::string_view> (*rule)(std::string_view)) {
        if (rule(name) != std::string_view(name)) __builtin_trap();
        return name;
    }

    std::array<int, kIntItems> ints_{};
};

// One argument a line should hold, and whether its text is a server's.
struct Expected {
    std::string text;
    bool from_server = false;
};
using Args = std::vector<Expected>;

// The words of a fixed text (the plug-in's own options and values, the user's parameters),
// separated by blanks and tabs.
void add_fixed(Args& args, std::string_view fixed) {
    std::size_t start = 0;
    while (start < fixed.size()) {
        const std::size_t end = std::min(fixed.find_first_of(" \t", start), fixed.size());
        if (end > start) args.push_back({std::string(fixed.substr(start, end - start))});
        start = end + 1;
    }
}

// A value that is left out when empty: the line then holds its option alone.
void add_value(Args& args, const std::string& value, bool from_server) {
    if (!value.empty()) args.push_back({value, from_server});
}

void add_files(Args& args, const std::vector<std::string>& paths, bool from_server) {
    if (paths.empty()) return;
    args.push_back({"-file"});
    for (const std::string& path : paths) args.push_back({path, from_server});
}

// Traps unless `line`, split as Windows splits it, is exactly `expected`, and no server text on it
// could be read as an option, a console command or a response file.
void check_line(const std::string& line, const Args& expected) {
    const std::vector<std::string> got = platform::detail::split_command_line(line);
    if (got.size() != expected.size()) __builtin_trap();
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != expected[i].text) __builtin_trap();
        const char first = got[i].empty() ? '\0' : got[i].front();
        if (expected[i].from_server && (first == '-' || first == '+' || first == '@')) __builtin_trap();
    }
}

// The hosting machine's server game from the store, without its IWAD and files.
brannock::ServerGame stored_server_game(const Store& store) {
    const auto read = [&](const char* group, const char* key) { return store.get_int(group, key); };
    brannock::ServerGame server;
    server.map = store.map;
    server.type = read("general", "type");
    server.modifier = read("general", "modifier");
    server.skill = read("general", "skill");
    server.flags = brannock::compute_flag_words(read);
    for (std::size_t i = 0; i < kLimitCount; ++i) server.limits[i] = read("general", expected::kLimitKeys[i]);
    return server;
}

// Hosts the stored game with every copied file handed back under `folder` ("" hands each name back
// as it stands, so the file arguments are the server's texts themselves).
void host_and_check(const Store& store, brannock::ServerGame server, const std::string& folder) {
    std::vector<std::string> paths, file_args;
    for (const std::string& name : store.files) {
        paths.push_back(folder + name);
        file_args.push_back(frame::file_argument(paths.back(), std::nullopt));   // a file without a short form
    }
    const bool files_are_server_texts = folder.empty();
    std::string iwad;
    frame::IwadFileName(store.iwad, &iwad);
    server.iwad = iwad;
    server.files = file_args;

    Args want;
    add_fixed(want, "-host -iwad");
    add_value(want, iwad, false);
    add_files(want, paths, files_are_server_texts);
    add_fixed(want, "+masterip 0.0.0.0 -private +sv_updatemaster 0 +map");
    add_value(want, server.map, true);
    add_fixed(want, brannock::game_type_text(server.type));
    add_fixed(want, brannock::modifier_text(server.modifier));
    add_fixed(want, "+skill");
    want.push_back({std::to_string(server.skill - 1)});
    for (std::size_t i = 0; i < kFlagWordCount; ++i) {
        add_fixed(want, expected::kFlagWords[i].option);
        want.push_back({std::to_string(server.flags[i])});
    }
    for (std::size_t i = 0; i < kLimitCount; ++i) {
        if (server.limits[i] <= 0) continue;
        add_fixed(want, "+set");
        want.push_back({expected::kLimitKeys[i]});
        want.push_back({std::to_string(server.limits[i])});
    }
    check_line(brannock::server_line(server), want);

    const brannock::ClientGame client{kHostAddress, iwad, file_args, kParameters, kPlayerName};
    want.clear();
    add_fixed(want, "-connect");
    want.push_back({kHostAddress});
    add_fixed(want, "-iwad");
    add_value(want, iwad, false);
    add_files(want, paths, files_are_server_texts);
    add_fixed(want, kParameters);
    add_fixed(want, "+name");
    want.push_back({kPlayerArg});
    check_line(brannock::client_line(client), want);
}

// The server's flag words come back on the hosted line: every bit an item of its own carries
// (an item made of others' bits, strifefalldamage, is on exactly when they are).
void check_flag_round_trip(const brannock::ReplyFields& reply, const brannock::FlagWords& hosted) {
    if (!reply.has(brannock::Row::flag_words)) return;
    const brannock::FlagWords sent = brannock::reply_flag_words(reply);
    std::array<uint32_t, kFlagWordCount> carried{};
    for (const expected::FlagRow& row : expected::kFlagRows) {
        const auto bits = static_cast<uint32_t>(row.value);
        for (std::size_t w = 0; w < kFlagWordCount; ++w) {
            if (std::has_single_bit(bits) && std::strcmp(row.group, expected::kFlagWords[w].group) == 0) carried[w] |= bits;
        }
    }
    for (std::size_t i = 0; i < kFlagWordCount; ++i) {
        if (static_cast<uint32_t>(hosted[i]) != (static_cast<uint32_t>(sent[i]) & carried[i])) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::WalkedReply reply = fuzz::walk_datagram(data, size, brannock::kSettingsReading);
    Store store;
    brannock::write_game_settings(reply.read, reply.fields, store);
    const brannock::ServerGame server = stored_server_game(store);
    check_flag_round_trip(reply.fields, server.flags);
    host_and_check(store, server, "");
    host_and_check(store, server, "c:\\my wads\\");
    return 0;
}
