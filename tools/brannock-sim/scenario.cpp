// scenario.cpp: reading brannock-sim scenarios from JSON.
//
// A scenario is a person's input: an unknown key, a value of the wrong kind or a number out of
// range is refused with where it stands and what would do, never taken as empty or zero.
#include "tools/brannock-sim/scenario.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include <nlohmann/json.hpp>

#include "host/os.h"
#include "host/suggest.h"

namespace sim {
namespace {

using nlohmann::json;

// The simulator's own names and bits for the reply fields, in wire order. Kept apart from the
// plug-in's reader on purpose: the simulator is the independent encoder the tests hold the
// plug-in against.
constexpr std::pair<const char*, uint32_t> kFields[] = {
    {"name", 0x00000001},        {"website", 0x00000002},     {"email", 0x00000004},
    {"map", 0x00000008},         {"max_clients", 0x00000010}, {"limit", 0x00000020},
    {"pwads", 0x00000040},       {"game_type", 0x00000080},   {"game_name", 0x00000100},
    {"iwad", 0x00000200},        {"icon1", 0x00000400},       {"icon2", 0x00000800},
    {"skill", 0x00001000},       {"bot_skill", 0x00002000},   {"flag_block", 0x08000000},
    {"limits", 0x00010000},      {"team_damage", 0x00020000}, {"team_scores", 0x00040000},
    {"player_count", 0x00080000}, {"players", 0x00100000},
};

constexpr std::pair<const char*, Fault> kFaults[] = {
    {"none", Fault::none},         {"wrong_magic", Fault::wrong_magic}, {"outdated", Fault::outdated},
    {"truncate", Fault::truncate}, {"garbage", Fault::garbage},         {"silent", Fault::silent},
};

const std::vector<std::string> kScenarioKeys = {"master", "servers"};
const std::vector<std::string> kMasterKeys = {"port", "datagrams", "status", "fault", "truncate_at", "extra_entries"};
const std::vector<std::string> kServerKeys = {
    "label",     "port",      "version",    "name",      "website",     "email",       "map",
    "max_clients", "max_players", "pwads",  "game_type", "instagib",    "buckshot",    "game_name",
    "iwad",      "icon1",     "icon2",      "skill",     "bot_skill",   "fraglimit",   "timelimit",
    "timeleft",  "duellimit", "pointlimit", "winlimit",  "players",     "flags",       "send",
    "reply_flags", "fault",   "truncate_at"};
const std::vector<std::string> kPlayerKeys = {"name", "score", "ping", "team"};
const std::vector<std::string> kFlagWords = {"dmflags1", "dmflags2", "dmflags3", "compatflags", "compatflags2"};

[[noreturn]] void refuse(const std::string& why) { throw std::runtime_error(why); }

std::string joined(const std::vector<std::string>& words) {
    std::string out;
    for (const auto& word : words) out += (out.empty() ? "" : ", ") + word;
    return out;
}

// One JSON object of the scenario, read key by key; `where` names it in messages ("server 2").
class Object {
public:
    Object(const json& value, std::string where, const std::vector<std::string>& known)
        : value_(value), where_(std::move(where)) {
        if (!value.is_object()) refuse(where_ + " must be an object {...}, not " + value.dump());
        for (const auto& item : value.items())
            if (std::find(known.begin(), known.end(), item.key()) == known.end())
                refuse("unknown key \"" + item.key() + "\" in " + where_ + host::did_you_mean(item.key(), known) +
                       "; its keys: " + joined(known));
    }

    const json* find(const char* key) const {
        const auto found = value_.find(key);
        return found == value_.end() ? nullptr : &*found;
    }
    std::string at(const char* key) const { return where_ + " \"" + key + "\""; }

    void text(const char* key, std::string* target) const {
        const json* v = find(key);
        if (v && !v->is_string()) refuse_kind(key, "a text");
        if (v) *target = v->get<std::string>();
    }
    void flag(const char* key, bool* target) const {
        const json* v = find(key);
        if (v && !v->is_boolean()) refuse_kind(key, "true or false");
        if (v) *target = v->get<bool>();
    }
    void texts(const char* key, std::vector<std::string>* target) const {
        const json* v = find(key);
        if (!v) return;
        if (!v->is_array() || !std::all_of(v->begin(), v->end(), [](const json& e) { return e.is_string(); }))
            refuse_kind(key, "a list of texts [\"...\", ...]");
        *target = v->get<std::vector<std::string>>();
    }
    // A whole number that fits T. A float or an out-of-range number is refused: converting it
    // would be undefined.
    template <typename T>
    void number(const char* key, T* target, T least = std::numeric_limits<T>::min()) const {
        if (const json* v = find(key)) *target = whole<T>(*v, at(key), least);
    }

