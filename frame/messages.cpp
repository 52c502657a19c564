// messages.cpp: the launcher's message box with the plug-ins' caption and style, and the texts
// built from parts.
#include "frame/messages.h"

#include "frame/files.h"
#include "frame/registry.h"

namespace frame {

std::string response_not_written_message(std::string_view plugin_name, std::string_view path) {
    return std::string(plugin_name) + " could not write its response file " + std::string(path) +
           ", so the game was not started.";
}

std::string command_line_too_long_message(std::string_view plugin_name, std::size_t length) {
    return std::string(plugin_name) + " did not start the game: its command line would be " +
           std::to_string(length) + " characters long, and Windows takes at most 32,767. " +
           "Shorten the engine's parameters or choose fewer extra files.";
}

std::string not_moved_aside_message(std::string_view plugin_name, std::string_view path, std::string_view target) {
    return std::string(plugin_name) + " could not move your " + std::string(path) + " aside to " +
           std::string(target) + ", so the game was not started. Your file is unchanged.";
}

std::string kept_beside_backup_message(std::string_view plugin_name, std::string_view path, std::string_view kept_as) {
    return std::string(plugin_name) + " found " + backup_path(path) +
           ", left by a game that has not finished: it holds your earlier file and goes back in place when "
           "the game is over. The " + std::string(path) + " that lay beside it is kept as " +
           std::string(kept_as) + ".";
}

std::string not_put_back_message(std::string_view plugin_name, std::string_view path) {
    return std::string(plugin_name) + " could not put your earlier " + std::string(path) + " back; it is kept as " +
           backup_path(path) + ".";
}

std::string unreachable_path_message(std::string_view plugin_name, std::string_view path) {
    return std::string(plugin_name) + " cannot reach " + std::string(path) +
           " through the launcher's ANSI interface: its name has characters this system's code page "
           "cannot hold, and it has no short form. A folder whose name has only plain letters works.";
}

void show_message(const char* plugin_name, const char* text) {
    host<Host_MessageBox_t>(kSlotMessageBox)(text, plugin_name, kMessageStyle);
}

}  // namespace frame
