// orvento_test.cpp: the Orvento plug-in through the stand-in launcher, with the fake engine as
// doom32.exe: engine folder checks, the launch as the engine receives it, and the finish that
// puts things back and files the demo.
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/plugin/plugin_fixture.h"
#include "tests/support/system_color.h"

namespace {

using test_support::file_exists;
using test_support::read_file;
using test_support::Record;
using test_support::write_file;

constexpr const char* kMissingEngine =
    "doom32.exe could not be found in the engine location you specified.\n"
    "Please make sure you selected the right folder!";
constexpr const char* kNoIwad =
    "No valid IWAD file could be found in the engine location you specified.\n"
    "Please make sure you have put your IWAD files in your Orvento or Orvento iwads folder!";

// The launcher's address list: a signed 16-bit little-endian length before each entry.
std::string address_list(const std::vector<std::string>& entries) {
    std::string list;
    for (const std::string& entry : entries) {
        list += static_cast<char>(entry.size() & 0xFF);
        list += static_cast<char>(entry.size() >> 8);
        list += entry;
    }
    return list;
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

class OrventoPlugin : public ::testing::Test {
protected:
    test_support::PluginFixture f;
    std::string colour_file;

    void SetUp() override {
        ASSERT_TRUE(f.open("orvento", "doom32.exe"));
        colour_file = f.scratch + "syscolor";
        test_support::set_env("SDLL_SYSCOLOR_FILE", colour_file);
        set("multiplayer", "general", "map", "MAP01");
    }

    void set(const char* page, const char* group, const char* key, const std::string& value) {
        std::string error;
        ASSERT_TRUE(f.launcher->set(page, group, key, value, &error)) << error;
    }

    int engine_config() { return f.launcher->get<SDLL_EngineConfig_t>("SDLL_EngineConfig")(); }
    int finished() { return f.launcher->get<SDLL_MultiplayerFinished_t>("SDLL_MultiplayerFinished")(); }

    // Starts a game as the player at `own` of `addresses`, the game's starter being at `host`.
    void launch(int iwad, int host = 0, int own = 0,
                const std::vector<std::string>& addresses = {"127.0.0.1"}) {
        const std::string list = address_list(addresses);
        f.launcher->get<Orvento_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(iwad, host, own, 0, list.data());
    }

    // Launches, holds the engine's start to the show mode and the priority every Orvento game
    // gets, lets the engine end and polls the finish; the engine's start record.
    Record play(int iwad, int host = 0, int own = 0, const std::vector<std::string>& addresses = {"127.0.0.1"}) {
        const std::vector<Record> earlier = f.engines.starts();
        launch(iwad, host, own, addresses);
        EXPECT_EQ(f.running_engines(), 1u);
        EXPECT_TRUE(f.engines.wait_for_starts(earlier.size() + 1));
        const Record start = f.engines.new_start(earlier);
        if (start.is_null()) return start;
        EXPECT_EQ(start["show"], test_support::kShowNormal);
        EXPECT_TRUE(test_support::same_folder(start["program"].get<std::string>(), f.engine_exe)) << start.dump();
        EXPECT_TRUE(test_support::same_folder(start["cwd"].get<std::string>(), f.engine_dir)) << start.dump();
        f.engines.release(start);
        EXPECT_TRUE(f.engines.wait_for_end(start));
        for (const Record& event : f.engines.events_of(start))
            EXPECT_EQ(event["priority"], test_support::normal_priority()) << event.dump();
        EXPECT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
        return start;
    }

    static std::string response_bytes(const Record& start) {
        return start.contains("response_file") ? start["response_file"].value("bytes", "") : "";
    }
    static std::string parameters(const Record& start) { return start.value("parameters", ""); }
    // The bytes the fake engine records, naming its process.
    static std::string recording_of(const Record& start) {
        return "fake demo recorded by the test engine, process " + std::to_string(test_support::pid_of(start)) + "\n";
    }

    // Every settings read and write names an item of the description, with the right type.
    void expect_declared_reads() const {
        for (const auto& entry : f.launcher->journal()) {
            EXPECT_FALSE(entry.undeclared) << entry.name << " " << entry.args.dump();
            EXPECT_FALSE(entry.mistyped) << entry.name << " " << entry.args.dump();
        }
    }

    // The multiplayer keys the plug-in read, as "group/key".
    std::set<std::string> multiplayer_reads() const {
        std::set<std::string> keys;
        for (const auto& entry : f.launcher->journal()) {
            if (entry.name == "Host_GetMultiplayerInt" || entry.name == "Host_GetMultiplayerString")
                keys.insert(entry.args[1].get<std::string>() + "/" + entry.args[2].get<std::string>());
        }
        return keys;
    }
};

TEST_F(OrventoPlugin, DescriptionHandedOverAsStored) {
    EXPECT_EQ(f.launcher->name(), "Orvento");
    EXPECT_EQ(f.launcher->capabilities(), 29);
    EXPECT_EQ(f.launcher->load_configuration_result(), 0);
    const std::string& bytes = f.launcher->description_bytes();
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(bytes.size() - 3), "}\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        ASSERT_TRUE(c < 0x80 && c != 0) << "byte " << i;
        if (c == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "bare line feed at byte " << i;
        }
    }
    for (const char* line : {"SDLL Interface Configuration for Vorlane",
                             "This file makes up the interface items for this SDLL.",
                             "See the SDLL SDK documentation for more information."}) {
        EXPECT_NE(bytes.find(line), std::string::npos) << line;
    }
    // The default server name must not name somebody else's machine.
    const std::string servername = f.launcher->get_value("multiplayer", "connection", "servername").value();
    EXPECT_LE(servername.size(), 18u);
    EXPECT_TRUE(servername.ends_with(".invalid")) << servername;
}

TEST_F(OrventoPlugin, EngineFolderChecks) {
    // Not chosen yet: not ready, no message.
    set("engine", "general", "enginepath", "");
    EXPECT_EQ(engine_config(), 0);
    EXPECT_EQ(f.launcher->engine_ready, 0);
    EXPECT_TRUE(f.launcher->message_boxes.empty());

    // Executable but no IWAD: the second message, not ready.
    set("engine", "general", "enginepath", f.engine_dir);
    f.touch("heretic.wad");
    EXPECT_EQ(engine_config(), 1);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, kNoIwad);
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Orvento");
    EXPECT_EQ(f.launcher->message_boxes[0].style, 0x30u);
    EXPECT_EQ(f.launcher->engine_ready, 0);
    EXPECT_FALSE(f.launcher->iwad_mask.has_value());

