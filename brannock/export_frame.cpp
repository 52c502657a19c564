// export_frame.cpp: the Brannock plug-in's identification, callback registry and description
// exports; the bodies are the shared frame's.
#include "brannock/codec/huffman.h"
#include "brannock/exports.h"
#include "brannock/names.h"
#include "frame/export_bodies.h"
#include "frame/registry.h"

namespace {
// Hosting, joining and the server browser (bit 2) are all offered.
constexpr uint16_t kCapabilities = 31;
}  // namespace

SDLL_EXPORT int SDLL_CALL SDLL_Init(HostHandle host, char* name, uint16_t* capabilities) {
    return frame::guarded(0, [&] {
        // The code tree is fixed; building it first means no datagram is ever read without it.
        codec::HuffmanInit();
        return frame::init_plugin(host, name, capabilities, brannock::kPluginName, kCapabilities);
    });
}

SDLL_EXPORT void SDLL_CALL SDLL_InitCall(unsigned slot, void* function) {
    frame::guarded_void([&] { frame::set_slot(slot, function); });
}

SDLL_EXPORT int SDLL_CALL SDLL_LoadConfiguration(void) {
    return frame::guarded<int>(kDescriptionNotFound, [] { return frame::load_configuration(); });
}
