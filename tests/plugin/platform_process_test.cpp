// platform_process_test.cpp: engine process start, wait, terminate and close through the OS door,
// observed through the fake engine's record of its arguments and working folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/plugin/plugin_fixture.h"
#include "tests/support/test_paths.h"

namespace {

constexpr unsigned kEndWaitMs = 10000;

class Processes : public testing::Test {
protected:
    void SetUp() override {
        engine_.scratch = test_support::scratch_dir("process");
        folder_ = engine_.scratch + "work" + engine_.scratch.back();
        std::filesystem::create_directories(folder_);
        engine_.engine_log = engine_.scratch + "engine-log.jsonl";
        engine_.release_file = engine_.scratch + "release";
        test_support::set_env("FAKE_ENGINE_LOG", engine_.engine_log);
        test_support::set_env("FAKE_ENGINE_RELEASE", engine_.release_file);
        test_support::set_env("FAKE_ENGINE_TIMEOUT", "20");
    }
    void TearDown() override {
        platform::terminate_process(process_);
        platform::close_process(process_);
    }

    void start(const std::string& parameters, platform::ShowMode show = platform::ShowMode::normal) {
        process_ = platform::start_process(test_support::fake_engine_path(), parameters, folder_, show);
        ASSERT_NE(process_, nullptr) << "cannot start " << test_support::fake_engine_path();
    }

    test_support::PluginFixture engine_;   // only its log reading and release file are used
    std::string folder_;
    platform::ProcessHandle process_ = nullptr;
};

TEST_F(Processes, ParameterTextIsSplitAsOnWindows) {
    engine_.release_engine();   // end at once
    start(R"(plain "two words"  a\b "quote\"inside" back\\"quoted part" "end\\" odd\\\"x "")");
    ASSERT_EQ(platform::wait_process(process_, kEndWaitMs), platform::WaitResult::ended);
    const auto runs = engine_.engine_runs();
    ASSERT_EQ(runs.size(), 1u);
    const std::vector<std::string> expected = {
        "plain", "two words", R"(a\b)", R"(quote"inside)", R"(back\quoted part)", R"(end\)",
        R"(odd\"x)", ""};
    EXPECT_EQ(runs[0]["argv"].get<std::vector<std::string>>(), expected) << runs[0].dump();
    EXPECT_TRUE(test_support::same_folder(runs[0]["cwd"].get<std::string>(), folder_)) << runs[0].dump();
}

TEST_F(Processes, WaitSaysRunningThenEnded) {
    start("-host");
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);
    platform::set_high_priority(process_);   // best effort; the process goes on either way
    ASSERT_TRUE(engine_.wait_for_engine_runs(1));
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);
    engine_.release_engine();
    EXPECT_EQ(platform::wait_process(process_, kEndWaitMs), platform::WaitResult::ended);
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::ended);
    EXPECT_EQ(platform::wait_process(process_, 0), platform::WaitResult::ended);
}

TEST_F(Processes, TerminateEndsAMinimisedProcess) {
    start("-dedicated", platform::ShowMode::minimized);
    ASSERT_TRUE(engine_.wait_for_engine_runs(1));
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);
    platform::terminate_process(process_);
    EXPECT_EQ(platform::wait_process(process_, kEndWaitMs), platform::WaitResult::ended);
}

TEST_F(Processes, ClosingARunningProcessLeavesItRunning) {
    start("-host");
    ASSERT_TRUE(engine_.wait_for_engine_runs(1));
    platform::close_process(process_);
    process_ = nullptr;
    // It still ends by itself once released; a second start shows the first one did not block.
    engine_.release_engine();
    start("-join");
    EXPECT_EQ(platform::wait_process(process_, kEndWaitMs), platform::WaitResult::ended);
    EXPECT_TRUE(engine_.wait_for_engine_runs(2));
}

TEST_F(Processes, FileThatCannotRunGivesNoProcess) {
    EXPECT_EQ(platform::start_process(folder_ + "no-such-engine.exe", "-host", folder_,
                                      platform::ShowMode::normal), nullptr);
#ifndef _WIN32
    EXPECT_EQ(platform::start_process(test_support::fake_engine_path(), "", folder_ + "missing-folder",
                                      platform::ShowMode::normal), nullptr);
    // Windows would open these with their associated program; here they cannot run at all.
    test_support::write_file(folder_ + "engine.txt", "not a program");
    EXPECT_EQ(platform::start_process(folder_ + "engine.txt", "", folder_, platform::ShowMode::normal), nullptr);
    EXPECT_EQ(platform::start_process(folder_, "", folder_, platform::ShowMode::normal), nullptr);
#endif
    EXPECT_EQ(platform::wait_process(nullptr, 1), platform::WaitResult::failed);
    platform::terminate_process(nullptr);
    platform::close_process(nullptr);
    EXPECT_TRUE(engine_.engine_runs().empty());
}

}  // namespace
