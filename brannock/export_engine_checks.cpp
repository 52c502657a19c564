// export_engine_checks.cpp: whether the chosen engine folder is usable and whether a game's
// settings are complete, as the launcher asks before it starts anything.
#include "brannock/engine_run.h"
#include "brannock/exports.h"
#include "frame/frame.h"
#include "frame/helpers.h"

namespace {
// The engine runs every IWAD of the shared table: the low 19 bits.
constexpr unsigned kIwadMask = 0x7FFFF;
constexpr const char* kNoMapMessage = "Please specify an existing map name!";
}  // namespace

using frame::host;
using frame::host_handle;

SDLL_EXPORT int SDLL_CALL SDLL_EngineConfig(void) {
    return frame::guarded(1, [] {
        const HostTextCopy folder = GetEngineText("general", "enginepath");
        if (folder.view().empty()) {
            host<Host_SetEngineReady_t>(kSlotSetEngineReady)(host_handle(), 0);
            return 0;
        }
        // The name is appended as it is: a folder without its trailing separator is not found.
        if (!frame::FileExists(folder.view(), brannock::kEngineExe)) return 1;
        host<Host_SetIwadMask_t>(kSlotSetIwadMask)(host_handle(), kIwadMask);
        host<Host_SetEngineReady_t>(kSlotSetEngineReady)(host_handle(), 1);
        return 0;
    });
}

SDLL_EXPORT void SDLL_CALL SDLL_Verification(void) {
    frame::guarded_void([] {
        const HostTextCopy folder = GetEngineText("general", "enginepath");
        const auto require = host<Host_RequireFile_t>(kSlotRequireFile);
        require(folder.c_str(), brannock::kEngineExe);
        require(folder.c_str(), brannock::kEngineData);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_MultiConfig(void) {
    return frame::guarded(1, [] {
        const HostTextCopy map = GetMultiplayerText("general", "map");
        if (!map.view().empty()) return 0;
        host<Host_MessageBox_t>(kSlotMessageBox)(kNoMapMessage, brannock::kPluginName,
                                                 brannock::kWarningStyle);
        return 1;
    });
}
