// engine_checks.cpp: the engine folder check, the files the launcher must find and the map check,
// over the launcher's callbacks.
#include "frame/engine_checks.h"

#include "frame/files.h"
#include "frame/launcher_text.h"
#include "frame/registry.h"
#include "frame/messages.h"
#include "frame/paths.h"

namespace frame {
namespace {

void set_engine_ready(int flag) {
    host<Host_SetEngineReady_t>(kSlotSetEngineReady)(host_handle(), flag);
}

}  // namespace

int check_engine_folder(const EngineFolderCheck& check) {
    PathReader paths(check.plugin_name);
    const std::string folder = paths.engine_path(setting::engine_folder);
    if (folder.empty()) {
        set_engine_ready(0);
        return 0;
    }
    // The name is appended as it is: a folder without its trailing separator is not found.
    if (!FileExists(folder, check.engine_exe)) {
        if (check.missing_engine_message) show_message(check.plugin_name, check.missing_engine_message);
        return 1;
    }
    const unsigned mask = check.iwad_mask(folder);
    if (mask == 0) {
        show_message(check.plugin_name, check.no_iwad_message);
        set_engine_ready(0);
        return 1;
    }
    host<Host_SetIwadMask_t>(kSlotSetIwadMask)(host_handle(), mask);
    set_engine_ready(1);
    return 0;
}

void require_engine_files(std::initializer_list<const char*> names) {
    // The folder as the engine check and the launch take it (its short form where the code page
    // cannot hold its name), so the launcher looks where the engine is. Where there is no such
    // form the launcher's own check reports the missing files: nothing is shown here.
    PathReader quiet(nullptr);
    const std::string folder = quiet.engine_path(setting::engine_folder);
    for (const char* name : names) host<Host_RequireFile_t>(kSlotRequireFile)(folder.c_str(), name);
}

int check_map_chosen(const char* plugin_name) {
    const HostTextCopy map = GetMultiplayerText(setting::map);
    if (!map.view().empty()) return 0;
    show_message(plugin_name, kNoMapMessage);
    return 1;
}

}  // namespace frame
