// check_commands.cpp: the sdll-host commands that ask the plug-in whether a game can start:
// check, verify and multicheck.
#include <ostream>

#include "host/commands.h"
#include "host/engine_check.h"

namespace host::commands {

int check(const Run& run) {
    EngineCheck found;
    std::string error;
    if (!check_engine(run.launcher, &found, &error)) throw Failure{kExitUsage, error};
    if (run.options.json) print_json(check_json(found), run.out);
    else print_check(found, run.out);
    // The plug-in accepts an unset folder (the engine is simply not ready); the person is told.
    if (found.folder.empty())
        throw Failure{kExitRefused, "no engine folder is set, so no game can start; set it with: set "
                                    "engine/general/enginepath FOLDER/"};
    return found.result == 0 ? kExitOk : kExitRefused;
}

int verify(const Run& run) {
    std::vector<RequiredFile> files;
    std::string error;
    if (!required_files(run.launcher, run.options.verify_iwad, &files, &error)) throw Failure{kExitUsage, error};
    bool all_found = true;
    for (const auto& file : files) run.out << "required: " << file.path << "\n";
    for (const auto& file : files)
        if (!file.found) run.out << "missing: " << file.path << "\n", all_found = false;
    return all_found ? kExitOk : kExitRefused;
}

int multicheck(const Run& run) {
    const int result = require_export<SDLL_MultiConfig_t>(run.launcher, "SDLL_MultiConfig")();
    record_export(run.launcher, "SDLL_MultiConfig", nlohmann::json::array(), result);
    run.out << "SDLL_MultiConfig: " << result << (result == 0 ? " (accepted)" : " (refused)") << "\n";
    return result == 0 ? kExitOk : kExitRefused;
}

void verify_options(CLI::App* command, Options* o) {
    command->add_option("iwad", o->verify_iwad, "IWAD number (Orvento only)")->check(CLI::Range(0, 20));
}

}  // namespace host::commands
