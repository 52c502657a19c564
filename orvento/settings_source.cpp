// settings_source.cpp: LauncherSettings, the settings reads over the launcher's callbacks.
#include "orvento/settings_source.h"

#include "frame/launcher_text.h"
#include "frame/registry.h"

namespace orvento {

std::string LauncherSettings::engine_text(const char* key) {
    return frame::GetEngineText(frame::setting::general, key).str();
}

std::string LauncherSettings::multiplayer_text(const char* group, const char* key) {
    return frame::GetMultiplayerText(group, key).str();
}

int LauncherSettings::multiplayer_int(const char* group, const char* key) {
    return frame::host<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt)(frame::host_handle(), group, key);
}

}  // namespace orvento
