// brannock_abi_test.cpp: brannock.dll driven through every launcher slot it uses.
#include <cstring>
#include <memory>

#include "test_launcher.h"

namespace abi_test {
namespace {

// Every slot but 3, 4 and 25.
const PluginUnderTest kBrannock{"brannock.dll",
                                {0, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24},
                                "Brannock", 31, "masteraddress"};
class BrannockAbi : public PluginAbi<kBrannock> {};

constexpr std::uint32_t kReplyMagic = 5660023;
const std::string kQueryOnWire = "\x05\xB8\x49\x02";   // the challenge C7 00 00 00, compressed

// A server reply with the fields both reply readers take, in their order on the wire.
Datagram server_reply() {
    Datagram reply;
    reply.u32(kReplyMagic).text("1.2.3");
    reply.u32(0x1 | 0x8 | 0x20 | 0x40 | 0x80 | 0x200 | 0x400 | 0x1000 | 0x2000 | 0x10000 |
              0x80000 | 0x100000 | 0x08000000);
    reply.text("Test Server").text("map07").u8(25);                  // name, map, limit
    reply.u8(2).text("Foo.wad").text("bar.pk3");                     // PWADs
    reply.u8(3).u8(1).u8(0).u8(0).u8(0);                             // deathmatch, instagib
    reply.text("DOOM2.WAD").u8(1).u8(2).u8(0);                       // IWAD, icon, skill, 0x2000
    reply.bytes += std::string(12, '\0');
    reply.u16(20).u16(0).u16(0).u16(0).u16(3);                       // limits, no time left
    reply.u8(2);                                                     // player count
    reply.text("\x1C" "aBob").u16(5).u16(40).u8(0).u8(1).u8(0);      // a coloured name
    reply.text("Al").u16(1).u16(30).u8(0).u8(0).u8(0);
    // Flag block: the three game-rule words, then the two compatibility words.
    reply.u32(0x5).u32(0x2000).u32(0x80).u32(0x40000000).u32(0x1);
    return reply;
}

void expect_pieces(const std::string& line, const std::vector<std::string>& pieces) {
    for (const std::string& piece : pieces)
        EXPECT_NE(line.find(piece), std::string::npos) << "'" << piece << "' missing in: " << line;
}

TEST_F(BrannockAbi, InitNamesThePluginAndItsCapabilities) { expect_identity(); }

TEST_F(BrannockAbi, SettingsDescriptionArrivesWhole) { expect_description_whole(); }

// The folder read through slot 2 is what the plug-in checks and names back.
TEST_F(BrannockAbi, EngineChecksUseTheLaunchersFolderAndMap) {
    Scratch scratch("brannock_checks");
    const std::string folder = scratch.make_dir("engine");
    scratch.touch(folder + "Brannock.exe");
    launcher().engine_texts["general/enginepath"] = folder;

    EXPECT_EQ(plugin->call(SDLL_EngineConfig), 0);
    ASSERT_EQ(launcher().calls_to(12).size(), 1u);
    EXPECT_EQ(launcher().calls_to(12)[0].numbers, std::vector<long long>{0x7FFFF});
    ASSERT_EQ(launcher().calls_to(24).size(), 1u);
    EXPECT_EQ(launcher().calls_to(24)[0].numbers, std::vector<long long>{1});

    plugin->call(Brannock_Verification);
    const auto required = launcher().calls_to(11);
    ASSERT_EQ(required.size(), 2u);
    EXPECT_EQ(required[0].texts, (std::vector<std::string>{folder, "Brannock.exe"}));
    EXPECT_EQ(required[1].texts, (std::vector<std::string>{folder, "Brannock.pk3"}));

    EXPECT_EQ(plugin->call(SDLL_MultiConfig), 1);
    const auto boxes = launcher().calls_to(5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].texts,
              (std::vector<std::string>{"Please specify an existing map name!", "Brannock"}));
    EXPECT_EQ(boxes[0].numbers, std::vector<long long>{0x30});
    launcher().multiplayer_texts["general/map"] = "map01";
    EXPECT_EQ(plugin->call(SDLL_MultiConfig), 0);
    EXPECT_EQ(launcher().calls_to(5).size(), 1u);
}

TEST_F(BrannockAbi, MasterQueryGoesOutThroughTheLauncher) {
    launcher().engine_ints["servers/performquery"] = 0;
    plugin->call(SDLL_QueryMasterserver);
    EXPECT_TRUE(launcher().calls_to(15).empty()) << "public servers are switched off";

    launcher().engine_ints["servers/performquery"] = 1;
    launcher().engine_texts["servers/masteraddress"] = "127.0.0.1:15301";
    plugin->call(SDLL_QueryMasterserver);
    const auto sent = launcher().calls_to(15);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].texts, (std::vector<std::string>{"127.0.0.1", "15301"}));
    EXPECT_EQ(sent[0].numbers, (std::vector<long long>{4, 0}));
    EXPECT_EQ(sent[0].bytes, kQueryOnWire);
}

