// brannock_launch_test.cpp: the Brannock plug-in's engine checks, hosted games and joins, driven
// through the stand-in launcher with the fake engine installed as Brannock.exe.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "frame/launcher.h"
#include "host/host.h"
#include "tests/plugin/plugin_fixture.h"
#include "tests/support/expected_tables.h"
#include "tests/support/system_color.h"
#include "tests/support/test_paths.h"
#include "tests/support/wire_writer.h"
#include "tools/brannock-sim/replies.h"

namespace {

using test_support::read_file;
using test_support::short_form;
using test_support::write_file;

using test_support::Record;

constexpr const char* kIdleColor = "111";

// The address list of SDLL_LaunchMultiplayer: 16-bit little-endian length, then the bytes.
std::string counted_list(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& e : entries) {
        list += static_cast<char>(e.size() & 0xFF);
        list += static_cast<char>((e.size() >> 8) & 0xFF);
        list += e;
    }
    return list;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class BrannockLaunch : public ::testing::Test {
protected:
    test_support::PluginFixture f;
    std::string color_file;

    void SetUp() override {
        ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
        color_file = f.scratch + "highlight";
        test_support::set_env("SDLL_SYSCOLOR_FILE", color_file);
        set_color(kIdleColor);
        f.launcher->clear_journal();
    }
    void TearDown() override { test_support::set_env("SDLL_SYSCOLOR_FILE", ""); }

    void set(const std::string& page, const std::string& group, const std::string& key,
             const std::string& value) {
        std::string error;
        ASSERT_TRUE(f.launcher->set(page, group, key, value, &error)) << group << "/" << key << ": " << error;
    }
    // The highlight colour as the system holds it (the stand-in file natively, the real
    // system colour on Windows), in decimal.
    static std::string color() { return std::to_string(test_support::highlight_color()); }
    static void set_color(const std::string& decimal) { test_support::set_highlight_color(std::stoul(decimal)); }

    // The launcher calls the plug-in made, without the exports the test itself called.
    std::vector<host::JournalEntry> calls() const {
        std::vector<host::JournalEntry> out;
        for (const auto& e : f.launcher->journal())
            if (e.name.rfind("Host_", 0) == 0) out.push_back(e);
        return out;
    }
    std::vector<std::string> call_names() const {
        std::vector<std::string> names;
        for (const auto& e : calls()) names.push_back(e.name);
        return names;
    }
    void expect_every_read_declared() const {
        for (const auto& e : f.launcher->journal()) {
            EXPECT_FALSE(e.undeclared) << e.to_json().dump();
            EXPECT_FALSE(e.mistyped) << e.to_json().dump();
        }
    }

    int engine_config() { return f.launcher->get<SDLL_EngineConfig_t>("SDLL_EngineConfig")(); }
    int multi_config() { return f.launcher->get<SDLL_MultiConfig_t>("SDLL_MultiConfig")(); }
    void verification() { f.launcher->get<Brannock_Verification_t>("SDLL_Verification")(); }
    int multiplayer_finished() {
        return f.launcher->get<SDLL_MultiplayerFinished_t>("SDLL_MultiplayerFinished")();
    }
    int server_finished() { return f.launcher->get<SDLL_ServerFinished_t>("SDLL_ServerFinished")(); }

    void launch(int host_entry, int own_entry, const std::vector<std::string>& addresses,
                const char* player = "Ann", int iwad = 4) {
        const std::string list = counted_list(addresses);
        f.launcher->get<Brannock_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(
            iwad, host_entry, own_entry, 0, list.data(), player);
    }
    // A server's reply, coded as on the wire, handed to the settings copy.
    int copy_settings(const std::vector<unsigned char>& decoded) {
        const std::vector<unsigned char> packet = sim::encode(decoded);
        return f.launcher->get<SDLL_ServerGamesettings_t>("SDLL_ServerGamesettings")(
            nullptr, packet.data(), static_cast<int>(packet.size()));
    }
    // The engine started by the last launch whose parameter text begins with `prefix`.
    Record new_start_beginning(const std::vector<Record>& earlier, const std::string& prefix) const {
        return f.engines.start_where([&](const Record& start) {
            return start["parameters"].get<std::string>().starts_with(prefix) &&
                   std::find(earlier.begin(), earlier.end(), start) == earlier.end();
        });
    }
    void join(host::Server* server, const char* player = "Ann") {
        f.launcher->get<SDLL_LaunchServer_t>("SDLL_LaunchServer")(host::Launcher::ref(server), player);
    }

    // An engine start as the engine saw it: the exact parameter text (doubled blanks included),
    // the show mode, the program and the folder.
    void expect_start(const Record& start, const std::string& parameters, int show) const {
        ASSERT_TRUE(start.is_object());
        EXPECT_EQ(start["parameters"], parameters);
        EXPECT_EQ(start["show"], show) << start["parameters"];
        EXPECT_TRUE(test_support::same_folder(start["program"].get<std::string>(), f.engine_exe)) << start.dump();
        EXPECT_TRUE(test_support::same_folder(start["cwd"].get<std::string>(), f.engine_dir)) << start.dump();
    }
    // Lets a normally started engine end and holds it to the normal priority throughout.
    void end_at_normal_priority(const Record& start) const {
        f.engines.release(start);
        ASSERT_TRUE(f.engines.wait_for_end(start)) << start.dump();
        for (const Record& event : f.engines.events_of(start))
            EXPECT_EQ(event["priority"], test_support::normal_priority()) << event.dump();
    }
};

// ---- engine checks ---------------------------------------------------------------------------

TEST_F(BrannockLaunch, EmptyEngineFolderIsReportedNotReadyWithOneCallback) {
    set("engine", "general", "enginepath", "");
    f.launcher->clear_journal();
    EXPECT_EQ(engine_config(), 0);
    ASSERT_EQ(call_names(), (std::vector<std::string>{"Host_GetEngineString", "Host_SetEngineReady"}));
    EXPECT_EQ(calls()[1].args, nlohmann::json::parse(R"(["host", 0])"));
    EXPECT_EQ(f.launcher->engine_ready, 0);
}

TEST_F(BrannockLaunch, ValidEngineFolderSetsTheMaskThenReady) {
    EXPECT_EQ(engine_config(), 0);
    ASSERT_EQ(call_names(), (std::vector<std::string>{"Host_GetEngineString", "Host_SetIwadMask",
                                                      "Host_SetEngineReady"}));
    EXPECT_EQ(calls()[1].args, nlohmann::json::parse(R"(["host", 524287])"));
    EXPECT_EQ(calls()[2].args, nlohmann::json::parse(R"(["host", 1])"));
    EXPECT_EQ(f.launcher->engine_ready, 1);
    EXPECT_EQ(f.launcher->iwad_mask, 0x7FFFFu);
}

TEST_F(BrannockLaunch, FolderWithoutItsSeparatorOrEngineIsRefusedSilently) {
    set("engine", "general", "enginepath", f.engine_dir.substr(0, f.engine_dir.size() - 1));
    f.launcher->clear_journal();
    EXPECT_EQ(engine_config(), 1);
    EXPECT_EQ(call_names(), (std::vector<std::string>{"Host_GetEngineString"}));

    set("engine", "general", "enginepath", f.scratch);   // a folder without Brannock.exe
    EXPECT_EQ(engine_config(), 1);
    EXPECT_EQ(f.launcher->engine_ready, -1);
    EXPECT_FALSE(f.launcher->iwad_mask.has_value());
}

TEST_F(BrannockLaunch, VerificationNamesExecutableThenDataEvenWithoutFolder) {
    verification();
    set("engine", "general", "enginepath", "");
    verification();
    using Files = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(f.launcher->required_files, (Files{{f.engine_dir, "Brannock.exe"}, {f.engine_dir, "Brannock.pk3"},
                                                 {"", "Brannock.exe"}, {"", "Brannock.pk3"}}));
}

TEST_F(BrannockLaunch, MultiConfigRefusesOnlyAnEmptyMap) {
    set("multiplayer", "general", "map", " ");
    EXPECT_EQ(multi_config(), 0);
    EXPECT_TRUE(f.launcher->message_boxes.empty());

    set("multiplayer", "general", "map", "");
    EXPECT_EQ(multi_config(), 1);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, "Please specify an existing map name!");
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Brannock");
    EXPECT_EQ(f.launcher->message_boxes[0].style, 0x30u);
    expect_every_read_declared();
}

