// engine_run.h: the OS side of running the Brannock engine, shared by hosting and joining.
//
// Short forms of extra files, starting the engine from its folder, the saved highlight colour and
// the kept process handles. Everything goes through platform/platform.h; what to write on the
// command line is decided in launch_text.h.
#pragma once

#include <cstdint>
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

// True while the process runs; a handle the system can no longer wait on counts as ended, so the
// launcher's polling always comes to an end.
bool engine_running(platform::ProcessHandle process);

// Closes a kept handle and forgets it.
void forget_process(platform::ProcessHandle* process);

// The highlight colour read before an engine start. Until something was saved, restoring
// leaves the system colours alone.
struct SavedHighlight {
    bool saved = false;
    std::uint32_t color = 0;
};
void save_highlight(SavedHighlight* saved);
void restore_highlight(const SavedHighlight& saved);

}  // namespace brannock
