// fault_calls.h: the plug-in's fallible OS calls, counted and, on request, one of them failed.
//
// A run first goes through with every call real and lists the calls in their order; each of
// them is then made to fail in a run of its own. A failed call does nothing and answers as the
// system does when it fails: no short form, no entry found, false, no process, a wait that cannot
// wait. The run also keeps the path each call was given.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace test_support {

// The kinds of fallible call, each named as the platform layer names it.
enum class Call {
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) name,
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL
};

struct CallStep {
    Call kind;
    int nth;   // 1 for the first call of its kind in the run
    bool operator==(const CallStep&) const = default;
};
std::string describe(const CallStep& step);

// Routes the plug-in's fallible calls through the counting table while it lives.
class FaultRun {
public:
    explicit FaultRun(std::optional<CallStep> failing = std::nullopt);
    ~FaultRun();
    FaultRun(const FaultRun&) = delete;
    FaultRun& operator=(const FaultRun&) = delete;

    const std::vector<CallStep>& calls() const;   // every call so far, in order
    // The paths (the file, for a process start; the first, for a rename) of the calls of `kind`.
    std::vector<std::string> paths(Call kind) const;
    bool failed() const;                          // the failing step was reached
};

// The steps to fail one at a time: every call of `calls`, waits only up to the first two (their
// number depends on how soon the engine ends).
std::vector<CallStep> single_fault_schedules(const std::vector<CallStep>& calls);

}  // namespace test_support
