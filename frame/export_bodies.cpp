// export_bodies.cpp: SDLL_Init's shared body and the handing over of the settings description.
#include "frame/export_bodies.h"

#include <cstring>

#include "frame/registry.h"
#include "platform/platform.h"

namespace frame {
namespace {
constexpr int kDescriptionResource = 101;
constexpr const char* kDescriptionType = "CONFIGURATION";
}  // namespace

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
        case platform::ResourceResult::not_found: return kDescriptionNotFound;
        case platform::ResourceResult::load_failed: return kDescriptionNotLoaded;
        case platform::ResourceResult::ok: break;
    }
    host<Host_SetConfiguration_t>(kSlotSetConfiguration)(bytes.data, static_cast<int>(bytes.size));
    return kDescriptionHandedOver;
}

}  // namespace frame
