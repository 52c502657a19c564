// host_tools_test.cpp: sdll-host as a person relies on it: a settings file never lost, checked
// launch input, an honest answer when nothing ran, a check that says what is missing, and a
// browse that queries every server at once and tells each broken server apart.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "host/browse.h"
#include "host/engine_check.h"
#include "host/game.h"
#include "host/launcher_impl.h"
#include "host/query_schedule.h"
#include "host/utf.h"
#include "host/udp.h"
#include "tests/plugin/plugin_fixture.h"
#include "tools/brannock-sim/replies.h"
#include "tools/brannock-sim/simulator.h"

#ifndef _WIN32
#include <sys/select.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using test_support::PluginFixture;

#ifdef _WIN32
constexpr bool kRecordsNotMatched = true;   // the job counts the engines, naming none
#else
constexpr bool kRecordsNotMatched = false;
#endif

// ---- settings file ------------------------------------------------------------------------------

TEST(HostSettingsFile, UnreadableOrBrokenFileIsAnErrorNeverAnEmptyStore) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
    std::string error;
    EXPECT_TRUE(f.launcher->load_settings(f.scratch + "not-there.settings", &error)) << "a new file starts empty";

    // A folder given as the settings file.
    EXPECT_FALSE(f.launcher->load_settings(f.engine_dir, &error));
    EXPECT_NE(error.find(f.engine_dir), std::string::npos) << error;

    const std::string file = f.scratch + "broken.settings";
    test_support::write_file(file, "multiplayer/general/map = MAP02\nthis line has no equals sign\n");
    EXPECT_FALSE(f.launcher->load_settings(file, &error));
    EXPECT_NE(error.find(file + " line 2"), std::string::npos) << error;
    EXPECT_EQ(f.launcher->get_value("multiplayer", "general", "map"), "") << "nothing of a broken file is taken";
}

TEST(HostSettingsFile, SaveReplacesTheFileWholeAndKeepsWadFolders) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
    const std::string file = f.scratch + "b.settings";
    test_support::write_file(file, "# old\n");
    f.launcher->wad_dirs = {f.scratch + "wads"};
    f.launcher->run_wad_dirs = {f.scratch + "this-run-only"};
    ASSERT_TRUE(f.launcher->set("multiplayer", "general", "map", "MAP07"));
    std::string error;
    ASSERT_TRUE(f.launcher->save_settings(file, &error)) << error;
    EXPECT_FALSE(test_support::file_exists(file + ".tmp"));
    const std::string saved = test_support::read_file(file);
    EXPECT_NE(saved.find("wad-dir = " + f.scratch + "wads\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("this-run-only"), std::string::npos) << saved;

    f.launcher->wad_dirs.clear();
    ASSERT_TRUE(f.launcher->load_settings(file, &error)) << error;
    EXPECT_EQ(f.launcher->wad_dirs, std::vector<std::string>{f.scratch + "wads"});
    EXPECT_EQ(f.launcher->get_value("multiplayer", "general", "map"), "MAP07");

    // A file that cannot be written leaves no half of it behind.
    EXPECT_FALSE(f.launcher->save_settings(f.scratch + "no-such-folder" + f.scratch.back() + "x.settings", &error));
}

TEST(HostFindFile, WadFoldersAnswerByFileNameOnly) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
    const std::string wads = f.scratch + "wads" + f.scratch.back();
    fs::create_directories(wads);
    test_support::write_file(wads + "DWANGO5.WAD", "x");
    fs::create_directories(wads + "skins.pk3");   // a folder is no game file
    f.launcher->run_wad_dirs = {wads};
    auto find = reinterpret_cast<Host_FindFile_t>(host::callback_function(kSlotFindFile));
    const HostText found = find("dwango5.wad");
    ASSERT_NE(found, nullptr);
    EXPECT_TRUE(test_support::file_exists(host::utf16_to_utf8(found)));
    EXPECT_EQ(find("skins.pk3"), nullptr);
    EXPECT_EQ(find("../wads/DWANGO5.WAD"), nullptr);
    EXPECT_EQ(find(""), nullptr);
}

// ---- launch -------------------------------------------------------------------------------------

