// export_checks.cpp: the engine folder check, the files the launcher must find, and the refusal
// of a game page without a map.
#include "frame/frame.h"
#include "frame/helpers.h"
#include "orvento/engine_check.h"
#include "orvento/exports.h"

namespace {

void set_engine_ready(int flag) {
    frame::host<Host_SetEngineReady_t>(kSlotSetEngineReady)(frame::host_handle(), flag);
}

}  // namespace

// 1 when a problem message was shown, 0 otherwise (also for a folder not yet chosen).
SDLL_EXPORT int SDLL_CALL SDLL_EngineConfig(void) {
    return frame::guarded(1, [] {
        const HostTextCopy folder = GetEngineText("general", "enginepath");
        if (folder.view().empty()) {
            set_engine_ready(0);
            return 0;
        }
        // Without the executable the ready state is left as the launcher had it.
        if (!frame::FileExists(folder.view(), orvento::kEngineExe)) {
            orvento::tell_user(orvento::kMissingEngineMessage);
            return 1;
        }
        const unsigned mask = orvento::probe_iwads(folder.view());
        if (mask == 0) {
            orvento::tell_user(orvento::kNoIwadMessage);
            set_engine_ready(0);
            return 1;
        }
        frame::host<Host_SetIwadMask_t>(kSlotSetIwadMask)(frame::host_handle(), mask);
        set_engine_ready(1);
        return 0;
    });
}

// Only the executable is required; the IWAD was already checked by the mask.
SDLL_EXPORT void SDLL_CALL SDLL_Verification(int /*iwad*/) {
    frame::guarded_void([] {
        const HostTextCopy folder = GetEngineText("general", "enginepath");
        frame::host<Host_RequireFile_t>(kSlotRequireFile)(folder.c_str(), orvento::kEngineExe);
    });
}

// Any non-empty map text passes; the launch reads its form.
SDLL_EXPORT int SDLL_CALL SDLL_MultiConfig(void) {
    return frame::guarded(1, [] {
        const HostTextCopy map = GetMultiplayerText("general", "map");
        if (!map.view().empty()) return 0;
        orvento::tell_user(orvento::kNoMapMessage);
        return 1;
    });
}
