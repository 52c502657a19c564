// callbacks.cpp: the 26 launcher functions a plug-in calls, answered for the open Launcher.
//
// Each callback journals its call (texts as UTF-8, the host handle as "host", a server as
// "server:N"), updates the launcher-kept state and answers. Texts from the plug-in are ANSI;
// texts handed back are UTF-16 kept alive by the Launcher. No exception leaves a callback: the
// plug-in's frames are in between.
#include <cctype>
#include <cstdio>
#include <optional>
#include <type_traits>

#include "host/launcher_impl.h"
#include "host/os.h"
#include "host/utf.h"

namespace host {

namespace {

Launcher* g_active = nullptr;

// ---- argument forms for the journal ---------------------------------------------------------

nlohmann::json text_arg(const char* text) {
    if (!text) return nullptr;
    return ansi_to_utf8(text);
}

nlohmann::json handle_arg(HostHandle handle) {
    if (g_active && handle == g_active->handle()) return "host";
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "handle:%p", handle);
    return buffer;
}

Server* find_server(ServerRef ref, size_t* index) {
    for (size_t i = 0; i < g_active->servers.size(); ++i)
        if (g_active->servers[i].get() == ref) {
            *index = i;
            return g_active->servers[i].get();
        }
    return nullptr;
}

nlohmann::json server_arg(ServerRef ref) {
    size_t index = 0;
    return find_server(ref, &index) ? "server:" + std::to_string(index) : std::string("server:?");
}

std::string hex_of(const unsigned char* data, int length) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (int i = 0; data && i < length; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

// ---- helpers ----------------------------------------------------------------------------------

JournalEntry entry_for(unsigned slot, nlohmann::json args) {
    return journal_entry(slot, callback_name(slot), std::move(args));
}

// A UTF-16 copy of `utf8` that stays valid for the Launcher's lifetime.
HostText keep(const std::string& utf8) {
    auto& texts = LauncherAccess::impl(*g_active).texts;
    texts.push_back(utf8_to_utf16(utf8));
    return texts.back().c_str();
}

void say(const std::string& line) {
    if (!g_active->quiet) std::fprintf(stderr, "%s\n", line.c_str());
}

// Runs a callback body; with no open launcher, or on any exception, answers `fallback`.
template <typename R, typename Body>
R answer(R fallback, Body&& body) noexcept {
    try {
        return g_active ? body() : fallback;
    } catch (...) {
        return fallback;
    }
}
template <typename Body>
void answer_void(Body&& body) noexcept {
    try {
        if (g_active) body();
    } catch (...) {
    }
}

// ---- settings ---------------------------------------------------------------------------------

int read_int(unsigned slot, const char* page, HostHandle handle, const char* group, const char* key) {
    JournalEntry entry = entry_for(slot, {handle_arg(handle), text_arg(group), text_arg(key)});
    const std::string g = ansi_to_utf8(group), k = ansi_to_utf8(key);
    const Item* item = g_active->description().item(page, g, k);
    int result = 0;
    if (!item) {
        entry.undeclared = true;
    } else {
        entry.mistyped = !reads_as_integer(item->type);
        result = integer_of(current_value(LauncherAccess::impl(*g_active), page, g, *item));
    }
    entry.result = result;
    g_active->record(std::move(entry));
    return result;
}

HostText read_text(unsigned slot, const char* page, HostHandle handle, const char* group, const char* key) {
    JournalEntry entry = entry_for(slot, {handle_arg(handle), text_arg(group), text_arg(key)});
    const std::string g = ansi_to_utf8(group), k = ansi_to_utf8(key);
    const Item* item = g_active->description().item(page, g, k);
    HostText result = nullptr;
    if (!item) {
        entry.undeclared = true;
    } else if (item->type == ItemType::Caption) {
        entry.mistyped = true;   // a caption holds no value
    } else {
        entry.mistyped = reads_as_integer(item->type);
        const std::string value = current_value(LauncherAccess::impl(*g_active), page, g, *item);
        entry.result = value;
        result = keep(value);
    }
    g_active->record(std::move(entry));
    return result;
}

// Slots 8 and 9 store what the plug-in gives, as the launcher would; a value its item cannot
// hold is stored all the same but reported, since a later read would show it.
void write_value(JournalEntry entry, const char* group, const char* key, const std::string& value,
                 bool integer_write) {
    const std::string g = ansi_to_utf8(group), k = ansi_to_utf8(key);
    const Item* item = g_active->description().item("multiplayer", g, k);
    if (!item) {
        entry.undeclared = true;
    } else {
        entry.mistyped = reads_as_integer(item->type) != integer_write;
        if (const auto fault = value_fault(*item, value))
            say("sdll-host: " + entry.name + " " + setting_address("multiplayer", g, k) + " " + *fault);
        LauncherAccess::impl(*g_active).values[setting_address("multiplayer", g, k)] = value;
    }
    g_active->record(std::move(entry));
}

// ---- the callbacks, by slot -------------------------------------------------------------------

void SDLL_CALL Host_SetConfiguration(const char* text, int byte_count) {
    answer_void([&] {
        auto& impl = LauncherAccess::impl(*g_active);
        impl.description_received = true;
        impl.description_bytes.assign(text && byte_count > 0 ? text : "",
                                      text && byte_count > 0 ? static_cast<size_t>(byte_count) : 0);
        const std::string shown = text ? "<" + std::to_string(byte_count) + " bytes>" : std::string();
        g_active->record(entry_for(kSlotSetConfiguration, {text ? nlohmann::json(shown) : nullptr, byte_count}));
    });
}

int SDLL_CALL Host_GetEngineInt(HostHandle handle, const char* group, const char* key) {
    return answer(0, [&] { return read_int(kSlotGetEngineInt, "engine", handle, group, key); });
}

HostText SDLL_CALL Host_GetEngineString(HostHandle handle, const char* group, const char* key) {
    return answer(HostText(nullptr), [&] { return read_text(kSlotGetEngineString, "engine", handle, group, key); });
}

int SDLL_CALL Host_MessageBox(const char* text, const char* caption, unsigned style) {
    return answer(1, [&] {
        Launcher::Message message{ansi_to_utf8(text), ansi_to_utf8(caption), style, 0};
        say("[" + message.caption + "] " + message.text);
        g_active->message_boxes.push_back(message);
        JournalEntry entry = entry_for(kSlotMessageBox, {text_arg(text), text_arg(caption), style});
        entry.result = 1;   // IDOK: the box never waits for anyone
        g_active->record(std::move(entry));
        return 1;
    });
}

int SDLL_CALL Host_GetMultiplayerInt(HostHandle handle, const char* group, const char* key) {
    return answer(0, [&] { return read_int(kSlotGetMultiplayerInt, "multiplayer", handle, group, key); });
}

HostText SDLL_CALL Host_GetMultiplayerString(HostHandle handle, const char* group, const char* key) {
    return answer(HostText(nullptr),
                  [&] { return read_text(kSlotGetMultiplayerString, "multiplayer", handle, group, key); });
}

void SDLL_CALL Host_SetMultiplayerInt(HostHandle handle, const char* group, const char* key, int value) {
    answer_void([&] {
        write_value(entry_for(kSlotSetMultiplayerInt, {handle_arg(handle), text_arg(group), text_arg(key), value}),
                    group, key, std::to_string(value), true);
    });
}

void SDLL_CALL Host_SetMultiplayerString(HostHandle handle, const char* group, const char* key, const char* text) {
    answer_void([&] {
        write_value(entry_for(kSlotSetMultiplayerString,
                              {handle_arg(handle), text_arg(group), text_arg(key), text_arg(text)}),
                    group, key, ansi_to_utf8(text), false);
    });
}

void SDLL_CALL Host_ReportMessage(const char* text, int level) {
    answer_void([&] {
        Launcher::Message message{ansi_to_utf8(text), "", 0, level};
        say("(" + std::to_string(level) + ") " + message.text);
        g_active->reports.push_back(message);
        g_active->record(entry_for(kSlotReportMessage, {text_arg(text), level}));
    });
}

// Folder and name are joined as they are, as the plug-ins join them.
void SDLL_CALL Host_RequireFile(const char* folder, const char* file_name) {
    answer_void([&] {
        const std::string shown = ansi_to_utf8(folder) + ansi_to_utf8(file_name);
        g_active->required_files.emplace_back(ansi_to_utf8(folder), ansi_to_utf8(file_name));
        if (os::file_kind(shown) != os::FileKind::file) {
            g_active->missing_files.push_back(shown);
            say("sdll-host: required file missing: " + shown);
        }
        g_active->record(entry_for(kSlotRequireFile, {text_arg(folder), text_arg(file_name)}));
    });
}

void SDLL_CALL Host_SetIwadMask(HostHandle handle, unsigned mask) {
    answer_void([&] {
        g_active->iwad_mask = mask;
        g_active->record(entry_for(kSlotSetIwadMask, {handle_arg(handle), mask}));
    });
}

int SDLL_CALL Host_GetFileCount(HostHandle handle) {
    return answer(0, [&] {
        const int count = static_cast<int>(g_active->files.size());
        JournalEntry entry = entry_for(kSlotGetFileCount, {handle_arg(handle)});
        entry.result = count;
        g_active->record(std::move(entry));
        return count;
    });
}

HostText SDLL_CALL Host_GetFile(HostHandle handle, int index) {
    return answer(HostText(nullptr), [&] {
        JournalEntry entry = entry_for(kSlotGetFile, {handle_arg(handle), index});
        HostText result = nullptr;
        if (index >= 0 && static_cast<size_t>(index) < g_active->files.size()) {
            entry.result = g_active->files[index];
            result = keep(g_active->files[index]);
        }
        g_active->record(std::move(entry));
        return result;
    });
}

void SDLL_CALL Host_SendQuery(HostHandle handle, const char* host_text, const char* port,
                              const unsigned char* data, int length, int zero) {
    answer_void([&] {
        Launcher::Datagram datagram{ansi_to_utf8(host_text), ansi_to_utf8(port), {}};
        if (data && length > 0) datagram.data.assign(data, data + length);
        g_active->sent.push_back(datagram);
        g_active->record(entry_for(kSlotSendQuery, {handle_arg(handle), text_arg(host_text), text_arg(port),
                                                    hex_of(data, length), length, zero}));
        if (g_active->on_send) g_active->on_send(datagram);
    });
}

HostText SDLL_CALL Host_AddServer(HostHandle handle, const char* address, const char* port) {
    return answer(HostText(nullptr), [&] {
        Server* server = g_active->add_server(ansi_to_utf8(address), ansi_to_utf8(port));
        const std::string text = server->address + ":" + server->port;
        JournalEntry entry = entry_for(kSlotAddServer, {handle_arg(handle), text_arg(address), text_arg(port)});
        entry.result = text;
        g_active->record(std::move(entry));
        return keep(text);
    });
}

void SDLL_CALL Host_SetServerInfo(ServerRef ref, const char* key, const char* value) {
    answer_void([&] {
        size_t index = 0;
        if (Server* server = find_server(ref, &index)) {
            const std::string k = ansi_to_utf8(key), v = ansi_to_utf8(value);
            bool replaced = false;
            for (auto& entry : server->info)
                if (entry.first == k) {
                    entry.second = v;
                    replaced = true;
                }
            if (!replaced) server->info.emplace_back(k, v);
        }
        g_active->record(entry_for(kSlotSetServerInfo, {server_arg(ref), text_arg(key), text_arg(value)}));
    });
}

HostText SDLL_CALL Host_GetServerInfo(ServerRef ref, const char* key) {
    return answer(HostText(nullptr), [&] {
        JournalEntry entry = entry_for(kSlotGetServerInfo, {server_arg(ref), text_arg(key)});
        size_t index = 0;
        HostText result = nullptr;
        if (Server* server = find_server(ref, &index)) {
            if (const auto value = g_active->server_info(*server, ansi_to_utf8(key))) {
                entry.result = *value;
                result = keep(*value);
            }
        }
        g_active->record(std::move(entry));
        return result;
    });
}

// File names on the launcher's platform compare without regard to case.
bool same_file_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The full path of a plain file named `wanted` in `folder`, however the folder was given (the
// engine runs in its own folder, where a relative path names nothing). Only names in the folder
// are compared, so a name from a server's reply cannot lead outside it.
std::optional<std::string> file_in_folder(const std::string& folder, const std::string& wanted) {
    for (const auto& [name, path] : os::files_in(folder))
        if (same_file_name(name, wanted)) return path;
    return std::nullopt;
}

HostText SDLL_CALL Host_FindFile(const char* file_name) {
    return answer(HostText(nullptr), [&] {
        JournalEntry entry = entry_for(kSlotFindFile, {text_arg(file_name)});
        HostText result = nullptr;
        if (const auto path = g_active->find_game_file(ansi_to_utf8(file_name))) {
            entry.result = *path;
            result = keep(*path);
        }
        g_active->record(std::move(entry));
        return result;
    });
}

// A server's file comes by name; the launcher keeps the full path when a WAD folder holds it, as
// the engine needs one (it runs in its own folder), and notes it as copied.
void SDLL_CALL Host_AddFile(const char* file_name) {
    answer_void([&] {
        const std::string name = ansi_to_utf8(file_name);
        g_active->files.push_back(g_active->find_game_file(name).value_or(name));
        g_active->copied_files.push_back(g_active->files.back());
        g_active->record(entry_for(kSlotAddFile, {text_arg(file_name)}));
    });
}

void SDLL_CALL Host_SetIwad(HostHandle handle, int iwad) {
    answer_void([&] {
        g_active->iwad = iwad;
        g_active->record(entry_for(kSlotSetIwad, {handle_arg(handle), iwad}));
    });
}

void SDLL_CALL Host_SetMap(HostHandle handle, const char* map) {
    answer_void([&] {
        g_active->map = ansi_to_utf8(map);
        g_active->record(entry_for(kSlotSetMap, {handle_arg(handle), text_arg(map)}));
    });
}

void SDLL_CALL Host_AddPlayer(const char* name) {
    answer_void([&] {
        g_active->players.push_back(ansi_to_utf8(name));
        g_active->record(entry_for(kSlotAddPlayer, {text_arg(name)}));
    });
}

void SDLL_CALL Host_SetEngineReady(HostHandle handle, int flag) {
    answer_void([&] {
        g_active->engine_ready = flag;
        g_active->record(entry_for(kSlotSetEngineReady, {handle_arg(handle), flag}));
    });
}

// Slots 3, 4 and 25 are offered but have no use; a call is journalled so a test can catch it.
template <unsigned Slot>
int SDLL_CALL Host_Unused() {
    return answer(0, [&] {
        g_active->record(entry_for(Slot, nlohmann::json::array()));
        return 0;
    });
}

struct Callback {
    const char* name;
    void* function;
};

const Callback kCallbacks[kSlotCount] = {
    {"Host_SetConfiguration", reinterpret_cast<void*>(&Host_SetConfiguration)},
    {"Host_GetEngineInt", reinterpret_cast<void*>(&Host_GetEngineInt)},
    {"Host_GetEngineString", reinterpret_cast<void*>(&Host_GetEngineString)},
    {"Host_Unused3", reinterpret_cast<void*>(&Host_Unused<3>)},
    {"Host_Unused4", reinterpret_cast<void*>(&Host_Unused<4>)},
    {"Host_MessageBox", reinterpret_cast<void*>(&Host_MessageBox)},
    {"Host_GetMultiplayerInt", reinterpret_cast<void*>(&Host_GetMultiplayerInt)},
    {"Host_GetMultiplayerString", reinterpret_cast<void*>(&Host_GetMultiplayerString)},
    {"Host_SetMultiplayerInt", reinterpret_cast<void*>(&Host_SetMultiplayerInt)},
    {"Host_SetMultiplayerString", reinterpret_cast<void*>(&Host_SetMultiplayerString)},
    {"Host_ReportMessage", reinterpret_cast<void*>(&Host_ReportMessage)},
    {"Host_RequireFile", reinterpret_cast<void*>(&Host_RequireFile)},
    {"Host_SetIwadMask", reinterpret_cast<void*>(&Host_SetIwadMask)},
    {"Host_GetFileCount", reinterpret_cast<void*>(&Host_GetFileCount)},
    {"Host_GetFile", reinterpret_cast<void*>(&Host_GetFile)},
    {"Host_SendQuery", reinterpret_cast<void*>(&Host_SendQuery)},
    {"Host_AddServer", reinterpret_cast<void*>(&Host_AddServer)},
    {"Host_SetServerInfo", reinterpret_cast<void*>(&Host_SetServerInfo)},
    {"Host_GetServerInfo", reinterpret_cast<void*>(&Host_GetServerInfo)},
    {"Host_FindFile", reinterpret_cast<void*>(&Host_FindFile)},
    {"Host_AddFile", reinterpret_cast<void*>(&Host_AddFile)},
    {"Host_SetIwad", reinterpret_cast<void*>(&Host_SetIwad)},
    {"Host_SetMap", reinterpret_cast<void*>(&Host_SetMap)},
    {"Host_AddPlayer", reinterpret_cast<void*>(&Host_AddPlayer)},
    {"Host_SetEngineReady", reinterpret_cast<void*>(&Host_SetEngineReady)},
    {"Host_Unused25", reinterpret_cast<void*>(&Host_Unused<25>)},
};

// The table must match the launcher's function types, slot by slot.
static_assert(std::is_same_v<decltype(&Host_SetConfiguration), Host_SetConfiguration_t>);
static_assert(std::is_same_v<decltype(&Host_GetEngineInt), Host_GetEngineInt_t>);
static_assert(std::is_same_v<decltype(&Host_GetEngineString), Host_GetEngineString_t>);
static_assert(std::is_same_v<decltype(&Host_MessageBox), Host_MessageBox_t>);
static_assert(std::is_same_v<decltype(&Host_GetMultiplayerInt), Host_GetMultiplayerInt_t>);
static_assert(std::is_same_v<decltype(&Host_GetMultiplayerString), Host_GetMultiplayerString_t>);
static_assert(std::is_same_v<decltype(&Host_SetMultiplayerInt), Host_SetMultiplayerInt_t>);
static_assert(std::is_same_v<decltype(&Host_SetMultiplayerString), Host_SetMultiplayerString_t>);
static_assert(std::is_same_v<decltype(&Host_ReportMessage), Host_ReportMessage_t>);
static_assert(std::is_same_v<decltype(&Host_RequireFile), Host_RequireFile_t>);
static_assert(std::is_same_v<decltype(&Host_SetIwadMask), Host_SetIwadMask_t>);
static_assert(std::is_same_v<decltype(&Host_GetFileCount), Host_GetFileCount_t>);
static_assert(std::is_same_v<decltype(&Host_GetFile), Host_GetFile_t>);
static_assert(std::is_same_v<decltype(&Host_SendQuery), Host_SendQuery_t>);
static_assert(std::is_same_v<decltype(&Host_AddServer), Host_AddServer_t>);
static_assert(std::is_same_v<decltype(&Host_SetServerInfo), Host_SetServerInfo_t>);
static_assert(std::is_same_v<decltype(&Host_GetServerInfo), Host_GetServerInfo_t>);
static_assert(std::is_same_v<decltype(&Host_FindFile), Host_FindFile_t>);
static_assert(std::is_same_v<decltype(&Host_AddFile), Host_AddFile_t>);
static_assert(std::is_same_v<decltype(&Host_SetIwad), Host_SetIwad_t>);
static_assert(std::is_same_v<decltype(&Host_SetMap), Host_SetMap_t>);
static_assert(std::is_same_v<decltype(&Host_AddPlayer), Host_AddPlayer_t>);
static_assert(std::is_same_v<decltype(&Host_SetEngineReady), Host_SetEngineReady_t>);

}  // namespace

// Files the launcher was told of by name first, then the user's WAD folders in their order.
std::optional<std::string> Launcher::find_game_file(const std::string& wanted) const {
    for (const auto& [name, path] : known_files)
        if (same_file_name(name, wanted)) return path;
    if (wanted.empty()) return std::nullopt;
    for (const auto* folders : {&wad_dirs, &run_wad_dirs})
        for (const auto& folder : *folders)
            if (auto path = file_in_folder(folder, wanted)) return path;
    return std::nullopt;
}

Launcher* active_launcher() { return g_active; }
void set_active_launcher(Launcher* launcher) { g_active = launcher; }
void* callback_function(unsigned slot) { return slot < kSlotCount ? kCallbacks[slot].function : nullptr; }
const char* callback_name(unsigned slot) { return slot < kSlotCount ? kCallbacks[slot].name : "?"; }

}  // namespace host
