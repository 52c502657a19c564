// ansi_folder_test.cpp: both plug-ins with the engine in a folder whose name the system's ANSI code
// page cannot hold: a Japanese name it loses, and a Polish one whose Ł and ź it would turn into
// look-alikes. The engine check, the files the launcher must find and a whole game all reach the
// folder (through its short form under Windows), and nobody is told anything.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "frame/launcher.h"
#include "tests/plugin/plugin_fixture.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

namespace fs = std::filesystem;
using test_support::Record;

struct Engine {
    const char* plugin;
    std::vector<std::string> files;   // the engine first, then what else the folder holds
    std::size_t starts;               // engines one game starts
};

const Engine kEngines[] = {
    {"brannock", {"Brannock.exe", "Brannock.pk3"}, 2},
    {"orvento", {"doom32.exe", "doom2.wad"}, 1},
};

void PrintTo(const Engine& engine, std::ostream* out) { *out << engine.plugin; }

// UTF-8.
const char* const kFolderNames[] = {"\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0",   // ゲーム
                                    "\xC5\x81\xC3\xB3" "d\xC5\xBA"};            // Łódź

fs::path native(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

// Plays a game to its end from the engine folder set; the engine starts it made.
std::vector<Record> play_a_game(test_support::PluginFixture& f, const Engine& engine) {
    const std::string list = std::string("\x0E\x00", 2) + "10.0.0.5:10666";
    const std::vector<Record> earlier = f.engines.starts();
    f.engines.release_all();
    if (std::string(engine.plugin) == "brannock") {
        f.launcher->get<Brannock_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(4, 0, 0, 0, list.data(), "Ann");
    } else {
        f.launcher->get<Orvento_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer")(4, 0, 0, 0, list.data());
    }
    EXPECT_TRUE(f.engines.wait_for_starts(earlier.size() + engine.starts));
    EXPECT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
    std::vector<Record> started;
    for (const Record& start : f.engines.starts())
        if (std::find(earlier.begin(), earlier.end(), start) == earlier.end()) started.push_back(start);
    return started;
}

class AnsiFolder : public testing::TestWithParam<Engine> {};

TEST_P(AnsiFolder, EngineCheckRequiredFilesAndAGameReachTheFolder) {
    const Engine& engine = GetParam();
    test_support::PluginFixture f;
    ASSERT_TRUE(f.open(engine.plugin, engine.files[0]));
#ifdef _WIN32
    // The code page that loses ゲーム and holds only ó of Łódź (CodePage.FileNamesWithLookAlikes...).
    ASSERT_EQ(GetACP(), 1252u);
#endif
    for (const char* name : kFolderNames) {
        SCOPED_TRACE(name);
        const std::string folder = f.scratch + name + f.scratch.back();
        std::error_code ec;
        fs::create_directories(native(folder), ec);
        fs::copy_file(f.engine_exe, native(folder + engine.files[0]), ec);
        ASSERT_FALSE(ec) << ec.message();
        for (std::size_t i = 1; i < engine.files.size(); ++i) std::ofstream(native(folder + engine.files[i])) << "x";
        std::string error;
        ASSERT_TRUE(f.launcher->set("engine", "general", "enginepath", folder, &error)) << error;

        EXPECT_EQ(f.launcher->get<SDLL_EngineConfig_t>("SDLL_EngineConfig")(), 0);
        EXPECT_EQ(f.launcher->engine_ready, 1);

        f.launcher->required_files.clear();
        f.launcher->missing_files.clear();
        if (std::string(engine.plugin) == "brannock") {
            f.launcher->get<Brannock_Verification_t>("SDLL_Verification")();
        } else {
            f.launcher->get<Orvento_Verification_t>("SDLL_Verification")(4);
        }
        EXPECT_EQ(f.launcher->required_files.size(), std::string(engine.plugin) == "brannock" ? 2u : 1u);
        for (const auto& [required_folder, file] : f.launcher->required_files) {
            EXPECT_TRUE(fs::equivalent(fs::u8path(required_folder + file), native(folder + file), ec))
                << required_folder << file;
#ifdef _WIN32
            EXPECT_NE(required_folder.find('~'), std::string::npos) << "not a short form: " << required_folder;
#endif
        }
        EXPECT_TRUE(f.launcher->missing_files.empty()) << f.launcher->missing_files.front();

        const std::vector<Record> started = play_a_game(f, engine);
        EXPECT_EQ(started.size(), engine.starts);
        for (const Record& start : started) {
            EXPECT_TRUE(fs::equivalent(fs::u8path(start["program"].get<std::string>()),
                                       native(folder + engine.files[0]), ec)) << start.dump();
            // Through a file in it: the test's library compares no folders under Windows.
            EXPECT_TRUE(fs::equivalent(fs::u8path(start["cwd"].get<std::string>()) / engine.files[0],
                                       native(folder + engine.files[0]), ec)) << start.dump();
        }
        EXPECT_TRUE(f.launcher->message_boxes.empty()) << f.launcher->message_boxes.front().text;
    }
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, AnsiFolder, testing::ValuesIn(kEngines),
                         [](const testing::TestParamInfo<Engine>& info) { return std::string(info.param.plugin); });

}  // namespace
