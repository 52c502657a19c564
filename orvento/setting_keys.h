// setting_keys.h: the settings items the Orvento plug-in reads.
#pragma once

#include "frame/setting_keys.h"

namespace orvento::setting {

using namespace frame::setting;

inline constexpr frame::SettingKey demo_folder{general, "demopath"};   // engine page
// The multiplayer page.
inline constexpr frame::SettingKey net_players{general, "netnumber"};
inline constexpr frame::SettingKey skill{general, "skill"};
inline constexpr frame::SettingKey type{general, "type"};
inline constexpr frame::SettingKey monsters{general, "monsters"};
inline constexpr frame::SettingKey respawn_monsters{general, "respawnmonsters"};
inline constexpr frame::SettingKey frag_limit{general, "fraglimit"};
inline constexpr frame::SettingKey time_limit{general, "timelimit"};
inline constexpr frame::SettingKey avg{general, "avg"};
inline constexpr frame::SettingKey turbo{general, "turbo"};
inline constexpr frame::SettingKey dup{"connection", "dup"};
inline constexpr frame::SettingKey extra_tics{"connection", "extratic"};
inline constexpr frame::SettingKey port{"connection", "port"};
inline constexpr frame::SettingKey private_server{"connection", "privateserver"};
inline constexpr frame::SettingKey server_name{"connection", "servername"};
inline constexpr frame::SettingKey demo_file{"demo", "file"};
inline constexpr frame::SettingKey max_demo{"demo", "maxdemo"};

}  // namespace orvento::setting
