// fallible_calls.cpp: the table every fallible OS call goes through, and the calls the rest of
// the plug-ins make, each one step through it.
#include "platform/platform.h"
#include "platform/system_calls.h"

namespace platform {
namespace {

constexpr FallibleCalls kSystemCalls{
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) system::name,
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL
};

const FallibleCalls* g_calls = &kSystemCalls;

}  // namespace

const FallibleCalls& system_calls() { return kSystemCalls; }
void set_fallible_calls(const FallibleCalls* calls) { g_calls = calls ? calls : &kSystemCalls; }

#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) \
    result name parameters { return g_calls->name arguments; }
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL

}  // namespace platform
