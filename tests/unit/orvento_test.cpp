// orvento_test.cpp: the Orvento logic: response file and command line, -warp forms, extra files,
// demo names and the IWAD probe of the engine folder.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frame/engine_arguments.h"
#include "frame/text_bytes.h"
#include "orvento/demo_filing.h"
#include "orvento/engine_check.h"
#include "orvento/launch_text.h"
#include "tests/support/test_paths.h"

namespace {

using orvento::build_launch;
using orvento::ExtraFiles;
using orvento::LaunchText;

// Answers from a table seeded with the description's defaults and records every read as
// "group/key".
class TableSettings final : public orvento::SettingsSource {
public:
    std::map<std::string, std::string> texts = {
        {"general/parameters", ""}, {"general/map", "MAP01"}, {"demo/file", ""},
        {"connection/port", "2342"}, {"connection/servername", "orvento.invalid"}};
    std::map<std::string, int> ints = {
        {"general/netnumber", 1}, {"general/type", 1}, {"general/skill", 4},
        {"general/fraglimit", 0}, {"general/timelimit", 0}, {"general/avg", 2},
        {"general/monsters", 2}, {"general/respawnmonsters", 2}, {"general/turbo", 2},
        {"connection/dup", 1}, {"connection/extratic", 0}, {"connection/privateserver", 2},
        {"demo/maxdemo", 2048}};
    std::vector<std::string> reads;

