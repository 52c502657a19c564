// export_finish.cpp: notices the end of an Orvento game, puts back what the launch changed and
// files the recorded demo.
#include <string>

#include "frame/engine_session.h"
#include "frame/frame.h"
#include "frame/helpers.h"
#include "frame/messages.h"
#include "frame/paths.h"
#include "orvento/demo_filing.h"
#include "orvento/engine_check.h"
#include "orvento/game_session.h"
#include "orvento/launch_text.h"
#include "platform/platform.h"

namespace {

// Moves the engine's recording to `target`, replacing a file of that name in one step, so an
// older demo of that name goes only when the recording takes its place. Without a recording the
// older demo stays; a recording that cannot be moved stays where it is and the user is told.
void file_demo(const std::string& recording, const std::string& target) {
    if (recording == target || !frame::FileExists(recording)) return;
    if (!platform::move_file_replace(recording, target)) {
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
        const std::string engine_folder = paths.engine_path("general", "enginepath");
        session.finish_with_response_file(engine_folder);

        std::string demo_folder = paths.engine_path("general", "demopath");
        const std::string demo_name = GetMultiplayerText("demo", "file").str();
        if (orvento::uses_engine_folder(demo_folder)) demo_folder = paths.engine_path("general", "enginepath");

        if (orvento::records_demo(demo_name)) {
            file_demo(engine_folder + orvento::kRecording, orvento::demo_target(demo_folder, demo_name));
        }
        return 1;
    });
}
