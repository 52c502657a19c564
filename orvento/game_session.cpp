// game_session.cpp: the process-wide engine session shared by the launch and the finish.
#include "orvento/game_session.h"

#include "orvento/names.h"

namespace orvento {

frame::EngineSession& game_session() {
    static frame::EngineSession session{kPluginName, kEngineExe};
    return session;
}

}  // namespace orvento
