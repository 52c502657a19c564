// settings_pages.h: the `describe` command's view of the settings pages a plug-in described, each
// item with its type, caption, default, current value and limits, for people and for scripts.
#pragma once

#include <iosfwd>

#include <nlohmann/json.hpp>

#include "host/host.h"

namespace host {

void print_pages(const Launcher& launcher, std::ostream& out);
// {"name", "capabilities", "pages": [{"name", "groups": [{"name", "items": [{"key", "type",
// "caption", "default", "value", "min", "max", "step", "maxlength", "list"}]}]}]}
nlohmann::json pages_json(const Launcher& launcher);

}  // namespace host
