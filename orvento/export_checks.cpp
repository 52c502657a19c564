// export_checks.cpp: the engine folder check, the files the launcher must find, and the refusal
// of a game page without a map.
#include <string>

#include "frame/engine_checks.h"
#include "frame/export_bodies.h"
#include "orvento/engine_check.h"
#include "orvento/exports.h"
#include "orvento/names.h"

// 1 when a problem message was shown, 0 otherwise (also for a folder not yet chosen).
SDLL_EXPORT int SDLL_CALL SDLL_EngineConfig(void) {
    return frame::guarded(1, [] {
        const std::string missing_engine = orvento::missing_engine_message();
        return frame::check_engine_folder({orvento::kPluginName, orvento::kEngineExe, missing_engine.c_str(),
                                           orvento::probe_iwads, orvento::kNoIwadMessage});
    });
}

// Only the executable is required; the IWAD was already checked by the mask.
SDLL_EXPORT void SDLL_CALL SDLL_Verification(int /*iwad*/) {
    frame::guarded_void([] { frame::require_engine_files({orvento::kEngineExe}); });
}

// Any non-empty map text passes; the launch reads its form.
SDLL_EXPORT int SDLL_CALL SDLL_MultiConfig(void) {
    return frame::guarded(1, [] { return frame::check_map_chosen(orvento::kPluginName); });
}
