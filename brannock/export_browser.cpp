// export_browser.cpp: the server-browser exports, the launcher calls they make, in their order.
//
// Each export decodes a datagram, hands it to a reader (master_list.h, server_info.h,
// server_settings.h) and tells the launcher what the reader found.
#include <cstring>
#include <string>

#include "brannock/browser_exports.h"
#include "brannock/datagram.h"
#include "brannock/master_list.h"
#include "brannock/server_info.h"
#include "brannock/server_settings.h"
#include "frame/frame.h"
#include "frame/helpers.h"

namespace {

using frame::host;
using frame::host_handle;

constexpr const char* kServersGroup = "servers";
constexpr const char* kGeneralGroup = "general";
constexpr int kServerQueryResult = 5;   // the raw challenge length plus one

void set_multiplayer_int(const char* key, int value) {
    host<Host_SetMultiplayerInt_t>(kSlotSetMultiplayerInt)(host_handle(), kGeneralGroup, key, value);
}

void write_settings(const brannock::ServerSettings& s) {
    if (s.map) {
        // The map goes onto the hosted server's line later: one word, as every server name.
        const std::string map(frame::single_word(*s.map));
        host<Host_SetMultiplayerString_t>(kSlotSetMultiplayerString)(host_handle(), kGeneralGroup, "map", map.c_str());
        host<Host_SetMap_t>(kSlotSetMap)(host_handle(), map.c_str());
    }
    if (s.pwads) {
        for (const std::string& pwad : *s.pwads) host<Host_AddFile_t>(kSlotAddFile)(pwad.c_str());
    } else {
        host<Host_ReportMessage_t>(kSlotReportMessage)(brannock::kNoPwadMessage, brannock::kSettingsMessageLevel);
    }
    if (s.game) {
        set_multiplayer_int("type", brannock::game_type_setting(*s.game));
        for (int modifier : brannock::modifier_steps(*s.game)) set_multiplayer_int("modifier", modifier);
    }
    if (s.iwad) host<Host_SetIwad_t>(kSlotSetIwad)(host_handle(), brannock::iwad_setting(*s.iwad));
    if (s.skill) set_multiplayer_int("skill", *s.skill + 1);
    if (s.limits) {
        set_multiplayer_int("fraglimit", s.limits->frag);
        set_multiplayer_int("timelimit", s.limits->time);
        set_multiplayer_int("duellimit", s.limits->duel);
        set_multiplayer_int("pointlimit", s.limits->point);
        set_multiplayer_int("winlimit", s.limits->win);
    }
    for (const std::string& player : s.players) host<Host_AddPlayer_t>(kSlotAddPlayer)(player.c_str());
    if (s.flag_words) {
        auto set_int = host<Host_SetMultiplayerInt_t>(kSlotSetMultiplayerInt);
        for (const brannock::FlagItem& item : brannock::flag_items(*s.flag_words)) {
            set_int(host_handle(), item.group, item.key, item.value);
        }
    }
}

}  // namespace

SDLL_EXPORT void SDLL_CALL SDLL_QueryMasterserver(void) {
    frame::guarded_void([] {
        if (host<Host_GetEngineInt_t>(kSlotGetEngineInt)(host_handle(), kServersGroup, "performquery") == 0) return;
        const HostTextCopy address = GetEngineText(kServersGroup, "masteraddress");
        std::string host_text, port_text;
        SplitHostPort(address.c_str(), &host_text, &port_text, brannock::kDefaultMasterPort);
        const std::vector<unsigned char> packet = brannock::challenge_packet();
        host<Host_SendQuery_t>(kSlotSendQuery)(host_handle(), host_text.c_str(), port_text.c_str(), packet.data(),
                                               static_cast<int>(packet.size()), 0);
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_MasterserverResponse(void*, void*, const unsigned char* data, int length) {
    return frame::guarded(1, [&] {
        const auto decoded = brannock::decode_datagram(data, length, brannock::kMasterReplyArea);
        const brannock::MasterList list = brannock::read_master_list(decoded);
        if (list.status == brannock::MasterStatus::outdated) {
            host<Host_ReportMessage_t>(kSlotReportMessage)(brannock::kMasterOutdatedMessage,
                                                           brannock::kMasterOutdatedLevel);
        }
        for (const brannock::MasterEntry& entry : list.entries) {
            AddServerEntry(entry.address.c_str(), entry.port.c_str());   // the launcher's answer is not used
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
        const auto decoded = brannock::decode_datagram(data, length, brannock::kServerReplyArea);
        brannock::ServerInfo info;
        if (brannock::read_server_info(decoded, &info) != brannock::ReplyRead::complete) return 1;
        auto set_info = host<Host_SetServerInfo_t>(kSlotSetServerInfo);
        brannock::server_properties(info, [&](const char* key, const char* value) { set_info(server, key, value); });
        return 1;
    });
}

SDLL_EXPORT int SDLL_CALL SDLL_ServerGamesettings(void*, const unsigned char* data, int length) {
    return frame::guarded(0, [&] {
        const auto decoded = brannock::decode_datagram(data, length, brannock::kServerReplyArea);
        brannock::ServerSettings settings;
        switch (brannock::read_server_settings(decoded, &settings)) {
            case brannock::ReplyRead::foreign:
                return 0;
            case brannock::ReplyRead::truncated:
                host<Host_ReportMessage_t>(kSlotReportMessage)(brannock::kCutShortMessage,
                                                               brannock::kSettingsMessageLevel);
                return 0;
            case brannock::ReplyRead::complete:
                break;
        }
        write_settings(settings);
        return 1;
    });
}
