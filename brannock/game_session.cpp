// game_session.cpp: the process-wide engine sessions of a game and of a join.
#include "brannock/game_session.h"

#include "brannock/names.h"

namespace brannock {

frame::EngineSession& game_session() {
    static frame::EngineSession session{kPluginName, kEngineExe};
    return session;
}

frame::EngineSession& join_session() {
    static frame::EngineSession session{kPluginName, kEngineExe};
    return session;
}

}  // namespace brannock