TEST_F(BrannockAbi, MasterListAddsItsServer) {
    const Datagram list = Datagram().u32(0).u8(1).u8(192).u8(168).u8(1).u8(2).u16(10662).u8(2);
    auto* first = reinterpret_cast<void*>(0x1111);
    auto* second = reinterpret_cast<void*>(0x2222);
    EXPECT_EQ(plugin->call(SDLL_MasterserverResponse, first, second, list.data(), list.size()), 1);
    const auto added = launcher().calls_to(16);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].texts, (std::vector<std::string>{"192.168.1.2", "10662"}));

    const Datagram outdated = Datagram().u32(22383);
    EXPECT_EQ(
        plugin->call(SDLL_MasterserverResponse, first, second, outdated.data(), outdated.size()),
        1);
    const auto messages = launcher().calls_to(10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].texts[0], "Masterserver query protocol for Brannock is outdated.");
    EXPECT_EQ(messages[0].numbers, std::vector<long long>{3});
    EXPECT_EQ(launcher().calls_to(16).size(), 1u);
}

TEST_F(BrannockAbi, ServerQueryIsWrittenIntoTheLaunchersArea) {
    unsigned char area[16];
    std::memset(area, 0xAA, sizeof area);
    int length = -1;
    EXPECT_EQ(plugin->call(SDLL_ServerQueryData, nullptr, nullptr, area, &length), 5);
    ASSERT_EQ(length, 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(area), 4), kQueryOnWire);
    EXPECT_EQ(area[6], 0xAA);
}

TEST_F(BrannockAbi, ServerReplyFillsTheListedServer) {
    const Datagram reply = server_reply();
    EXPECT_EQ(plugin->call(SDLL_ServerResponse, listed_server(), reply.data(), reply.size()), 1);
    std::vector<std::vector<std::string>> properties;
    for (const Call& call : launcher().calls_to(17)) properties.push_back(call.texts);
    const std::vector<std::vector<std::string>> expected = {
        {"LIMIT", "25"},         {"PWAD0", "foo.wad"},
        {"PWAD1", "bar.pk3"},    {"MAP", "MAP07 - foo.wad, bar.pk3"},
        {"TYPE", "Deathmatch"},  {"GAME", "Doom 2 Deathmatch"},
        {"ICON", "14"},          {"USERS", "2"},
        {"", "Test Server"}};
    EXPECT_EQ(properties, expected);
}

