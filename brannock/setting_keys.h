// setting_keys.h: the settings items the Brannock plug-in reads and writes, besides its flag items
// (flag_table.cpp) and limits (game_rules.h).
#pragma once

#include "frame/setting_keys.h"

namespace brannock::setting {

using namespace frame::setting;

inline constexpr frame::SettingKey type{general, "type"};
inline constexpr frame::SettingKey modifier{general, "modifier"};
inline constexpr frame::SettingKey skill{general, "skill"};
// The server browser's items on the engine page.
inline constexpr frame::SettingKey perform_query{"servers", "performquery"};
inline constexpr frame::SettingKey master_address{"servers", "masteraddress"};

}  // namespace brannock::setting