    f.touch("freedm.wad");
    EXPECT_EQ(engine_config(), 0);
    EXPECT_EQ(f.launcher->iwad_mask, 0x40u);
    EXPECT_EQ(f.launcher->engine_ready, 1);

    for (const char* name : {"doom1.wad", "doom.wad", "doom2.wad", "tnt.wad", "plutonia.wad"}) f.touch(name);
    EXPECT_EQ(engine_config(), 0);
    EXPECT_EQ(f.launcher->iwad_mask, 0xCFu);
    EXPECT_EQ(f.launcher->message_boxes.size(), 1u);

    // Without a trailing separator the names run into the folder's: the executable is not found
    // and the ready state stays as it was.
    set("engine", "general", "enginepath", f.engine_dir.substr(0, f.engine_dir.size() - 1));
    EXPECT_EQ(engine_config(), 1);
    ASSERT_EQ(f.launcher->message_boxes.size(), 2u);
    EXPECT_EQ(f.launcher->message_boxes[1].text, kMissingEngine);
    EXPECT_EQ(f.launcher->engine_ready, 1);

    set("engine", "general", "enginepath", f.engine_dir);
    std::filesystem::remove(f.engine_exe);
    EXPECT_EQ(engine_config(), 1);
    ASSERT_EQ(f.launcher->message_boxes.size(), 3u);
    EXPECT_EQ(f.launcher->message_boxes[2].text, kMissingEngine);
}

