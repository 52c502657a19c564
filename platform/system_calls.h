// system_calls.h: the real fallible calls, defined by the implementation the build chose
// (win32/ or posix/) and gathered into the table of platform.h by fallible_calls.cpp. Only the
// platform layer includes this.
#pragma once

#include <string>

#include "platform/platform.h"

namespace platform::system {

bool short_path(const std::string& path, std::string* out);
bool file_exists(const std::string& path);
bool delete_file(const std::string& path);
bool rename_file(const std::string& from, const std::string& to);
bool move_file_replace(const std::string& from, const std::string& to);
bool create_text_file(const std::string& path, const std::string& text);
ProcessHandle start_process(const std::string& file, const std::string& parameters,
                            const std::string& folder, ShowMode show);
WaitResult wait_process(ProcessHandle process, unsigned milliseconds);

}  // namespace platform::system