TEST(HostLaunch, AddressListDefaultsToThisMachineAndRefusesWhatItCannotHold) {
    std::string error;
    std::vector<std::string> entries;
    ASSERT_TRUE(host::launch_addresses(&entries, 0, 0, &error)) << error;
    EXPECT_EQ(entries, std::vector<std::string>{"127.0.0.1"});

    entries = {};
    EXPECT_FALSE(host::launch_addresses(&entries, 0, 3, &error));
    EXPECT_NE(error.find("--own-entry 3"), std::string::npos) << error;
    entries = {"10.0.0.1:10666", "10.0.0.2"};
    EXPECT_TRUE(host::launch_addresses(&entries, 1, 0, &error)) << error;
    for (const std::string& bad : std::vector<std::string>{"10.0.0.1:99999", "10.0.0.1:0", "a b", std::string(256, 'a')}) {
        entries = {bad};
        EXPECT_FALSE(host::launch_addresses(&entries, 0, 0, &error)) << bad;
    }
}

TEST(HostGame, StartToldByTheProcessesCreatedAndAGameOverAtOnceIsAFailure) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
    auto launch = f.launcher->get<Brannock_LaunchMultiplayer_t>("SDLL_LaunchMultiplayer");
    // Two players, this one the second: only a client starts.
    std::vector<std::string> entries = {"127.0.0.1", "127.0.0.1"};
    std::string error;
    ASSERT_TRUE(host::launch_addresses(&entries, 0, 1, &error)) << error;
    std::string list;
    for (const auto& entry : entries) list += std::string(1, static_cast<char>(entry.size())) + '\0' + entry;
    ASSERT_TRUE(f.launcher->set("multiplayer", "general", "map", "MAP01"));
    const std::string empty_folder = f.scratch + "empty" + f.scratch.back();
    f.engines.release_all();   // every engine ends as soon as it has started

    // The folder, how soon a game counts as over at once, the exit code and what is said.
    struct Case {
        std::string folder;
        double at_once_s;
        int exit_code;
        const char* says;
    };
    for (const Case& c : {Case{empty_folder, 1, 1, "the engine did not start: no engine process was created"},
                          Case{f.engine_dir, 600, 1, "the engine ended at once"},
                          Case{f.engine_dir, 0, 0, "game finished"}}) {
        ASSERT_TRUE(f.launcher->set("engine", "general", "enginepath", c.folder));
        host::GameStart start(*f.launcher);
        launch(1, 0, 1, 0, list.data(), "P");
        start.launched();
        // Another stand-in's engine, recorded in the same log meanwhile: posix names the processes
        // this launch started, so it is not taken as this launch's; a Windows job only counts them.
        if (c.folder == f.engine_dir)
            std::ofstream(f.engines.path(), std::ios::app) << R"({"event":"start","pid":1,"command_line":"another's"})"
                                                           << "\n";
        std::ostringstream out, err;
        host::GameWait wait;
        wait.at_once_s = c.at_once_s;
        EXPECT_EQ(host::wait_for_game(*f.launcher, "SDLL_MultiplayerFinished", start, wait, out, err), c.exit_code)
            << c.says << "\n" << err.str();
        EXPECT_NE((out.str() + err.str()).find(c.says), std::string::npos) << out.str() << err.str();
        // A game that started shows what it was started with, even when it failed.
        EXPECT_EQ(out.str().find("engine started: ") != std::string::npos, c.folder == f.engine_dir) << out.str();
        EXPECT_EQ(out.str().find("another's") != std::string::npos, kRecordsNotMatched && c.folder == f.engine_dir)
            << out.str();
        EXPECT_EQ(start.processes() ? start.processes()->count : 1, c.folder == f.engine_dir ? 1u : 0u);
    }
}

// ---- check ----------------------------------------------------------------------------------------

TEST(HostCheck, NamesEachMissingFileWithThePathTriedAndTheMissingSeparator) {
    PluginFixture f;
    ASSERT_TRUE(f.open("brannock", "Brannock.exe"));
    std::string folder = f.engine_dir;
    folder.pop_back();
    ASSERT_TRUE(f.launcher->set("engine", "general", "enginepath", folder));
    host::EngineCheck check;
    std::string error;
    ASSERT_TRUE(host::check_engine(*f.launcher, &check, &error)) << error;
    EXPECT_EQ(check.result, 1);
    ASSERT_EQ(check.required.size(), 2u);
    EXPECT_EQ(check.required[0].name, "Brannock.exe");
    EXPECT_EQ(check.required[0].path, folder + "Brannock.exe");
    EXPECT_FALSE(check.required[0].found);
    EXPECT_NE(check.hint.find("does not end in a path separator"), std::string::npos) << check.hint;

    ASSERT_TRUE(f.launcher->set("engine", "general", "enginepath", f.engine_dir));
    f.touch("Brannock.pk3");
    ASSERT_TRUE(host::check_engine(*f.launcher, &check, &error));
    EXPECT_EQ(check.result, 0);
    EXPECT_TRUE(check.required[0].found && check.required[1].found);
    EXPECT_TRUE(check.hint.empty()) << check.hint;
}

