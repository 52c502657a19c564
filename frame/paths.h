// paths.h: paths and file names from the launcher in the form the system is given them.
//
// Every launcher text becomes ANSI on its way in. A path whose name has characters the system's
// ANSI code page cannot hold is taken in its short (8.3) form; where it has none, the user is told
// once per export call which path cannot be reached and that a folder with plain letters works.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frame/launcher.h"
#include "frame/setting_keys.h"

namespace frame {

// One extra file the user chose: its path lower-cased (names on the launcher's machine are
// case-blind) and the argument that names it to the engine, the short form of that path or, for
// a file without one, the path as given (file_argument).
struct ChosenFile {
    std::string lower_path;
    std::string argument;
};

// Lives for one export call. With a null plug-in name nothing is shown: a path that cannot be
// reached is handed on in its lossy form, for a launcher that checks and reports it itself.
class PathReader {
public:
    explicit PathReader(const char* plugin_name) : plugin_name_(plugin_name) {}

    // An engine page folder (the engine's, the demos').
    std::string engine_path(const SettingKey& item);
    // Every extra file the user chose, in the launcher's order.
    std::vector<ChosenFile> chosen_files();
    // None when the launcher knows no such file.
    std::optional<std::string> found_file(const char* file_name);

private:
    std::string usable(HostText path);
    std::string chosen_file(int index);

    const char* plugin_name_;
    bool told_ = false;
};

// A multiplayer text that names a file yet to be made: true when the ANSI code page holds every
// character of it (platform::ansi_name). On false `out` has its lossy form and nothing is shown:
// the caller knows what the name was for. An absent text is an empty name.
bool multiplayer_file_name(const SettingKey& item, std::string* out);

}  // namespace frame
