// export_bodies.h: what every export of both plug-ins shares: the guard each body runs in, and
// the bodies of SDLL_Init and SDLL_LoadConfiguration.
#pragma once

#include <cstdint>

#include "frame/launcher.h"

namespace frame {

// Shared body of SDLL_Init: records the host handle and writes name and capability value.
int init_plugin(HostHandle host, char* name, uint16_t* capabilities, const char* plugin_name,
                uint16_t capability_value);

// Body of SDLL_LoadConfiguration: hands resource 101 "CONFIGURATION" to slot 0. Gives a
// LoadConfigurationResult.
int load_configuration();

// Runs an export body so that no exception (an allocation failure included) reaches the
// launcher; on one, the export answers `refuse`.
template <typename R, typename Body>
R guarded(R refuse, Body&& body) noexcept {
    try { return body(); } catch (...) { return refuse; }
}
template <typename Body>
void guarded_void(Body&& body) noexcept {
    try { body(); } catch (...) {}
}

}  // namespace frame