    template <typename T>
    static T whole(const json& v, const std::string& what, T least = std::numeric_limits<T>::min()) {
        const T most = std::numeric_limits<T>::max();
        using U = std::uint64_t;
        using S = std::int64_t;
        const bool fits = v.is_number_unsigned()
                              ? v.get<U>() <= static_cast<U>(most) && v.get<U>() >= static_cast<U>(std::max<T>(least, 0))
                          : v.is_number_integer()
                              ? v.get<S>() >= static_cast<S>(least) && v.get<S>() <= static_cast<S>(most)
                              : false;
        if (!fits)
            refuse(what + " must be a whole number from " + std::to_string(+least) + " to " + std::to_string(+most) +
                   ", not " + v.dump());
        return v.is_number_unsigned() ? static_cast<T>(v.get<std::uint64_t>()) : static_cast<T>(v.get<std::int64_t>());
    }

private:
    [[noreturn]] void refuse_kind(const char* key, const char* kind) const {
        refuse(at(key) + " must be " + kind + ", not " + value_.at(key).dump());
    }

    const json& value_;
    std::string where_;
};

// A 32-bit word as a JSON number or as text: decimal digits, or hexadecimal after 0x.
uint32_t word(const json& value, const std::string& what) {
    if (!value.is_string()) return Object::whole<uint32_t>(value, what);
    const std::string text = value.get<std::string>();
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    uint32_t out = 0;
    const auto [end, ec] = std::from_chars(first, last, out, hex ? 16 : 10);
    if (first == last || ec != std::errc() || end != last)
        refuse(what + ": \"" + text + "\" is no 32-bit number (decimal digits, or hexadecimal after 0x)");
    return out;
}

Fault fault_named(const Object& object, const char* key, Fault fallback) {
    const json* v = object.find(key);
    if (!v) return fallback;
    std::vector<std::string> names;
    for (const auto& [name, fault] : kFaults) {
        if (v->is_string() && v->get<std::string>() == name) return fault;
        names.push_back(name);
    }
    refuse(object.at(key) + " must be one of " + joined(names) + ", not " + v->dump());
}

// "a.b.c.d:port" with four numbers 0..255 and a port 1..65535.
void check_entry(const std::string& entry, const std::string& what) {
    unsigned part[4] = {};
    unsigned port = 0;
    const char* p = entry.data();
    const char* end = entry.data() + entry.size();
    bool ok = true;
    for (int i = 0; i < 5 && ok; ++i) {
        unsigned& n = i < 4 ? part[i] : port;
        const auto [next, ec] = std::from_chars(p, end, n);
        ok = ec == std::errc() && next != p && (i < 4 ? n <= 255 : n >= 1 && n <= 65535);
        p = next;
        if (i < 4 && ok) ok = p < end && *p++ == (i < 3 ? '.' : ':');
    }
    if (!ok || p != end) refuse(what + " \"" + entry + "\" is not a.b.c.d:port (numbers 0..255, port 1..65535)");
}

Player parse_player(const json& j, const std::string& where) {
    Player player;
    if (j.is_string()) {
        player.name = j.get<std::string>();
        return player;
    }
    const Object p(j, where + " (a name, or an object)", kPlayerKeys);
    p.text("name", &player.name);
    p.number("score", &player.score);
    p.number("ping", &player.ping);
    p.number("team", &player.team);
    return player;
}

GameServer parse_server(const json& j, std::size_t index) {
    GameServer s;
    const Object o(j, "server " + std::to_string(index + 1), kServerKeys);
    s.label = "server" + std::to_string(index + 1);
    o.text("label", &s.label);
    o.number("port", &s.port);
    for (const auto& [key, target] : {std::pair{"version", &s.version}, {"name", &s.name}, {"website", &s.website},
                                      {"email", &s.email}, {"map", &s.map}, {"game_name", &s.game_name},
                                      {"iwad", &s.iwad}})
        o.text(key, target);
    for (const auto& [key, target] : {std::pair{"max_clients", &s.max_clients}, {"max_players", &s.max_players},
                                      {"game_type", &s.game_type}, {"icon1", &s.icon1}, {"icon2", &s.icon2},
                                      {"skill", &s.skill}, {"bot_skill", &s.bot_skill}})
        o.number(key, target);
    for (const auto& [key, target] : {std::pair{"fraglimit", &s.fraglimit}, {"timelimit", &s.timelimit},
                                      {"timeleft", &s.timeleft}, {"duellimit", &s.duellimit},
                                      {"pointlimit", &s.pointlimit}, {"winlimit", &s.winlimit}})
        o.number(key, target);
    o.flag("instagib", &s.instagib);
    o.flag("buckshot", &s.buckshot);
    o.texts("pwads", &s.pwads);
    if (const json* players = o.find("players")) {
        if (!players->is_array()) refuse(o.at("players") + " must be a list of names or objects, not " + players->dump());
        for (const json& p : *players)
            s.players.push_back(parse_player(p, o.at("players") + " entry " + std::to_string(s.players.size() + 1)));
    }
    if (const json* flags = o.find("flags")) {
        const Object f(*flags, o.at("flags"), kFlagWords);
        for (std::size_t i = 0; i < kFlagWords.size(); ++i)
            if (const json* v = f.find(kFlagWords[i].c_str())) s.flag_words[i] = word(*v, f.at(kFlagWords[i].c_str()));
    }
    s.fields = default_fields();
    std::vector<std::string> names;
    o.texts("send", &names);
    if (o.find("send")) s.fields = 0;
    for (const std::string& name : names) {
        const uint32_t bit = field_bit(name);
        if (bit == 0) refuse("unknown field \"" + name + "\" in " + o.at("send"));
        s.fields |= bit;
    }
    if (const json* flags = o.find("reply_flags")) s.reply_flags = word(*flags, o.at("reply_flags"));
    s.fault = fault_named(o, "fault", Fault::none);
    o.number("truncate_at", &s.truncate_at);
    return s;
}

Master parse_master(const json& j) {
    Master m;
    const Object o(j, "the master", kMasterKeys);
    o.number("port", &m.port);
    o.number("datagrams", &m.datagrams, 1);
    if (const json* status = o.find("status")) m.status = word(*status, o.at("status"));
    m.fault = fault_named(o, "fault", Fault::none);
    o.number("truncate_at", &m.truncate_at);
    o.texts("extra_entries", &m.extra_entries);
    for (const std::string& entry : m.extra_entries) check_entry(entry, o.at("extra_entries") + " entry");
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
        const Object top(j, "the scenario", kScenarioKeys);
        Scenario out;
        if (const json* master = top.find("master")) out.master = parse_master(*master);
        if (const json* servers = top.find("servers")) {
            if (!servers->is_array()) refuse("\"servers\" must be a list of servers [{...}, ...]");
            for (const json& s : *servers) out.servers.push_back(parse_server(s, out.servers.size()));
        }
        *scenario = std::move(out);
        return true;
    } catch (const json::parse_error& e) {
        // "[json.exception.parse_error.101] parse error at line 3, column 5: ..." without the tag.
        const std::string what = e.what();
        if (error) *error = "not JSON: " + what.substr(what.find(']') + 2);
        return false;
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        return false;
    }
}

bool load_scenario(const std::string& path, Scenario* scenario, std::string* error) {
    const std::optional<std::string> text = host::os::read_file(path);
    if (!text) {
        if (error) *error = "cannot read " + path;
        return false;
    }
    return parse_scenario(*text, scenario, error);
}

Scenario generated_scenario(int servers, int silent, int broken) {
    constexpr Fault kBroken[] = {Fault::truncate, Fault::wrong_magic, Fault::garbage};
    constexpr std::size_t kCutAt = 40;   // within the server name: a reply plainly cut short
    Scenario scenario;
    scenario.master.datagrams = std::max(1, servers / 100);
    const int faulty = silent + broken;
    for (int i = 0; i < servers; ++i) {
        GameServer server;
        server.name = "server " + std::to_string(i + 1);
        server.pwads = {"extra.wad"};
        server.fields = default_fields();
        scenario.servers.push_back(std::move(server));
    }
    // Fault k sits at k * servers / faulty: evenly spread, never two on one server.
    for (int k = 0; k < faulty; ++k) {
        GameServer& server = scenario.servers[static_cast<std::size_t>(k) * servers / faulty];
        server.fault = k < silent ? Fault::silent : kBroken[(k - silent) % 3];
        server.truncate_at = kCutAt;
    }
    return scenario;
}

}  // namespace sim
