// messages.h: what a plug-in tells its user, and the texts both plug-ins show.
//
// Every message goes through the launcher's message box with the plug-in's display name as
// caption and one style. Texts only one plug-in shows live with that plug-in's code.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace frame {

// Exclamation icon and an OK button.
constexpr unsigned kMessageStyle = 0x30;

constexpr const char* kNoMapMessage = "Please specify an existing map name!";

// The sentence shown when the response file at `path` cannot be written and nothing starts.
std::string response_not_written_message(std::string_view plugin_name, std::string_view path);

// The sentence shown when an engine's command line is `length` characters long, too long for
// Windows, and nothing starts.
std::string command_line_too_long_message(std::string_view plugin_name, std::size_t length);
// The sentence shown when the user's response file at `path` cannot be moved aside to `target`
// and nothing starts.
std::string not_moved_aside_message(std::string_view plugin_name, std::string_view path, std::string_view target);
// The sentence shown when a backup of the response file at `path`, left by a game whose finish
// never came, is kept, and the file that lay beside it is now `kept_as`.
std::string kept_beside_backup_message(std::string_view plugin_name, std::string_view path, std::string_view kept_as);
// The sentence shown when the user's response file cannot be put back from its backup.
std::string not_put_back_message(std::string_view plugin_name, std::string_view path);

// The sentence shown when a launcher path cannot be carried through its ANSI interface.
std::string unreachable_path_message(std::string_view plugin_name, std::string_view path);

// Shows `text` in the launcher's message box under the plug-in's name.
void show_message(const char* plugin_name, const char* text);

}  // namespace frame
