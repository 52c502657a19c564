// export_finish.cpp: notices the end of an Orvento game, puts back what the launch changed and
// files the recorded demo.
#include <string>

#include "frame/engine_session.h"
#include "frame/files.h"
#include "frame/export_bodies.h"
#include "frame/messages.h"
#include "frame/paths.h"
#include "orvento/demo_choice.h"
#include "orvento/demo_filing.h"
#include "orvento/game_session.h"
#include "orvento/launch_text.h"
#include "orvento/names.h"
#include "orvento/setting_keys.h"
#include "platform/platform.h"

namespace {

// Moves the engine's recording to `target`, replacing a file of that name in one step, so an
// older demo of that name goes only when the recording takes its place. Without a recording the
// older demo stays; a recording that cannot be moved stays where it is and the user is told. A
// name the code page could not hold is not used at all: its lossy form names another file.
void file_demo(const std::string& recording, const std::string& target, bool name_held) {
    if (recording == target || !frame::FileExists(recording)) return;
    if (!name_held) {
        frame::show_message(orvento::kPluginName, orvento::demo_name_lost_message(recording).c_str());
    } else if (!platform::move_file_replace(recording, target)) {
        frame::show_message(orvento::kPluginName, orvento::demo_not_filed_message(target, recording).c_str());
    }
}

}  // namespace

// 0 while the engine runs, 1 once the game is over and cleaned up.
SDLL_EXPORT int SDLL_CALL SDLL_MultiplayerFinished(void) {
    return frame::guarded(1, [] {
        frame::EngineSession& session = orvento::game_session();
        if (session.engine_running()) return 0;

        frame::PathReader paths(orvento::kPluginName);
        const std::string engine_folder = paths.engine_path(orvento::setting::engine_folder);
        session.finish_with_response_file(engine_folder);

        const orvento::DemoChoice demo = orvento::read_demo_choice(paths);
        // A launch that stopped short started no game: a recording here is an earlier game's.
        if (!session.launch_stopped() && orvento::records_demo(demo.name)) {
            file_demo(orvento::recording_path(engine_folder), demo.target, demo.name_held);
        }
        return 1;
    });
}
