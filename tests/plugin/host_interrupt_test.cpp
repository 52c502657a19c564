// host_interrupt_test.cpp: sdll-host stopped while it waits for a game, as a terminal's Ctrl-C
// or a kill stops it: the game goes on, the person is told what still runs and where their own
// doomargs.tmp is kept, and the exit code says what stopped it. Native only: the signal goes to
// the stand-in's whole process group, as a terminal sends it.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/deadline.h"
#include "tests/support/engine_log.h"
#include "tests/support/processes.h"
#include "tests/support/test_paths.h"

namespace {

namespace fs = std::filesystem;
using test_support::read_file;
using test_support::write_file;

constexpr const char* kUsersResponseFile = "-iwad mine.wad\n";

struct Interruption {
    const char* plugin;
    const char* engine;           // the fake engine's name in the engine folder
    const char* game_file;        // the other file the plug-in requires there
    const char* launch;           // the launch words
    std::size_t engines;          // engines the game starts
    int signal;                   // 0: none, the --timeout runs out
    int exit_code;
    const char* says;
};

const Interruption kInterruptions[] = {
    {"orvento", "doom32.exe", "doom2.wad", "launch --iwad 4", 1, SIGINT, 130,
     "doomargs.tmp is kept as {engine}doomargs.tmp.bak; the next game that finishes puts it back"},
    // SIGTERM to the group would end an engine left in the stand-in's group: the fake engine
    // ignores only SIGINT.
    {"brannock", "Brannock.exe", "Brannock.pk3", "launch --iwad 4", 2, SIGTERM, 143,
     "(the server this machine hosts: it runs until you end it)"},
    {"orvento", "doom32.exe", "doom2.wad", "launch --iwad 4 --timeout 1.5", 1, 0, 1,
     "did not finish within 1.5 seconds: stopped waiting\nsdll-host: the game goes on without the launcher"},
};

std::string with_engine(std::string text, const std::string& engine) {
    const std::string mark = "{engine}";
    for (std::size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), engine);
    return text;
}

TEST(HostInterrupted, TheGameGoesOnAndThePersonIsToldWhereTheirFilesAre) {
    int number = 0;
    for (const Interruption& row : kInterruptions) {
        const std::string dir = test_support::scratch_dir("interrupt" + std::to_string(++number));
        const std::string engine = dir + "engine/";
        fs::create_directories(engine);
        fs::copy_file(test_support::fake_engine_path(), engine + row.engine);
        write_file(engine + row.game_file, "");
        write_file(engine + "doomargs.tmp", kUsersResponseFile);
        write_file(dir + "s.settings", "engine/general/enginepath = " + engine + "\nmultiplayer/general/map = MAP01\n");
        test_support::EngineLog log;
        log.open(dir);
        // The stand-in in a process group of its own (a job of a shell with job control), signalled
        // as a whole once every engine runs.
        const std::string script =
            "set -m\ncd '" + dir + "' || exit 1\n'" + test_support::bin_dir() + "sdll-host' --quiet --plugin '" +
            test_support::plugin_path(row.plugin) + "' --settings s.settings " + row.launch + " > out 2> err & p=$!\n" +
            "for i in $(seq 300); do [ \"$(cat '" + log.path() + "' 2>/dev/null | grep -c '\"event\":\"start\"')\" -ge " +
            std::to_string(row.engines) + " ] && break; sleep 0.1; done\n" +
            (row.signal ? "sleep 0.3; kill -" + std::to_string(row.signal) + " -- -$p\n" : std::string()) +
            "wait $p; echo $? > '" + dir + "rc'\n";
        write_file(dir + "run.sh", script);
        ASSERT_EQ(std::system(("bash '" + dir + "run.sh'").c_str()), 0);

        const std::string said = read_file(dir + "err");
        EXPECT_EQ(read_file(dir + "rc"), std::to_string(row.exit_code) + "\n") << row.launch << "\n" << said;
        EXPECT_NE(said.find(with_engine(row.says, engine)), std::string::npos) << said;
        const auto starts = log.starts();
        EXPECT_EQ(starts.size(), row.engines) << said;
        for (const auto& start : starts) {
            EXPECT_TRUE(log.end_of(start).is_null()) << "an engine ended with the stand-in\n" << said;
            EXPECT_TRUE(test_support::process_exists(test_support::pid_of(start)));
            EXPECT_NE(said.find("still running: pid " + std::to_string(test_support::pid_of(start))), std::string::npos)
                << said;
        }
        EXPECT_EQ(read_file(engine + "doomargs.tmp.bak"), row.plugin == std::string("orvento") ? kUsersResponseFile : "");
        log.release_all();
        for (const auto& start : starts) EXPECT_TRUE(log.wait_for_end(start));
    }
}

}  // namespace
