// brannock_faults_test.cpp: the join and the hosted game with each fallible OS call failing in
// turn, through Brannock's own export code linked into this program; and the paths those calls
// are given when a stranger's server names the files.
#include <string>
#include <utility>
#include <vector>

#include "brannock/browser_exports.h"
#include "brannock/codec/huffman.h"
#include "brannock/exports.h"
#include "tests/support/wire_writer.h"
#include "tests/fault/fault_scenario.h"
#include "tests/fault/many_games.h"

namespace {

using test_support::Call;
using test_support::CallStep;
using test_support::FaultRun;
using test_support::PluginFixture;
using test_support::ScenarioRun;

const test_support::LinkedExport kBrannockExports[] = {
    SDLL_LINKED_EXPORT(SDLL_Init),
    SDLL_LINKED_EXPORT(SDLL_InitCall),
    SDLL_LINKED_EXPORT(SDLL_LoadConfiguration),
    SDLL_LINKED_EXPORT(SDLL_LaunchMultiplayer),
    SDLL_LINKED_EXPORT(SDLL_MultiplayerFinished),
    SDLL_LINKED_EXPORT(SDLL_LaunchServer),
    SDLL_LINKED_EXPORT(SDLL_ServerFinished),
};
constexpr host::ExportLookup brannock_export = test_support::linked_export<kBrannockExports>;

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

// The names of a hostile server, and the plain name each rule keeps (empty: none).
const std::pair<std::string, std::string> kServerFiles[] = {
    {"/etc/passwd", "passwd"}, {"\\\\evil.example\\share\\x.wad", "x.wad"}, {"..\\..\\..\\boot.ini", "boot.ini"},
    {"c:/windows/win.ini", "win.ini"}, {"nul.wad", ""}, {"x\tnul.wad", "x"}, {" lead.wad", ""}, {"a/", ""},
};

// Nothing a server names is looked up as a path: copied and then hosted, the file system is asked
// for the short form of the plain names the copy kept (which this launcher hands back as they
// stand), and of nothing else.
TEST(BrannockServerNames, CopiedAndHostedFilesAreLookedUpAsPlainNamesOnly) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe", brannock_export));
    test_support::set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    test_support::Writer reply;
    reply.u32(5660023).text("3.1").u32(0x8 | 0x40).text("map01").u8(static_cast<unsigned>(std::size(kServerFiles)));
    std::vector<std::string> kept;
    for (const auto& [sent, name] : kServerFiles) {
        reply.text(sent);
        if (!name.empty()) kept.push_back(name);
    }
    std::vector<unsigned char> packet(codec::encode_capacity(reply.bytes.size()));
    int size = 0;
    codec::HuffmanEncode(reply.bytes.data(), packet.data(), static_cast<int>(reply.bytes.size()), &size);
    f.engines.release_all();
    {
        FaultRun run;
        ASSERT_EQ(SDLL_ServerGamesettings(nullptr, packet.data(), size), 1);
        host_game(f);
        EXPECT_TRUE(test_support::wait_until([] { return SDLL_MultiplayerFinished() == 1; }));
        EXPECT_EQ(run.paths(Call::short_path), kept);
        EXPECT_TRUE(run.paths(Call::file_exists).empty());
    }
    test_support::set_env("SDLL_SYSCOLOR_FILE", "");
}

// The join asks the launcher for plain names only and looks up nothing but the launcher's answers
// and its own response file.
TEST(BrannockServerNames, JoinLooksUpOnlyTheLaunchersAnswers) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe", brannock_export));
    test_support::set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    host::Server* server = f.launcher->add_server("10.1.2.3", "10666");
    server->info = {{"IWAD", "\\\\evil.example\\share\\doom2.wad"},
                    {"NUMPWADS", std::to_string(std::size(kServerFiles))}};
    std::vector<std::string> answers;
    for (std::size_t i = 0; i < std::size(kServerFiles); ++i) {
        const auto& [sent, name] = kServerFiles[i];
        server->info.emplace_back("PWAD" + std::to_string(i), sent);
        // The launcher knows every name, the server's as sent and the plain one, each as a file of
        // the user's own.
        const std::string path = f.scratch + "user" + std::to_string(i) + ".wad";
        test_support::write_file(path, "w");
        f.launcher->known_files.emplace_back(sent, f.scratch + "server" + std::to_string(i) + ".wad");
        if (name.empty()) continue;
        f.launcher->known_files.emplace_back(name, path);
        answers.push_back(path);
    }
    f.engines.release_all();
    {
        FaultRun run;
        SDLL_LaunchServer(host::Launcher::ref(server), "Ann");
        EXPECT_TRUE(test_support::wait_until([] { return SDLL_ServerFinished() == 1; }));
        EXPECT_EQ(run.paths(Call::short_path), answers);
        for (const std::string& path : run.paths(Call::file_exists))
            EXPECT_EQ(path.rfind(f.engine_dir + "doomargs.tmp", 0), 0u) << path;
    }
    test_support::set_env("SDLL_SYSCOLOR_FILE", "");
}

}  // namespace
