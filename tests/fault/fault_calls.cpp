// fault_calls.cpp: the counting table in front of the system's fallible calls.
#include "tests/fault/fault_calls.h"

#include <array>

#include "platform/platform.h"

namespace test_support {
namespace {

constexpr std::array<const char*, 8> kCallNames{"short form", "find-first",    "delete", "rename",
                                                "move with replace", "file write", "process start", "wait"};
constexpr int kWaitsTried = 2;

std::vector<CallStep> g_calls;
std::vector<std::string> g_paths;   // one per call
std::optional<CallStep> g_failing;
bool g_failed = false;

// Counts the call; true when this is the one to fail.
bool fails(Call kind, const std::string& path = {}) {
    int nth = 1;
    for (const CallStep& step : g_calls) nth += step.kind == kind ? 1 : 0;
    g_calls.push_back({kind, nth});
    g_paths.push_back(path);
    if (g_failing != CallStep{kind, nth}) return false;
    g_failed = true;
    return true;
}

const platform::FallibleCalls& real() { return platform::system_calls(); }

const platform::FallibleCalls kCounting{
    [](const std::string& path, std::string* out) {
        return !fails(Call::short_form, path) && real().short_path(path, out);
    },
    [](const std::string& path) { return !fails(Call::find_first, path) && real().file_exists(path); },
    [](const std::string& path) { return !fails(Call::delete_file, path) && real().delete_file(path); },
    [](const std::string& from, const std::string& to) {
        return !fails(Call::rename, from) && real().rename_file(from, to);
    },
    [](const std::string& from, const std::string& to) {
        return !fails(Call::move_replace, from) && real().move_file_replace(from, to);
    },
    [](const std::string& path, const std::string& text) {
        return !fails(Call::write, path) && real().create_text_file(path, text);
    },
    [](const std::string& file, const std::string& parameters, const std::string& folder, platform::ShowMode show) {
        return fails(Call::start_process, file) ? platform::ProcessHandle{}
                                          : real().start_process(file, parameters, folder, show);
    },
    [](platform::ProcessHandle process, unsigned ms) {
        return fails(Call::wait) ? platform::WaitResult::failed : real().wait_process(process, ms);
    },
};

}  // namespace

std::string describe(const CallStep& step) {
    return std::string(kCallNames[static_cast<std::size_t>(step.kind)]) + " #" + std::to_string(step.nth);
}

FaultRun::FaultRun(std::optional<CallStep> failing) {
    g_calls.clear();
    g_paths.clear();
    g_failing = failing;
    g_failed = false;
    platform::set_fallible_calls(&kCounting);
}

FaultRun::~FaultRun() { platform::set_fallible_calls(nullptr); }

const std::vector<CallStep>& FaultRun::calls() const { return g_calls; }
bool FaultRun::failed() const { return g_failed; }

std::vector<std::string> FaultRun::paths(Call kind) const {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < g_calls.size(); ++i)
        if (g_calls[i].kind == kind) out.push_back(g_paths[i]);
    return out;
}

std::vector<CallStep> single_fault_schedules(const std::vector<CallStep>& calls) {
    std::vector<CallStep> steps;
    for (const CallStep& step : calls) {
        if (step.kind == Call::wait && step.nth > kWaitsTried) continue;
        steps.push_back(step);
    }
    return steps;
}

}  // namespace test_support
