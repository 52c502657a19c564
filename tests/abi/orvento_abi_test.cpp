// orvento_abi_test.cpp: orvento.dll driven through every launcher slot it uses.
#include <filesystem>
#include <memory>

#include "test_launcher.h"

namespace abi_test {
namespace {

const PluginUnderTest kOrvento{"orvento.dll", {0, 2, 5, 6, 7, 11, 12, 13, 14, 24}, "Orvento", 29, "demopath"};
class OrventoAbi : public PluginAbi<kOrvento> {};

// Two players' addresses in the launcher's counted form.
const std::string kAddresses = std::string("\x0E\x00", 2) + "10.0.0.1:10666" +
                               std::string("\x0E\x00", 2) + "10.0.0.2:10667";

TEST_F(OrventoAbi, InitNamesThePluginAndItsCapabilities) { expect_identity(); }

TEST_F(OrventoAbi, SettingsDescriptionArrivesWhole) { expect_description_whole(); }

// The folder read through slot 2 is what the plug-in probes and names back.
TEST_F(OrventoAbi, EngineChecksUseTheLaunchersFolderAndMap) {
    Scratch scratch("orvento_checks");
    const std::string folder = scratch.make_dir("engine");
    for (const char* name : {"doom32.exe", "doom2.wad", "freedm.wad"}) scratch.touch(folder + name);
    launcher().engine_texts["general/enginepath"] = folder;

    EXPECT_EQ(plugin->call(SDLL_EngineConfig), 0);
    ASSERT_EQ(launcher().calls_to(12).size(), 1u);
    EXPECT_EQ(launcher().calls_to(12)[0].numbers, std::vector<long long>{0x42});
    ASSERT_EQ(launcher().calls_to(24).size(), 1u);
    EXPECT_EQ(launcher().calls_to(24)[0].numbers, std::vector<long long>{1});

    plugin->call(Orvento_Verification, 4);
    const auto required = launcher().calls_to(11);
    ASSERT_EQ(required.size(), 1u);
    EXPECT_EQ(required[0].texts, (std::vector<std::string>{folder, "doom32.exe"}));

    EXPECT_EQ(plugin->call(SDLL_MultiConfig), 1);
    const auto boxes = launcher().calls_to(5);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].texts,
              (std::vector<std::string>{"Please specify an existing map name!", "Orvento"}));
    EXPECT_EQ(boxes[0].numbers, std::vector<long long>{0x30});
}

// A hosted game: response file and command line carry what the callbacks answered, and the
// recording is filed under the demo name in the demo folder once the engine has ended.
TEST_F(OrventoAbi, HostedGameStartsTheEngineFromTheLaunchersSettings) {
    Scratch scratch("orvento_host");
    const std::string folder = scratch.make_dir("engine");
    const std::string demos = scratch.make_dir("demos");
    scratch.install_engine(folder, "doom32.exe");
    const std::string wad = scratch.touch(scratch.dir + "Extra.wad");
    const std::string patch = scratch.touch(scratch.dir + "Patch.deh");
    auto& l = launcher();
    l.engine_texts = {{"general/enginepath", folder}, {"general/demopath", demos},
                      {"general/parameters", "-nosound"}};
    l.chosen_files = {wad, patch};
    l.multiplayer_texts = {{"general/map", "map07"}, {"demo/file", "run1"},
                           {"connection/port", "2342"}, {"connection/servername", "abi.test"}};
    l.multiplayer_ints = {{"general/netnumber", 2},  {"general/skill", 3},
                          {"general/type", 2},       {"general/fraglimit", 10},
                          {"demo/maxdemo", 2048},    {"connection/dup", 1},
                          {"connection/privateserver", 2}};

    plugin->call(Orvento_LaunchMultiplayer, 4, 0, 0, 0, kAddresses.data());
    EXPECT_EQ(plugin->poll_until_done(SDLL_MultiplayerFinished), 1);

    const auto runs = scratch.engine_runs();
    ASSERT_EQ(runs.size(), 1u);
    const std::string line = runs[0].value("command_line", "");
    const std::string options = "@doomargs.tmp -warp 07 -net 2 -skill 3  -deathmatch  -frags 10 "
                                " -timer 0 ";
    EXPECT_NE(line.find(options), std::string::npos) << line;
    EXPECT_EQ(runs[0]["response_file"].value("bytes", ""),
              "-nosound\r\n-iwad doom2.wad\r\n-file " + short_path(lower(wad)) + "\r\n-deh " +
                  short_path(lower(patch)) +
                  "\r\n-warp 07\r\n-record tempdemo\r\n-maxdemo 2048\r\n-dup 1\r\n-extratics 0\r\n"
                  "-port 2342\r\n-privateserver\r\n-servername abi.test\r\n");
    EXPECT_TRUE(std::filesystem::exists(demos + "run1.lmp"));
    EXPECT_FALSE(std::filesystem::exists(folder + "tempdemo.lmp"));
    EXPECT_EQ(l.calls_to(13).size(), 1u);
    EXPECT_EQ(l.calls_to(14).size(), 2u);
}

// Joining reads the host's entry from the address list the launcher passed.
TEST_F(OrventoAbi, JoinConnectsToTheHostsAddressEntry) {
    Scratch scratch("orvento_join");
    const std::string folder = scratch.make_dir("engine");
    scratch.install_engine(folder, "doom32.exe");
    launcher().engine_texts["general/enginepath"] = folder;
    launcher().multiplayer_texts["general/map"] = "map03";

    plugin->call(Orvento_LaunchMultiplayer, 4, 1, 0, 0, kAddresses.data());
    EXPECT_EQ(plugin->poll_until_done(SDLL_MultiplayerFinished), 1);

    const auto runs = scratch.engine_runs();
    ASSERT_EQ(runs.size(), 1u);
    const std::string line = runs[0].value("command_line", "");
    EXPECT_NE(line.find("@doomargs.tmp -warp 03 -connect  10.0.0.2:10667 "), std::string::npos)
        << line;
}

}  // namespace
}  // namespace abi_test
