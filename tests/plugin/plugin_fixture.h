// plugin_fixture.h: a loaded plug-in with an engine folder holding the fake engine, for tests.
//
// Usage:
//     test_support::PluginFixture f;
//     ASSERT_TRUE(f.open("orvento", "doom32.exe"));   // enginepath already points at f.engine_dir
//     f.touch("doom2.wad");
//     ... call exports through f.launcher->get<...>("SDLL_...") ...
//     ASSERT_TRUE(f.wait_for_engine_runs(1));
//     nlohmann::json run = f.engine_runs()[0];        // program, argv, command_line, cwd, ...
//     f.release_engine();
//     ASSERT_TRUE(f.poll_until_done("SDLL_MultiplayerFinished"));
//
// The fake engine waits for the release file by default, so a test sees a running game; call
// release_engine() before the launch for an engine that ends at once. The destructor releases
// every engine still waiting, so none outlives the test by more than a poll.
#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "host/host.h"
#include "tests/support/test_paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdlib>
#endif

namespace test_support {

// Sets an environment variable for this process and every process it starts.
inline void set_env(const std::string& name, const std::string& value) {
#ifdef _WIN32
    SetEnvironmentVariableA(name.c_str(), value.c_str());
    _putenv((name + "=" + value).c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline bool file_exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Polls every 10 ms until `path` exists or `timeout_ms` has passed.
inline bool wait_for_file(const std::string& path, int timeout_ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!file_exists(path)) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

struct PluginFixture {
    std::unique_ptr<host::Launcher> launcher;
    std::string scratch;        // the test's own folder, ends in a separator
    std::string engine_dir;     // scratch + "engine" + separator; the plug-in's enginepath
    std::string engine_exe;     // full path of the fake engine copy
    std::string engine_log;     // FAKE_ENGINE_LOG: one JSON line per engine start
    std::string release_file;   // FAKE_ENGINE_RELEASE: engines exit once it exists

    PluginFixture() = default;
    PluginFixture(const PluginFixture&) = delete;
    PluginFixture& operator=(const PluginFixture&) = delete;
    ~PluginFixture() {
        if (!release_file.empty()) release_engine();
        launcher.reset();
    }

    // Loads plug-in `plugin` ("brannock" / "orvento") quietly, makes the engine folder with the
    // fake engine copied in as `exe_name`, points engine/general/enginepath at it and sets the
    // fake engine's environment. Reports a test failure and returns false when anything fails.
    bool open(const std::string& plugin, const std::string& exe_name) {
        scratch = scratch_dir(plugin);
        const char sep = scratch.back();
        engine_dir = scratch + "engine" + sep;
        engine_log = scratch + "engine-log.jsonl";
        release_file = scratch + "release";
        std::error_code ec;
        std::filesystem::create_directories(engine_dir, ec);
        engine_exe = engine_dir + exe_name;
        std::filesystem::copy_file(fake_engine_path(), engine_exe,
                                   std::filesystem::copy_options::overwrite_existing, ec);
        if (ec) {
            ADD_FAILURE() << "cannot copy the fake engine to " << engine_exe << ": " << ec.message();
            return false;
        }
        set_env("FAKE_ENGINE_LOG", engine_log);
        set_env("FAKE_ENGINE_RELEASE", release_file);
        set_env("FAKE_ENGINE_TIMEOUT", "30");

        std::string error;
        launcher = host::Launcher::open(plugin_path(plugin), &error);
        if (!launcher) {
            ADD_FAILURE() << "cannot open plug-in " << plugin << ": " << error;
            return false;
        }
        launcher->quiet = true;
        if (!launcher->set("engine", "general", "enginepath", engine_dir, &error)) {
            ADD_FAILURE() << error;
            return false;
        }
        return true;
    }

    // Creates a file in the engine folder (or at a full path when `name` is absolute).
    void touch(const std::string& name, const std::string& bytes = "x") const {
        const std::string path = std::filesystem::path(name).is_absolute() ? name : engine_dir + name;
        write_file(path, bytes);
    }

    // Every engine start so far, oldest first.
    std::vector<nlohmann::json> engine_runs() const {
        std::vector<nlohmann::json> runs;
        std::istringstream in(read_file(engine_log));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line == "\r") continue;
            runs.push_back(nlohmann::json::parse(line, nullptr, false));
        }
        return runs;
    }

    bool wait_for_engine_runs(size_t count, int timeout_ms = 10000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (engine_runs().size() < count) {
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    // Lets every waiting fake engine exit (within its 20 ms poll).
    void release_engine() const { write_file(release_file, "go"); }

    // Calls a finish export (SDLL_MultiplayerFinished / SDLL_ServerFinished) every 20 ms until it
    // answers 1; false after `timeout_ms`.
    bool poll_until_done(const char* export_name, int timeout_ms = 10000) const {
        auto finished = launcher->get<SDLL_MultiplayerFinished_t>(export_name);
        if (!finished) {
            ADD_FAILURE() << "the plug-in lacks " << export_name;
            return false;
        }
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (finished() != 1) {
            if (std::chrono::steady_clock::now() >= end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return true;
    }
};

}  // namespace test_support
