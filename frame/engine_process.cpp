// engine_process.cpp: engine process handles and the saved highlight colour, through the
// platform layer.
#include "frame/engine_process.h"

namespace frame {

bool engine_running(platform::ProcessHandle process) {
    // One millisecond at most: the launcher's thread calls this while it polls.
    return process && platform::wait_process(process, 1) == platform::WaitResult::running;
}

void forget_process(platform::ProcessHandle* process) {
    platform::close_process(*process);
    *process = nullptr;
}

void save_highlight(SavedHighlight* saved) { *saved = platform::get_highlight_color(); }

void restore_highlight(const SavedHighlight& saved) {
    if (saved) platform::set_highlight_color(*saved);
}

}  // namespace frame