TEST_F(BrannockAbi, ServerReplyBecomesTheLaunchersGameSettings) {
    const Datagram reply = server_reply();
    auto* first = reinterpret_cast<void*>(0x3333);
    EXPECT_EQ(plugin->call(SDLL_ServerGamesettings, first, reply.data(), reply.size()), 1);

    // Everything but the flag items, in the order the launcher saw it.
    std::vector<std::string> seen;
    std::map<std::string, long long> flags;
    for (const Call& call : launcher().calls) {
        std::string line = std::to_string(call.slot);
        for (const auto& text : call.texts) line.append(" ").append(text);
        for (long long number : call.numbers) line.append(" ").append(std::to_string(number));
        if (call.slot == 8 && call.texts[0] != "general")
            flags[call.texts[0] + "/" + call.texts[1]] = call.numbers[0];
        else
            seen.push_back(line);
    }
    const std::vector<std::string> expected = {
        "9 general map MAP07",     "22 MAP07",               "20 foo.wad",
        "20 bar.pk3",              "8 general type 3",       "8 general modifier 0",
        "8 general modifier 1",    "21 4",                   "8 general skill 3",
        "8 general fraglimit 20",  "8 general timelimit 0",  "8 general duellimit 0",
        "8 general pointlimit 0",  "8 general winlimit 3",   "23 Bob",
        "23 Al"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(flags.size(), 125u);
    EXPECT_EQ(flags["dmflags1/nohealth"], 1);
    EXPECT_EQ(flags["dmflags1/weaponstay"], 4);
    EXPECT_EQ(flags["dmflags1/noitems"], 0);
    EXPECT_EQ(flags["dmflags2/keepteams"], 0x2000);
    EXPECT_EQ(flags["dmflags3/keepteams"], 0x80);
    EXPECT_EQ(flags["compatflags/crossdropoff"], 0x40000000);
    EXPECT_EQ(flags["compatflags2/netscriptsareclientside"], 1);
}

// A hosted game: the server line and the client line carry what the callbacks answered.
TEST_F(BrannockAbi, HostedGameStartsBothEnginesFromTheLaunchersSettings) {
    Scratch scratch("brannock_host");
    const std::string folder = scratch.make_dir("Engine");
    scratch.install_engine(folder, "Brannock.exe");
    const std::string pwad = scratch.touch(scratch.dir + "Extra.wad");
    auto& l = launcher();
    l.engine_texts["general/enginepath"] = folder;
    l.engine_texts["general/parameters"] = "-nosound";
    l.chosen_files = {pwad};
    l.multiplayer_texts["general/map"] = "map01";
    l.multiplayer_ints = {{"general/type", 3}, {"general/skill", 3}, {"general/fraglimit", 20},
                          {"dmflags1/nohealth", 1}, {"dmflags1/weaponstay", 1}};
    const std::string addresses = std::string("\x0E\x00", 2) + "10.0.0.1:10666" +
                                  std::string("\x0E\x00", 2) + "10.0.0.2:10667";

    plugin->call(Brannock_LaunchMultiplayer, 4, 1, 1, 0, addresses.data(), "Player One");
    EXPECT_EQ(plugin->poll_until_done(SDLL_MultiplayerFinished), 1);

    const auto runs = scratch.engine_runs();
    ASSERT_EQ(runs.size(), 2u);
    const std::string file = " -file " + short_path(lower(pwad));
    expect_pieces(runs[0].value("command_line", ""),
                  {" -host -iwad doom2.wad ", file, "+map MAP01 ", "+deathmatch 1 ", "+skill 2 ",
                   "+dmflags 5 ", " +set fraglimit 20"});
    expect_pieces(runs[1].value("command_line", ""),
                  {"-connect 10.0.0.2:10667 -iwad doom2.wad ", file, " -nosound ",
                   "+name \"Player One\""});
    EXPECT_EQ(l.calls_to(13).size(), 1u);
    EXPECT_EQ(l.calls_to(14).size(), 1u);
}

// Joining: the server's properties (slot 18) and the found file (slot 19) fill the response file.
TEST_F(BrannockAbi, JoinWritesTheServersPropertiesIntoTheResponseFile) {
    Scratch scratch("brannock_join");
    const std::string folder = scratch.make_dir("engine");
    scratch.install_engine(folder, "Brannock.exe");
    const std::string pwad = scratch.touch(scratch.dir + "extra.wad");
    auto& l = launcher();
    l.engine_texts["general/enginepath"] = folder;
    l.engine_texts["general/parameters"] = "-nosound";
    l.server_info = {{"IWAD", "doom2.wad"}, {"NUMPWADS", "1"}, {"PWAD0", "extra.wad"},
                     {"ADDRESS", "10.0.0.7"}, {"PORT", "10667"}};
    l.known_files["extra.wad"] = pwad;

    plugin->call(SDLL_LaunchServer, listed_server(), "Player One");
    EXPECT_EQ(plugin->poll_until_done(SDLL_ServerFinished), 1);

    const auto runs = scratch.engine_runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0]["argv"], nlohmann::json::array({"@doomargs.tmp"}));
    EXPECT_EQ(runs[0]["response_file"].value("bytes", ""),
              "-nosound\r\n-iwad doom2.wad\r\n-file " + short_path(pwad) +
                  "\r\n+name \"Player One\"\r\n-connect 10.0.0.7:10667\r\n");
    std::vector<std::string> keys;
    for (const Call& call : l.calls_to(18)) keys.push_back(call.texts[0]);
    EXPECT_EQ(keys, (std::vector<std::string>{"IWAD", "NUMPWADS", "ADDRESS", "PORT", "PWAD0"}));
    ASSERT_EQ(l.calls_to(19).size(), 1u);
    EXPECT_EQ(l.calls_to(19)[0].texts[0], "extra.wad");
}

}  // namespace
}  // namespace abi_test