TEST_F(OrventoPlugin, VerificationAndMapCheck) {
    f.launcher->get<Orvento_Verification_t>("SDLL_Verification")(3);
    ASSERT_EQ(f.launcher->required_files.size(), 1u);
    EXPECT_EQ(f.launcher->required_files[0], std::make_pair(f.engine_dir, std::string("doom32.exe")));

    auto multi_config = f.launcher->get<SDLL_MultiConfig_t>("SDLL_MultiConfig");
    set("multiplayer", "general", "map", " ");
    EXPECT_EQ(multi_config(), 0);
    EXPECT_TRUE(f.launcher->message_boxes.empty());
    set("multiplayer", "general", "map", "");
    EXPECT_EQ(multi_config(), 1);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, "Please specify an existing map name!");
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Orvento");
}

TEST_F(OrventoPlugin, DeathmatchAsTheEngineReceivesIt) {
    const std::string wad = f.scratch + "arena.wad";
    write_file(wad, "PWAD");
    f.launcher->files = {wad};
    const std::string short_form = test_support::short_form(lower(wad));
    set("multiplayer", "general", "type", "2");
    set("multiplayer", "general", "netnumber", "2");
    set("multiplayer", "demo", "file", "final");
    const std::string servername = f.launcher->get_value("multiplayer", "connection", "servername").value();

    const Record game = play(4);
    const std::string expected = crlf("\n-iwad doom2.wad\n-file " + short_form +
                                      "\n-warp 01\n-record tempdemo\n-maxdemo 2048\n-dup 1\n-extratics 0\n"
                                      "-port 2342\n-privateserver\n-servername " + servername + "\n");
    EXPECT_EQ(response_bytes(game), expected);
    EXPECT_EQ(read_file(f.engine_dir + "doomargs.tmp"), expected);
    EXPECT_EQ(parameters(game), "@doomargs.tmp -warp 01 -net 2 -skill 4  -deathmatch  -frags 0  -timer 0 ");
    // The recording filed under the demo name in the engine folder.
    EXPECT_TRUE(file_exists(f.engine_dir + "final.lmp"));
    EXPECT_FALSE(file_exists(f.engine_dir + "tempdemo.lmp"));
    expect_declared_reads();
}

TEST_F(OrventoPlugin, HostedGameWithEveryOptionSet) {
    const std::string wad = f.scratch + "b.wad";
    const std::string deh = f.scratch + "a.deh";
    write_file(wad, "PWAD");
    write_file(deh, "patch");
    f.launcher->files = {deh, wad};
    // The launcher's names are lower-cased before their short form is taken.
    const std::string short_wad = test_support::short_form(lower(wad));
    const std::string short_deh = test_support::short_form(lower(deh));
    set("engine", "general", "parameters", "-nosound  -nomusic");
    set("multiplayer", "general", "netnumber", "4");
    set("multiplayer", "general", "skill", "2");
    set("multiplayer", "general", "type", "1");
    set("multiplayer", "general", "monsters", "3");
    set("multiplayer", "general", "respawnmonsters", "1");
    set("multiplayer", "general", "fraglimit", "10");
    set("multiplayer", "general", "timelimit", "20");
    set("multiplayer", "general", "avg", "1");
    set("multiplayer", "general", "turbo", "1");
    set("multiplayer", "connection", "dup", "2");
    set("multiplayer", "connection", "extratic", "1");
    set("multiplayer", "connection", "port", "2400");
    set("multiplayer", "connection", "privateserver", "1");
    set("multiplayer", "connection", "servername", "box");

    const Record game = play(2);
    EXPECT_EQ(response_bytes(game), crlf("-nosound  -nomusic\n-iwad doom1.wad\n-file " + short_wad + "\n-deh " +
                                         short_deh + "\n-warp 01\n-avg \n-dup 2\n-extratics 1\n-port 2400\n"
                                         "-servername box\n"));
    EXPECT_EQ(parameters(game),
              "@doomargs.tmp -warp 01 -net 4 -skill 2  -fast  -respawn  -frags 10  -timer 20  -turbo 200 ");
    expect_declared_reads();

    set("multiplayer", "general", "monsters", "1");
    set("multiplayer", "general", "respawnmonsters", "2");
    set("multiplayer", "general", "turbo", "2");
    EXPECT_EQ(parameters(play(2)), "@doomargs.tmp -warp 01 -net 4 -skill 2  -nomonsters  -frags 10  -timer 20 ");
}

