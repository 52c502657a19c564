// game_state.cpp: the process-wide state shared by the launch and the finish.
#include "orvento/game_state.h"

namespace orvento {

GameState& game_state() {
    static GameState state;
    return state;
}

}  // namespace orvento
