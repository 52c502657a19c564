// quiet_launcher.cpp: a launcher whose callbacks do nothing, and the loading of the plug-in.
#include "quiet_launcher.h"

#include <cstdint>

#include "host/os.h"

namespace bench {
namespace {

void SDLL_CALL set_configuration(const char*, int) {}
int SDLL_CALL get_int(HostHandle, const char*, const char*) { return 0; }
HostText SDLL_CALL get_string(HostHandle, const char*, const char*) { return nullptr; }
int SDLL_CALL message_box(const char*, const char*, unsigned) { return 0; }
void SDLL_CALL set_int(HostHandle, const char*, const char*, int) {}
void SDLL_CALL set_string(HostHandle, const char*, const char*, const char*) {}
void SDLL_CALL report_message(const char*, int) {}
void SDLL_CALL require_file(const char*, const char*) {}
void SDLL_CALL set_iwad_mask(HostHandle, unsigned) {}
int SDLL_CALL get_file_count(HostHandle) { return 0; }
HostText SDLL_CALL get_file(HostHandle, int) { return nullptr; }
void SDLL_CALL send_query(HostHandle, const char*, const char*, const unsigned char*, int, int) {}
// A launcher answers the new entry with a text of its own; the plug-in leaves it alone.
HostText SDLL_CALL add_server(HostHandle, const char*, const char*) { return u"entry"; }
void SDLL_CALL set_server_info(ServerRef, const char*, const char*) {}
HostText SDLL_CALL get_server_info(ServerRef, const char*) { return nullptr; }
HostText SDLL_CALL find_file(const char*) { return nullptr; }
void SDLL_CALL add_file(const char*) {}
void SDLL_CALL set_iwad(HostHandle, int) {}
void SDLL_CALL set_map(HostHandle, const char*) {}
void SDLL_CALL add_player(const char*) {}
void SDLL_CALL set_engine_ready(HostHandle, int) {}
void SDLL_CALL unused() {}

void* const callbacks[kSlotCount] = {
    reinterpret_cast<void*>(set_configuration), reinterpret_cast<void*>(get_int),
    reinterpret_cast<void*>(get_string),        reinterpret_cast<void*>(unused),
    reinterpret_cast<void*>(unused),            reinterpret_cast<void*>(message_box),
    reinterpret_cast<void*>(get_int),           reinterpret_cast<void*>(get_string),
    reinterpret_cast<void*>(set_int),           reinterpret_cast<void*>(set_string),
    reinterpret_cast<void*>(report_message),    reinterpret_cast<void*>(require_file),
    reinterpret_cast<void*>(set_iwad_mask),     reinterpret_cast<void*>(get_file_count),
    reinterpret_cast<void*>(get_file),          reinterpret_cast<void*>(send_query),
    reinterpret_cast<void*>(add_server),        reinterpret_cast<void*>(set_server_info),
    reinterpret_cast<void*>(get_server_info),   reinterpret_cast<void*>(find_file),
    reinterpret_cast<void*>(add_file),          reinterpret_cast<void*>(set_iwad),
    reinterpret_cast<void*>(set_map),           reinterpret_cast<void*>(add_player),
    reinterpret_cast<void*>(set_engine_ready),  reinterpret_cast<void*>(unused),
};

}  // namespace

BrowserExports load_browser(const std::string& path) {
    BrowserExports p;
    std::string error;
    void* module = host::os::load_module(path, &error);
    if (!module) {
        p.error = "cannot load " + path + ": " + error + " (build the brannock target)";
        return p;
    }
    auto symbol = [&](const char* name) { return host::os::module_symbol(module, name); };
    auto init = reinterpret_cast<SDLL_Init_t>(symbol("SDLL_Init"));
    auto init_call = reinterpret_cast<SDLL_InitCall_t>(symbol("SDLL_InitCall"));
    p.server_response = reinterpret_cast<SDLL_ServerResponse_t>(symbol("SDLL_ServerResponse"));
    p.server_gamesettings = reinterpret_cast<SDLL_ServerGamesettings_t>(symbol("SDLL_ServerGamesettings"));
    p.master_response = reinterpret_cast<SDLL_MasterserverResponse_t>(symbol("SDLL_MasterserverResponse"));
    if (!init || !init_call || !p.server_response || !p.server_gamesettings || !p.master_response) {
        p.error = "missing export in " + path;
        return p;
    }
    for (unsigned slot = 0; slot < kSlotCount; ++slot) init_call(slot, callbacks[slot]);
    char name[256] = {};
    uint16_t capabilities = 0;
    init(nullptr, name, &capabilities);
    return p;
}

}  // namespace bench
