// file_commands.cpp: the sdll-host `files` commands: the extra game files and the WAD folders
// kept in the settings file.
#include <ostream>

#include "host/commands.h"
#include "host/os.h"

namespace host::commands {
namespace {

// `files add` and `files wad-dir`: the full path kept in the settings file (the launcher hands
// the plug-in full paths, and the engine runs in its own folder); one that is not there (yet) is
// taken with a warning.
int keep_path(const Run& run, std::vector<std::string>* list, os::FileKind kind) {
    list->push_back(os::full_path(run.options.file));
    save(run.launcher, run.options);
    if (os::file_kind(list->back()) != kind)
        run.err << "sdll-host: warning: " << (kind == os::FileKind::folder ? "the folder " : "") << list->back()
                << " does not exist (yet)" << (kind == os::FileKind::folder ? "" : "; a game starts without it")
                << "\n";
    return kExitOk;
}

}  // namespace

int files_add(const Run& run) { return keep_path(run, &run.launcher.files, os::FileKind::file); }
int wad_dir_add(const Run& run) { return keep_path(run, &run.launcher.wad_dirs, os::FileKind::folder); }

// `files remove`: the entry as kept (a full path) or as given then; from the game files first.
int files_remove(const Run& run) {
    const std::string full = os::full_path(run.options.file);
    for (auto* list : {&run.launcher.files, &run.launcher.wad_dirs})
        for (auto at = list->begin(); at != list->end(); ++at)
            if (*at == run.options.file || *at == full) {
                list->erase(at);
                save(run.launcher, run.options);
                return kExitOk;
            }
    throw Failure{kExitUsage, run.options.file + " is neither an extra game file nor a WAD folder of the settings; "
                                                 "'files list' shows them"};
}

// In the settings file's own words, so a line can be copied either way.
int files_list(const Run& run) {
    for (const auto& path : run.launcher.files) run.out << "file = " << path << "\n";
    for (const auto& folder : run.launcher.wad_dirs) run.out << "wad-dir = " << folder << "\n";
    for (const auto& folder : run.launcher.run_wad_dirs) run.out << "wad-dir = " << folder << " (--wad-dir, this run)\n";
    return kExitOk;
}

void path_option(CLI::App* command, Options* o) {
    command->add_option("path", o->file, "the file (kept as a full path)")->required();
}

void folder_option(CLI::App* command, Options* o) {
    command->add_option("folder", o->file, "the folder (kept as a full path)")->required();
}

void entry_option(CLI::App* command, Options* o) {
    command->add_option("path", o->file, "the extra game file or WAD folder, as 'files list' shows it or as "
                                         "given to add")
        ->required();
}

}  // namespace host::commands
