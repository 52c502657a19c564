// host_slips_test.cpp: the slips a person makes with sdll-host, brannock-sim and the fake engine,
// each answered with what is wrong and what to do, and a nonzero exit where nothing useful
// happened; the settings file a person edits by hand; a master's list told whole, cut or junk.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "host/subcommands.h"
#include "host/master_list.h"
#include "platform/platform.h"
#include "tests/plugin/plugin_fixture.h"
#include "tests/support/engine_log.h"
#include "tools/brannock-sim/options.h"
#include "tools/brannock-sim/replies.h"
#include "tools/brannock-sim/scenario.h"
#include "tools/brannock-sim/simulator.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace sim {
extern const char kDemoScenario[];   // scenarios/demo.json, built in
}

namespace {

namespace fs = std::filesystem;
using test_support::read_file;
using test_support::write_file;

// ---- sdll-host ----------------------------------------------------------------------------------

// A module of the other system's kind, and what the stand-in says of it.
#ifdef _WIN32
constexpr const char kForeignModule[] = "\x7f" "ELF";
constexpr const char* kForeignHint = "it is a Linux module";
// The system's words for a module that is not there and for a file that is no module.
constexpr const char* kNoModuleWords = "not found. (error 126)";
constexpr const char* kNoProgramWords = "(error 193)";
#define SDLL_MODULE(name) name ".dll"
#define SDLL_SEPARATOR "\\"
#else
constexpr const char kForeignModule[] = "MZ";
constexpr const char* kForeignHint = "it is a Windows DLL";
constexpr const char* kNoModuleWords = "No such file or directory";
constexpr const char* kNoProgramWords = "too short";
#define SDLL_MODULE(name) name ".so"
#define SDLL_SEPARATOR "/"
#endif

// Each row runs in its scratch folder, which also holds another plug-in under Brannock's module
// name and wads/dwango5.wad; {engine} is a Brannock engine folder whose fake engine plays 1.5 s.
struct HostSlip {
    const char* settings;                // the settings file before the command; {dir} is the scratch folder
    std::vector<std::string> args;      // after --settings FILE and (unless they name one) --plugin brannock;
                                         // {master} is a simulator's master, the demo scenario
    int exit_code;
    const char* says;                    // in what it printed; {dir} as above
};

const HostSlip kHostSlips[] = {
    {"", {"brwse"}, 2, "'brwse' is no subcommand (did you mean 'browse'?)"},
    {"", {"launch", "--timeout", "0"}, 2, "--timeout: wants a number of seconds above 0 and at most 86400, not '0'"},
    {"", {"launch", "--timeout", "nan"}, 2, "not 'nan'"},
    {"", {"join", "1", "--timeout", "1e999"}, 2, "not '1e999'"},
    {"", {"--plugin", "", "check"}, 2, "--plugin: wants the path of a plug-in module"},
    {"", {"--plugin", "{dir}foreign.module", "check"}, 2, kForeignHint},
    {"", {"check"}, 1, "no engine folder is set"},
    {"", {"set", "engine/servers/masteraddress", "127.0.0.1:99999"}, 0,
     "warning: the browse cannot ask the master at '127.0.0.1:99999': its port '99999' is outside 1..65535"},
    {"", {"set", "engine/servers/masteraddress", ":15300"}, 0, "':15300': it names no host"},
    {"", {"files", "add", "{dir}nonexistent.wad"}, 0, "nonexistent.wad does not exist (yet)"},
    {"", {"files", "wad-dir", "{dir}no-folder"}, 0, "no-folder does not exist (yet)"},
    {"engine/general/enginepath = {dir}\n", {"launch"}, 1,
     "refused the multiplayer settings (SDLL_MultiConfig answered 1; it said \"Please specify an existing map name!\")"},
    {"engine/general/enginepath = {dir}\nmultiplayer/general/map = MAP01\n", {"launch"}, 1,
     "Brannock.pk3; the launcher starts no game without it"},
    {"engine/servers/masteraddress = 127.0.0.1:1\n", {"browse", "--json", "--master-wait", "50"}, 1,
     "\"error\": \"the master 127.0.0.1:1 did not answer within 50 ms"},
    {"\xEF\xBB\xBFmultiplayer/general/map = MAP03\n", {"get", "multiplayer/general/map"}, 0, "MAP03"},
    {"multiplayer/general/map = MAP03\n\nmultiplayer/general/map = MAP04\n", {"get", "multiplayer/general/map"}, 2,
     "line 3: multiplayer/general/map is set a second time (first on line 1); keep one of the two lines"},
    // Every value is a value, on every system; the plug-in named is the one loaded; a copied name
    // is looked up in the WAD folders, and a file found nowhere is left out.
    {"", {"set", "engine/general/parameters", "-nomusic"}, 0, ""},
    {"", {"set", "engine/general/parameters", "/nomusic", "--quiet"}, 0, ""},
    {"", {"files", "add", "-x.wad"}, 0, "-x.wad does not exist (yet)"},
    {"", {"files", "wad-dir", "/no-such-folder/wads"}, 0, "wads does not exist (yet)"},
    {"", {"--plugin", SDLL_MODULE("brannock"), "describe"}, 0, "Orvento (capabilities 29)"},
    {"", {"--plugin", "." SDLL_SEPARATOR SDLL_MODULE("brannock"), "describe"}, 0, "Orvento (capabilities 29)"},
    {"engine/general/enginepath = {engine}\nmultiplayer/general/map = MAP01\ncopied-file = dwango5.wad\n"
     "wad-dir = {dir}wads\n",
     {"launch", "--iwad", "4"}, 0, "wads" SDLL_SEPARATOR "dwango5.wad"},
    {"engine/general/enginepath = {engine}\nmultiplayer/general/map = MAP01\ncopied-file = absent.wad\n"
     "file = {dir}gone.wad\n",
     {"launch", "--iwad", "4"}, 0, "absent.wad is in none of the WAD folders, so the engine starts without it"},
    {"engine/general/enginepath = {engine}\nmultiplayer/general/map = MAP01\nfile = {dir}gone.wad\n",
     {"launch", "--iwad", "4"}, 0, "gone.wad does not exist, so the engine starts without it"},
    // Options and subcommands mistyped or mistaken, a server number outside the table.
    {"", {"launch", "--iwd", "4"}, 2, "launch has no option --iwd (did you mean '--iwad'?)"},
    {"", {"--plugn", "x", "describe"}, 2, "there is no option --plugn (did you mean '--plugin'?)"},
    {"", {"browse", "--timeout", "0"}, 2, "browse has no option --timeout: its waits are --master-wait and --server-wait"},
    {"", {"files", "remvoe", "x"}, 2, "'remvoe' is no subcommand of files (did you mean 'remove'?)"},
    {"", {"join", "99", "--master", "{master}", "--server-wait", "100"}, 2, "no server number 99 in the list of 6"},
    // Engine folders that are not there; a value starting with '/' is a value on Windows too.
    {"", {"set", "engine/general/enginepath", "/nosuch/"}, 0, "the engine folder /nosuch/ does not exist (yet)"},
    {"engine/general/enginepath = {dir}nosuch/\n", {"check"}, 1, "hint: the engine folder {dir}nosuch/ does not exist"},
    // Modules that cannot be loaded, in the system's words.
    {"", {"--plugin", "{dir}none.module", "check"}, 2, kNoModuleWords},
    {"", {"--plugin", "{dir}text.module", "check"}, 2, kNoProgramWords},
    // What a person looks for in the help and the lists.
    {"", {"launch", "--help"}, 0, "4 doom2.wad*"},
    {"", {"join", "--help"}, 0, "--wad-dir"},
    {"engine/general/enginepath = {dir}engine/\n", {"check"}, 0, "IWAD 9: heretic.wad"},
    {"file = /a.wad\nwad-dir = /w/\n", {"files", "list"}, 0, "file = /a.wad\nwad-dir = /w/\n"},
    {"file = /a.wad\n", {"files", "remove", "/b.wad"}, 2, "/b.wad is neither an extra game file nor a WAD folder"},
};

std::string with(std::string text, const std::string& name, const std::string& value) {
    for (std::size_t at; (at = text.find(name)) != std::string::npos;) text.replace(at, name.size(), value);
    return text;
}

std::string with_dir(const std::string& text, const std::string& dir, const std::string& engine = "") {
    return with(with(text, "{dir}", dir), "{engine}", engine);
}

// A Brannock engine folder whose fake engine records its start in `log` and plays a short game
// (long enough not to count as ended at once, however slowly it starts).
std::string short_game_engine(test_support::EngineLog* log) {
    const std::string dir = test_support::scratch_dir("slip-engine");
    fs::copy_file(test_support::fake_engine_path(), dir + "Brannock.exe");
    write_file(dir + "Brannock.pk3", "");
    log->open(dir);
    test_support::set_env("FAKE_ENGINE_TIMEOUT", "1.5");
    return dir;
}

TEST(HostSlips, EachSlipSaysWhatIsWrongAndWhatToDo) {
    test_support::EngineLog log;
    const std::string engine = short_game_engine(&log);
    const fs::path started_in = fs::current_path();
    sim::Scenario demo;
    ASSERT_TRUE(sim::parse_scenario(sim::kDemoScenario, &demo, nullptr));
    demo.master.port = 0;
    sim::Simulator simulator;
    ASSERT_TRUE(simulator.open(demo, nullptr));
    std::atomic<bool> stop{false};
    std::thread serving([&] { simulator.run(stop); });
    const std::string master = std::string(sim::kLoopback) + ":" + std::to_string(simulator.master_port());
    int number = 0;
    for (const HostSlip& slip : kHostSlips) {
        const std::string dir = test_support::scratch_dir("slip" + std::to_string(++number));
        write_file(dir + "foreign.module", std::string(kForeignModule) + std::string(60, '\0'));
        fs::copy_file(test_support::plugin_path("orvento"), dir + SDLL_MODULE("brannock"));
        fs::create_directories(dir + "wads");
        write_file(dir + "wads" + dir.back() + "dwango5.wad", "");
        write_file(dir + "text.module", "not a module");
        fs::create_directories(dir + "engine");
        for (const char* name : {"Brannock.exe", "Brannock.pk3"}) write_file(dir + "engine/" + name, "");
        fs::current_path(dir);
        const std::string settings = dir + "slip.settings";
        if (*slip.settings) write_file(settings, with_dir(slip.settings, dir, engine));
        std::vector<std::string> args = {"--quiet", "--settings", settings};
        if (slip.args.front() != "--plugin") args.insert(args.end(), {"--plugin", test_support::plugin_path("brannock")});
        for (const std::string& arg : slip.args) args.push_back(with(with_dir(arg, dir), "{master}", master));
        std::ostringstream out, err;
        EXPECT_EQ(host::run_sdll_host(args, out, err), slip.exit_code) << slip.says << "\n" << out.str() << err.str();
        EXPECT_NE((out.str() + err.str()).find(with_dir(slip.says, dir)), std::string::npos) << out.str() << err.str();
    }
    fs::current_path(started_in);
    stop = true;
    serving.join();
}

TEST(HostSlips, CommentsOfTheSettingsFileSurviveASet) {
    const std::string dir = test_support::scratch_dir("comments");
    const std::string file = dir + "my.settings";
    write_file(file, "# my server nights\nmultiplayer/general/map = MAP05\n\n# the rest\n");
    const std::vector<std::string> args = {"--quiet", "--plugin", test_support::plugin_path("brannock"),
                                           "--settings", file};
    std::ostringstream out, err;
    for (int twice = 0; twice < 2; ++twice) {   // a second save must not repeat anything
        std::vector<std::string> set = args;
        set.insert(set.end(), {"set", "multiplayer/general/fraglimit", "20"});
        ASSERT_EQ(host::run_sdll_host(set, out, err), 0) << err.str();
    }
    const std::string saved = read_file(file);
    EXPECT_NE(saved.find("# my server nights\nmultiplayer/general/map = MAP05\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("multiplayer/general/fraglimit = 20\n"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("# my server nights"), saved.rfind("# my server nights")) << saved;
    EXPECT_EQ(saved.substr(saved.size() - 12), "\n# the rest\n") << saved;
}

// ---- brannock-sim -------------------------------------------------------------------------------

struct SimSlip {
    std::vector<std::string> args;
    int exit_code;
    const char* says;
};

const SimSlip kSimSlips[] = {
    {{"--version"}, 0, "brannock-sim 1."},
    {{"--bogus"}, 2, "unknown option --bogus"},
    {{"--scenaro", "x"}, 2, "unknown option --scenaro (did you mean '--scenario'?)"},
    {{"--master-port", "abc"}, 2, "--master-port wants a port number 0..65535 (0: any free port), not 'abc'"},
    {{"--master-port", "70000"}, 2, "not '70000'"},
    {{"--seconds", "-1"}, 2, "--seconds wants a number of seconds above 0 and at most 86400, not '-1'"},
    {{"--seconds", "abc"}, 2, "not 'abc'"},
    {{"--seconds"}, 2, "missing value after --seconds"},
    {{"stray"}, 2, "unexpected argument 'stray'"},
    {{"--scenario", "{dir}none.json"}, 1, "cannot read"},
    {{"--servers", "0"}, 2, "--servers wants a number of servers 1..1000, not '0'"},
    {{"--servers", "5", "--silent", "3", "--broken", "3"}, 2, "--silent 3 and --broken 3 are more than the 5 servers"},
    {{"--silent", "3"}, 2, "--silent and --broken count among --servers N"},
#ifdef _WIN32
    {{"--background", "--master-port", "0"}, 2, "--background is for posix systems"},
#endif
};

// A scenario text and the start of what the simulator says of it.
struct BadScenario {
    const char* json;
    const char* says;
};

const BadScenario kBadScenarios[] = {
    {R"({"servers": [{"nmae": "x"}]})", "unknown key \"nmae\" in server 1 (did you mean 'name'?)"},
    {R"({"servers": [{"flags": {"dmflags1": "0xZZ"}}]})", "\"dmflags1\": \"0xZZ\" is no 32-bit number"},
    {R"({"servers": [{"flags": {"dmflags1": "-1"}}]})", "\"-1\" is no 32-bit number"},
    {R"({"servers": [{"flags": {"dmflags4": 1}}]})", "unknown key \"dmflags4\""},
    {R"({"servers": [{"players": 5}]})", "server 1 \"players\" must be a list of names or objects, not 5"},
    {R"({"servers": [{"players": [{"name": "A", "scroe": 3}]}]})", "unknown key \"scroe\""},
    {R"({"servers": [{}, {"skill": 300}]})", "server 2 \"skill\" must be a whole number from 0 to 255, not 300"},
    {R"({"servers": [{"name": 7}]})", "server 1 \"name\" must be a text, not 7"},
    {R"({"servers": [{"pwads": "a.wad"}]})", "\"pwads\" must be a list of texts"},
    {R"({"servers": [{"fault": "slient"}]})", "\"fault\" must be one of none, wrong_magic"},
    {R"({"servers": {}})", "\"servers\" must be a list"},
    {R"({"master": {"datagrams": 0}})", "the master \"datagrams\" must be a whole number from 1"},
    {R"({"master": {"extra_entries": ["10.0.0.300:5"]}})", "is not a.b.c.d:port"},
    {R"({"mastre": {}})", "unknown key \"mastre\" in the scenario (did you mean 'master'?)"},
    {R"({"servers": [)", "not JSON: "},
};

TEST(SimSlips, BadOptionsAndScenariosAreRefusedWithWhatWouldDo) {
    const std::string dir = test_support::scratch_dir("simslip");
    for (const SimSlip& slip : kSimSlips) {
        std::vector<std::string> args;
        for (const std::string& arg : slip.args) args.push_back(with_dir(arg, dir));
        std::ostringstream out, err;
        EXPECT_EQ(sim::run_brannock_sim(args, out, err), slip.exit_code) << slip.says << "\n" << err.str();
        EXPECT_NE((out.str() + err.str()).find(slip.says), std::string::npos) << out.str() << err.str();
    }
    for (const BadScenario& bad : kBadScenarios) {
        sim::Scenario scenario;
        std::string error;
        EXPECT_FALSE(sim::parse_scenario(bad.json, &scenario, &error)) << bad.json;
        EXPECT_NE(error.find(bad.says), std::string::npos) << bad.json << "\n" << error;
    }
}

// ---- a master's list ----------------------------------------------------------------------------

TEST(HostMasterList, WholeCutShortAndJunkAreToldApart) {
    using sim::Bytes;
    const std::vector<sim::ListEntry> two = {{"10.0.0.1", 10666}, {"10.0.0.2", 10667}};
    const Bytes whole = sim::master_replies(sim::Master{}, two).front();
    EXPECT_EQ(host::read_master_list(sim::encode(whole)), host::MasterList::whole);
    EXPECT_EQ(host::read_master_list(sim::encode({0, 0, 0, 0, 2})), host::MasterList::whole) << "an empty list";
    for (std::size_t cut : {std::size_t{2}, std::size_t{4}, std::size_t{9}, whole.size() - 1})
        EXPECT_EQ(host::read_master_list(sim::encode(Bytes(whole.begin(), whole.begin() + cut))),
                  host::MasterList::cut_short)
            << cut;
    EXPECT_EQ(host::read_master_list(sim::encode({1, 0, 0, 0, 2})), host::MasterList::not_a_list) << "another status";
    sim::Master junk;
    junk.fault = sim::Fault::garbage;
    EXPECT_EQ(host::read_master_list(sim::master_datagrams(junk, two).front()), host::MasterList::not_a_list);
    EXPECT_EQ(host::read_master_list(Bytes{}), host::MasterList::not_a_list);
}

// ---- fake-engine --------------------------------------------------------------------------------

struct EngineSlip {
    const char* args;   // after the fake engine, run under its own name; {dir} is the scratch folder
    int exit_code;
    const char* says;
};

const EngineSlip kEngineSlips[] = {
    {"--instal inst3 brannock", 2, "unknown option '--instal' (did you mean '--install'?)"},
    {"-host -iwad doom2.wad", 2, "copy it in under an engine's name"},
    {"--install {dir}x", 2, "--install wants FOLDER brannock|orvento after it"},
    {"--version", 0, "fake-engine 1."},
    {"--show {dir}nosuch.jsonl", 1, "cannot read the log"},
};

// Runs the fake engine with `args` through the system's shell; its exit code.
int run_fake_engine(const std::string& args, const std::string& output) {
    const std::string command = "\"" + test_support::fake_engine_path() + "\" " + args + " > \"" + output + "\" 2>&1";
#ifdef _WIN32
    return std::system(("\"" + command + "\"").c_str());   // cmd /c takes the outer quotes off
#else
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
}

TEST(FakeEngine, UnderItsOwnNameASlipIsRefusedNeverPlayed) {
    const std::string dir = test_support::scratch_dir("engineslip");
    for (const EngineSlip& slip : kEngineSlips) {
        const std::string output = dir + "output.txt";
        EXPECT_EQ(run_fake_engine(with_dir(slip.args, dir), output), slip.exit_code) << slip.args;
        EXPECT_NE(read_file(output).find(slip.says), std::string::npos) << slip.args << "\n" << read_file(output);
    }
}

TEST(FakeEngine, InstallMakesATryOutFolderAndKeepsWhatIsThere) {
    const std::string dir = test_support::scratch_dir("install");
    const std::string folder = dir + "engine";
    write_file(dir + "keep", "");
    fs::create_directories(folder);
    write_file(folder + dir.back() + "doom2.wad", "a real IWAD");
    auto install = [&](const std::string& kind) {
        platform::ProcessHandle process =
            platform::start_process(test_support::fake_engine_path(), "--install engine " + kind, dir,
                                    platform::ShowMode::minimized);
        EXPECT_NE(process, nullptr);
        EXPECT_EQ(platform::wait_process(process, test_support::kDeadlineMs), platform::WaitResult::ended);
        platform::close_process(process);
    };
    install("orvento");
    install("doom");   // no such kind: nothing is made
    const std::string engine = folder + dir.back();
    EXPECT_EQ(fs::file_size(engine + "doom32.exe"), fs::file_size(test_support::fake_engine_path()));
    for (const char* iwad : {"doom.wad", "doom1.wad", "tnt.wad", "plutonia.wad", "freedm.wad"})
        EXPECT_TRUE(test_support::file_exists(engine + iwad)) << iwad;
    EXPECT_EQ(read_file(engine + "doom2.wad"), "a real IWAD");
    EXPECT_FALSE(test_support::file_exists(engine + "Brannock.exe"));
}

}  // namespace
