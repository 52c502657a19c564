// engine_os.h: the fake engine's door to the operating system: what it learns of its own process
// and of how it was started, its environment variables and its files. tools/fake-engine/posix/
// and win32/ implement what differs and are chosen whole by the build; what both offer alike is
// written once, in engine_files.cpp over the C++ standard library. fake_engine.cpp holds no
// system call of its own.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace fake_engine::os {

unsigned long process_id();
// Windows: the priority class (32 normal, 128 high); posix: the nice value (high is negative).
long priority();
// The show mode it was started with (Windows' SW_ numbers), if it was given one.
std::optional<int> show_mode();
// The whole command line as the engine got it: Windows hands it over as one text; on posix the
// starter hands the parameter text over whole and the program name is put before it.
std::string command_line(const char* program);
// This program's own file, to copy in as an engine.
std::filesystem::path own_program();
// Started as an engine: a console's Ctrl-C is not for it (a real engine's window never sees
// the console the launcher was started from).
void ignore_console_interrupt();

// ---- environment variables and files (engine_files.cpp) ---------------------------------------
// Paths and values as the system hands texts to the program (the ANSI code page on Windows), as
// its command line has them.
std::optional<std::string> variable(const char* name);   // nothing when it is not set
// A plain file's bytes; nothing for a missing file, a folder, or a file that cannot be opened.
std::optional<std::string> read_file(const std::string& path);
// Appends `text` in one write, so the lines of engines running side by side do not interleave.
bool append_to_file(const std::string& path, const std::string& text);
bool write_file(const std::string& path, const std::string& bytes);   // made, or written over
bool exists(const std::string& path);
void remove_file(const std::string& path);                             // a missing file is fine
std::string working_folder();
std::string full_folder(const std::string& folder);   // absolute, without "." and ".." steps
bool make_folder(const std::string& folder);          // with its parents; true when it is a folder
// `name` in `folder`, joined with the system's separator ("" gives the folder with one at its end).
std::string path_in(const std::string& folder, const std::string& name);
bool copy_file(const std::filesystem::path& from, const std::string& to);

}  // namespace fake_engine::os
