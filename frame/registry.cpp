// registry.cpp: process-wide frame state (host handle and callback table), SDLL_Init's shared
// body and the handing over of the settings description.
#include <cstring>

#include "frame/frame.h"
#include "platform/platform.h"

namespace frame {
namespace {
HostHandle g_host = nullptr;
void* g_slots[kSlotCount] = {};
constexpr int kDescriptionResource = 101;
constexpr const char* kDescriptionType = "CONFIGURATION";
}  // namespace

void set_host_handle(HostHandle host) { g_host = host; }
HostHandle host_handle() { return g_host; }

void set_slot(unsigned slot, void* function) {
    if (slot < kSlotCount) g_slots[slot] = function;
}

void* slot(unsigned s) { return s < kSlotCount ? g_slots[s] : nullptr; }

int init_plugin(HostHandle host, char* name, uint16_t* capabilities, const char* plugin_name,
                uint16_t capability_value) {
    set_host_handle(host);
    if (name) std::memcpy(name, plugin_name, std::strlen(plugin_name) + 1);
    if (capabilities) *capabilities = capability_value;
    return 0;
}

int load_configuration() {
    platform::ResourceBytes bytes;
    switch (platform::load_resource(platform::module_handle(), kDescriptionResource, kDescriptionType, &bytes)) {
        case platform::ResourceResult::not_found: return 1;
        case platform::ResourceResult::load_failed: return 2;
        case platform::ResourceResult::ok: break;
    }
    host<Host_SetConfiguration_t>(kSlotSetConfiguration)(bytes.data, static_cast<int>(bytes.size));
    return 0;
}

}  // namespace frame
