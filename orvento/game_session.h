// game_session.h: what an Orvento launch leaves for its finish.
//
// The engine process, the highlight colour saved before it started and the user's response file
// moved aside: the frame's engine session, one for the plug-in. The launcher runs one launch and
// its finish at a time, on its own thread, so one process-wide session suffices.
#pragma once

#include "frame/engine_session.h"

namespace orvento {

frame::EngineSession& game_session();

}  // namespace orvento