// ---- hosting ---------------------------------------------------------------------------------

// The default game: cooperative, skill 4, no modifier, no limits, no flags, no extra files, empty
// parameters.
constexpr const char* kDefaultServerLine =
    " -host -iwad doom2.wad  +masterip 0.0.0.0  -private  +sv_updatemaster 0 +map MAP01 +cooperative 1 "
    "+skill 3 +dmflags 0 +dmflags2 0 +zadmflags 0 +compatflags 0 +zacompatflags 0 ";
constexpr const char* kDefaultClientLine = "-connect 10.0.0.5:10666 -iwad doom2.wad   +name \"Ann\"";

TEST_F(BrannockLaunch, HostStartsAMinimisedHighPriorityServerThenItsClient) {
    set("multiplayer", "general", "map", "map01");
    f.launcher->clear_journal();
    const auto start = std::chrono::steady_clock::now();
    launch(0, 0, {"10.0.0.5:10666", "10.0.0.9:10666"});
    // The server gets its head start before the client is started.
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(990));
    EXPECT_EQ(f.running_engines(), 2u);

    ASSERT_TRUE(f.engines.wait_for_starts(2));
    const Record server = f.engines.start_beginning(" -host ");
    const Record client = f.engines.start_beginning("-connect ");
    expect_start(server, kDefaultServerLine, test_support::kShowMinimize);
    expect_start(client, kDefaultClientLine, test_support::kShowNormal);
    EXPECT_TRUE(f.engines.wait_for_priority(server, test_support::high_priority())) << f.engines.priority_of(server).value_or(0);

    // Every flag item is read once, in table order, after the rules and before the limits.
    std::vector<std::string> keys;
    for (const auto& e : calls())
        if (e.name == "Host_GetMultiplayerInt") keys.push_back(e.args[1].get<std::string>() + "/" +
                                                               e.args[2].get<std::string>());
    ASSERT_EQ(keys.size(), 3u + 125u + 5u);
    EXPECT_EQ(keys[0], "general/type");
    for (std::size_t i = 0; i < std::size(expected::kFlagRows); ++i)
        EXPECT_EQ(keys[3 + i], std::string(expected::kFlagRows[i].group) + "/" + expected::kFlagRows[i].key) << i;
    EXPECT_EQ(keys[3 + 125], "general/fraglimit");
    EXPECT_EQ(keys.back(), "general/winlimit");
    expect_every_read_declared();

    // The game changed the highlight colour; while the client plays, the finish changes nothing.
    set_color("222");
    EXPECT_EQ(multiplayer_finished(), 0);
    EXPECT_EQ(color(), "222");
    EXPECT_TRUE(test_support::is_running_child(test_support::pid_of(server)));

    // The client ends; the server plays on until the finish stops it.
    end_at_normal_priority(client);
    EXPECT_TRUE(test_support::is_running_child(test_support::pid_of(server)));
    EXPECT_TRUE(f.engines.end_of(server).is_null());
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    EXPECT_EQ(color(), kIdleColor);
    EXPECT_TRUE(test_support::wait_until([&] { return !test_support::is_running_child(test_support::pid_of(server)); }));
    EXPECT_TRUE(f.engines.end_of(server).is_null()) << "the server ended by itself, not by the finish";

    // Nothing kept any more: the next finish is done at once and restores the colour again.
    set_color("333");
    EXPECT_EQ(multiplayer_finished(), 1);
    EXPECT_EQ(color(), kIdleColor);
}

