// orvento_faults_test.cpp: an Orvento game and its finish with demo filing, with each fallible OS
// call failing in turn, through Orvento's own export code linked into this program.
#include <string>
#include <utility>
#include <vector>

#include "orvento/exports.h"
#include "tests/fault/fault_scenario.h"
#include "tests/fault/many_games.h"

namespace {

using test_support::Call;
using test_support::CallStep;
using test_support::FaultMessage;
using test_support::PluginFixture;
using test_support::ScenarioRun;

constexpr const char* kOlderDemo = "the user's older duel";
constexpr const char* kUnfiledRecording = "the recording of a game that was never filed";
constexpr const char* kUnfiledKept =
    "Orvento found the recording {dir}tempdemo.lmp of a game that was never filed; it is kept as {dir}tempdemo-1.lmp.";

const test_support::LinkedExport kOrventoExports[] = {
    SDLL_LINKED_EXPORT(SDLL_Init),
    SDLL_LINKED_EXPORT(SDLL_InitCall),
    SDLL_LINKED_EXPORT(SDLL_LoadConfiguration),
    SDLL_LINKED_EXPORT(SDLL_LaunchMultiplayer),
    SDLL_LINKED_EXPORT(SDLL_MultiplayerFinished),
};
constexpr host::ExportLookup orvento_export = test_support::linked_export<kOrventoExports>;

// A solo game recording the demo "duel" into the engine folder, which holds an older duel.lmp and
// the recording of an earlier game that was never filed.
void play_recorded_game(PluginFixture& f) {
    std::string error;
    EXPECT_TRUE(f.launcher->set("multiplayer", "general", "map", "MAP01", &error)) << error;
    EXPECT_TRUE(f.launcher->set("multiplayer", "demo", "file", "duel", &error)) << error;
    test_support::write_file(f.engine_dir + "duel.lmp", kOlderDemo);
    test_support::write_file(f.engine_dir + "tempdemo.lmp", kUnfiledRecording);
    const std::string list = std::string("\x09\x00", 2) + "127.0.0.1";
    SDLL_LaunchMultiplayer(4, 0, 0, 0, list.data());
}

// The launch first moves the unfiled recording to the first free name (find-first #1 of
// tempdemo-1.lmp, rename #1; when that fails it looks for the recording and stops), then come the
// response file's calls; after them the finish looks for the recording (find-first #6; unseen, it
// is a game that recorded nothing: no message) and moves it over the older demo of its name.
std::vector<FaultMessage> game_messages() {
    std::vector<FaultMessage> messages = test_support::response_file_messages(1, 1, {kUnfiledKept});
    messages.push_back({{Call::rename_file, 1},
                        {"Orvento could not move the recording {dir}tempdemo.lmp of a game that was never filed aside "
                         "to {dir}tempdemo-1.lmp, so the game was not started. The recording is unchanged."}});
    messages.push_back({{Call::move_file_replace, 2},
                        {kUnfiledKept, test_support::kKeptBesideBackup,
                         "Orvento could not file the demo as {dir}duel.lmp; the recording is kept as {dir}tempdemo.lmp."}});
    return messages;
}

// The older demo goes only when the recording takes its place.
void check_demo(PluginFixture& f, const ScenarioRun& r) {
    const std::string target = f.engine_dir + "duel.lmp";
    const std::string recording = f.engine_dir + "tempdemo.lmp";
    ASSERT_TRUE(test_support::file_exists(target)) << "the demo of the target name is gone";
    const bool unfiled_in_place = test_support::read_file(recording) == kUnfiledRecording;
    EXPECT_TRUE(unfiled_in_place || test_support::read_file(f.engine_dir + "tempdemo-1.lmp") == kUnfiledRecording)
        << "the recording no finish filed was recorded over or lost";
    if (test_support::read_file(target) == kOlderDemo) {
        const bool recorded = !r.response.empty();
        EXPECT_EQ(test_support::file_exists(recording) && !unfiled_in_place, recorded)
            << "a recording was lost or invented";
        EXPECT_TRUE(!unfiled_in_place || !recorded) << "a game recorded over the unfiled recording";
    } else {
        EXPECT_FALSE(test_support::file_exists(recording));
    }
    if (!r.failed && !r.response.empty()) {
        EXPECT_NE(test_support::read_file(target), kOlderDemo) << "the recording was not filed";
    }
}

TEST(OrventoFaults, GameAndFinishKeepTheUsersFilesUnderEverySingleFault) {
    test_support::run_every_single_fault({"orvento", "doom32.exe", orvento_export, play_recorded_game,
                                          SDLL_MultiplayerFinished, game_messages(), {kUnfiledKept, test_support::kKeptBesideBackup}},
                                         check_demo);
}

TEST(OrventoGames, ManyGamesLeaveNoHandleOrProcess) {
    PluginFixture f;
    ASSERT_TRUE(f.open("orvento", "doom32.exe", orvento_export));
    test_support::set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    std::string error;
    ASSERT_TRUE(f.launcher->set("multiplayer", "general", "map", "MAP01", &error)) << error;
    const std::string list = std::string("\x09\x00", 2) + "127.0.0.1";
    test_support::expect_nothing_left_by_games(f, test_support::kManyGames, "Orvento game",
                                               [&] { SDLL_LaunchMultiplayer(4, 0, 0, 0, list.data()); },
                                               SDLL_MultiplayerFinished);
    test_support::set_env("SDLL_SYSCOLOR_FILE", "");
}

}  // namespace