TEST(HostCheck, ListsTheIwadsFoundWithTheirNumbers) {
    PluginFixture f;
    ASSERT_TRUE(f.open("orvento", "doom32.exe"));
    f.touch("doom2.wad");
    f.touch("freedm.wad");
    host::EngineCheck check;
    std::string error;
    ASSERT_TRUE(host::check_engine(*f.launcher, &check, &error)) << error;
    EXPECT_EQ(check.iwads, (std::vector<std::pair<int, std::string>>{{4, "doom2.wad"}, {8, "freedm.wad"}}));
    EXPECT_EQ(host::check_json(check)["iwads"][1]["number"], 8);
}

// ---- browse -------------------------------------------------------------------------------------

// The simulator's servers on a thread for as long as the object lives.
struct Served {
    sim::Simulator simulator;
    std::atomic<bool> stop{false};
    std::thread thread;
    explicit Served(const std::string& scenario_json) {
        sim::Scenario scenario;
        std::string error;
        EXPECT_TRUE(sim::parse_scenario(scenario_json, &scenario, &error)) << error;
        scenario.master.port = 0;
        EXPECT_TRUE(simulator.open(scenario, &error)) << error;
        thread = std::thread([this] { simulator.run(stop); });
    }
    ~Served() {
        stop = true;
        thread.join();
    }
    std::string master() { return "127.0.0.1:" + std::to_string(simulator.master_port()); }
};

struct BrowsePlugin : PluginFixture {
    BrowsePlugin() { EXPECT_TRUE(open("brannock", "Brannock.exe")); }
    host::BrowseFailure browse_failure(const host::BrowseOptions& options) {
        host::BrowseResult result;
        host::BrowseFailure failure;
        std::ostringstream progress;
        EXPECT_FALSE(host::browse(*launcher, options, progress, &result, &failure));
        return failure;
    }
};

#ifndef _WIN32
// select's bit array ends at FD_SETSIZE; Winsock's set is a list that is filled only as far as it
// holds, so this is posix's alone.
TEST(HostUdp, ASocketNumberedBeyondTheWaitSetIsRefusedNotWrittenPastIt) {
    std::vector<int> held;
    for (int fd = 0; fd >= 0 && fd < FD_SETSIZE;) held.push_back(fd = ::dup(0));
    std::string error;
    const bool reached = held.back() >= FD_SETSIZE;
    const host::os::Socket socket = reached ? host::os::open_udp("127.0.0.1", 0, &error) : host::os::kNoSocket;
    for (const int fd : held)
        if (fd >= 0) ::close(fd);
    if (!reached) GTEST_SKIP() << "this process may not open " << FD_SETSIZE << " files";
    EXPECT_EQ(socket, host::os::kNoSocket);
    EXPECT_NE(error.find("too many files and sockets open"), std::string::npos) << error;
}
#endif

TEST(HostBrowse, MasterFailuresEachHaveTheirOwnMessage) {
    BrowsePlugin b;
    host::BrowseOptions options;
    options.master_wait_ms = 200;
    {
        host::UdpSocket nobody;   // a bound port where no master answers
        ASSERT_TRUE(nobody.open("127.0.0.1", 0));
        options.master = "127.0.0.1:" + std::to_string(nobody.local_port());
        const auto failure = b.browse_failure(options);
        EXPECT_EQ(failure.code, 1);
        EXPECT_NE(failure.message.find("did not answer within 200 ms"), std::string::npos) << failure.message;
    }
    for (const auto& [scenario, says] : {std::pair{R"({"master": {"fault": "outdated"}, "servers": []})", "outdated"},
                                         {R"({"master": {"fault": "garbage"}, "servers": [{}]})",
                                          "answered with something that is not a server list"}}) {
        Served served(scenario);
        options.master = served.master();
        const auto failure = b.browse_failure(options);
        EXPECT_EQ(failure.code, 1);
        EXPECT_NE(failure.message.find(says), std::string::npos) << failure.message;
    }
    options.master = "127.0.0.1:99999";
    EXPECT_EQ(b.browse_failure(options).code, 2);
    ASSERT_TRUE(b.launcher->set("engine", "servers", "performquery", "0"));
    EXPECT_NE(b.browse_failure(options).message.find("switched off"), std::string::npos);
}

