// plugin_fixture.h: a loaded plug-in with an engine folder holding the fake engine, for tests.
//
// Usage:
//     test_support::PluginFixture f;
//     ASSERT_TRUE(f.open("orvento", "doom32.exe"));   // enginepath already points at f.engine_dir
//     f.touch("doom2.wad");
//     ... call exports through f.launcher->get<...>("SDLL_...") ...
//     ASSERT_TRUE(f.engines.wait_for_starts(1));
//     const auto game = f.engines.start_beginning("@doomargs.tmp");   // parameters, show, ...
//     f.engines.release(game);
//     ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
//
// The fake engine waits for its release, so a test sees a running game; call
// f.engines.release_all() before a launch for engines that end at once. The destructor releases
// every engine and waits until none runs any more, so none outlives its test.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/host.h"
#include "tests/support/deadline.h"
#include "tests/support/engine_log.h"
#include "tests/support/environment.h"
#include "tests/support/processes.h"
#include "tests/support/test_paths.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace test_support {

// While one lives, what the plug-in allocates is not reported as leaked: a launcher that goes away
// mid-game never comes to the finish that closes its engine's handle.
struct LauncherGoesAway {
#if defined(__SANITIZE_ADDRESS__)
    LauncherGoesAway() { __lsan_disable(); }
    ~LauncherGoesAway() { __lsan_enable(); }
#else
    LauncherGoesAway() {}   // no leak checker to tell
#endif
};

inline bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// What a plug-in says, word for word, when it keeps the backup of `response` that a game which
// has not finished left, and the file beside it is now `kept_as`.
inline std::string kept_beside_backup_text(const std::string& plugin, const std::string& response,
                                           const std::string& kept_as) {
    return plugin + " found " + response + ".bak, left by a game that has not finished: it holds your earlier file " +
           "and goes back in place when the game is over. The " + response + " that lay beside it is kept as " +
           kept_as + ".";
}

struct PluginFixture {
    std::unique_ptr<host::Launcher> launcher;
    std::string scratch;        // the test's own folder, ends in a separator
    std::string engine_dir;     // scratch + "engine" + separator; the plug-in's enginepath
    std::string engine_name;    // "Brannock.exe" / "doom32.exe"
    std::string engine_exe;     // full path of the fake engine copy
    EngineLog engines;          // what every engine started recorded

    PluginFixture() = default;
    PluginFixture(const PluginFixture&) = delete;
    PluginFixture& operator=(const PluginFixture&) = delete;
    ~PluginFixture() {
        if (!engine_name.empty()) {
            engines.release_all();
            EXPECT_TRUE(wait_until([&] { return running_children_named(engine_name).empty(); }))
                << "an engine still runs after its release";
        }
        launcher.reset();
    }

    // Loads plug-in `plugin` ("brannock" / "orvento") quietly, makes the engine folder with the
    // fake engine copied in as `exe_name`, points engine/general/enginepath at it and sets the
    // fake engine's environment. Reports a test failure and returns false when anything fails.
    // With `linked`, the plug-in is the code linked into the test program, reached through it.
    bool open(const std::string& plugin, const std::string& exe_name, host::ExportLookup linked = nullptr) {
        scratch = scratch_dir(plugin);
        const char sep = scratch.back();
        engine_dir = scratch + "engine" + sep;
        engine_name = exe_name;
        std::error_code ec;
        std::filesystem::create_directories(engine_dir, ec);
        engine_exe = engine_dir + exe_name;
        std::filesystem::copy_file(fake_engine_path(), engine_exe,
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            ADD_FAILURE() << "cannot copy the fake engine to " << engine_exe << ": " << ec.message();
            return false;
        }
        engines.open(scratch);

        std::string error;
        return use(linked ? host::Launcher::open_linked(linked, plugin, &error)
                          : host::Launcher::open(plugin_path(plugin), &error),
                   "plug-in " + plugin, error);
    }

    // The launcher goes away and a new one starts: the plug-in is loaded again from a copy under
    // the file name `copy_name` (no extension), so it starts with none of the first one's state
    // even where the system keeps the first module loaded. Settings start anew but enginepath.
    bool reopen_as_copy(const std::string& plugin, const std::string& copy_name) {
        const std::string original = plugin_path(plugin);
        const std::string copy = scratch + copy_name + std::filesystem::path(original).extension().string();
        std::error_code ec;
        std::filesystem::copy_file(original, copy, std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            ADD_FAILURE() << "cannot copy the plug-in to " << copy << ": " << ec.message();
            return false;
        }
        launcher.reset();
        std::string error;
        return use(host::Launcher::open(copy, &error), "the plug-in's copy " + copy, error);
    }

    // Takes `opened` as the launcher, quiet, with enginepath at the engine folder; a test failure
    // and false when it did not open (`error` says why) or the setting is refused.
    bool use(std::unique_ptr<host::Launcher> opened, const std::string& what, const std::string& error) {
        launcher = std::move(opened);
        if (!launcher) {
            ADD_FAILURE() << "cannot open " << what << ": " << error;
            return false;
        }
        launcher->quiet = true;
        std::string set_error;
        if (!launcher->set("engine", "general", "enginepath", engine_dir, &set_error)) {
            ADD_FAILURE() << set_error;
            return false;
        }
        return true;
    }

    // Creates a file in the engine folder (or at a full path when `name` is absolute).
    void touch(const std::string& name, const std::string& bytes = "x") const {
        const std::string path = std::filesystem::path(name).is_absolute() ? name : engine_dir + name;
        write_file(path, bytes);
    }

    // The engines started from this plug-in's folder that are running now: the starts are
    // synchronous, so right after an export they show whether it started one.
    std::size_t running_engines() const { return running_children_named(engine_name).size(); }

    // Calls a finish export (SDLL_MultiplayerFinished / SDLL_ServerFinished) until it answers 1;
    // false when the deadline passes first.
    bool poll_until_done(const char* export_name) const {
        auto finished = launcher->get<SDLL_MultiplayerFinished_t>(export_name);
        if (!finished) {
            ADD_FAILURE() << "the plug-in lacks " << export_name;
            return false;
        }
        return wait_until([&] { return finished() == 1; });
    }
};

}  // namespace test_support
