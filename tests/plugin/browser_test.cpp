// browser_test.cpp: the Brannock server-browser exports through the stand-in launcher, and a
// browse of the simulator's servers over loopback UDP.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <filesystem>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "host/browse.h"
#include "tests/plugin/plugin_fixture.h"
#include "tools/brannock-sim/replies.h"
#include "tools/brannock-sim/simulator.h"
#include "tests/support/wire_writer.h"

namespace {

using Bytes = std::vector<unsigned char>;
using nlohmann::json;

using test_support::Writer;

Writer reply_head(uint32_t flags) {
    Writer w;
    w.u32(5660023).text("3.1").u32(flags);
    return w;
}

// The plug-in with the journal cleared after loading.
struct Browser : test_support::PluginFixture {
    Browser() {
        EXPECT_TRUE(open("brannock", "Brannock.exe"));
        launcher->clear_journal();
    }
    int master_reply(const Bytes& decoded) {
        const Bytes packet = sim::encode(decoded);
        auto fn = launcher->get<SDLL_MasterserverResponse_t>("SDLL_MasterserverResponse");
        return fn(nullptr, nullptr, packet.data(), static_cast<int>(packet.size()));
    }
    int server_reply(const Bytes& decoded, host::Server* server) {
        const Bytes packet = sim::encode(decoded);
        auto fn = launcher->get<SDLL_ServerResponse_t>("SDLL_ServerResponse");
        return fn(host::Launcher::ref(server), packet.data(), static_cast<int>(packet.size()));
    }
    int settings_reply(const Bytes& decoded) {
        const Bytes packet = sim::encode(decoded);
        auto fn = launcher->get<SDLL_ServerGamesettings_t>("SDLL_ServerGamesettings");
        return fn(nullptr, packet.data(), static_cast<int>(packet.size()));
    }
    // Every journalled call as "Name arg arg ..." (handles and servers left out).
    std::vector<std::string> calls() const {
        std::vector<std::string> out;
        for (const auto& entry : launcher->journal()) {
            std::string line = entry.name;
            for (const json& arg : entry.args) {
                if (arg.is_string() && (arg == "host" || arg.get<std::string>().rfind("server:", 0) == 0)) continue;
                line += ' ';
                line += arg.is_string() ? arg.get<std::string>() : arg.dump();
            }
            out.push_back(line);
        }
        return out;
    }
    std::size_t count(const std::string& name) const {
        std::size_t n = 0;
        for (const auto& entry : launcher->journal()) n += entry.name == name;
        return n;
    }
};

std::string demo_scenario_path() {
    return (std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "tools" / "brannock-sim" /
            "scenarios" / "demo.json")
        .string();
}

}  // namespace

TEST(BrowserExports, MasterQueryFollowsTheSettings) {
    Browser b;
    auto query = b.launcher->get<SDLL_QueryMasterserver_t>("SDLL_QueryMasterserver");
    ASSERT_TRUE(b.launcher->set("engine", "servers", "masteraddress", "10.0.0.5:15301"));
    query();
    ASSERT_EQ(b.launcher->sent.size(), 1u);
    EXPECT_EQ(b.launcher->sent[0].host, "10.0.0.5");
    EXPECT_EQ(b.launcher->sent[0].port, "15301");
    EXPECT_EQ(b.launcher->sent[0].data, (Bytes{0x05, 0xB8, 0x49, 0x02}));

    ASSERT_TRUE(b.launcher->set("engine", "servers", "masteraddress", "master.example.org"));
    query();
    ASSERT_EQ(b.launcher->sent.size(), 2u);
    EXPECT_EQ(b.launcher->sent[1].host, "master.example.org");
    EXPECT_EQ(b.launcher->sent[1].port, "15300");

    // Parts over 255 bytes are cut, not overflowed.
    ASSERT_TRUE(b.launcher->set("engine", "servers", "masteraddress", std::string(300, 'h') + ":" + std::string(300, '1')));
    query();
    ASSERT_EQ(b.launcher->sent.size(), 3u);
    EXPECT_EQ(b.launcher->sent[2].host, std::string(255, 'h'));
    EXPECT_EQ(b.launcher->sent[2].port, std::string(255, '1'));

    ASSERT_TRUE(b.launcher->set("engine", "servers", "performquery", "0"));
    b.launcher->clear_journal();
    query();
    EXPECT_EQ(b.launcher->sent.size(), 3u);
    EXPECT_EQ(b.count("Host_SendQuery"), 0u);
}

