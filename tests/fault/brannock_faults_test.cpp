// brannock_faults_test.cpp: the join and the hosted game with each fallible OS call failing in
// turn, through Brannock's own export code linked into this program.
#include <string>
#include <utility>

#include "brannock/exports.h"
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

void* brannock_export(const char* name) {
    static const std::pair<const char*, void*> kExports[] = {
        {"SDLL_Init", reinterpret_cast<void*>(&SDLL_Init)},
        {"SDLL_InitCall", reinterpret_cast<void*>(&SDLL_InitCall)},
        {"SDLL_LoadConfiguration", reinterpret_cast<void*>(&SDLL_LoadConfiguration)},
        {"SDLL_LaunchMultiplayer", reinterpret_cast<void*>(&SDLL_LaunchMultiplayer)},
        {"SDLL_MultiplayerFinished", reinterpret_cast<void*>(&SDLL_MultiplayerFinished)},
        {"SDLL_LaunchServer", reinterpret_cast<void*>(&SDLL_LaunchServer)},
        {"SDLL_ServerFinished", reinterpret_cast<void*>(&SDLL_ServerFinished)},
    };
    for (const auto& [export_name, address] : kExports)
        if (std::string(export_name) == name) return address;
    return nullptr;
}

void join(PluginFixture& f) {
    host::Server* server = f.launcher->add_server("10.1.2.3", "10666");
    f.launcher->server_iwad = "doom2.wad";
    SDLL_LaunchServer(host::Launcher::ref(server), "Ann");
}

void host_game(PluginFixture&) {
    const std::string list = std::string("\x09\x00", 2) + "127.0.0.1";
    SDLL_LaunchMultiplayer(4, 0, 0, 0, list.data(), "Ann");
}

ScenarioRun run(std::optional<CallStep> failing, void (*play)(PluginFixture&), SDLL_MultiplayerFinished_t finish,
                const std::string& full_response) {
    return test_support::run_scenario("brannock", "Brannock.exe", brannock_export, failing, play, finish,
                                      [&](PluginFixture& f, const ScenarioRun& r) {
        if (!full_response.empty() && !r.response.empty()) {
            EXPECT_EQ(r.response, full_response) << "an engine started on a response file not fully written";
        }
        if (!failing) {
            EXPECT_TRUE(f.launcher->message_boxes.empty());
            return;
        }
        // The message the user must act on, with the full path.
        const std::string response = f.engine_dir + "doomargs.tmp";
        std::string expected;
        switch (failing->kind) {
            case Call::delete_file:
            case Call::rename:
                expected = "Brannock could not move your " + response + " aside to " + response +
                           ".bak, so the game was not started. Your file is unchanged.";
                break;
            case Call::write:
                expected = "Brannock could not write its response file " + response + ", so the game was not started.";
                break;
            case Call::move_replace:
                expected = "Brannock could not put your earlier " + response + " back; it is kept as " + response + ".bak.";
                break;
            default: return;
        }
        ASSERT_EQ(f.launcher->message_boxes.size(), 1u);
        EXPECT_EQ(f.launcher->message_boxes[0].text, expected);
    });
}

TEST(BrannockFaults, JoinAndFinishKeepTheUsersResponseFileUnderEverySingleFault) {
    const ScenarioRun clean = run(std::nullopt, join, SDLL_ServerFinished, "");
    ASSERT_FALSE(clean.response.empty()) << "the join started no engine on its response file";
    for (const CallStep& step : test_support::single_fault_schedules(clean.calls)) {
        SCOPED_TRACE("failing " + test_support::describe(step));
        const ScenarioRun faulty = run(step, join, SDLL_ServerFinished, clean.response);
        EXPECT_TRUE(faulty.failed || step.kind == Call::wait);
    }
}

TEST(BrannockFaults, HostedGameAndFinishEndEveryEngineUnderEverySingleFault) {
    const ScenarioRun clean = run(std::nullopt, host_game, SDLL_MultiplayerFinished, "");
    ASSERT_EQ(std::count(clean.calls.begin(), clean.calls.end(), CallStep{Call::start_process, 2}), 1)
        << "a hosted game starts its server and its client";
    for (const CallStep& step : test_support::single_fault_schedules(clean.calls)) {
        SCOPED_TRACE("failing " + test_support::describe(step));
        run(step, host_game, SDLL_MultiplayerFinished, "");
    }
}

TEST(BrannockGames, ManyJoinsAndAFewHostedGamesLeaveNoHandleOrProcess) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe", brannock_export));
    test_support::set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    test_support::expect_nothing_left_by_games(f, test_support::kManyGames, "Brannock join",
                                               [&] { join(f); }, SDLL_ServerFinished);
    // Each hosted game waits its server's one-second head start.
    test_support::expect_nothing_left_by_games(f, 3, "Brannock hosted game", [&] { host_game(f); },
                                               SDLL_MultiplayerFinished);
    test_support::set_env("SDLL_SYSCOLOR_FILE", "");
}

}  // namespace
