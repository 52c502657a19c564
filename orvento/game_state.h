// game_state.h: what an Orvento launch leaves for its finish.
//
// The engine process and the highlight colour saved before it started. The launcher runs one
// launch and its finish at a time, on its own thread, so plain process-wide values suffice.
#pragma once

#include <cstdint>
#include <optional>

#include "frame/engine_process.h"
#include "platform/platform.h"

namespace orvento {

struct GameState {
    platform::ProcessHandle engine = nullptr;      // null: no engine to wait for
    frame::SavedHighlight saved_colour;            // none until a launch saved one
};

GameState& game_state();

}  // namespace orvento
