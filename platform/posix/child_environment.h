// child_environment.h: what a posix start hands the started program besides its arguments.
//
// Windows gives a program its command line as one text and its show mode in its start-up
// information; posix has neither. So that a program started here can see the same, each start
// sets these two variables in the child's environment only (never in the launcher's own):
// the parameter text exactly as given (doubled blanks and quotes included) and the show mode
// as the Windows number (1 shown normally, 6 minimised).
#pragma once

namespace platform::detail {

constexpr const char* kParametersVariable = "SDLL_START_PARAMETERS";
constexpr const char* kShowVariable = "SDLL_START_SHOW";

constexpr int kShowNormalNumber = 1;     // SW_SHOWNORMAL
constexpr int kShowMinimizeNumber = 6;   // SW_MINIMIZE

}  // namespace platform::detail
