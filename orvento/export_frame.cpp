// export_frame.cpp: Orvento's identification, callback registry and settings description exports.
#include "frame/export_bodies.h"
#include "frame/registry.h"
#include "orvento/names.h"

namespace {
// Solo, hosted and joined games; no server browser, so the browser bit (2) stays clear.
constexpr uint16_t kCapabilities = 29;
}  // namespace

SDLL_EXPORT int SDLL_CALL SDLL_Init(HostHandle host, char* name, uint16_t* capabilities) {
    return frame::guarded(0, [&] {
        return frame::init_plugin(host, name, capabilities, orvento::kPluginName, kCapabilities);
    });
}

SDLL_EXPORT void SDLL_CALL SDLL_InitCall(unsigned slot, void* function) {
    frame::guarded_void([&] { frame::set_slot(slot, function); });
}

SDLL_EXPORT int SDLL_CALL SDLL_LoadConfiguration(void) {
    return frame::guarded<int>(kDescriptionNotLoaded, [] { return frame::load_configuration(); });
}
