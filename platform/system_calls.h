// system_calls.h: the real fallible calls, defined by the implementation the build chose
// (win32/ or posix/) and gathered into the table of platform.h by fallible_calls.cpp. Only the
// platform layer includes this.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::system {

#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) result name parameters;
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL

}  // namespace platform::system