TEST(BrowserExports, MasterRepliesAddServers) {
    Browser b;
    EXPECT_EQ(b.master_reply({0, 0, 0, 0, 0x01, 0xC0, 0xA8, 0x01, 0x02, 0xA6, 0x29, 0x02}), 1);
    EXPECT_EQ(b.master_reply({0, 0, 0, 0, 0x01, 0x0A, 0x00, 0x00, 0x01, 0xA6}), 1);
    EXPECT_EQ(b.master_reply({0, 0, 0, 0, 0x01, 0x0A, 0x00, 0x00, 0x01, 0x00, 0xC8, 0x02}), 1);
    EXPECT_EQ(b.calls(), (std::vector<std::string>{"Host_AddServer 192.168.1.2 10662",
                                                   "Host_AddServer 10.0.0.1 51200"}));
}

// A stranger's list cannot make the launcher send datagrams to this machine's "this network", the
// broadcast address or a multicast group, or to port 0; loopback and private servers stay, in the
// list's order, repeats included.
TEST(BrowserExports, MasterListNamesOnlyUsableServers) {
    struct Entry {
        std::array<unsigned char, 4> address;
        unsigned port;
        bool listed;
    };
    const Entry entries[] = {
        {{0, 0, 0, 0}, 10666, false},         {{0, 255, 255, 255}, 10666, false}, {{1, 0, 0, 0}, 10666, true},
        {{223, 255, 255, 255}, 10666, true},  {{224, 0, 0, 0}, 10666, false},     {{224, 0, 0, 251}, 5353, false},
        {{239, 255, 255, 255}, 10666, false}, {{240, 0, 0, 0}, 10666, false},     {{255, 255, 255, 255}, 10666, false},
        {{127, 0, 0, 1}, 10666, true},        {{192, 168, 1, 2}, 0, false},       {{192, 168, 1, 2}, 1, true},
        {{10, 0, 0, 1}, 65535, true},         {{1, 0, 0, 0}, 10666, true},
    };
    Bytes list = {0, 0, 0, 0};
    std::vector<std::string> added;
    for (const Entry& e : entries) {
        list.push_back(1);
        list.insert(list.end(), e.address.begin(), e.address.end());
        list.insert(list.end(), {static_cast<unsigned char>(e.port & 0xFF), static_cast<unsigned char>(e.port >> 8)});
        if (e.listed)
            added.push_back("Host_AddServer " + std::to_string(e.address[0]) + "." + std::to_string(e.address[1]) +
                            "." + std::to_string(e.address[2]) + "." + std::to_string(e.address[3]) + " " +
                            std::to_string(e.port));
    }
    list.push_back(2);
    Browser b;
    EXPECT_EQ(b.master_reply(list), 1);
    EXPECT_EQ(b.calls(), added);
}

TEST(BrowserExports, OutdatedMasterIsReportedOnceAndOtherStatusesAreIgnored) {
    Browser b;
    EXPECT_EQ(b.master_reply({0x6F, 0x57, 0, 0, 1, 10, 0, 0, 1, 0x10, 0, 2}), 1);
    EXPECT_EQ(b.master_reply({1, 0, 0, 0, 1, 10, 0, 0, 1, 0x10, 0, 2}), 1);
    EXPECT_EQ(b.master_reply({}), 1);
    EXPECT_EQ(b.calls(), (std::vector<std::string>{
                             "Host_ReportMessage Masterserver query protocol for Brannock is outdated. 3"}));
    auto fn = b.launcher->get<SDLL_MasterserverResponse_t>("SDLL_MasterserverResponse");
    EXPECT_EQ(fn(nullptr, nullptr, nullptr, 12), 1);
    EXPECT_TRUE(b.launcher->servers.empty());
}