TEST_F(OrventoPlugin, IwadsOutsideTheTableWriteNoIwadLine) {
    for (const int iwad : {3, 7, 20}) {
        const std::string bytes = response_bytes(play(iwad));
        EXPECT_EQ(bytes.find("-iwad"), std::string::npos) << iwad;
        EXPECT_EQ(bytes.rfind("\r\n-warp 01\r\n-dup 1\r\n", 0), 0u) << iwad;
    }
}

// Nothing before -skill ends in a blank in a solo game; the engine still gets -skill apart from
// the warp characters.
TEST_F(OrventoPlugin, SoloGameOnAnEpisodeMap) {
    set("multiplayer", "general", "map", "E1M9");
    set("multiplayer", "general", "netnumber", "0");
    const std::string servername = f.launcher->get_value("multiplayer", "connection", "servername").value();
    const Record game = play(1);
    EXPECT_EQ(response_bytes(game), crlf("\n-iwad doom.wad\n-warp 1 9\n-dup 1\n-extratics 0\n-port 2342\n"
                                         "-privateserver\n-servername " + servername + "\n"));
    EXPECT_EQ(parameters(game), "@doomargs.tmp -warp 19 -skill 4  -frags 0  -timer 0 ");
}

TEST_F(OrventoPlugin, DemoNameOfThreeCharactersRecordsNothing) {
    set("multiplayer", "demo", "file", "abc");
    EXPECT_EQ(response_bytes(play(4)).find("-record"), std::string::npos);
    EXPECT_FALSE(file_exists(f.engine_dir + "tempdemo.lmp"));
    EXPECT_FALSE(file_exists(f.engine_dir + "abc.lmp"));

    set("multiplayer", "demo", "file", "abcd");
    set("multiplayer", "demo", "maxdemo", "4096");
    EXPECT_NE(response_bytes(play(4)).find("\r\n-record tempdemo\r\n-maxdemo 4096\r\n"), std::string::npos);
    EXPECT_TRUE(file_exists(f.engine_dir + "abcd.lmp"));
}

TEST_F(OrventoPlugin, JoiningSecondEntryOnMap03) {
    set("multiplayer", "general", "map", "MAP03");
    const Record game = play(4, 1, 0, {"10.0.0.1", "192.168.1.5:2342"});
    EXPECT_EQ(response_bytes(game), crlf("\n-iwad doom2.wad\n-warp 03\n"));
    EXPECT_EQ(parameters(game), "@doomargs.tmp -warp 03 -connect  192.168.1.5:2342 ");
    for (const char* key : {"general/avg", "general/turbo", "general/skill", "general/netnumber", "connection/dup",
                            "connection/port", "connection/servername"}) {
        EXPECT_EQ(multiplayer_reads().count(key), 0u) << key;
    }
}

// A map copied from a stranger's server and an entry of the launcher's address list are one word
// each on the engine's lines.
TEST_F(OrventoPlugin, MapAndJoinAddressAreOneWordEach) {
    set("multiplayer", "general", "map", "MAP07\t+exec evil.cfg");
    const Record game = play(4, 1, 0, {"10.0.0.1", "192.168.1.5:2342\r\n-file evil.wad"});
    EXPECT_EQ(response_bytes(game), crlf("\n-iwad doom2.wad\n-warp 07\n"));
    EXPECT_EQ(parameters(game), "@doomargs.tmp -warp 07 -connect  192.168.1.5:2342 ");
}

