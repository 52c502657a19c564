// platform_process_test.cpp: engine process start, priority, wait, terminate and close through
// the OS door, observed through what the fake engine records of itself.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/deadline.h"
#include "tests/support/engine_log.h"
#include "tests/support/processes.h"
#include "tests/support/test_paths.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using test_support::Record;

class Processes : public testing::Test {
protected:
    void SetUp() override {
        const std::string scratch = test_support::scratch_dir("process");
        folder_ = scratch + "work" + scratch.back();
        std::filesystem::create_directories(folder_);
        // Under its own name the fake engine is a tool that refuses engine words.
        engine_ = scratch + "Brannock.exe";
        std::filesystem::copy_file(test_support::fake_engine_path(), engine_,
                                   std::filesystem::copy_options::overwrite_existing);
        engines_.open(scratch);
    }
    void TearDown() override {
        if (!process_) return;
        platform::terminate_process(process_);
        // Gone before its folder is removed with the rest of the scratch folders.
        EXPECT_EQ(platform::wait_process(process_, test_support::kDeadlineMs), platform::WaitResult::ended);
        platform::close_process(process_);
    }

    // Starts the fake engine and returns its start record.
    Record start(const std::string& parameters, platform::ShowMode show = platform::ShowMode::normal) {
        const std::vector<Record> earlier = engines_.starts();
        process_ = platform::start_process(engine_, parameters, folder_, show);
        EXPECT_NE(process_, nullptr) << "cannot start " << engine_;
        if (!process_ || !engines_.wait_for_starts(earlier.size() + 1)) return Record();
        return engines_.new_start(earlier);
    }

    test_support::EngineLog engines_;
    std::string folder_, engine_;
    platform::ProcessHandle process_ = nullptr;
};

TEST_F(Processes, ParameterTextReachesTheProgramWholeAndSplitAsOnWindows) {
    const std::string text = R"(plain "two words"  a\b "quote\"inside" back\\"quoted part" "end\\" odd\\\"x "")";
    const Record started = start(text);
    ASSERT_FALSE(started.is_null());
    EXPECT_EQ(started["parameters"], text);
    EXPECT_EQ(started["show"], test_support::kShowNormal);
    const std::vector<std::string> expected = {
        "plain", "two words", R"(a\b)", R"(quote"inside)", R"(back\quoted part)", R"(end\)",
        R"(odd\"x)", ""};
    EXPECT_EQ(started["argv"].get<std::vector<std::string>>(), expected) << started.dump();
    EXPECT_TRUE(test_support::same_folder(started["cwd"].get<std::string>(), folder_)) << started.dump();
    EXPECT_TRUE(test_support::same_folder(started["program"].get<std::string>(), engine_));
}

TEST_F(Processes, HighPriorityReachesTheRunningProcessAndWaitSeesItsEnd) {
    const Record started = start("-host");
    ASSERT_FALSE(started.is_null());
    EXPECT_EQ(started["priority"], test_support::normal_priority());
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);
    platform::set_high_priority(process_);
    EXPECT_TRUE(engines_.wait_for_priority(started, test_support::high_priority()))
        << engines_.priority_of(started).value_or(0);
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);

    engines_.release(started);
    EXPECT_EQ(platform::wait_process(process_, test_support::kDeadlineMs), platform::WaitResult::ended);
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::ended);
    EXPECT_EQ(platform::wait_process(process_, 0), platform::WaitResult::ended);
    const Record end = engines_.end_of(started);
    ASSERT_FALSE(end.is_null());
    EXPECT_EQ(end["priority"], test_support::high_priority());
}

TEST_F(Processes, TerminateEndsAMinimisedProcessWithExitCodeZero) {
    const Record started = start("-dedicated", platform::ShowMode::minimized);
    ASSERT_FALSE(started.is_null());
    EXPECT_EQ(started["show"], test_support::kShowMinimize);
    EXPECT_EQ(platform::wait_process(process_, 1), platform::WaitResult::running);
    platform::terminate_process(process_);
    EXPECT_EQ(platform::wait_process(process_, test_support::kDeadlineMs), platform::WaitResult::ended);
    EXPECT_TRUE(engines_.end_of(started).is_null()) << "it ended by itself";
#ifdef _WIN32
    DWORD code = 1;
    ASSERT_TRUE(GetExitCodeProcess(static_cast<HANDLE>(process_), &code));
    EXPECT_EQ(code, 0u);
#endif
}

TEST_F(Processes, ClosingARunningProcessLeavesItRunning) {
    const Record started = start("-host");
    ASSERT_FALSE(started.is_null());
    platform::close_process(process_);
    process_ = nullptr;
    const unsigned long pid = test_support::pid_of(started);
    EXPECT_TRUE(test_support::is_running_child(pid));
    EXPECT_TRUE(engines_.end_of(started).is_null());
    // It still ends by itself once released.
    engines_.release(started);
    ASSERT_TRUE(engines_.wait_for_end(started));
    EXPECT_EQ(engines_.end_of(started)["released"], true);
    EXPECT_TRUE(test_support::wait_until([&] { return !test_support::is_running_child(pid); }));
}

TEST_F(Processes, FileThatCannotRunGivesNoProcess) {
    EXPECT_EQ(platform::start_process(folder_ + "no-such-engine.exe", "-host", folder_,
                                      platform::ShowMode::normal), nullptr);
#ifndef _WIN32
    EXPECT_EQ(platform::start_process(engine_, "", folder_ + "missing-folder",
                                      platform::ShowMode::normal), nullptr);
    // Windows would open these with their associated program; here they cannot run at all.
    test_support::write_file(folder_ + "engine.txt", "not a program");
    EXPECT_EQ(platform::start_process(folder_ + "engine.txt", "", folder_, platform::ShowMode::normal), nullptr);
    EXPECT_EQ(platform::start_process(folder_, "", folder_, platform::ShowMode::normal), nullptr);
#endif
    EXPECT_EQ(platform::wait_process(nullptr, 1), platform::WaitResult::failed);
    platform::terminate_process(nullptr);
    platform::close_process(nullptr);
}

}  // namespace