TEST(BrowserExports, ServerQueryWritesOnlyTheCodedChallenge) {
    Browser b;
    auto fn = b.launcher->get<SDLL_ServerQueryData_t>("SDLL_ServerQueryData");
    Bytes area(16, 0xEE);
    int length = -1;
    EXPECT_EQ(fn(nullptr, nullptr, area.data(), &length), 5);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(area, (Bytes{0x05, 0xB8, 0x49, 0x02, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
    EXPECT_EQ(fn(nullptr, nullptr, nullptr, nullptr), 5);   // no areas: nothing written
}

TEST(BrowserExports, ServerReplyPropertiesInOrder) {
    Browser b;
    host::Server* server = b.launcher->add_server("10.0.0.1", "10666");
    EXPECT_EQ(b.server_reply(reply_head(0x9).text("\x1c" "aName").text("map07").bytes, server), 1);
    EXPECT_EQ(b.calls(), (std::vector<std::string>{"Host_SetServerInfo MAP MAP07", "Host_SetServerInfo TYPE Unknown",
                                                   "Host_SetServerInfo ICON 13",
                                                   "Host_SetServerInfo  \x1c" "aName"}));
    b.launcher->clear_journal();
    Writer full = reply_head(0x1 | 0x20 | 0x40 | 0x8 | 0x80 | 0x200 | 0x80000);
    full.text("Srv").text("MAP01").u8(8).u8(2).text("Foo.wad").text("BAR.PK3").u8(3).zeros(4).text("doom2.wad").u8(5);
    EXPECT_EQ(b.server_reply(full.bytes, server), 1);
    EXPECT_EQ(b.calls(), (std::vector<std::string>{
                             "Host_SetServerInfo LIMIT 8", "Host_SetServerInfo PWAD0 foo.wad",
                             "Host_SetServerInfo PWAD1 bar.pk3", "Host_SetServerInfo MAP MAP01 - foo.wad, bar.pk3",
                             "Host_SetServerInfo TYPE Deathmatch", "Host_SetServerInfo GAME Doom 2 Deathmatch",
                             "Host_SetServerInfo ICON 13", "Host_SetServerInfo USERS 5", "Host_SetServerInfo  Srv"}));
}

TEST(BrowserExports, ForeignOrCutShortServerRepliesSetNothing) {
    Browser b;
    host::Server* server = b.launcher->add_server("10.0.0.1", "10666");
    Bytes wrong = reply_head(0x9).text("n").text("m").bytes;
    wrong[0] = 0;
    EXPECT_EQ(b.server_reply(wrong, server), 1);
    EXPECT_EQ(b.server_reply(reply_head(0x9).text("n").bytes, server), 1);
    EXPECT_EQ(b.count("Host_SetServerInfo"), 0u);
}

TEST(BrowserExports, MapOnlySettings) {
    Browser b;
    EXPECT_EQ(b.settings_reply(reply_head(0x8).text("e1m1").bytes), 1);
    EXPECT_EQ(b.calls(), (std::vector<std::string>{"Host_SetMultiplayerString general map E1M1", "Host_SetMap E1M1",
                                                   "Host_ReportMessage No PWAD information included in packet 2"}));
    EXPECT_EQ(b.launcher->map, "E1M1");
}

// The copied map later goes onto the hosted server's line: only its first word is taken, and a map
// that is no plain word leaves the user's map as it was and is counted, not shown.
TEST(BrowserExports, CopiedMapIsOnePlainWord) {
    const char* const kNoPwads = "Host_ReportMessage No PWAD information included in packet 2";
    const char* const kOneLeftOut =
        "Host_ReportMessage Server names left out of the copy (not a plain map or file name): 1 2";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"map01\t+exec\tevil.cfg", {"Host_SetMultiplayerString general map MAP01", "Host_SetMap MAP01", kNoPwads}},
        {"MAP01;quit", {kNoPwads, kOneLeftOut}}, {" map02", {kNoPwads, kOneLeftOut}}, {"", {kNoPwads, kOneLeftOut}},
        {"+quit", {kNoPwads, kOneLeftOut}}, {"map\xA0+quit", {kNoPwads, kOneLeftOut}},
    };
    for (const auto& [map, calls] : cases) {
        Browser b;
        EXPECT_EQ(b.settings_reply(reply_head(0x8).text(map).bytes), 1);
        EXPECT_EQ(b.calls(), calls) << map;
    }
}

TEST(BrowserExports, FullSettingsInLauncherOrder) {
    Browser b;
    const uint32_t flags = 0x8 | 0x40 | 0x80 | 0x200 | 0x1000 | 0x10000 | 0x80000 | 0x100000 | 0x08000000;
    Writer w = reply_head(flags);
    w.text("map05").u8(1).text("Extra.WAD").u8(20).u8(1).u8(1).zeros(2).text("HERETIC1.WAD").u8(3).zeros(12);
    w.u16(50).u16(0).u16(1).u16(2).u16(65535).u8(1).text("\x1c" "aBob").zeros(7);
    w.u32(0x10).u32(0).u32(0).u32(0x40000000).u32(0x1000000);
    EXPECT_EQ(b.settings_reply(w.bytes), 1);
    const std::vector<std::string> calls = b.calls();
    ASSERT_EQ(calls.size(), 15u + 125u);
    const std::vector<std::string> head(calls.begin(), calls.begin() + 16);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "Host_SetMultiplayerString general map MAP05", "Host_SetMap MAP05", "Host_AddFile extra.wad",
                        "Host_SetMultiplayerInt general type 0", "Host_SetMultiplayerInt general modifier 0",
                        "Host_SetMultiplayerInt general modifier 1", "Host_SetMultiplayerInt general modifier 2",
                        "Host_SetIwad 10", "Host_SetMultiplayerInt general skill 4",
                        "Host_SetMultiplayerInt general fraglimit 50", "Host_SetMultiplayerInt general timelimit 0",
                        "Host_SetMultiplayerInt general duellimit 1", "Host_SetMultiplayerInt general pointlimit 2",
                        "Host_SetMultiplayerInt general winlimit 65535", "Host_AddPlayer Bob",
                        "Host_SetMultiplayerInt dmflags1 nohealth 0"}));
    auto has = [&](const std::string& call) { return std::find(calls.begin(), calls.end(), call) != calls.end(); };
    // Strife's fall damage is both other fall-damage bits: it is on exactly when they are, so its
    // own item stays off and hosting adds the word up as the server has it.
    EXPECT_TRUE(has("Host_SetMultiplayerInt dmflags1 falldamage 16"));
    EXPECT_TRUE(has("Host_SetMultiplayerInt dmflags1 strifefalldamage 0"));
    EXPECT_TRUE(has("Host_SetMultiplayerInt compatflags crossdropoff 1073741824"));
    EXPECT_TRUE(has("Host_SetMultiplayerInt compatflags2 oldradiussmg 16777216"));
    EXPECT_TRUE(has("Host_SetMultiplayerInt compatflags oldradiusdmg 0"));
    EXPECT_EQ(calls.back(), "Host_SetMultiplayerInt compatflags2 oldweaponswitch 0");
}