TEST(HostBrowse, AListCutShortIsSaidAndTheJsonHoldsNumbersAndTheError) {
    Served served(R"({"master": {"fault": "truncate", "truncate_at": 12}, "servers": [{"name": "a"}, {"name": "b"}]})");
    BrowsePlugin b;
    host::BrowseOptions options;
    options.master = served.master();
    host::BrowseResult result;
    host::BrowseFailure failure;
    std::ostringstream progress;
    ASSERT_TRUE(host::browse(*b.launcher, options, progress, &result, &failure)) << failure.message;
    EXPECT_EQ(result.master_list, host::MasterList::cut_short);
    EXPECT_NE(progress.str().find("1 server(s); its list was cut short"), std::string::npos) << progress.str();
    const auto json = host::browse_json(result);
    EXPECT_EQ(json["master_list"], "cut short");
    EXPECT_TRUE(json["error"].is_null());
    EXPECT_EQ(json["servers"][0]["port"], served.simulator.server_port(0));

    host::BrowserCommand command;
    command.json = true;
    command.browse.master = "127.0.0.1:99999";
    std::ostringstream out, err;
    EXPECT_EQ(host::run_browser_command(*b.launcher, command, out, err), 2);
    const auto failed = nlohmann::json::parse(out.str());
    EXPECT_NE(failed["error"].get<std::string>().find("--master wants HOST:PORT"), std::string::npos) << out.str();
    EXPECT_EQ(failed["servers"], nlohmann::json::array());
}

TEST(HostBrowse, ManyServersAtOnceWithTheSilentOnesSharingTheWait) {
    constexpr int kServers = 150, kSilent = 15;
    std::string scenario = R"({"master": {"datagrams": 3}, "servers": [)";
    for (int i = 0; i < kServers; ++i)
        scenario += std::string(i ? "," : "") + R"({"name": "s)" + std::to_string(i) + "\"" +
                    (i % (kServers / kSilent) == 0 ? R"(, "fault": "silent")" : "") + "}";
    Served served(scenario + "]}");
    BrowsePlugin b;
    host::BrowseOptions options;
    options.master = served.master();
    options.server_wait_ms = 1500;   // room for a sanitizer build on a loaded machine
    host::BrowseResult result;
    host::BrowseFailure failure;
    std::ostringstream progress;
    ASSERT_TRUE(host::browse(*b.launcher, options, progress, &result, &failure)) << failure.message;
    ASSERT_EQ(result.servers.size(), static_cast<std::size_t>(kServers));
    int silent = 0;
    for (int i = 0; i < kServers; ++i) {
        const bool quiet = i % (kServers / kSilent) == 0;
        silent += quiet;
        EXPECT_EQ(result.servers[i].status, quiet ? host::ReplyStatus::no_answer : host::ReplyStatus::answered) << i;
        if (!quiet) {
            EXPECT_EQ(b.launcher->server_info(*result.servers[i].server, ""), std::string("s").append(std::to_string(i)));
        }
    }
    EXPECT_EQ(silent, kSilent);
}

TEST(HostBrowse, ScheduleFillsTheWindowRetriesHalfwayAndGivesUpAtTheWait) {
    using namespace std::chrono_literals;
    using Sends = std::vector<std::pair<std::size_t, bool>>;
    host::QuerySchedule schedule(3, 2, 1000ms);
    auto due = [&](std::chrono::milliseconds at) {
        Sends sends;
        for (const auto& send : schedule.due(host::QuerySchedule::Clock::time_point(at)))
            sends.emplace_back(send.server, send.again);
        return sends;
    };
    const host::QuerySchedule::Clock::time_point start;
    EXPECT_EQ(due(0ms), (Sends{{0, false}, {1, false}}));   // the window of two is full
    EXPECT_EQ(schedule.next(start), start + 500ms);
    EXPECT_TRUE(schedule.answered(0));
    EXPECT_FALSE(schedule.answered(0)) << "a second answer";
    EXPECT_EQ(schedule.next(start), start) << "a free place in the window is used at once";
    EXPECT_EQ(due(10ms), (Sends{{2, false}}));
    EXPECT_EQ(due(500ms), (Sends{{1, true}}));
    EXPECT_EQ(schedule.next(start + 500ms), start + 510ms);
    EXPECT_EQ(due(1000ms), (Sends{{2, true}}));   // server 1 given up
    EXPECT_FALSE(schedule.answered(1)) << "too late";
    EXPECT_FALSE(schedule.done());
    EXPECT_EQ(due(1010ms), Sends{});
    EXPECT_TRUE(schedule.done());
}

