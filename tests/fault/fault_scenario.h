// fault_scenario.h: what every single-fault run of a launch and its finish must leave behind.
//
// A scenario runs once with every OS call real to learn its calls and the response file it
// writes, then once per call with that call failing. The engine folder holds the user's
// doomargs.tmp beside a doomargs.tmp.bak left by a game that never finished, which may hold the
// user's earlier file too. After each run both files must still be there (in place, as the
// backup, or the newer one as doomargs.tmp.1), no engine may have started on another response
// file than the full one, the finish must answer 1, the colour it saved must be back, an engine
// the finish must stop (a hosting machine's server) must have been stopped by it, and the user
// must have been told exactly what the failing call's table row says, or what the clean run says.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/fault/fault_calls.h"
#include "tests/plugin/plugin_fixture.h"
#include "tests/support/system_color.h"

namespace test_support {

constexpr const char* kUserResponse = "-user's own options\r\n";
constexpr const char* kOlderBackup = "-options of an earlier game that never finished\r\n";
constexpr std::uint32_t kColourBefore = 333;
constexpr std::uint32_t kColourDuringGame = 444;

// What the user is told, word for word; {plugin} stands for the plug-in's name and {dir} for the
// engine folder.
constexpr const char* kNotMovedAside =
    "{plugin} could not move your {dir}doomargs.tmp aside to {dir}doomargs.tmp.bak, so the game was not "
    "started. Your file is unchanged.";
constexpr const char* kNotMovedToNumbered =
    "{plugin} could not move your {dir}doomargs.tmp aside to {dir}doomargs.tmp.1, so the game was not "
    "started. Your file is unchanged.";
constexpr const char* kKeptBesideBackup =
    "{plugin} found {dir}doomargs.tmp.bak, left by a game that has not finished: it holds your earlier file and "
    "goes back in place when the game is over. The {dir}doomargs.tmp that lay beside it is kept as "
    "{dir}doomargs.tmp.1.";
constexpr const char* kNotWritten =
    "{plugin} could not write its response file {dir}doomargs.tmp, so the game was not started.";
constexpr const char* kNotPutBack =
    "{plugin} could not put your earlier {dir}doomargs.tmp back; it is kept as {dir}doomargs.tmp.bak.";

// The failing call whose run shows `messages`; a failing call without a row shows what the clean
// run shows.
struct FaultMessage {
    CallStep step;
    std::vector<const char*> messages;
};

// A game through the response file, whose calls come in this order: find-first of doomargs.tmp,
// of its backup (there: it is kept) and of doomargs.tmp.1, the rename of the user's file to that
// free name, the write of the new file, the engine's start, waits, and the finish's move of the
// backup back over the plug-in's file. A failed start or wait is told to nobody. `find_firsts`
// and `renames` are the calls of those kinds the launch makes before, and `before` what it says
// before.
inline std::vector<FaultMessage> response_file_messages(int find_firsts, int renames,
                                                        const std::vector<const char*>& before) {
    auto after_before = [&](std::vector<const char*> texts) {
        texts.insert(texts.begin(), before.begin(), before.end());
        return texts;
    };
    return {
        // The user's file unseen: the new one is created only where no file is, so it is not written.
        {{Call::file_exists, find_firsts + 1}, after_before({kNotWritten})},
        // The backup unseen: the rename never replaces it.
        {{Call::file_exists, find_firsts + 2}, after_before({kNotMovedAside})},
        {{Call::rename_file, renames + 1}, after_before({kNotMovedToNumbered})},
        {{Call::create_text_file, 1}, after_before({kKeptBesideBackup, kNotWritten})},
        {{Call::move_file_replace, 1}, after_before({kKeptBesideBackup, kNotPutBack})},
    };
}
inline const std::vector<const char*> kResponseFileTold = {kKeptBesideBackup};

// One export of the plug-in code linked into the test program, found by its name.
struct LinkedExport {
    const char* name;
    void* address;
};
#define SDLL_LINKED_EXPORT(name) test_support::LinkedExport{#name, reinterpret_cast<void*>(&name)}

// The lookup over a table of linked exports: the address of `name`, null for any other.
template <const auto& kExports>
void* linked_export(const char* name) {
    for (const LinkedExport& linked : kExports)
        if (std::string_view(linked.name) == name) return linked.address;
    return nullptr;
}

struct Scenario {
    const char* plugin;   // "brannock" / "orvento"
    const char* exe;      // the engine's file name
    host::ExportLookup exports;
    std::function<void(PluginFixture&)> play;     // the launch
    std::function<int()> finish;                  // polled until it answers 1
    std::vector<FaultMessage> messages;
    std::vector<const char*> told;   // what the clean run shows
    int engine_start = 1;   // which start is the engine the player plays in
    bool response_file = true;   // the engine reads its options from doomargs.tmp
    // The parameter text that begins an engine the finish must stop; null when there is none.
    // Such an engine is never released, so only the finish can end it; every other engine is
    // released once the launch has returned.
    const char* stopped_by_finish = nullptr;
};

struct ScenarioRun {
    std::vector<CallStep> calls;
    bool failed = false;
    int polls = 0;          // finish calls up to the one that answered 1
    std::string response;   // the bytes the first engine start read through '@', if any
};

inline std::string with_names(std::string text, const std::string& plugin, const std::string& dir) {
    for (const auto& [name, value] : {std::pair<std::string, std::string>{"{plugin}", plugin}, {"{dir}", dir}}) {
        for (std::size_t at = 0; (at = text.find(name, at)) != std::string::npos; at += value.size())
            text.replace(at, name.size(), value);
    }
    return text;
}

inline bool begins_with(const Record& start, const char* prefix) {
    return start.value("parameters", "").rfind(prefix, 0) == 0;
}

// Waits until every engine the launch started has recorded its start, which it writes once it has
// read its response file. Only then may the finish be polled: after a failing wait the finish
// counts the engine as ended and puts the user's file back at once, and an engine still starting
// would read that file instead of its own.
inline void wait_for_played_starts(const PluginFixture& f, const FaultRun& run, std::optional<CallStep> failing) {
    std::size_t started = 0;
    for (const CallStep& call : run.calls()) started += call.kind == Call::start_process && call != failing ? 1 : 0;
    EXPECT_TRUE(f.engines.wait_for_starts(started));
}

// Releases every engine the launch started but the ones the finish must stop.
inline void release_played_engines(const PluginFixture& f, const Scenario& s) {
    for (const Record& start : f.engines.starts()) {
        if (!begins_with(start, s.stopped_by_finish)) f.engines.release(start);
    }
}

// Waits until every engine that ends by itself has ended, leaving what it writes at its end (a
// recording): after a failing wait the finish has answered while the engine still played.
inline void wait_for_played_ends(const PluginFixture& f, const Scenario& s) {
    for (const Record& start : f.engines.starts()) {
        if (s.stopped_by_finish && begins_with(start, s.stopped_by_finish)) continue;
        EXPECT_TRUE(f.engines.wait_for_end(start)) << "this engine never ended: " << start.dump();
    }
}

// Every engine the finish must stop has ended without ending by itself (a killed engine writes
// no end record).
inline void expect_stopped_by_finish(const PluginFixture& f, const Scenario& s) {
    for (const Record& start : f.engines.starts()) {
        if (!begins_with(start, s.stopped_by_finish)) continue;
        EXPECT_TRUE(wait_until([&] { return !is_running_child(pid_of(start)); }))
            << "the finish left this engine running: " << start.dump();
        EXPECT_TRUE(f.engines.end_of(start).is_null()) << "the engine ended by itself, not by the finish";
    }
}

// One launch and finish in a fresh engine folder holding the user's response file and a backup
// left by a game that never finished; `check` adds what only its plug-in leaves behind.
inline ScenarioRun run_scenario(const Scenario& s, std::optional<CallStep> failing,
                                const std::function<void(PluginFixture&, const ScenarioRun&)>& check) {
    ScenarioRun result;
    PluginFixture f;
    if (!f.open(s.plugin, s.exe, s.exports)) return result;
    set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    const std::string response = f.engine_dir + "doomargs.tmp";
    write_file(response, kUserResponse);
    write_file(response + ".bak", kOlderBackup);
    set_highlight_color(kColourBefore);
    if (!s.stopped_by_finish) f.engines.release_all();   // each engine ends as soon as it has started
    {
        FaultRun run(failing);
        s.play(f);
        wait_for_played_starts(f, run, failing);
        if (s.stopped_by_finish) release_played_engines(f, s);
        set_highlight_color(kColourDuringGame);
        EXPECT_TRUE(wait_until([&] { return ++result.polls, s.finish() == 1; })) << "the finish never answered 1";
        result.calls = run.calls();
        result.failed = run.failed();
    }
    if (s.stopped_by_finish) expect_stopped_by_finish(f, s);
    wait_for_played_ends(f, s);
    for (const Record& start : f.engines.starts()) {
        if (start.contains("response_file")) result.response = start["response_file"].value("bytes", "");
    }

    const bool started = std::find(result.calls.begin(), result.calls.end(), CallStep{Call::start_process, 1}) !=
                         result.calls.end();
    auto holds = [](const std::string& path, const char* bytes) { return file_exists(path) && read_file(path) == bytes; };
    const bool in_place = holds(response, kUserResponse);
    EXPECT_TRUE(in_place || holds(response + ".bak", kUserResponse) || holds(response + ".1", kUserResponse))
        << "the user's doomargs.tmp is gone";
    EXPECT_TRUE(holds(response, kOlderBackup) || holds(response + ".bak", kOlderBackup))
        << "the backup of the game that never finished is gone";
    // The colour is saved just before the first start; a launch that stops earlier saves none.
    EXPECT_EQ(highlight_color(), started ? kColourBefore : kColourDuringGame);

    // An engine that cannot start is no message of the plug-in's (Windows shows its own); the
    // game is over at the first finish call, which puts the backup back.
    if (failing == CallStep{Call::start_process, s.engine_start}) {
        EXPECT_EQ(result.polls, 1);
        EXPECT_TRUE(!s.response_file || !file_exists(response + ".bak"))
            << "the finish of a game that never started left the backup";
    }
    std::vector<const char*> told = s.told;
    for (const FaultMessage& row : s.messages) {
        if (failing == row.step) told = row.messages;
    }
    std::vector<std::string> shown;
    for (const auto& box : f.launcher->message_boxes) {
        shown.push_back(box.text);
        EXPECT_EQ(box.caption, f.launcher->name());
        EXPECT_EQ(box.style, 0x30u);
    }
    std::vector<std::string> expected;
    for (const char* text : told) expected.push_back(with_names(text, f.launcher->name(), f.engine_dir));
    EXPECT_EQ(shown, expected);
    check(f, result);
    set_env("SDLL_SYSCOLOR_FILE", "");
    return result;
}

// The clean run, then one run per call of it with that call failing; each failing call must have
// been reached (a wait only where the engine still ran), and no engine may start on a response
// file other than the clean run's. The first run that fails ends the test: a server left running
// costs each run the whole deadline.
inline void run_every_single_fault(const Scenario& s,
                                   const std::function<void(PluginFixture&, const ScenarioRun&)>& check) {
    const ScenarioRun clean = run_scenario(s, std::nullopt, check);
    ASSERT_EQ(std::count(clean.calls.begin(), clean.calls.end(), CallStep{Call::start_process, s.engine_start}), 1)
        << "the launch did not start the engine the player plays in";
    ASSERT_EQ(clean.response.empty(), !s.response_file) << "the engine was not started on its response file";
    for (const CallStep& step : single_fault_schedules(clean.calls)) {
        if (::testing::Test::HasFailure()) return;
        SCOPED_TRACE("failing " + describe(step));
        const ScenarioRun faulty = run_scenario(s, step, check);
        EXPECT_TRUE(faulty.failed || step.kind == Call::wait_process);
        if (!faulty.response.empty()) {
            EXPECT_EQ(faulty.response, clean.response) << "an engine started on a response file not fully written";
        }
    }
}

}  // namespace test_support
