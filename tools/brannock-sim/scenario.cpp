// scenario.cpp: reading brannock-sim scenarios from JSON.
#include "tools/brannock-sim/scenario.h"

#include <fstream>
#include <sstream>
#include <utility>

#include <limits>
#include <type_traits>

#include <nlohmann/json.hpp>

namespace sim {
namespace {

using nlohmann::json;

// Scenario names of the reply fields, with their flag bits, in wire order.
constexpr std::pair<const char*, uint32_t> kFields[] = {
    {"name", 0x00000001},        {"website", 0x00000002},     {"email", 0x00000004},
    {"map", 0x00000008},         {"max_clients", 0x00000010}, {"limit", 0x00000020},
    {"pwads", 0x00000040},       {"game_type", 0x00000080},   {"game_name", 0x00000100},
    {"iwad", 0x00000200},        {"icon1", 0x00000400},       {"icon2", 0x00000800},
    {"skill", 0x00001000},       {"bot_skill", 0x00002000},   {"flag_block", 0x08000000},
    {"limits", 0x00010000},      {"team_damage", 0x00020000}, {"team_scores", 0x00040000},
    {"player_count", 0x00080000}, {"players", 0x00100000},
};

Fault parse_fault(const std::string& text) {
    if (text == "none" || text.empty()) return Fault::none;
    if (text == "wrong_magic") return Fault::wrong_magic;
    if (text == "outdated") return Fault::outdated;
    if (text == "truncate") return Fault::truncate;
    if (text == "garbage") return Fault::garbage;
    if (text == "silent") return Fault::silent;
    throw std::runtime_error("unknown fault \"" + text + "\"");
}

// A whole number that fits T. A float or an out-of-range number is refused here: converting it
// would be undefined, and a scenario file is the user's input.
template <typename T>
T whole_number(const json& value, const char* what) {
    const bool fits = value.is_number_unsigned()
                          ? value.get<std::uint64_t>() <= static_cast<std::uint64_t>(std::numeric_limits<T>::max())
                          : value.is_number_integer() && value.get<std::int64_t>() >= static_cast<std::int64_t>(std::numeric_limits<T>::min()) &&
                                value.get<std::int64_t>() <= static_cast<std::int64_t>(std::numeric_limits<T>::max());
    if (!fits) {
        throw std::runtime_error(std::string(what) + " must be a whole number from " +
                                 std::to_string(+std::numeric_limits<T>::min()) + " to " +
                                 std::to_string(+std::numeric_limits<T>::max()));
    }
    return value.is_number_unsigned() ? static_cast<T>(value.get<std::uint64_t>()) : static_cast<T>(value.get<std::int64_t>());
}

// A number written as JSON number or as text ("0x8000000" or decimal).
uint32_t parse_word(const json& value) {
    if (!value.is_string()) return whole_number<uint32_t>(value, "a flag word");
    const unsigned long long word = std::stoull(value.get<std::string>(), nullptr, 0);
    if (word > std::numeric_limits<uint32_t>::max()) throw std::runtime_error("a flag word must fit 32 bits");
    return static_cast<uint32_t>(word);
}

template <typename T>
void take(const json& object, const char* key, T* target) {
    if (!object.contains(key)) return;
    if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) *target = whole_number<T>(object.at(key), key);
    else *target = object.at(key).get<T>();
}

GameServer parse_server(const json& j, std::size_t index) {
    GameServer s;
    s.label = "server" + std::to_string(index + 1);
    take(j, "label", &s.label);
    take(j, "port", &s.port);
    take(j, "version", &s.version);
    take(j, "name", &s.name);
    take(j, "website", &s.website);
    take(j, "email", &s.email);
    take(j, "map", &s.map);
    take(j, "max_clients", &s.max_clients);
    take(j, "max_players", &s.max_players);
    take(j, "pwads", &s.pwads);
    take(j, "game_type", &s.game_type);
    take(j, "instagib", &s.instagib);
    take(j, "buckshot", &s.buckshot);
    take(j, "game_name", &s.game_name);
    take(j, "iwad", &s.iwad);
    take(j, "icon1", &s.icon1);
    take(j, "icon2", &s.icon2);
    take(j, "skill", &s.skill);
    take(j, "bot_skill", &s.bot_skill);
    take(j, "fraglimit", &s.fraglimit);
    take(j, "timelimit", &s.timelimit);
    take(j, "timeleft", &s.timeleft);
    take(j, "duellimit", &s.duellimit);
    take(j, "pointlimit", &s.pointlimit);
    take(j, "winlimit", &s.winlimit);
    if (j.contains("players")) {
        for (const json& p : j.at("players")) {
            Player player;
            if (p.is_string()) {
                player.name = p.get<std::string>();
            } else {
                take(p, "name", &player.name);
                take(p, "score", &player.score);
                take(p, "ping", &player.ping);
                take(p, "team", &player.team);
            }
            s.players.push_back(player);
        }
    }
    if (j.contains("flags")) {
        const json& f = j.at("flags");
        const char* groups[5] = {"dmflags1", "dmflags2", "dmflags3", "compatflags", "compatflags2"};
        for (std::size_t i = 0; i < 5; ++i) {
            if (f.contains(groups[i])) s.flag_words[i] = parse_word(f.at(groups[i]));
        }
    }
    s.fields = default_fields();
    if (j.contains("send")) {
        s.fields = 0;
        for (const json& name : j.at("send")) {
            const uint32_t bit = field_bit(name.get<std::string>());
            if (bit == 0) throw std::runtime_error("unknown field \"" + name.get<std::string>() + "\"");
            s.fields |= bit;
        }
    }
    if (j.contains("reply_flags")) s.reply_flags = parse_word(j.at("reply_flags"));
    if (j.contains("fault")) s.fault = parse_fault(j.at("fault").get<std::string>());
    take(j, "truncate_at", &s.truncate_at);
    return s;
}

Master parse_master(const json& j) {
    Master m;
    take(j, "port", &m.port);
    take(j, "datagrams", &m.datagrams);
    if (m.datagrams < 1) m.datagrams = 1;
    if (j.contains("status")) m.status = parse_word(j.at("status"));
    if (j.contains("fault")) m.fault = parse_fault(j.at("fault").get<std::string>());
    take(j, "truncate_at", &m.truncate_at);
    take(j, "extra_entries", &m.extra_entries);
    return m;
}

}  // namespace

uint32_t default_fields() {
    uint32_t all = 0;
    for (const auto& [name, bit] : kFields) all |= bit;
    // The team scores field is 4 bytes to one reading and 3 to the other: left out by default.
    return all & ~field_bit("team_scores");
}

uint32_t field_bit(const std::string& name) {
    for (const auto& [field, bit] : kFields) {
        if (name == field) return bit;
    }
    return 0;
}

bool parse_scenario(const std::string& json_text, Scenario* scenario, std::string* error) {
    try {
        const json j = json::parse(json_text);
        Scenario out;
        if (j.contains("master")) out.master = parse_master(j.at("master"));
        if (j.contains("servers")) {
            for (const json& s : j.at("servers")) out.servers.push_back(parse_server(s, out.servers.size()));
        }
        *scenario = std::move(out);
        return true;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool load_scenario(const std::string& path, Scenario* scenario, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    return parse_scenario(text.str(), scenario, error);
}

}  // namespace sim
