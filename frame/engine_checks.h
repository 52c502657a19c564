// engine_checks.h: the checks the launcher asks for before a game, shared by both plug-ins.
//
// Whether the chosen engine folder is usable (and which IWADs the engine can run from it), which
// files the launcher must find there, and whether a game page names a map. Each plug-in's export
// passes its own names and IWAD probe.
#pragma once

#include <initializer_list>
#include <string_view>

namespace frame {

struct EngineFolderCheck {
    const char* plugin_name;
    const char* engine_exe;
    const char* missing_engine_message;                // null: the missing engine is not shown
    unsigned (*iwad_mask)(std::string_view folder);    // the launcher's IWAD mask; 0 when none
    const char* no_iwad_message;                       // shown when the mask is 0
};

// SDLL_EngineConfig: 1 when the folder is set but not usable, 0 otherwise. A folder not chosen
// yet marks the engine not ready; a folder without the engine leaves the ready state as it was.
int check_engine_folder(const EngineFolderCheck& check);

// SDLL_Verification: asks the launcher to find each of `names` in the engine folder.
void require_engine_files(std::initializer_list<const char*> names);

// SDLL_MultiConfig: 1, after telling the user, when no map is chosen; any other text passes.
int check_map_chosen(const char* plugin_name);

}  // namespace frame