// An address entry can hold 32,767 bytes; on the command line that is more than Windows takes. The
// launch starts nothing and leaves the user's response file and the colour where they are.
TEST_F(OrventoPlugin, LineBeyondTheWindowsLimitStartsNothingAndSaysSo) {
    const std::string response = f.engine_dir + "doomargs.tmp";
    write_file(response, "user's own");
    test_support::set_highlight_color(333);
    launch(4, 1, 0, {"10.0.0.1", std::string(32767, 'a')});
    EXPECT_EQ(f.running_engines(), 0u);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_NE(f.launcher->message_boxes[0].text.find("Orvento did not start the game: its command line would be "),
              std::string::npos);
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Orvento");
    EXPECT_EQ(f.launcher->message_boxes[0].style, 0x30u);
    EXPECT_EQ(read_file(response), "user's own");
    EXPECT_FALSE(file_exists(response + ".bak"));
    // The plug-in stays loaded between tests natively: a finish after a launch that saved no
    // colour must not put back one an earlier test's launch saved.
    EXPECT_EQ(finished(), 1);
    EXPECT_EQ(test_support::highlight_color(), 333u);
}

TEST_F(OrventoPlugin, EarlierResponseFileIsBackedUpAndPutBack) {
    const std::string response = f.engine_dir + "doomargs.tmp";
    write_file(response, "user's own");
    set("multiplayer", "demo", "file", "duel");
    test_support::set_highlight_color(111);

    launch(4);
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const Record game = f.engines.start_beginning("@doomargs.tmp");
    EXPECT_EQ(read_file(response + ".bak"), "user's own");
    const std::string written = read_file(response);
    EXPECT_NE(written.find("-warp 01"), std::string::npos);

    // The engine changes the highlight colour while it runs; a poll changes nothing.
    test_support::set_highlight_color(222);
    EXPECT_EQ(finished(), 0);
    EXPECT_EQ(test_support::highlight_color(), 222u);
    EXPECT_EQ(read_file(response), written);
    EXPECT_TRUE(file_exists(response + ".bak"));

    f.engines.release(game);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    EXPECT_EQ(test_support::highlight_color(), 111u);
    EXPECT_EQ(read_file(response), "user's own");
    EXPECT_FALSE(file_exists(response + ".bak"));
    EXPECT_TRUE(file_exists(f.engine_dir + "duel.lmp"));
}

TEST_F(OrventoPlugin, ResponseFileOfTheLaunchStaysWithoutAnEarlierOne) {
    const std::string response = f.engine_dir + "doomargs.tmp";
    const std::string bytes = response_bytes(play(4));
    EXPECT_EQ(read_file(response), bytes);
    EXPECT_FALSE(file_exists(response + ".bak"));
    // A finish with nothing left to wait for cleans up again at once.
    EXPECT_EQ(finished(), 1);
}

TEST_F(OrventoPlugin, DemoFiledUnderEachTargetRule) {
    const std::string demos = f.scratch + "demos" + f.scratch.back();
    std::filesystem::create_directories(demos);

    set("engine", "general", "demopath", demos);
    set("multiplayer", "demo", "file", "run1.dem");
    EXPECT_EQ(read_file(demos + "run1.dem"), recording_of(play(4)));

    // An existing target is replaced.
    write_file(demos + "run1.lm.lmp", "old");
    set("multiplayer", "demo", "file", "run1.lm");
    EXPECT_EQ(read_file(demos + "run1.lm.lmp"), recording_of(play(4)));

    // A demo folder of two characters (a bare drive) means the engine folder.
    set("engine", "general", "demopath", "D:");
    set("multiplayer", "demo", "file", "final");
    EXPECT_EQ(read_file(f.engine_dir + "final.lmp"), recording_of(play(4)));
    EXPECT_FALSE(file_exists(f.engine_dir + "tempdemo.lmp"));

    // No recording left (here the engine could not start): an existing demo of that name stays.
    write_file(f.engine_dir + "final.lmp", "kept");
    std::filesystem::remove(f.engine_exe);
    launch(4);
    EXPECT_EQ(finished(), 1);
    EXPECT_EQ(read_file(f.engine_dir + "final.lmp"), "kept");
    EXPECT_TRUE(f.launcher->message_boxes.empty());
}

