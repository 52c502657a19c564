// export_engine_checks.cpp: whether the chosen engine folder is usable and whether a game's
// settings are complete, as the launcher asks before it starts anything.
#include "brannock/exports.h"
#include "brannock/names.h"
#include "frame/engine_checks.h"
#include "frame/export_bodies.h"
#include "frame/iwads.h"

namespace {

// The engine runs every IWAD of the shared table, whatever the folder holds.
unsigned every_iwad(std::string_view /*folder*/) { return frame::kAllIwadsMask; }

// A folder without the engine is refused without a message of this plug-in's own.
constexpr frame::EngineFolderCheck kFolderCheck{brannock::kPluginName, brannock::kEngineExe, nullptr,
                                                every_iwad, nullptr};

}  // namespace

SDLL_EXPORT int SDLL_CALL SDLL_EngineConfig(void) {
    return frame::guarded(1, [] { return frame::check_engine_folder(kFolderCheck); });
}

SDLL_EXPORT void SDLL_CALL SDLL_Verification(void) {
    frame::guarded_void([] { frame::require_engine_files({brannock::kEngineExe, brannock::kEngineData}); });
}

SDLL_EXPORT int SDLL_CALL SDLL_MultiConfig(void) {
    return frame::guarded(1, [] { return frame::check_map_chosen(brannock::kPluginName); });
}