    std::string engine_text(const char* key) override { return text("general", key); }
    std::string multiplayer_text(const char* group, const char* key) override { return text(group, key); }
    int multiplayer_int(const char* group, const char* key) override {
        const std::string address = std::string(group) + "/" + key;
        reads.push_back(address);
        return ints.at(address);
    }

private:
    std::string text(const char* group, const char* key) {
        const std::string address = std::string(group) + "/" + key;
        reads.push_back(address);
        return texts.at(address);
    }
};

ExtraFiles one_wad() {
    ExtraFiles files;
    orvento::add_extra_file(files, "c:\\wads\\arena.wad", "C:\\WADS\\ARENA.WAD");
    return files;
}

TEST(OrventoLaunch, DeathmatchExampleByteForByte) {
    TableSettings settings;
    settings.ints["general/type"] = 2;
    settings.ints["general/netnumber"] = 2;
    settings.texts["demo/file"] = "final";
    const LaunchText text = build_launch(settings, 4, one_wad(), std::nullopt);
    EXPECT_EQ(text.response,
              "\n-iwad doom2.wad\n-file C:\\WADS\\ARENA.WAD\n-warp 01\n-record tempdemo\n-maxdemo 2048\n"
              "-dup 1\n-extratics 0\n-port 2342\n-privateserver\n-servername orvento.invalid\n");
    EXPECT_EQ(text.command_line, "@doomargs.tmp -warp 01 -net 2 -skill 4  -deathmatch  -frags 0  -timer 0 ");
    // The launcher sees the reads in the engine's option order, avg between the timer and turbo.
    EXPECT_EQ(settings.reads,
              (std::vector<std::string>{"general/parameters", "general/map", "demo/file", "demo/maxdemo",
                                        "general/netnumber", "general/skill", "general/type", "general/monsters",
                                        "general/respawnmonsters", "general/fraglimit", "general/timelimit",
                                        "general/avg", "general/turbo", "connection/dup", "connection/extratic",
                                        "connection/port", "connection/privateserver", "connection/servername"}));
}

TEST(OrventoLaunch, EveryHostOptionTurnedOn) {
    TableSettings settings;
    settings.texts["general/parameters"] = "-nosound -config my.cfg";
    settings.ints["general/netnumber"] = 4;
    settings.ints["general/skill"] = 5;
    settings.ints["general/monsters"] = 1;
    settings.ints["general/respawnmonsters"] = 1;
    settings.ints["general/fraglimit"] = 20;
    settings.ints["general/timelimit"] = 666;
    settings.ints["general/avg"] = 1;
    settings.ints["general/turbo"] = 1;
    settings.ints["connection/dup"] = 3;
    settings.ints["connection/extratic"] = 4;
    settings.ints["connection/privateserver"] = 1;
    settings.texts["connection/port"] = "5029";
    const LaunchText text = build_launch(settings, 1, ExtraFiles{}, std::nullopt);
    EXPECT_EQ(text.response,
              "-nosound -config my.cfg\n-iwad doom.wad\n-warp 01\n-avg \n-dup 3\n-extratics 4\n-port 5029\n"
              "-servername orvento.invalid\n");
    EXPECT_EQ(text.command_line,
              "@doomargs.tmp -warp 01 -net 4 -skill 5  -nomonsters  -respawn  -frags 20  -timer 666  -turbo 200 ");

    settings.ints["general/monsters"] = 3;
    EXPECT_NE(build_launch(settings, 1, ExtraFiles{}, std::nullopt).command_line.find(" -fast "), std::string::npos);
}

TEST(OrventoLaunch, SoloGameKeepsSkillApartFromWarp) {
    TableSettings settings;
    settings.ints["general/netnumber"] = 0;
    EXPECT_EQ(build_launch(settings, 4, ExtraFiles{}, std::nullopt).command_line,
              "@doomargs.tmp -warp 01 -skill 4  -frags 0  -timer 0 ");
    settings.texts["general/map"] = "";
    EXPECT_EQ(build_launch(settings, 4, ExtraFiles{}, std::nullopt).command_line,
              "@doomargs.tmp -skill 4  -frags 0  -timer 0 ");
    // Values outside the lists add nothing.
    settings.ints["general/netnumber"] = 5;
    EXPECT_EQ(build_launch(settings, 4, ExtraFiles{}, std::nullopt).command_line,
              "@doomargs.tmp -skill 4  -frags 0  -timer 0 ");
}

TEST(OrventoLaunch, JoiningReadsNoGameSettings) {
    TableSettings settings;
    settings.texts["general/map"] = "map03";
    settings.texts["demo/file"] = "abcd";
    const LaunchText text = build_launch(settings, 2, one_wad(), std::string("10.0.0.7:2342"));
    EXPECT_EQ(text.response, "\n-iwad doom1.wad\n-file C:\\WADS\\ARENA.WAD\n-warp 03\n-record tempdemo\n-maxdemo 2048\n");
    EXPECT_EQ(text.command_line, "@doomargs.tmp -warp 03 -connect  10.0.0.7:2342 ");
    EXPECT_EQ(settings.reads,
              (std::vector<std::string>{"general/parameters", "general/map", "demo/file", "demo/maxdemo"}));
}

TEST(OrventoLaunch, IwadLineOnlyForOrventoIwads) {
    const std::map<int, std::string> lines = {{1, "doom.wad"}, {2, "doom1.wad"}, {4, "doom2.wad"},
                                              {5, "tnt.wad"}, {6, "plutonia.wad"}, {8, "freedm.wad"}};
    for (int iwad = 0; iwad <= 21; ++iwad) {
        TableSettings settings;
        const std::string response = build_launch(settings, iwad, ExtraFiles{}, std::string("h")).response;
        const auto row = lines.find(iwad);
        EXPECT_EQ(response, row == lines.end() ? "\n-warp 01\n" : "\n-iwad " + row->second + "\n-warp 01\n")
            << "iwad " << iwad;
    }
}

TEST(OrventoLaunch, DemoNameOfFourCharactersTurnsRecordingOn) {
    TableSettings settings;
    settings.texts["demo/file"] = "abc";
    const std::string off = build_launch(settings, 4, ExtraFiles{}, std::string("h")).response;
    EXPECT_EQ(off.find("-record"), std::string::npos);
    EXPECT_EQ(off.find("-maxdemo"), std::string::npos);

    settings.texts["demo/file"] = "abcd";
    settings.ints["demo/maxdemo"] = 128;
    const std::string on = build_launch(settings, 4, ExtraFiles{}, std::string("h")).response;
    EXPECT_NE(on.find("-record tempdemo\n-maxdemo 128\n"), std::string::npos);
}

TEST(OrventoLaunch, WarpForms) {
    struct Case { const char* map; const char* line; const char* piece; };
    const Case cases[] = {
        {"MAP07", "-warp 07\n", " -warp 07"},
        {"map32", "-warp 32\n", " -warp 32"},
        {"E2M5", "-warp 2 5\n", " -warp 25"},
        {"e1m9", "-warp 1 9\n", " -warp 19"},
        {"MAP7", "-warp 7\n", " -warp 7"},     // only the characters that are there
        {"MAP", "", ""},
        {"M", "", ""},
        {"E1M", "-warp 1\n", " -warp 1"},
        {"E", "", ""},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const orvento::Warp warp = orvento::warp_of(c.map);
        EXPECT_EQ(orvento::warp_line(warp), c.line) << c.map;
        EXPECT_EQ(orvento::warp_piece(warp), c.piece) << c.map;
    }
}

TEST(OrventoLaunch, ExtraFilesSplitByWadEnding) {
    ExtraFiles files;
    orvento::add_extra_file(files, "c:\\a.wad", "C:\\A.WAD");
    orvento::add_extra_file(files, "c:\\b.deh", "C:\\B.DEH");
    orvento::add_extra_file(files, "wad", "WAD");            // shorter than ".wad"
    orvento::add_extra_file(files, "c:\\c.wad", "C:\\C.WAD");
    EXPECT_EQ(files.file_option, "-file C:\\A.WAD C:\\C.WAD");
    EXPECT_EQ(files.file_count, 2);
    EXPECT_EQ(files.deh_option, "-deh C:\\B.DEH WAD");
    EXPECT_EQ(files.deh_count, 2);

    TableSettings settings;
    const std::string response = build_launch(settings, 20, files, std::string("h")).response;
    EXPECT_EQ(response, "\n-file C:\\A.WAD C:\\C.WAD\n-deh C:\\B.DEH WAD\n-warp 01\n");
    std::string path = "C:\\Games\\DOOM.WAD";
    frame::to_lower_ascii(path);
    EXPECT_EQ(path, "c:\\games\\doom.wad");
}

TEST(OrventoLaunch, FileArgumentFallsBackToQuotedFullPath) {
    // The engine takes a short form of at most 259 characters (a 260-character buffer with its zero).
    const std::string short_259(259, 'x');
    const struct {
        const char* full;
        std::optional<std::string> short_form;
        std::string argument;
    } cases[] = {
        {"C:\\My Wads\\a.wad", "C:\\MYWADS~1\\A.WAD", "C:\\MYWADS~1\\A.WAD"},
        {"C:\\My Wads\\a.wad", std::nullopt, "\"C:\\My Wads\\a.wad\""},
        {"C:\\Wads\\a.wad", "", "C:\\Wads\\a.wad"},
        {"C:\\Wads\\a.wad", short_259, short_259},
        {"C:\\Wads\\a.wad", std::string(260, 'x'), "C:\\Wads\\a.wad"},
    };
    for (const auto& c : cases) EXPECT_EQ(frame::file_argument(c.full, c.short_form), c.argument) << c.full;
}

TEST(OrventoDemo, TargetNameLooksAtTheFourthCharacterFromTheEnd) {
    EXPECT_EQ(orvento::demo_target("D:\\demos\\", "run1"), "D:\\demos\\run1.lmp");
    EXPECT_EQ(orvento::demo_target("D:\\demos\\", "run1.lmp"), "D:\\demos\\run1.lmp");
    EXPECT_EQ(orvento::demo_target("D:\\demos\\", "run1.dem"), "D:\\demos\\run1.dem");
    EXPECT_EQ(orvento::demo_target("D:\\demos\\", "run1.lm"), "D:\\demos\\run1.lm.lmp");
    EXPECT_EQ(orvento::demo_target("", "a.b"), "a.b.lmp");
    EXPECT_EQ(orvento::demo_target("", ".abc"), ".abc");

    EXPECT_TRUE(orvento::uses_engine_folder(""));
    EXPECT_TRUE(orvento::uses_engine_folder("D:"));
    EXPECT_FALSE(orvento::uses_engine_folder("D:\\"));
    EXPECT_FALSE(orvento::records_demo("abc"));
    EXPECT_TRUE(orvento::records_demo("abcd"));
}

TEST(OrventoEngineCheck, ProbeGivesTheMaskBitOfEachIwadFound) {
    const std::string folder = test_support::scratch_dir("orvento-probe");
    EXPECT_EQ(orvento::probe_iwads(folder), 0u);
    test_support::write_file(folder + "freedm.wad", "x");
    EXPECT_EQ(orvento::probe_iwads(folder), 0x40u);
    // IWADs outside Orvento's table do not count.
    test_support::write_file(folder + "heretic.wad", "x");
    test_support::write_file(folder + "freedoom.wad", "x");
    EXPECT_EQ(orvento::probe_iwads(folder), 0x40u);
    for (const char* name : {"doom1.wad", "doom.wad", "doom2.wad", "tnt.wad", "plutonia.wad"}) {
        test_support::write_file(folder + name, "x");
    }
    EXPECT_EQ(orvento::probe_iwads(folder), 0xCFu);
    // Names are appended to the folder text as they are.
    EXPECT_EQ(orvento::probe_iwads(folder.substr(0, folder.size() - 1)), 0u);
}

}  // namespace
