// setting_keys.h: an item of the launcher's settings pages as the plug-ins name it, and the items
// both plug-ins' descriptions declare alike.
//
// A key is the contract between a settings description (brannock.cfg, orvento.cfg) and the code
// that reads it: each is written once, here or in its plug-in's setting_keys.h.
#pragma once

namespace frame {

// An item of a settings page: its group and key.
struct SettingKey {
    const char* group;
    const char* key;
};

namespace setting {
inline constexpr const char* general = "general";
inline constexpr SettingKey engine_folder{general, "enginepath"};     // engine page
inline constexpr SettingKey engine_parameters{general, "parameters"};  // engine page, the user's own
inline constexpr SettingKey map{general, "map"};                       // multiplayer page
}  // namespace setting

}  // namespace frame
