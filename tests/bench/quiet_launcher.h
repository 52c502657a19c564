// quiet_launcher.h: the Brannock plug-in loaded as the launcher loads it, with callbacks that do
// nothing, so that timing an export times the plug-in alone.
//
// Shared by the reply benchmarks (native) and the decode timing program (native and win32).
#pragma once

#include <string>

#include "frame/launcher.h"

namespace bench {

struct BrowserExports {
    SDLL_ServerResponse_t server_response = nullptr;
    SDLL_ServerGamesettings_t server_gamesettings = nullptr;
    SDLL_MasterserverResponse_t master_response = nullptr;
    std::string error;   // empty when the plug-in was loaded and initialised
};

// Loads the plug-in at `path` (never unloaded), hands it the quiet callbacks through
// SDLL_InitCall and calls SDLL_Init. Every callback answers 0 or null, except the server entry
// (slot 16), which answers a text as a launcher does.
BrowserExports load_browser(const std::string& path);

}  // namespace bench