TEST(HostBrowse, ServerSilentAtFirstIsAskedOnceMoreHalfwayThroughItsWait) {
    BrowsePlugin b;
    host::UdpSocket server;
    ASSERT_TRUE(server.open("127.0.0.1", 0));
    sim::GameServer game;
    game.name = "Second Time Lucky";
    game.fields = sim::default_fields();
    int queries = 0;
    std::thread answering([&] {
        while (auto got = server.receive(3000)) {
            if (++queries == 2) server.send_to(got->host, got->port, sim::encode(sim::server_reply(game)));
        }
    });
    std::vector<host::BrowsedServer> servers(1);
    servers[0].server = b.launcher->add_server("127.0.0.1", std::to_string(server.local_port()));
    host::BrowseOptions options;
    options.server_wait_ms = 1000;
    host::BrowseFailure failure;
    ASSERT_TRUE(host::query_servers(*b.launcher, options, &servers, &failure)) << failure.message;
    answering.join();
    EXPECT_EQ(queries, 2);
    EXPECT_EQ(servers[0].status, host::ReplyStatus::answered);
    EXPECT_EQ(b.launcher->server_info(*servers[0].server, ""), "Second Time Lucky");
}

TEST(HostBrowse, JoinByAddressFindsThePwadsAndRefusesABrokenServer) {
    Served served(R"({"servers": [
        {"name": "Good", "map": "map01", "iwad": "doom2.wad", "pwads": ["dwango5.wad", "absent.wad"]},
        {"name": "Half", "fault": "truncate", "truncate_at": 30}]})");
    BrowsePlugin b;
    b.engines.release_all();
    const std::string wads = b.scratch + "wads" + b.scratch.back();
    fs::create_directories(wads);
    test_support::write_file(wads + "Dwango5.wad", "x");
    b.launcher->run_wad_dirs = {wads};

    b.launcher->run_wad_dirs.push_back(b.scratch + "no-such-folder");
    host::BrowserCommand join;
    join.kind = host::BrowserCommand::join;
    join.wait.at_once_s = 0;   // the engine ends as soon as it has started
    join.address = "127.0.0.1:" + std::to_string(served.simulator.server_port(1));
    std::ostringstream out, err;
    EXPECT_EQ(host::run_browser_command(*b.launcher, join, out, err), 1);
    EXPECT_NE(err.str().find("cut short"), std::string::npos) << err.str();
    EXPECT_EQ(b.running_engines(), 0u);

    join.address = "127.0.0.1:" + std::to_string(served.simulator.server_port(0));
    EXPECT_EQ(host::run_browser_command(*b.launcher, join, out, err), 0) << err.str();
    EXPECT_NE(err.str().find("warning: absent.wad is in none of the WAD folders"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("no-such-folder does not exist"), std::string::npos) << err.str();
    const auto start = b.engines.start_beginning("@doomargs.tmp");
    const std::string response = start["response_file"].value("bytes", "");
    EXPECT_NE(response.find("-iwad doom2.wad"), std::string::npos) << response;
    // The plug-in may shorten the folders of the path (Windows short names); the file is ours.
    const size_t file_line = response.find("-file ");
    ASSERT_NE(file_line, std::string::npos) << response;
    EXPECT_NE(response.find(std::string("wads") + b.scratch.back() + "Dwango5.wad", file_line), std::string::npos)
        << response;
    EXPECT_EQ(response.find("absent.wad"), std::string::npos) << response;
}

// `copy` replaces the files an earlier copy added, keeps the user's own, and the settings file
// tells the two apart across runs.
TEST(HostBrowse, CopyReplacesTheFilesAnEarlierCopyAddedAndKeepsTheUsersOwn) {
    Served served(R"({"servers": [{"name": "A", "map": "map01", "pwads": ["dwango5.wad", "skins.pk3"]},
                                  {"name": "B", "map": "map02", "pwads": ["ctfmaps.wad"]}]})");
    BrowsePlugin b;
    const std::string settings = b.scratch + "copy.settings";
    const std::string own = b.scratch + "own.wad";
    b.launcher->files = {own};
    host::BrowserCommand copy;
    copy.kind = host::BrowserCommand::copy;
    copy.settings_file = settings;
    std::ostringstream out, err;
    for (const int server : {0, 1}) {
        copy.address = "127.0.0.1:" + std::to_string(served.simulator.server_port(server));
        ASSERT_EQ(host::run_browser_command(*b.launcher, copy, out, err), 0) << err.str();
    }
    EXPECT_EQ(b.launcher->files, (std::vector<std::string>{own, "ctfmaps.wad"}));
    b.launcher->files.clear();
    b.launcher->copied_files.clear();
    std::string error;
    ASSERT_TRUE(b.launcher->load_settings(settings, &error)) << error;
    EXPECT_EQ(b.launcher->files, (std::vector<std::string>{own, "ctfmaps.wad"}));
    EXPECT_EQ(b.launcher->copied_files, std::vector<std::string>{"ctfmaps.wad"});
}

}  // namespace
