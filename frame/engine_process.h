// engine_process.h: what both plug-ins keep of a running engine: its process handle and the
// highlight colour saved before it started, put back when the game is over.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/platform.h"

namespace frame {

// True while the process runs; a handle the system can no longer wait on counts as ended, so the
// launcher's polling always comes to an end. Waits one millisecond at most.
bool engine_running(platform::ProcessHandle process);

// Closes a kept handle and forgets it.
void forget_process(platform::ProcessHandle* process);

// The highlight colour read before an engine start; until something was saved, restoring leaves
// the system colours alone.
using SavedHighlight = std::optional<std::uint32_t>;
void save_highlight(SavedHighlight* saved);
void restore_highlight(const SavedHighlight& saved);

}  // namespace frame
