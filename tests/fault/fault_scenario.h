// fault_scenario.h: what every single-fault run of a launch and its finish must leave behind.
//
// A scenario runs once with every OS call real to learn its calls and the response file it
// writes, then once per call with that call failing. After each run the user's earlier
// doomargs.tmp must be in place or in doomargs.tmp.bak, no engine may have started on another
// response file than the full one, the finish must answer 1 and the colour it saved must be back.
#pragma once

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/fault/fault_calls.h"
#include "tests/plugin/plugin_fixture.h"
#include "tests/support/system_color.h"

namespace test_support {

constexpr const char* kUserResponse = "-user's own options\r\n";
constexpr std::uint32_t kColourBefore = 333;
constexpr std::uint32_t kColourDuringGame = 444;

struct ScenarioRun {
    std::vector<CallStep> calls;
    bool failed = false;
    std::string response;   // the bytes the first engine start read through '@', if any
};

// One launch and finish in a fresh engine folder holding the user's response file and an older
// backup; `play` launches through `f`, `finish` is the export polled until it answers 1.
inline ScenarioRun run_scenario(const char* plugin, const char* exe, host::ExportLookup exports,
                                std::optional<CallStep> failing, const std::function<void(PluginFixture&)>& play,
                                const std::function<int()>& finish,
                                const std::function<void(PluginFixture&, const ScenarioRun&)>& check) {
    ScenarioRun result;
    PluginFixture f;
    if (!f.open(plugin, exe, exports)) return result;
    set_env("SDLL_SYSCOLOR_FILE", f.scratch + "highlight");
    const std::string response = f.engine_dir + "doomargs.tmp";
    write_file(response, kUserResponse);
    write_file(response + ".bak", "older backup\r\n");
    set_highlight_color(kColourBefore);
    f.engines.release_all();   // each engine ends as soon as it has started
    {
        FaultRun run(failing);
        play(f);
        set_highlight_color(kColourDuringGame);
        EXPECT_TRUE(wait_until([&] { return finish() == 1; })) << "the finish never answered 1";
        result.calls = run.calls();
        result.failed = run.failed();
    }
    for (const Record& start : f.engines.starts()) {
        if (start.contains("response_file")) result.response = start["response_file"].value("bytes", "");
    }

    const bool started = std::find(result.calls.begin(), result.calls.end(), CallStep{Call::start_process, 1}) !=
                         result.calls.end();
    const bool in_place = file_exists(response) && read_file(response) == kUserResponse;
    const bool in_backup = file_exists(response + ".bak") && read_file(response + ".bak") == kUserResponse;
    EXPECT_TRUE(in_place || in_backup) << "the user's doomargs.tmp is gone";
    // The colour is saved just before the first start; a launch that stops earlier saves none.
    EXPECT_EQ(highlight_color(), started ? kColourBefore : kColourDuringGame);
    EXPECT_LE(f.launcher->message_boxes.size(), 1u) << "one message at most for one fault";
    for (const auto& box : f.launcher->message_boxes) {
        EXPECT_EQ(box.caption, f.launcher->name());
        EXPECT_EQ(box.style, 0x30u);
    }
    check(f, result);
    set_env("SDLL_SYSCOLOR_FILE", "");
    return result;
}

}  // namespace test_support
