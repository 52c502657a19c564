// fault_calls.cpp: the counting table in front of the system's fallible calls.
#include "tests/fault/fault_calls.h"

#include "platform/platform.h"

namespace test_support {
namespace {

using platform::ProcessHandle;
using platform::ShowMode;
using platform::WaitResult;

constexpr const char* kCallNames[] = {
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) words,
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL
};
constexpr int kWaitsTried = 2;

std::vector<CallStep> g_calls;
std::vector<std::string> g_paths;   // one per call
std::optional<CallStep> g_failing;
bool g_failed = false;

// Counts the call; true when this is the one to fail.
bool fails(Call kind, const std::string& path) {
    int nth = 1;
    for (const CallStep& step : g_calls) nth += step.kind == kind ? 1 : 0;
    g_calls.push_back({kind, nth});
    g_paths.push_back(path);
    if (g_failing != CallStep{kind, nth}) return false;
    g_failed = true;
    return true;
}

const platform::FallibleCalls& real() { return platform::system_calls(); }

// The path a call is given (the file, for a process start; the first, for a rename); none for a wait.
template <class... Rest>
std::string path_of(const std::string& path, const Rest&...) {
    return path;
}
std::string path_of(ProcessHandle, unsigned) { return {}; }

// Each call counted, then failed as the system fails it or made for real.
const platform::FallibleCalls kCounting{
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) \
    [] parameters -> result { return fails(Call::name, path_of arguments) ? result(failed) : real().name arguments; },
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL
};

}  // namespace

std::string describe(const CallStep& step) {
    return std::string(kCallNames[static_cast<int>(step.kind)]) + " #" + std::to_string(step.nth);
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
        if (step.kind == Call::wait_process && step.nth > kWaitsTried) continue;
        steps.push_back(step);
    }
    return steps;
}

}  // namespace test_support
