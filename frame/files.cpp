// files.cpp: file existence and the response file's backup, through platform/platform.h.
#include "frame/files.h"

#include "platform/platform.h"

namespace frame {
namespace {

constexpr std::string_view kBackupSuffix = ".bak";

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

Backup BackupFile(const std::string& path) {
    const std::string backup = joined(path, kBackupSuffix);
    if (!FileExists(path)) return Backup::no_file;
    if (FileExists(backup) && !platform::delete_file(backup)) return Backup::failed;
    // A rename never replaces: an old backup the search missed makes it fail, not vanish.
    return platform::rename_file(path, backup) ? Backup::moved_aside : Backup::failed;
}

bool BackupExists(const std::string& path) { return FileExists(joined(path, kBackupSuffix)); }

bool RestoreFile(std::string_view folder, std::string_view name) {
    const std::string path = joined(folder, name);
    // One move over the current file: there is no moment without either file.
    return platform::move_file_replace(joined(path, kBackupSuffix), path);
}

}  // namespace frame
