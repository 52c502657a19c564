// export_join.cpp: joining a listed public server. The engine gets its options from the response
// file "doomargs.tmp" in its folder; a response file the user keeps there is moved aside for the
// game and put back by the finish.
#include <string>
#include <vector>

#include "brannock/engine_run.h"
#include "brannock/exports.h"
#include "brannock/launch_text.h"
#include "frame/engine_process.h"
#include "frame/frame.h"
#include "frame/helpers.h"

namespace {

constexpr const char* kResponseFile = "doomargs.tmp";
constexpr const char* kResponseArgument = "@doomargs.tmp";

// Kept from a join to its finish, apart from the hosted game's.
platform::ProcessHandle g_join = nullptr;
frame::SavedHighlight g_join_highlight;

// The server's extra files as the launcher finds them on this machine; files it does not know
// are left out, so the line may read "-file" alone.
std::vector<std::string> find_server_files(ServerRef server, int count) {
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i) {
        const std::string key = "PWAD" + std::to_string(i);
        const HostTextCopy name = GetServerText(server, key.c_str());
        const HostTextCopy path = FindGameFile(name.c_str());
        if (path.is_null()) continue;
        files.push_back(frame::short_file_argument(path.str(), path.view()));
    }
    return files;
}

void tell_cannot_write(const std::string& path) {
    const std::string text =
        "Brannock could not write its response file " + path + ", so the game was not started.";
    frame::host<Host_MessageBox_t>(kSlotMessageBox)(text.c_str(), brannock::kPluginName,
                                                    brannock::kWarningStyle);
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_LaunchServer(ServerRef server, const char* playerName) {
    frame::guarded_void([&] {
        const std::string folder = GetEngineText("general", "enginepath").str();
        brannock::JoinGame game;
        game.iwad = GetServerText(server, "IWAD").str();
        const std::string count_text = GetServerText(server, "NUMPWADS").str();
        game.address = GetServerText(server, "ADDRESS").str();
        game.port = GetServerText(server, "PORT").str();
        const int count = brannock::parse_file_count(count_text);
        if (count > 0) game.files = find_server_files(server, count);
        game.player_name = playerName ? playerName : "";

        const std::string path = folder + kResponseFile;
        frame::BackupFile(path);
        game.parameters = GetEngineText("general", "parameters").str();
        frame::forget_process(&g_join);
        if (!platform::write_text_file(path, brannock::response_file_text(game))) {
            // Never start the engine on a stale or half-written file: drop what was written and
            // put the user's own file back.
            platform::delete_file(path);
            frame::RestoreFile(folder, kResponseFile);
            tell_cannot_write(path);
            return;
        }
        frame::save_highlight(&g_join_highlight);
        g_join = brannock::start_engine(folder, kResponseArgument, platform::ShowMode::normal);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerFinished(void) {
    return frame::guarded(1, [] {
        if (frame::engine_running(g_join)) return 0;
        const std::string folder = GetEngineText("general", "enginepath").str();
        frame::restore_highlight(g_join_highlight);
        frame::RestoreFile(folder, kResponseFile);
        frame::forget_process(&g_join);
        return 1;
    });
}