TEST_F(BrannockLaunch, HostWithEveryOptionSetPassesAllOfThemToTheEngine) {
    const std::string wad = f.scratch + "a.wad";
    const std::string pk3 = f.scratch + "b.pk3";
    const std::string gone = f.scratch + "No Such Folder" + f.scratch.back() + "Gone.WAD";
    write_file(wad, "w");
    write_file(pk3, "p");
    // The launcher's names are lower-cased before their short form is taken.
    f.launcher->files = {f.scratch + "A.WAD", pk3, gone};

    set("engine", "general", "parameters", "-nosound  +vid_fps 1");
    set("multiplayer", "general", "map", "e1m1 the hangar");
    set("multiplayer", "general", "type", "12");
    set("multiplayer", "general", "modifier", "2");
    set("multiplayer", "general", "skill", "1");
    set("multiplayer", "general", "fraglimit", "20");
    set("multiplayer", "general", "timelimit", "10");
    set("multiplayer", "general", "duellimit", "5");
    set("multiplayer", "general", "pointlimit", "3");
    set("multiplayer", "general", "winlimit", "2");
    set("multiplayer", "dmflags1", "falldamage", "1");
    set("multiplayer", "dmflags1", "strifefalldamage", "1");
    set("multiplayer", "dmflags2", "keepteams", "1");
    for (const auto& item : f.launcher->description().group("multiplayer", "compatflags")->items)
        set("multiplayer", "compatflags", item.key, "1");
    set("multiplayer", "compatflags2", "oldradiussmg", "1");

    launch(1, 1, {"10.0.0.5:10666", "10.0.0.9:10666"}, "Bo");
    ASSERT_TRUE(f.engines.wait_for_starts(2));
    // Existing files by their short form; the missing one (no short form) by its path as given,
    // quoted for its blanks.
    const std::string files =
        " -file " + short_form(lower(wad)) + " " + short_form(lower(pk3)) + " \"" + gone + "\"";
    expect_start(f.engines.start_beginning(" -host "),
                 " -host -iwad doom2.wad " + files +
                     " +masterip 0.0.0.0  -private  +sv_updatemaster 0 +map E1M1 +ctf 1 +buckshot 1 +skill 0 "
                     "+dmflags 40 +dmflags2 8192 +zadmflags 0 +compatflags 2147483647 +zacompatflags 16777216  "
                     "+set fraglimit 20 +set timelimit 10 +set duellimit 5 +set pointlimit 3 +set winlimit 2",
                 test_support::kShowMinimize);
    EXPECT_TRUE(f.engines.wait_for_priority(f.engines.start_beginning(" -host "), test_support::high_priority()));
    const Record client = f.engines.start_beginning("-connect ");
    expect_start(client, "-connect 10.0.0.9:10666 -iwad doom2.wad " + files + " -nosound  +vid_fps 1 +name \"Bo\"",
                 test_support::kShowNormal);
    expect_every_read_declared();
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

TEST_F(BrannockLaunch, OtherMachinesStartOnlyTheirClientAndReadNoFlags) {
    set("multiplayer", "dmflags1", "nohealth", "1");
    const std::string long_entry(300, 'h');
    launch(1, 0, {"10.0.0.9:10666", long_entry}, "Cy\"d", 99);
    EXPECT_EQ(f.running_engines(), 1u);   // a server would have been started first, before the pause
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    // The entry is cut at 255 bytes; an unknown IWAD number leaves the name empty.
    const Record client = f.engines.start_beginning("-connect ");
    expect_start(client, "-connect " + long_entry.substr(0, 255) + " -iwad    +name \"Cyd\"", test_support::kShowNormal);

    int limit_reads = 0;
    for (const auto& e : calls()) {
        EXPECT_NE(e.name, "Host_GetMultiplayerString") << "the map is the host's";
        if (e.name != "Host_GetMultiplayerInt") continue;
        EXPECT_EQ(e.args[1], "general") << "no flag word is computed here";
        ++limit_reads;
    }
    EXPECT_EQ(limit_reads, 5);
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    EXPECT_EQ(f.engines.starts().size(), 1u);
}

// ---- hostile texts ---------------------------------------------------------------------------

// The map may come from a stranger's server (SDLL_ServerGamesettings copies it), the host address
// from the launcher's list: one word each. The player name stays quoted.
TEST_F(BrannockLaunch, HostedLinesTakeOneWordOfTheMapAndOfTheHostAddress) {
    set("multiplayer", "general", "map", "MAP01\t+exec\tevil.cfg");
    launch(0, 0, {"10.0.0.5:10666\r\n-file evil.wad"}, "Ann\"\t+exec x");
    ASSERT_TRUE(f.engines.wait_for_starts(2));
    expect_start(f.engines.start_beginning(" -host "), kDefaultServerLine, test_support::kShowMinimize);
    const Record client = f.engines.start_beginning("-connect ");
    expect_start(client, "-connect 10.0.0.5:10666 -iwad doom2.wad   +name \"Ann+exec x\"", test_support::kShowNormal);
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

// A stranger's server copied, then hosted: a file name is used only as the plain name at the end of
// its path, a map only as one plain word; whatever fails its rule is not copied, the user's map
// stays, and the user is told how many names were left out.
TEST_F(BrannockLaunch, CopiedServerNamesArePlainNamesWhenHosted) {
    set("multiplayer", "general", "map", "map01");
    // The server's name, and what the copy hands the launcher (empty: nothing).
    const std::pair<std::string, std::string> pwads[] = {
        {"evil.wad\t+exec\tevil.cfg", "evil.wad"}, {"+exec", ""}, {"evil.cfg", "evil.cfg"}, {"\"+exec", ""},
        {"evil.cfg\"", ""}, {"@evil.txt", ""}, {"-file", ""}, {" lead.wad", ""}, {"", ""},
        {"/etc/passwd", "passwd"}, {"\\\\evil.example\\share\\x.wad", "x.wad"},
        {"..\\..\\..\\boot.ini", "boot.ini"}, {"c:/windows/win.ini", "win.ini"}, {"iwads/doom2.wad", "doom2.wad"},
        {"nul.wad", ""}, {"NUL.a.wad", ""}, {"com1.wad", ""}, {"lpt9", ""}, {"CONOUT$", ""}, {"a/-x.wad", ""},
        {"x*.wad", ""}, {"..", ""}, {"Zo\xEB.wad", ""}, {"\xEF\xBC\x8Bquit.wad", ""},
        {"con2.wad", "con2.wad"}, {"console.wad", "console.wad"}, {"a..b.wad", "a..b.wad"},
        {"My_Map-v1.2.PK3", "my_map-v1.2.pk3"},
    };
    test_support::Writer reply;
    reply.u32(5660023).text("3.1").u32(0x8 | 0x40).text("MAP01;quit").u8(static_cast<unsigned>(std::size(pwads)));
    std::vector<std::string> copied;
    std::size_t left_out = 1;   // the map
    for (const auto& [sent, kept] : pwads) {
        reply.text(sent);
        if (kept.empty()) ++left_out;
        else copied.push_back(kept);
    }
    EXPECT_EQ(copy_settings(reply.bytes), 1);
    EXPECT_EQ(f.launcher->files, copied);
    ASSERT_EQ(f.launcher->reports.size(), 1u);
    EXPECT_EQ(f.launcher->reports[0].text,
              "Server names left out of the copy (not a plain map or file name): " + std::to_string(left_out));
    EXPECT_EQ(f.launcher->reports[0].level, 2);

    // The stand-in launcher hands the names back as they stand.
    std::string files;
    for (const std::string& name : copied) files += " " + name;
    launch(0, 0, {"10.0.0.5:10666"});
    ASSERT_TRUE(f.engines.wait_for_starts(2));
    expect_start(f.engines.start_beginning(" -host "),
                 " -host -iwad doom2.wad  -file" + files + " +masterip 0.0.0.0  -private  +sv_updatemaster 0 "
                 "+map MAP01 +cooperative 1 +skill 3 +dmflags 0 +dmflags2 0 +zadmflags 0 +compatflags 0 "
                 "+zacompatflags 0 ",
                 test_support::kShowMinimize);
    const Record client = f.engines.start_beginning("-connect ");
    expect_start(client, "-connect 10.0.0.5:10666 -iwad doom2.wad  -file" + files + "  +name \"Ann\"",
                 test_support::kShowNormal);
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

// Whatever a file's name holds, the engine gets it as one argument, as Windows splits the line.
TEST_F(BrannockLaunch, EachLauncherFileIsOneArgumentOfItsOwn) {
    const std::vector<std::string> files = {"evil.wad\t+exec\tevil.cfg", "+exec evil.cfg", "\"+exec", "evil.cfg\"",
                                            "c:\\my wads\\"};
    f.launcher->files = files;
    launch(1, 0, {"10.0.0.9:10666", "10.0.0.5:10666"});
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const Record client = f.engines.start_beginning("-connect ");
    std::vector<std::string> expected = {"-connect", "10.0.0.5:10666", "-iwad", "doom2.wad", "-file"};
    expected.insert(expected.end(), files.begin(), files.end());
    expected.insert(expected.end(), {"+name", "Ann"});
    EXPECT_EQ(client["argv"].get<std::vector<std::string>>(), expected) << client["parameters"];
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
}

// A server's fall damage (none, 8, 16, or Strife's 24, which is both bits) copied and hosted gives
// the server's own words back, byte for byte.
TEST_F(BrannockLaunch, CopiedFlagWordsAreHostedUnchanged) {
    set("multiplayer", "general", "map", "map01");
    for (const uint32_t fall : {0u, 8u, 16u, 24u}) {
        const uint32_t dmflags = 0x5404 | fall;
        test_support::Writer reply;
        reply.u32(5660023).text("3.1").u32(0x08000000).zeros(12);
        reply.u32(dmflags).u32(0x2000).u32(0x80).u32(0x40000000).u32(0x1000000);
        ASSERT_EQ(copy_settings(reply.bytes), 1);

        const std::vector<Record> earlier = f.engines.starts();
        f.engines.release_all();
        launch(0, 0, {"10.0.0.5:10666"});
        ASSERT_TRUE(f.engines.wait_for_starts(earlier.size() + 2));
        expect_start(new_start_beginning(earlier, " -host "),
                     " -host -iwad doom2.wad  +masterip 0.0.0.0  -private  +sv_updatemaster 0 +map MAP01 "
                     "+cooperative 1 +skill 3 +dmflags " + std::to_string(dmflags) +
                         " +dmflags2 8192 +zadmflags 128 +compatflags 1073741824 +zacompatflags 16777216 ",
                     test_support::kShowMinimize);
        ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    }
}

// Windows takes 32,767 characters with the terminating zero: a line one longer than fits starts
// nothing, not even the server, and the user is told why.
TEST_F(BrannockLaunch, LineBeyondTheWindowsLimitStartsNothingAndSaysSo) {
    set("multiplayer", "general", "map", "map01");
    // The client line is kDefaultClientLine with the parameters in it.
    const std::size_t fixed = f.engine_exe.size() + 3 + std::string(kDefaultClientLine).size();
    const std::size_t too_long = 32767 - fixed;
    set("engine", "general", "parameters", std::string(too_long, 'p'));
    launch(0, 0, {"10.0.0.5:10666"});
    EXPECT_EQ(f.running_engines(), 0u);
    EXPECT_TRUE(f.engines.starts().empty());
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text,
              "Brannock did not start the game: its command line would be 32767 characters long, and Windows "
              "takes at most 32,767. Shorten the engine's parameters or choose fewer extra files.");
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Brannock");
    EXPECT_EQ(f.launcher->message_boxes[0].style, 0x30u);
    EXPECT_EQ(multiplayer_finished(), 1);

#ifndef _WIN32
    // One character less fits (natively only: the line is the system's own business there).
    set("engine", "general", "parameters", std::string(too_long - 1, 'p'));
    launch(1, 0, {"10.0.0.9:10666", "10.0.0.5:10666"});
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    EXPECT_EQ(f.launcher->message_boxes.size(), 1u);
    const Record client = f.engines.start_beginning("-connect ");
    EXPECT_EQ(fixed + too_long - 1, f.engine_exe.size() + 3 + client["parameters"].get<std::string>().size());
    end_at_normal_priority(client);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
#endif
}

// ---- joining ---------------------------------------------------------------------------------

class BrannockJoin : public BrannockLaunch {
protected:
    host::Server* server = nullptr;
    std::string response, backup;

    void SetUp() override {
        BrannockLaunch::SetUp();
        server = f.launcher->add_server("10.1.2.3", "10666");
        f.launcher->server_iwad = "doom2.wad";
        response = f.engine_dir + "doomargs.tmp";
        backup = response + ".bak";
    }
    void set_info(const std::string& key, const std::string& value) { server->info.emplace_back(key, value); }

    // Joins, plays the game to its end and finishes; the engine's start record.
    Record play(const char* player = "Ann") {
        const std::vector<Record> earlier = f.engines.starts();
        join(server, player);
        EXPECT_EQ(f.running_engines(), 1u);
        EXPECT_TRUE(f.engines.wait_for_starts(earlier.size() + 1));
        const Record start = f.engines.new_start(earlier);
        expect_start(start, "@doomargs.tmp", test_support::kShowNormal);
        end_at_normal_priority(start);
        EXPECT_TRUE(f.poll_until_done("SDLL_ServerFinished"));
        return start;
    }
    static std::string response_bytes(const Record& start) {
        return start.contains("response_file") ? start["response_file"].value("bytes", "") : "";
    }
};

TEST_F(BrannockJoin, ResponseFileWithoutExtraFilesHasFourLines) {
    const Record start = play();
    const std::string expected = "\r\n-iwad doom2.wad\r\n+name \"Ann\"\r\n-connect 10.1.2.3:10666\r\n";
    EXPECT_EQ(response_bytes(start), expected);
    // The join's reads, then the finish's one read of the engine folder.
    EXPECT_EQ(call_names(), (std::vector<std::string>{"Host_GetEngineString", "Host_GetServerInfo",
                                                      "Host_GetServerInfo", "Host_GetServerInfo",
                                                      "Host_GetServerInfo", "Host_GetEngineString",
                                                      "Host_GetEngineString"}));
    // No earlier file: the join's own file stays, and no backup is made.
    EXPECT_EQ(read_file(response), expected);
    EXPECT_FALSE(test_support::file_exists(backup));
}

TEST_F(BrannockJoin, FoundFilesGoOnTheFileLineAndUnknownOnesAreLeftOut) {
    const std::string wad = f.scratch + "a.wad";
    const std::string gone = f.scratch + "my wads" + f.scratch.back() + "gone.wad";
    write_file(wad, "w");
    set_info("PWAD0", "unknown.wad");
    set_info("PWAD1", "a.wad");
    set_info("PWAD2", "gone.wad");
    f.launcher->known_files = {{"a.wad", wad}, {"gone.wad", gone}};
    set("engine", "general", "parameters", "-nosound  -nomusic");
    EXPECT_EQ(response_bytes(play("Bo")), "-nosound  -nomusic\r\n-iwad doom2.wad\r\n-file " + short_form(wad) +
                                              " \"" + gone + "\"\r\n+name \"Bo\"\r\n-connect 10.1.2.3:10666\r\n");

    // Only the second of two files found; then none found at all.
    server->info = {{"NUMPWADS", "2"}, {"PWAD1", "a.wad"}};
    set("engine", "general", "parameters", "");
    EXPECT_EQ(response_bytes(play("Bo")),
              "\r\n-iwad doom2.wad\r\n-file " + short_form(wad) + "\r\n+name \"Bo\"\r\n-connect 10.1.2.3:10666\r\n");

    server->info = {{"NUMPWADS", "0x1"}};
    EXPECT_EQ(response_bytes(play("Bo")), "\r\n-iwad doom2.wad\r\n-file\r\n+name \"Bo\"\r\n-connect 10.1.2.3:10666\r\n");
}

TEST_F(BrannockJoin, HostileServerPropertiesStayOnTheirLines) {
    set_info("IWAD", "doom2.wad\r\n+exec evil.cfg");
    set_info("ADDRESS", "10.1.2.3\n-file evil.wad");
    set_info("PORT", "10666\r");
    set_info("NUMPWADS", "2");
    set_info("PWAD0", "x.wad");
    set_info("PWAD1", "y.wad\t-exec z");   // asked of the launcher as "y.wad"
    const std::string y = f.scratch + "y.wad";
    write_file(y, "y");
    f.launcher->known_files = {{"x.wad", f.scratch + "x.wad\n+rcon_password p"}, {"y.wad", y}};
    // The server's texts end at their first control byte; the paths the launcher found keep their
    // text but lose the control bytes, quoted for their blanks.
    EXPECT_EQ(response_bytes(play("Ann\" +exec evil.cfg \"\n")),
              "\r\n-iwad doom2.wad\r\n-file \"" + f.scratch + "x.wad+rcon_password p\" " + short_form(y) +
                  "\r\n+name \"Ann +exec evil.cfg \"\r\n-connect 10.1.2.3:10666\r\n");
}

// A server's IWAD, address, port or file name that would start an option, a console command or a
// response file is left out; the IWAD line stays, as for an IWAD the launcher does not know.
TEST_F(BrannockJoin, ServerWordsThatWouldStartOptionsAreLeftOut) {
    const std::string wad = f.scratch + "a.wad";
    write_file(wad, "w");
    f.launcher->known_files = {{"a.wad", wad}, {"+exec", wad}, {"\"a.wad", wad}, {"@a.wad", wad}};
    server->info = {{"IWAD", "+quit"}, {"ADDRESS", "@evil.txt"}, {"PORT", "\"10666"}, {"NUMPWADS", "4"},
                    {"PWAD0", "+exec"}, {"PWAD1", "\"a.wad"}, {"PWAD2", "@a.wad"}, {"PWAD3", "a.wad"}};
    EXPECT_EQ(response_bytes(play()),
              "\r\n-iwad \r\n-file " + short_form(wad) + "\r\n+name \"Ann\"\r\n-connect :\r\n");
    std::vector<std::string> asked;
    for (const auto& e : calls())
        if (e.name == "Host_FindFile") asked.push_back(e.args[0]);
    EXPECT_EQ(asked, (std::vector<std::string>{"a.wad"}));
}

// The launcher is asked only for the plain name at the end of a server's file path, never for a
// path, a device or a name with bytes of another code page; the IWAD is such a name as well.
TEST_F(BrannockJoin, LauncherIsAskedForPlainFileNamesOnly) {
    const std::string wad = f.scratch + "x.wad";
    write_file(wad, "w");
    // The server's name, and what the launcher is asked for (empty: nothing).
    const std::pair<std::string, std::string> pwads[] = {
        {"/etc/passwd", "passwd"}, {"\\\\evil.example\\share\\x.wad", "x.wad"}, {"..\\..\\..\\x.wad", "x.wad"},
        {"c:/windows/win.ini", "win.ini"}, {"nul.wad", ""}, {"Con", ""}, {"a/", ""}, {"..", ""}, {" x.wad", ""},
        {"x\xA0.wad", ""}, {"a..b.wad", "a..b.wad"}, {"con2.wad", "con2.wad"}, {"iwads/doom2.wad", "doom2.wad"},
    };
    server->info = {{"IWAD", "\\\\evil.example\\share\\doom2.wad"},
                    {"NUMPWADS", std::to_string(std::size(pwads))}};
    std::vector<std::string> expected_asks;
    for (std::size_t i = 0; i < std::size(pwads); ++i) {
        set_info("PWAD" + std::to_string(i), pwads[i].first);
        if (!pwads[i].second.empty()) expected_asks.push_back(pwads[i].second);
    }
    f.launcher->known_files.emplace_back("x.wad", wad);
    // Both names that end in x.wad find the user's own x.wad.
    EXPECT_EQ(response_bytes(play()), "\r\n-iwad doom2.wad\r\n-file " + short_form(wad) + " " + short_form(wad) +
                                          "\r\n+name \"Ann\"\r\n-connect 10.1.2.3:10666\r\n");
    std::vector<std::string> asked;
    for (const auto& e : calls())
        if (e.name == "Host_FindFile") asked.push_back(e.args[0]);
    EXPECT_EQ(asked, expected_asks);

    for (const std::string iwad : {"nul.wad", "a/", " doom2.wad", "doom2\xFF.wad"}) {
        server->info = {{"IWAD", iwad}};
        EXPECT_EQ(response_bytes(play()), "\r\n-iwad \r\n+name \"Ann\"\r\n-connect 10.1.2.3:10666\r\n") << iwad;
    }
}

TEST_F(BrannockJoin, EarlierResponseFileIsMovedAsideAndPutBack) {
    write_file(response, "the user's own\r\n");
    join(server);
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const Record start = f.engines.start_beginning("@doomargs.tmp");
    EXPECT_EQ(read_file(backup), "the user's own\r\n");
    EXPECT_EQ(read_file(response), response_bytes(start));

    set_color("222");
    EXPECT_EQ(server_finished(), 0);
    EXPECT_EQ(color(), "222");
    EXPECT_TRUE(test_support::file_exists(backup));
    end_at_normal_priority(start);
    ASSERT_TRUE(f.poll_until_done("SDLL_ServerFinished"));
    EXPECT_EQ(read_file(response), "the user's own\r\n");
    EXPECT_FALSE(test_support::file_exists(backup));
    EXPECT_EQ(color(), kIdleColor);
}

TEST_F(BrannockJoin, SecondJoinKeepsTheFirstJoinsLeftoverAsTheFileToPutBack) {
    play("First");
    const std::string first = read_file(response);
    ASSERT_NE(first.find("First"), std::string::npos);

    EXPECT_NE(response_bytes(play("Second")).find("Second"), std::string::npos);
    EXPECT_EQ(read_file(response), first);
    EXPECT_FALSE(test_support::file_exists(backup));
}

// A launcher started anew whose first call is a finish: the backup a lost game left goes back, and
// the file in its place (the lost game's, or one the user wrote since) is kept under a number.
TEST_F(BrannockJoin, FinishWithoutAJoinPutsABackupBackAndKeepsTheFileBeside) {
    write_file(response, "left by a crash\r\n");
    write_file(backup, "the user's own\r\n");
    EXPECT_EQ(server_finished(), 1);
    EXPECT_EQ(read_file(response), "the user's own\r\n");
    EXPECT_FALSE(test_support::file_exists(backup));
    EXPECT_EQ(read_file(response + ".1"), "left by a crash\r\n");
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, test_support::kept_beside_backup_text("Brannock", response, response + ".1"));
}

// The launcher goes away mid-game; a new one (the plug-in loaded again under another file name)
// joins again. The lost game's backup holds the user's file: it stays and is put back at this
// game's end; the lost game's response file is kept as doomargs.tmp.1.
TEST_F(BrannockJoin, RestartedLauncherKeepsTheBackupOfAGameThatNeverFinished) {
    write_file(response, "the user's own\r\n");
    join(server, "First");
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const std::string lost_game = response_bytes(f.engines.start_beginning("@doomargs.tmp"));

    ASSERT_TRUE(f.reopen_as_copy("brannock", "brannock-restarted"));
    f.launcher->server_iwad = "doom2.wad";
    join(f.launcher->add_server("10.1.2.3", "10666"), "Second");
    ASSERT_TRUE(f.engines.wait_for_starts(2));
    EXPECT_EQ(read_file(backup), "the user's own\r\n");
    f.engines.release_all();
    ASSERT_TRUE(f.poll_until_done("SDLL_ServerFinished"));

    EXPECT_EQ(read_file(response), "the user's own\r\n");
    EXPECT_FALSE(test_support::file_exists(backup));
    EXPECT_EQ(read_file(response + ".1"), lost_game);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, test_support::kept_beside_backup_text("Brannock", response, response + ".1"));
}