TEST(BrowserExports, ForeignOrCutShortSettingsChangeNothing) {
    Browser b;
    Bytes whole = reply_head(0x8 | 0x1000 | 0x08000000).text("map05").u8(2).zeros(12).zeros(20).bytes;
    Bytes wrong = whole;
    wrong[1] ^= 1;
    EXPECT_EQ(b.settings_reply(wrong), 0);
    EXPECT_TRUE(b.calls().empty());
    whole.pop_back();
    EXPECT_EQ(b.settings_reply(whole), 0);
    EXPECT_EQ(b.calls(),
              (std::vector<std::string>{"Host_ReportMessage The server's reply was cut short; no settings were copied. 2"}));
    EXPECT_TRUE(b.launcher->map.empty());
}

// Raw packets cut at every byte reach every reader; the sanitizers watch for reads past them.
TEST(BrowserExports, EveryCutOfAReplyIsHandled) {
    Browser b;
    sim::GameServer server;
    server.name = "Cut";
    server.pwads = {"a.wad", "b.wad"};
    server.game_type = 9;
    server.timelimit = 10;
    server.players = {{"P1", 1, 2, 0}, {"P2", 3, 4, 1}};
    server.fields = sim::default_fields();
    const Bytes whole = sim::server_reply(server);
    host::Server* entry = b.launcher->add_server("10.0.0.1", "1");
    auto info = b.launcher->get<SDLL_ServerResponse_t>("SDLL_ServerResponse");
    auto settings = b.launcher->get<SDLL_ServerGamesettings_t>("SDLL_ServerGamesettings");
    auto master = b.launcher->get<SDLL_MasterserverResponse_t>("SDLL_MasterserverResponse");
    for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
        Bytes packet{0xFF};
        packet.insert(packet.end(), whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(cut));
        const Bytes exact(packet);
        EXPECT_EQ(info(host::Launcher::ref(entry), exact.data(), static_cast<int>(exact.size())), 1);
        EXPECT_EQ(settings(nullptr, exact.data(), static_cast<int>(exact.size())), cut == whole.size() ? 1 : 0) << cut;
        EXPECT_EQ(master(nullptr, nullptr, exact.data(), static_cast<int>(exact.size())), 1);
    }
}

