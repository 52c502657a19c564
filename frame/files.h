// files.h: whether a file exists, and the response file moved aside for a game and put back.
#pragma once

#include <string>
#include <string_view>

namespace frame {

// True when a directory search for the path finds an entry.
bool FileExists(const std::string& path);
// Folder and name are joined as they are: no separator is added.
bool FileExists(std::string_view folder, std::string_view name);

enum class Backup { no_file, moved_aside, failed };
// Moves an existing file aside to "<path>.bak", replacing an older backup. `failed` leaves the
// file where it is: an older backup that cannot be deleted makes the rename fail too.
Backup BackupFile(const std::string& path);
// True when "<path>.bak" is found.
bool BackupExists(const std::string& path);
// Puts "<folder><name>.bak" back in place of "<folder><name>", replacing it. False when the backup
// cannot be moved (or there is none): the backup stays as it is.
bool RestoreFile(std::string_view folder, std::string_view name);

}  // namespace frame
