// engine_run.h: the Brannock engine's names and its start, shared by hosting and joining.
//
// Everything goes through platform/platform.h; what to write on the command line is decided in
// launch_text.h; the kept process handles and the saved colour are the frame's (engine_process.h).
#pragma once

#include <string>

#include "platform/platform.h"

namespace brannock {

constexpr const char* kPluginName = "Brannock";
constexpr const char* kEngineExe = "Brannock.exe";
constexpr const char* kEngineData = "Brannock.pk3";
// Every message box of this plug-in: exclamation icon and an OK button.
constexpr unsigned kWarningStyle = 0x30;

// Starts folder + "Brannock.exe" in `folder`; null when it cannot be started.
platform::ProcessHandle start_engine(const std::string& folder, const std::string& parameters,
                                     platform::ShowMode show);

}  // namespace brannock
