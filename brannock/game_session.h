// game_session.h: what a Brannock launch leaves for its finish.
//
// The engine processes, the highlight colour saved before they started and the user's response
// file moved aside: the frame's engine session, one for a game among the launcher's users and one
// for a joined public server, each finished by its own export. The launcher runs one launch and
// its finish at a time, on its own thread, so process-wide sessions suffice.
#pragma once

#include "frame/engine_session.h"

namespace brannock {

// A game among the launcher's users (SDLL_LaunchMultiplayer): the client is the engine the finish
// waits for, the server (on the hosting machine) is stopped with it.
frame::EngineSession& game_session();
// A listed public server joined (SDLL_LaunchServer).
frame::EngineSession& join_session();

}  // namespace brannock