TEST_F(OrventoPlugin, RecordingThatCannotBeFiledStaysAndIsReported) {
    set("engine", "general", "demopath", f.scratch + "no-such-folder" + f.scratch.back());
    set("multiplayer", "demo", "file", "lost");
    play(4);
    EXPECT_TRUE(file_exists(f.engine_dir + "tempdemo.lmp"));
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_NE(f.launcher->message_boxes[0].text.find(f.engine_dir + "tempdemo.lmp"), std::string::npos);
    EXPECT_EQ(f.launcher->message_boxes[0].caption, "Orvento");
    EXPECT_EQ(f.launcher->message_boxes[0].style, 0x30u);
}

// A demo name the code page cannot hold is not used: its plain conversion (Omega, Lodz) would file
// the demo under another name. The recording stays and the user is told. Natively the code page
// is UTF-8, which holds both names: the demo is filed under each.
TEST_F(OrventoPlugin, DemoNameOutsideTheCodePageKeepsTheRecording) {
    const std::string recording = f.engine_dir + "tempdemo.lmp";
    for (const std::string name : {"\xCE\xA9mega", "\xC5\x81\xC3\xB3" "d\xC5\xBA"}) {   // Ωmega, Łódź
        SCOPED_TRACE(name);
        f.launcher->message_boxes.clear();
        set("multiplayer", "demo", "file", name);
        play(4);
        std::vector<std::string> demos;
        for (const auto& entry : std::filesystem::directory_iterator(f.engine_dir)) {
            const std::u8string file = entry.path().filename().u8string();
            if (file.ends_with(u8".lmp")) demos.emplace_back(file.begin(), file.end());
        }
#ifdef _WIN32
        EXPECT_EQ(demos, std::vector<std::string>{"tempdemo.lmp"});
        ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
        EXPECT_EQ(f.launcher->message_boxes[0].text,
                  "Orvento could not file the demo: its name has characters this system's code page cannot hold. "
                  "The recording is kept as " + recording + "; a name with only plain letters works.");
        EXPECT_EQ(f.launcher->message_boxes[0].caption, "Orvento");
        std::filesystem::remove(recording);
#else
        EXPECT_EQ(demos, std::vector<std::string>{name + ".lmp"});
        EXPECT_TRUE(f.launcher->message_boxes.empty());
        std::filesystem::remove(f.engine_dir + name + ".lmp");
#endif
    }
}

// A recorded game whose launcher went away before its finish leaves its recording unfiled. The
// next recorded game, from a launcher started anew, moves it to the first free numbered name
// before it records, and says so once; its own recording is filed as usual.
TEST_F(OrventoPlugin, RestartedLauncherKeepsTheRecordingOfAGameNeverFiled) {
    const std::string recording = f.engine_dir + "tempdemo.lmp";
    write_file(f.engine_dir + "tempdemo-1.lmp", "kept earlier");
    set("multiplayer", "demo", "file", "duel");
    {
        test_support::LauncherGoesAway lost_launcher;
        launch(4);
    }
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const Record lost = f.engines.start_beginning("@doomargs.tmp");
    f.engines.release(lost);
    ASSERT_TRUE(f.engines.wait_for_end(lost));
    // The engine writes its end record just before it exits.
    ASSERT_TRUE(test_support::wait_until([&] { return f.running_engines() == 0; }));
    EXPECT_EQ(read_file(recording), recording_of(lost));

    ASSERT_TRUE(f.reopen_as_copy("orvento", "orvento-restarted"));
    set("multiplayer", "general", "map", "MAP02");
    set("multiplayer", "demo", "file", "duel");
    const Record second = play(4);
    EXPECT_EQ(read_file(f.engine_dir + "tempdemo-2.lmp"), recording_of(lost));
    EXPECT_EQ(read_file(f.engine_dir + "tempdemo-1.lmp"), "kept earlier");
    EXPECT_EQ(read_file(f.engine_dir + "duel.lmp"), recording_of(second));
    EXPECT_FALSE(file_exists(recording));
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, "Orvento found the recording " + recording +
                                                     " of a game that was never filed; it is kept as " +
                                                     f.engine_dir + "tempdemo-2.lmp.");
}

