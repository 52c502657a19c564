// export_host_game.cpp: a game among the launcher's users. The hosting machine starts a
// minimised, high-priority server and then its own client; every other machine only its client.
// The launcher then polls the finish until the client has ended.
#include <string>
#include <vector>

#include "brannock/exports.h"
#include "brannock/flag_table.h"
#include "brannock/game_session.h"
#include "brannock/launch_text.h"
#include "brannock/names.h"
#include "brannock/setting_keys.h"
#include "frame/engine_session.h"
#include "frame/address_list.h"
#include "frame/export_bodies.h"
#include "frame/launcher_text.h"
#include "frame/registry.h"
#include "frame/iwads.h"
#include "frame/paths.h"
#include "platform/platform.h"

using frame::host;
using frame::host_handle;

namespace {

// The server's start-up needs a head start before the client connects to it.
constexpr unsigned kServerHeadStartMs = 1000;

int multiplayer_int(const frame::SettingKey& item) {
    return host<Host_GetMultiplayerInt_t>(kSlotGetMultiplayerInt)(host_handle(), item.group, item.key);
}

// The arguments that name the chosen extra files.
std::vector<std::string> chosen_file_arguments(frame::PathReader& paths) {
    std::vector<std::string> arguments;
    for (frame::ChosenFile& file : paths.chosen_files()) arguments.push_back(std::move(file.argument));
    return arguments;
}

// Read in the order the server line uses them: map, type, modifier, skill, then every flag item.
void read_server_rules(brannock::ServerGame* game) {
    game->map = frame::GetMultiplayerText(brannock::setting::map).str();
    game->type = multiplayer_int(brannock::setting::type);
    game->modifier = multiplayer_int(brannock::setting::modifier);
    game->skill = multiplayer_int(brannock::setting::skill);
    game->flags = brannock::compute_flag_words([](const char* group, const char* key) { return multiplayer_int({group, key}); });
}

brannock::Limits read_limits() {
    brannock::Limits limits{};
    for (std::size_t i = 0; i < brannock::kLimitKeys.size(); ++i) {
        limits[i] = multiplayer_int({brannock::setting::general, brannock::kLimitKeys[i]});
    }
    return limits;
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_LaunchMultiplayer(int iwad, int hostEntry, int ownEntry, int /*reserved*/,
                                                  const void* addresses, const char* playerName) {
    frame::guarded_void([&] {
        const bool hosting = hostEntry == ownEntry;
        frame::PathReader paths(brannock::kPluginName);
        const std::string folder = paths.engine_path(brannock::setting::engine_folder);
        std::string iwad_name;
        frame::IwadFileName(iwad, &iwad_name);
        const std::vector<std::string> files = chosen_file_arguments(paths);

        brannock::ClientGame client;
        frame::ReadCountedString(addresses, hostEntry, &client.host_address, frame::kAddressPartMax);
        client.iwad = iwad_name;
        client.files = files;
        client.parameters = frame::GetEngineText(brannock::setting::engine_parameters).str();
        client.player_name = playerName ? playerName : "";
        const std::string client_line = brannock::client_line(client);

        brannock::ServerGame server;
        if (hosting) {
            server.iwad = iwad_name;
            server.files = files;
            read_server_rules(&server);
        }
        server.limits = read_limits();   // every machine reads them; only the host uses them
        const std::string server_line = hosting ? brannock::server_line(server) : std::string();

        frame::EngineSession& session = brannock::game_session();
        if (!session.command_lines_fit(folder, {server_line, client_line})) return;
        session.forget_earlier_launch();
        session.save_highlight();
        if (hosting) {
            session.start_server(folder, server_line);
            platform::sleep_ms(kServerHeadStartMs);
        }
        session.start_engine(folder, client_line);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_MultiplayerFinished(void) {
    return frame::guarded(1, [] {
        frame::EngineSession& session = brannock::game_session();
        if (session.engine_running()) return 0;
        session.finish();
        return 1;
    });
}
