// engine_check.h: the `check` command's findings about the engine folder, for people and scripts.
//
// Asks SDLL_EngineConfig whether the folder is usable, then SDLL_Verification which files a game
// needs (the names come from the plug-in's own Host_RequireFile calls), and says for each whether
// it was found and at which path; a folder that does not exist, and a folder text without a
// trailing separator (the plug-ins join folder and name as they are), are pointed out.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/host.h"

namespace host {

// A file the plug-in names for a game (Host_RequireFile), with the path the launcher looked at.
struct RequiredFile {
    std::string name, path;
    bool found = false;
};

// Asks the plug-in which files a game needs (SDLL_Verification; Orvento's takes the IWAD number
// of the game) and looks for each as the launcher does. False with `error` when the plug-in
// lacks the export.
bool required_files(Launcher& launcher, int iwad, std::vector<RequiredFile>* files, std::string* error);

struct EngineCheck {
    int result = -1;                       // SDLL_EngineConfig: 0 accepted, 1 refused
    int engine_ready = -1;                 // -1: the plug-in did not say
    std::optional<unsigned> iwad_mask;
    std::vector<std::pair<int, std::string>> iwads;   // number and file of each IWAD the mask names
                                                      // (every row when the engine runs any IWAD)
    std::vector<RequiredFile> required;
    std::string folder;                    // the engine folder text
    bool folder_exists = false;
    std::string hint;                      // what to do next, empty when nothing is amiss
};

// False with `error` when the plug-in lacks an export.
bool check_engine(Launcher& launcher, EngineCheck* check, std::string* error);

void print_check(const EngineCheck& check, std::ostream& out);
nlohmann::json check_json(const EngineCheck& check);

}  // namespace host
