// settings_source.h: the narrow door through which Orvento's logic reads the launcher's settings.
//
// The launch and finish logic ask for settings one at a time, in the order the launcher sees
// the reads; the exports pass LauncherSettings, the unit tests a stand-in that answers from a
// table and records what was asked.
#pragma once

#include <string>

#include "frame/setting_keys.h"

namespace orvento {

class SettingsSource {
public:
    virtual ~SettingsSource() = default;
    // An `engine` page text of group `general`; an absent text reads as empty.
    virtual std::string engine_text(const char* key) = 0;
    virtual std::string multiplayer_text(const char* group, const char* key) = 0;
    virtual int multiplayer_int(const char* group, const char* key) = 0;

    // The same reads, of a named item.
    std::string multiplayer_text(const frame::SettingKey& item) { return multiplayer_text(item.group, item.key); }
    int multiplayer_int(const frame::SettingKey& item) { return multiplayer_int(item.group, item.key); }
};

// Reads through the launcher's callbacks (slots 2, 6 and 7).
class LauncherSettings final : public SettingsSource {
public:
    std::string engine_text(const char* key) override;
    std::string multiplayer_text(const char* group, const char* key) override;
    int multiplayer_int(const char* group, const char* key) override;
};

}  // namespace orvento
