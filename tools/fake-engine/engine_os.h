// engine_os.h: the fake engine's door to the operating system: what it learns of its own process
// and of how it was started. tools/fake-engine/posix/ and win32/ implement it and are chosen whole
// by the build; fake_engine.cpp holds no system call of its own.
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

}  // namespace fake_engine::os
