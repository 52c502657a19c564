// fallible_calls.cpp: the table every fallible OS call goes through, and the calls the rest of
// the plug-ins make, each one step through it.
#include "platform/platform.h"
#include "platform/system_calls.h"

namespace platform {
namespace {

constexpr FallibleCalls kSystemCalls{
    system::short_path,        system::file_exists,      system::delete_file,   system::rename_file,
    system::move_file_replace, system::create_text_file, system::start_process, system::wait_process,
};

const FallibleCalls* g_calls = &kSystemCalls;

}  // namespace

const FallibleCalls& system_calls() { return kSystemCalls; }
void set_fallible_calls(const FallibleCalls* calls) { g_calls = calls ? calls : &kSystemCalls; }

bool short_path(const std::string& path, std::string* out) { return g_calls->short_path(path, out); }
bool file_exists(const std::string& path) { return g_calls->file_exists(path); }
bool delete_file(const std::string& path) { return g_calls->delete_file(path); }
bool rename_file(const std::string& from, const std::string& to) { return g_calls->rename_file(from, to); }
bool move_file_replace(const std::string& from, const std::string& to) {
    return g_calls->move_file_replace(from, to);
}
bool create_text_file(const std::string& path, const std::string& text) {
    return g_calls->create_text_file(path, text);
}
ProcessHandle start_process(const std::string& file, const std::string& parameters, const std::string& folder,
                            ShowMode show) {
    return g_calls->start_process(file, parameters, folder, show);
}
WaitResult wait_process(ProcessHandle process, unsigned milliseconds) {
    return g_calls->wait_process(process, milliseconds);
}

}  // namespace platform
