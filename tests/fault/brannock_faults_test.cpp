// brannock_faults_test.cpp: the join and the hosted game with each fallible OS call failing in
// turn, through Brannock's own export code linked into this program.
#include <string>
#include <utility>
#include <vector>

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

void no_more_checks(PluginFixture&, const ScenarioRun&) {}

TEST(BrannockFaults, JoinAndFinishKeepTheUsersResponseFileUnderEverySingleFault) {
    test_support::run_every_single_fault({"brannock", "Brannock.exe", brannock_export, join, SDLL_ServerFinished,
                                          test_support::response_file_messages(0, 0, {}), test_support::kResponseFileTold},
                                         no_more_checks);
}

// The server runs until the finish stops it; a failed start or wait is told to nobody.
TEST(BrannockFaults, HostedGameAndFinishStopTheServerUnderEverySingleFault) {
    test_support::Scenario hosted{"brannock", "Brannock.exe", brannock_export, host_game, SDLL_MultiplayerFinished, {}, {}};
    hosted.engine_start = 2;
    hosted.response_file = false;
    hosted.stopped_by_finish = " -host ";
    test_support::run_every_single_fault(hosted, no_more_checks);
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
