// orvento_faults_test.cpp: an Orvento game and its finish with demo filing, with each fallible OS
// call failing in turn, through Orvento's own export code linked into this program.
#include <string>
#include <utility>

#include "orvento/exports.h"
#include "tests/fault/fault_scenario.h"
#include "tests/fault/many_games.h"

SDLL_EXPORT int SDLL_CALL SDLL_Init(HostHandle host, char* name, uint16_t* capabilities);
SDLL_EXPORT void SDLL_CALL SDLL_InitCall(unsigned slot, void* function);
SDLL_EXPORT int SDLL_CALL SDLL_LoadConfiguration(void);
SDLL_EXPORT int SDLL_CALL SDLL_MultiplayerFinished(void);

namespace {

using test_support::Call;
using test_support::CallStep;
using test_support::PluginFixture;
using test_support::ScenarioRun;

constexpr const char* kOlderDemo = "the user's older duel";

void* orvento_export(const char* name) {
    static const std::pair<const char*, void*> kExports[] = {
        {"SDLL_Init", reinterpret_cast<void*>(&SDLL_Init)},
        {"SDLL_InitCall", reinterpret_cast<void*>(&SDLL_InitCall)},
        {"SDLL_LoadConfiguration", reinterpret_cast<void*>(&SDLL_LoadConfiguration)},
        {"SDLL_LaunchMultiplayer", reinterpret_cast<void*>(&SDLL_LaunchMultiplayer)},
        {"SDLL_MultiplayerFinished", reinterpret_cast<void*>(&SDLL_MultiplayerFinished)},
    };
    for (const auto& [export_name, address] : kExports)
        if (std::string(export_name) == name) return address;
    return nullptr;
}

// A solo game recording the demo "duel" into the engine folder, which holds an older duel.lmp.
void play_recorded_game(PluginFixture& f) {
    std::string error;
    EXPECT_TRUE(f.launcher->set("multiplayer", "general", "map", "MAP01", &error)) << error;
    EXPECT_TRUE(f.launcher->set("multiplayer", "demo", "file", "duel", &error)) << error;
    test_support::write_file(f.engine_dir + "duel.lmp", kOlderDemo);
    const std::string list = std::string("\x09\x00", 2) + "127.0.0.1";
    SDLL_LaunchMultiplayer(4, 0, 0, 0, list.data());
}

ScenarioRun run(std::optional<CallStep> failing, const std::string& full_response) {
    return test_support::run_scenario("orvento", "doom32.exe", orvento_export, failing, play_recorded_game,
                                      SDLL_MultiplayerFinished, [&](PluginFixture& f, const ScenarioRun& r) {
        if (!full_response.empty() && !r.response.empty()) {
            EXPECT_EQ(r.response, full_response) << "an engine started on a response file not fully written";
        }
        // The older demo goes only when the recording takes its place.
        const std::string target = f.engine_dir + "duel.lmp";
        const std::string recording = f.engine_dir + "tempdemo.lmp";
        ASSERT_TRUE(test_support::file_exists(target)) << "the demo of the target name is gone";
        if (test_support::read_file(target) == kOlderDemo) {
            const bool recorded = !r.response.empty();
            EXPECT_EQ(test_support::file_exists(recording), recorded) << "a recording was lost or invented";
        } else {
            EXPECT_FALSE(test_support::file_exists(recording));
        }
        if (!failing) {
            EXPECT_TRUE(f.launcher->message_boxes.empty());
            EXPECT_NE(test_support::read_file(target), kOlderDemo) << "the recording was not filed";
        }
        if (failing == CallStep{Call::move_replace, 2}) {
            ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
            EXPECT_EQ(f.launcher->message_boxes[0].text,
                      "Orvento could not file the demo as " + target + "; the recording is kept as " + recording + ".");
        }
    });
}

TEST(OrventoFaults, GameAndFinishKeepTheUsersFilesUnderEverySingleFault) {
    const ScenarioRun clean = run(std::nullopt, "");
    ASSERT_FALSE(clean.response.empty()) << "the launch started no engine on its response file";
    for (const CallStep& step : test_support::single_fault_schedules(clean.calls)) {
        SCOPED_TRACE("failing " + test_support::describe(step));
        const ScenarioRun faulty = run(step, clean.response);
        EXPECT_TRUE(faulty.failed || step.kind == Call::wait);
    }
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
