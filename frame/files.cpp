// files.cpp: file existence, the response file's backup and files kept under numbered names,
// through platform/platform.h.
#include "frame/files.h"

#include "platform/platform.h"

namespace frame {
namespace {

constexpr std::string_view kBackupSuffix = ".bak";
// A folder holding this many kept files is left alone: the last name is tried and the move fails.
constexpr int kMostNumberedNames = 999;

std::string joined(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + name.size());
    path.append(folder).append(name);
    return path;
}

}  // namespace

bool FileExists(const std::string& path) { return platform::file_exists(path); }

bool FileExists(std::string_view folder, std::string_view name) {
    return platform::file_exists(joined(folder, name));
}

std::string backup_path(std::string_view path) { return joined(path, kBackupSuffix); }

Backup BackupFile(const std::string& path) {
    const std::string backup = backup_path(path);
    if (!FileExists(path)) return Backup::no_file;
    if (FileExists(backup)) return Backup::backup_there;
    return platform::rename_file(path, backup) ? Backup::moved_aside : Backup::failed;
}

bool backup_exists(const std::string& path) { return FileExists(backup_path(path)); }

bool RestoreFile(std::string_view folder, std::string_view name) {
    const std::string path = joined(folder, name);
    // One move over the current file: there is no moment without either file.
    return platform::move_file_replace(backup_path(path), path);
}

bool move_to_free_name(const std::string& path, std::string_view stem, std::string_view suffix, std::string* moved_to) {
    for (int n = 1; n <= kMostNumberedNames; ++n) {
        *moved_to = joined(joined(stem, std::to_string(n)), suffix);
        if (!FileExists(*moved_to)) break;
    }
    return platform::rename_file(path, *moved_to);
}

}  // namespace frame