// A demo named tempdemo filed in the engine folder is the engine's recording itself: the finish
// replaces a demo of that name, as for any name. A game that does not record moves nothing.
TEST_F(OrventoPlugin, RecordingOverItsOwnDemoNameOrNoneMovesNothing) {
    const std::string recording = f.engine_dir + "tempdemo.lmp";
    for (const char* name : {"tempdemo", "tempdemo.lmp", "abc"}) {
        SCOPED_TRACE(name);
        write_file(recording, "earlier");
        set("multiplayer", "demo", "file", name);
        const Record game = play(4);
        EXPECT_EQ(read_file(recording), std::string(name) == "abc" ? "earlier" : recording_of(game));
        EXPECT_FALSE(file_exists(f.engine_dir + "tempdemo-1.lmp"));
        EXPECT_TRUE(f.launcher->message_boxes.empty());
    }
}

// The launcher goes away mid-game (closed, crashed, interrupted); a new one starts and launches.
// The backup the lost game left holds the user's file: it stays and is put back at this game's
// end, and the lost game's response file is kept under the first free number, as the one message
// says.
TEST_F(OrventoPlugin, RestartedLauncherKeepsTheBackupOfAGameThatNeverFinished) {
    const std::string response = f.engine_dir + "doomargs.tmp";
    write_file(response, "user's own");
    write_file(response + ".1", "kept earlier");
    {
        test_support::LauncherGoesAway lost_launcher;
        launch(4);
    }
    ASSERT_TRUE(f.engines.wait_for_starts(1));
    const std::string lost_game = response_bytes(f.engines.start_beginning("@doomargs.tmp"));

    ASSERT_TRUE(f.reopen_as_copy("orvento", "orvento-restarted"));
    set("multiplayer", "general", "map", "MAP02");
    launch(4);
    ASSERT_TRUE(f.engines.wait_for_starts(2));
    EXPECT_EQ(read_file(response + ".bak"), "user's own");
    f.engines.release_all();
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));

    EXPECT_EQ(read_file(response), "user's own");
    EXPECT_FALSE(file_exists(response + ".bak"));
    EXPECT_EQ(read_file(response + ".1"), "kept earlier");
    EXPECT_EQ(read_file(response + ".2"), lost_game);
    ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
    EXPECT_EQ(f.launcher->message_boxes[0].text, test_support::kept_beside_backup_text("Orvento", response, response + ".2"));
}

// Folders stand at the response file's name and the backup's, with the user's files in them: the
// one at the backup's name stays, the other moves to the first free number. Whatever the finish
// cannot put back, a message names where it is, and the user's files are all there.
TEST_F(OrventoPlugin, FoldersAtTheResponseFileAndBackupNamesKeepTheirFiles) {
    const std::string response = f.engine_dir + "doomargs.tmp";
    const char sep = f.engine_dir.back();
    std::filesystem::create_directories(response);
    std::filesystem::create_directories(response + ".bak");
    write_file(response + sep + "mine", "kept");
    write_file(response + ".bak" + sep + "older", "kept too");
    f.engines.release_all();
    launch(4);
    ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    EXPECT_EQ(read_file(response + ".1" + sep + "mine"), "kept");
    const bool put_back = std::filesystem::is_directory(response);
    EXPECT_EQ(read_file((put_back ? response : response + ".bak") + sep + "older"), "kept too");
    ASSERT_FALSE(f.launcher->message_boxes.empty());
    for (const auto& box : f.launcher->message_boxes) {
        const std::string kept = test_support::kept_as_path(box.text);
        EXPECT_TRUE(!kept.empty() && file_exists(kept)) << box.text;
    }
}

}  // namespace