// The simulator on a thread, its servers listed, queried and shown through real UDP.
TEST(BrowserOverUdp, ListsEveryScenarioServer) {
    sim::Scenario scenario;
    std::string error;
    ASSERT_TRUE(sim::load_scenario(demo_scenario_path(), &scenario, &error))
        << error;
    scenario.master.port = 0;
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.open(scenario, &error)) << error;
    std::atomic<bool> stop{false};
    std::thread serving([&] { simulator.run(stop); });

    Browser b;
    ASSERT_TRUE(b.launcher->set("engine", "servers", "masteraddress",
                                "127.0.0.1:" + std::to_string(simulator.master_port())));
    // Queries go out together and each ends on its answer, so the wait only bounds the silent
    // server; it is far longer than a loopback answer takes, even under emulation.
    host::BrowseOptions options;
    options.server_wait_ms = 3000;
    host::BrowseResult result;
    std::ostringstream progress;
    host::BrowseFailure failure;
    const auto settings_before = b.launcher->game_state();
    const bool ok = host::browse(*b.launcher, options, progress, &result, &failure);
    stop = true;
    serving.join();
    ASSERT_TRUE(ok) << failure.message;

    ASSERT_EQ(result.servers.size(), scenario.servers.size()) << progress.str();
    EXPECT_EQ(result.master_datagrams, 2);
    auto info = [&](std::size_t i, const char* key) {
        return b.launcher->server_info(*result.servers[i].server, key).value_or("<absent>");
    };
    for (std::size_t i = 0; i < scenario.servers.size(); ++i) {
        EXPECT_EQ(result.servers[i].server->port, std::to_string(simulator.server_port(i)));
    }
    // Each broken server has a status of its own; telling them apart left the user's settings be.
    const std::vector<host::ReplyStatus> statuses = {
        host::ReplyStatus::answered,  host::ReplyStatus::answered,         host::ReplyStatus::answered,
        host::ReplyStatus::cut_short, host::ReplyStatus::not_server_reply, host::ReplyStatus::no_answer};
    for (std::size_t i = 0; i < statuses.size(); ++i) EXPECT_EQ(result.servers[i].status, statuses[i]) << i;
    EXPECT_EQ(b.launcher->game_state().values, settings_before.values);
    EXPECT_TRUE(b.launcher->files.empty());
    EXPECT_TRUE(b.launcher->reports.empty());
    EXPECT_EQ(info(0, "IWAD"), "doom2.wad");   // learnt from the reply, for a join
    EXPECT_EQ(info(1, "IWAD"), "doom.wad");
    EXPECT_EQ(info(0, ""), "Fragfest Central");
    EXPECT_EQ(info(0, "MAP"), "MAP01 - dwango5.wad, skins.pk3");
    EXPECT_EQ(info(0, "TYPE"), "Deathmatch");
    EXPECT_EQ(info(0, "GAME"), "Doom 2 Deathmatch");
    EXPECT_EQ(info(0, "USERS"), "3");
    EXPECT_EQ(info(0, "LIMIT"), "16");
    EXPECT_EQ(info(0, "WEBSITE"), "http://fragfest.example.org");
    EXPECT_EQ(info(1, "MAP"), "E1M1");
    EXPECT_EQ(info(1, "GAME"), "Doom Cooperative");
    EXPECT_EQ(info(1, "ICON"), "14");
    EXPECT_EQ(info(1, "EMAIL"), "<absent>");
    EXPECT_EQ(info(2, "GAME"), "(freedoom2.wad) Team Game");
    EXPECT_EQ(info(3, ""), "<absent>");   // cut short
    EXPECT_EQ(info(4, ""), "<absent>");   // wrong magic
    EXPECT_EQ(info(5, ""), "<absent>");   // silent

    const std::string table = host::server_table(*b.launcher, result);
    EXPECT_NE(table.find("Capture at Dawn"), std::string::npos) << table;
    EXPECT_NE(table.find("Slow Coop Nights  E1M1"), std::string::npos) << table;
    EXPECT_NE(table.find("4  cut short"), std::string::npos) << table;

    const json doc = json::parse(host::browse_json(result).dump());
    ASSERT_EQ(doc["servers"].size(), 6u);
    EXPECT_EQ(doc["servers"][0]["properties"][""], "Fragfest Central");
    EXPECT_EQ(doc["servers"][0]["properties"]["PWAD1"], "skins.pk3");
    EXPECT_EQ(doc["servers"][4]["status"], "not a server reply");
    EXPECT_EQ(doc["master_datagrams"], 2);

    // The settings of the first server copied from its reply.
    auto copy = b.launcher->get<SDLL_ServerGamesettings_t>("SDLL_ServerGamesettings");
    const Bytes& reply = result.servers[0].reply;
    EXPECT_EQ(copy(nullptr, reply.data(), static_cast<int>(reply.size())), 1);
    EXPECT_EQ(b.launcher->map, "MAP01");
    EXPECT_EQ(b.launcher->iwad, 4);
    EXPECT_EQ(b.launcher->players, (std::vector<std::string>{"Bob", "Ann", "Kee"}));
    EXPECT_EQ(b.launcher->get_value("multiplayer", "general", "type"), "3");
    EXPECT_EQ(b.launcher->get_value("multiplayer", "general", "fraglimit"), "30");
}
