// export_join.cpp: joining a listed public server. The engine gets its options from the response
// file in its folder; a response file the user keeps there is moved aside for the game and put
// back by the finish.
#include <optional>
#include <string>
#include <vector>

#include "brannock/exports.h"
#include "brannock/game_session.h"
#include "brannock/launch_text.h"
#include "brannock/names.h"
#include "brannock/setting_keys.h"
#include "frame/engine_arguments.h"
#include "frame/engine_session.h"
#include "frame/export_bodies.h"
#include "frame/launcher_text.h"
#include "frame/paths.h"
#include "frame/server_names.h"

namespace {

// The server's extra files as the launcher finds them on this machine; files it does not know
// are left out, so the line may read "-file" alone.
std::vector<std::string> find_server_files(frame::PathReader& paths, ServerRef server, int count) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        const std::string key = "PWAD" + std::to_string(i);
        const frame::HostTextCopy name = frame::GetServerText(server, key.c_str());
        // The launcher is asked for a plain file name only (server_file_name): "a.wad -exec x"
        // asks for "a.wad", "\\host\share\x.wad" for "x.wad", and "nul.wad" or "+exec" not at
        // all. The path it answers is the user's own and is used as it is.
        const std::optional<std::string_view> file_name = frame::server_file_name(name.view());
        if (!file_name) continue;
        const std::optional<std::string> path = paths.found_file(std::string(*file_name).c_str());
        if (!path) continue;
        files.push_back(frame::short_file_argument(*path, *path));
    }
    return files;
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_LaunchServer(ServerRef server, const char* playerName) {
    frame::guarded_void([&] {
        frame::PathReader paths(brannock::kPluginName);
        const std::string folder = paths.engine_path(brannock::setting::engine_folder);
        brannock::JoinGame game;
        game.iwad = frame::GetServerText(server, "IWAD").str();
        const std::string count_text = frame::GetServerText(server, "NUMPWADS").str();
        game.address = frame::GetServerText(server, "ADDRESS").str();
        game.port = frame::GetServerText(server, "PORT").str();
        const int count = brannock::parse_file_count(count_text);
        if (count > 0) game.files = find_server_files(paths, server, count);
        game.player_name = playerName ? playerName : "";

        frame::EngineSession& session = brannock::join_session();
        session.forget_earlier_launch();
        if (!session.back_up_response_file(folder)) return;
        game.parameters = frame::GetEngineText(brannock::setting::engine_parameters).str();
        if (!session.write_response_file(folder, brannock::response_file_text(game))) return;
        session.save_highlight();
        session.start_engine(folder, frame::kResponseArgument);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerFinished(void) {
    return frame::guarded(1, [] {
        frame::EngineSession& session = brannock::join_session();
        if (session.engine_running()) return 0;
        frame::PathReader paths(brannock::kPluginName);
        session.finish_with_response_file(paths.engine_path(brannock::setting::engine_folder));
        return 1;
    });
}
