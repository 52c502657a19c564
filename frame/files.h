// files.h: whether a file exists, the response file moved aside for a game and put back, and a
// file kept under the first free numbered name.
#pragma once

#include <string>
#include <string_view>

namespace frame {

// True when a directory search for the path finds an entry.
bool FileExists(const std::string& path);
// Folder and name are joined as they are: no separator is added.
bool FileExists(std::string_view folder, std::string_view name);

// "<path>.bak".
std::string backup_path(std::string_view path);

enum class Backup { no_file, moved_aside, backup_there, failed };
// Moves an existing file aside to backup_path. An older backup is never deleted: it may hold the
// user's file from a game whose end never came. `backup_there` and `failed` leave both files
// where they are; a rename never replaces, so a backup the search missed makes it fail.
Backup BackupFile(const std::string& path);
// True when backup_path(path) is found.
bool backup_exists(const std::string& path);
// Puts "<folder><name>.bak" back in place of "<folder><name>", replacing it. False when the backup
// cannot be moved (or there is none): the backup stays as it is.
bool RestoreFile(std::string_view folder, std::string_view name);

// Moves `path` to the first of "<stem>1<suffix>", "<stem>2<suffix>", ... that a directory search
// does not find, with a rename that never replaces. `moved_to` gets the name, also when the move
// fails (to name it to the user).
bool move_to_free_name(const std::string& path, std::string_view stem, std::string_view suffix, std::string* moved_to);

}  // namespace frame
