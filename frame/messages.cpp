// messages.cpp: the launcher's message box with the plug-ins' caption and style, and the texts
// built from parts.
#include "frame/messages.h"

#include "frame/frame.h"

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

void show_message(const char* plugin_name, const char* text) {
    host<Host_MessageBox_t>(kSlotMessageBox)(text, plugin_name, kMessageStyle);
}

}  // namespace frame
