// export_browser.cpp: the server-browser exports, the launcher calls they make, in their order.
//
// Each export decodes a datagram, hands it to a reader (master_list.h, server_list_columns.h,
// server_settings.h) and tells the launcher what the reader found.
#include <cstring>
#include <string>

#include "brannock/browser_exports.h"
#include "brannock/datagram.h"
#include "brannock/master_list.h"
#include "brannock/server_list_columns.h"
#include "brannock/reply_layout.h"
#include "brannock/server_settings.h"
#include "brannock/setting_keys.h"
#include "frame/address_list.h"
#include "frame/export_bodies.h"
#include "frame/launcher_text.h"
#include "frame/registry.h"

namespace {

using frame::host;
using frame::host_handle;

constexpr int kServerQueryResult = 5;   // the raw challenge length plus one

// The settings copy's launcher calls.
class LauncherSettings final : public brannock::SettingsSink {
public:
    // The integer setter is the launcher's own, asked for once: the flag items alone make 125 calls.
    LauncherSettings()
        : SettingsSink(host<Host_SetMultiplayerInt_t>(kSlotSetMultiplayerInt), host_handle()) {}

    void set_string(const char* group, const char* key, const char* value) override {
        host<Host_SetMultiplayerString_t>(kSlotSetMultiplayerString)(host_handle(), group, key, value);
    }
    void set_map(const char* map) override { host<Host_SetMap_t>(kSlotSetMap)(host_handle(), map); }
    void add_file(const char* file) override { host<Host_AddFile_t>(kSlotAddFile)(file); }
    void report_message(const char* text, int level) override {
        host<Host_ReportMessage_t>(kSlotReportMessage)(text, level);
    }
    void set_iwad(int number) override { host<Host_SetIwad_t>(kSlotSetIwad)(host_handle(), number); }
    void add_player(const char* name) override { host<Host_AddPlayer_t>(kSlotAddPlayer)(name); }
};

// The decode area is a local of these two, not of the exports, so that a reply refused at its
// magic does not pay for setting up 32 KB of stack.
[[gnu::noinline]] void list_server(ServerRef server, const unsigned char* data, int length) {
    unsigned char area[brannock::kServerReplyArea];
    brannock::ReplyFields reply;
    const auto decoded = brannock::decode_datagram(data, length, area);
    if (brannock::walk_reply(decoded, brannock::kListReading, &reply) != brannock::ReplyRead::complete) return;
    brannock::emit_server_properties(reply, host<Host_SetServerInfo_t>(kSlotSetServerInfo), server);
}

[[gnu::noinline]] int copy_settings(const unsigned char* data, int length) {
    unsigned char area[brannock::kServerReplyArea];
    brannock::ReplyFields reply;
    const auto decoded = brannock::decode_datagram(data, length, area);
    const brannock::ReplyRead read = brannock::walk_reply(decoded, brannock::kSettingsReading, &reply);
    LauncherSettings launcher;
    return brannock::write_game_settings(read, reply, launcher);
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_QueryMasterserver(void) {
    frame::guarded_void([] {
        if (host<Host_GetEngineInt_t>(kSlotGetEngineInt)(host_handle(), brannock::setting::perform_query.group, brannock::setting::perform_query.key) == 0) return;
        const frame::HostTextCopy address = frame::GetEngineText(brannock::setting::master_address);
        std::string host_text, port_text;
        frame::SplitHostPort(address.c_str(), &host_text, &port_text, brannock::kDefaultMasterPort);
        const std::vector<unsigned char> packet = brannock::challenge_packet();
        host<Host_SendQuery_t>(kSlotSendQuery)(host_handle(), host_text.c_str(), port_text.c_str(), packet.data(),
                                               static_cast<int>(packet.size()), 0);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_MasterserverResponse(void*, void*, const unsigned char* data, int length) {
    return frame::guarded(1, [&] {
        unsigned char area[brannock::kMasterReplyArea];
        const auto decoded = brannock::decode_datagram(data, length, area);
        const brannock::MasterStatus status = brannock::read_master_list(decoded, [](const char* address, const char* port) {
            frame::AddServerEntry(address, port);
        });
        if (status == brannock::MasterStatus::outdated) {
            host<Host_ReportMessage_t>(kSlotReportMessage)(brannock::kMasterOutdatedMessage,
                                                           brannock::kMasterOutdatedLevel);
        }
        return 1;
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerQueryData(void*, void*, unsigned char* out, int* outLength) {
    return frame::guarded(kServerQueryResult, [&] {
        const std::vector<unsigned char> packet = brannock::challenge_packet();
        // Only the packet itself reaches the launcher's area; the encoder's scratch room stays ours.
        if (out) std::memcpy(out, packet.data(), packet.size());
        if (outLength) *outLength = static_cast<int>(packet.size());
        return kServerQueryResult;
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerResponse(ServerRef server, const unsigned char* data, int length) {
    return frame::guarded(1, [&] {
        if (brannock::starts_as_server_reply(data, length)) list_server(server, data, length);
        return 1;
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerGamesettings(void*, const unsigned char* data, int length) {
    return frame::guarded(0, [&] {
        return brannock::starts_as_server_reply(data, length) ? copy_settings(data, length) : 0;
    });
}
