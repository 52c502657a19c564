// engine_run.cpp: starting and supervising the Brannock engine through the platform layer.
#include "brannock/engine_run.h"

#include <optional>

#include "brannock/launch_text.h"

namespace brannock {

platform::ProcessHandle start_engine(const std::string& folder, const std::string& parameters,
                                     platform::ShowMode show) {
    return platform::start_process(folder + kEngineExe, parameters, folder, show);
}

bool engine_running(platform::ProcessHandle process) {
    // One millisecond at most: the launcher's thread calls this while it polls.
    return process && platform::wait_process(process, 1) == platform::WaitResult::running;
}

void forget_process(platform::ProcessHandle* process) {
    platform::close_process(*process);
    *process = nullptr;
}

void save_highlight(SavedHighlight* saved) {
    saved->color = platform::get_highlight_color();
    saved->saved = true;
}

void restore_highlight(const SavedHighlight& saved) {
    if (saved.saved) platform::set_highlight_color(saved.color);
}

}  // namespace brannock
