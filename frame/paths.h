// paths.h: paths from the launcher in the form the system is given them.
//
// Every launcher text becomes ANSI on its way in. A path whose name has characters the system's
// ANSI code page cannot hold is taken in its short (8.3) form; where it has none, the user is told
// once per export call which path cannot be reached and that a folder with plain letters works.
#pragma once

#include <optional>
#include <string>

#include "frame/launcher.h"

namespace frame {

// Lives for one export call.
class PathReader {
public:
    explicit PathReader(const char* plugin_name) : plugin_name_(plugin_name) {}

    std::string engine_path(const char* group, const char* key);
    std::string chosen_file(int index);
    // None when the launcher knows no such file.
    std::optional<std::string> found_file(const char* file_name);

private:
    std::string usable(HostText path);

    const char* plugin_name_;
    bool told_ = false;
};

}  // namespace frame