// Folders stand at the response file's name and the backup's, with the user's files in them: the
// one at the backup's name stays, the other moves to the first free number, and every message
// that says where something is kept names a path that is there.
TEST_F(BrannockJoin, FoldersAtTheResponseFileAndBackupNamesKeepTheirFiles) {
    const char sep = f.engine_dir.back();
    std::filesystem::create_directories(response);
    std::filesystem::create_directories(backup);
    write_file(response + sep + "mine", "kept");
    write_file(backup + sep + "older", "kept too");
    f.engines.release_all();
    join(server);
    ASSERT_TRUE(f.poll_until_done("SDLL_ServerFinished"));
    EXPECT_EQ(read_file(response + ".1" + sep + "mine"), "kept");
    const bool put_back = std::filesystem::is_directory(response);
    EXPECT_EQ(read_file((put_back ? response : backup) + sep + "older"), "kept too");
    ASSERT_FALSE(f.launcher->message_boxes.empty());
    for (const auto& box : f.launcher->message_boxes) {
        EXPECT_EQ(box.caption, "Brannock");
        const std::string kept = test_support::kept_as_path(box.text);
        EXPECT_TRUE(!kept.empty() && test_support::file_exists(kept)) << box.text;
    }
}

// A join that starts nothing must not leave the colour an earlier join saved for its finish: the
// user may have changed the colour since.
TEST_F(BrannockJoin, JoinThatStartsNothingPutsBackNoEarlierColour) {
    play();
    set_color("333");

    set("engine", "general", "enginepath", f.scratch + "not there" + f.scratch.back());
    join(server);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(server_finished(), 1);
    EXPECT_EQ(color(), "333");
}

}  // namespace
