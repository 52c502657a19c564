// host.h: the stand-in launcher as a library.
//
// Loads a plug-in module the way the Vorlane launcher does (exports resolved by unadorned name,
// all 26 callbacks offered through SDLL_InitCall, then SDLL_Init and SDLL_LoadConfiguration),
// parses the settings description it hands over, keeps the settings, the file list, the game
// choices and the server list, answers every callback, and records each call in a journal.
//
// The launcher's callbacks carry no context pointer, so one Launcher is active per process at a
// time; opening a second one while the first is alive is refused.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "frame/launcher.h"
#include "host/description.h"

namespace host {

// One launcher callback as the plug-in made it.
// Exports the launcher itself calls are journalled too: SDLL_InitCall under the slot it offers,
// other exports under slot kSlotCount. An export's entry is added when it returns, after the
// entries of the callbacks it made.
struct JournalEntry {
    unsigned slot = 0;
    std::string name;          // "Host_GetMultiplayerInt", ..., or an export name such as "SDLL_Init"
    nlohmann::json args;       // array; texts as UTF-8 strings, handles as "host"/"server:N"
    nlohmann::json result;     // null for void
    bool undeclared = false;   // a settings read or write of a key the description lacks
    bool mistyped = false;     // an integer read of a text item, or a text read of an integer item

    nlohmann::json to_json() const;   // the journal line: {"slot","name","args","result",...}
};

struct Server {
    std::string address;
    std::string port;
    std::string iwad;   // the launcher-kept "IWAD" answer, learnt from the reply's settings
    std::vector<std::pair<std::string, std::string>> info;   // properties in the order first set
};

// Finds an export of plug-in code linked into the calling program by its unadorned name.
using ExportLookup = void* (*)(const char* export_name);

class Launcher {
public:
    // Loads the plug-in at `path`, offers slots 0..25 in ascending order, calls SDLL_Init and
    // SDLL_LoadConfiguration, and parses the description. Null with `error` set on failure.
    static std::unique_ptr<Launcher> open(const std::string& path, std::string* error);
    // The same for plug-in code linked into this program (tests that replace the plug-in's OS
    // calls); `label` names it in errors.
    static std::unique_ptr<Launcher> open_linked(ExportLookup lookup, const std::string& label, std::string* error);
    ~Launcher();

    const std::string& name() const;          // as written by SDLL_Init
    uint16_t capabilities() const;
    int load_configuration_result() const;
    const std::string& description_bytes() const;   // exactly as handed to slot 0
    const Description& description() const;

    // Any export by its unadorned name, typed; null when the module lacks it.
    template <typename Fn>
    Fn get(const char* export_name) const { return reinterpret_cast<Fn>(symbol(export_name)); }

    // ---- settings, addressed as "page/group/key" or by parts -------------------------------
    // Sets a value from its text form, checked against the item; false and `error` otherwise.
    bool set(const std::string& page, const std::string& group, const std::string& key,
             const std::string& value, std::string* error = nullptr);
    std::optional<std::string> get_value(const std::string& page, const std::string& group,
                                         const std::string& key) const;
    bool load_settings(const std::string& file, std::string* error);   // a missing file is fine
    bool save_settings(const std::string& file, std::string* error) const;

    // ---- launcher-kept game state ----------------------------------------------------------
    std::vector<std::string> files;        // extra game files (Host_GetFileCount/GetFile, AddFile)
    // The entries of `files` the last `copy` added (Host_AddFile), which the next copy replaces;
    // the rest are the user's own (`files add`).
    std::vector<std::string> copied_files;
    std::vector<std::pair<std::string, std::string>> known_files;   // name -> full path (FindFile)
    std::vector<std::string> wad_dirs;     // folders FindFile searches after known_files (saved)
    std::vector<std::string> run_wad_dirs; // searched after those, never saved (--wad-dir)
    // The full path of a game file named `name`, as Host_FindFile answers: the files told of by
    // name first, then the WAD folders in their order (names compared without regard to case).
    std::optional<std::string> find_game_file(const std::string& name) const;
    // The game state a reply's settings are written into, saved so that a scratch reading can be
    // undone (see browse.cpp).
    struct GameState {
        std::map<std::string, std::string> values;
        std::vector<std::string> files, copied_files, players;
        int iwad = 0;
        std::string map;
    };
    GameState game_state() const;
    void restore_game_state(GameState state);
    int iwad = 0;                          // Host_SetIwad
    std::string map;                       // Host_SetMap
    std::vector<std::string> players;      // Host_AddPlayer
    int engine_ready = -1;                 // Host_SetEngineReady, -1 before any call
    std::optional<unsigned> iwad_mask;     // Host_SetIwadMask
    std::vector<std::pair<std::string, std::string>> required_files;   // Host_RequireFile
    std::vector<std::string> missing_files;   // folder + name of each required file not found

    // ---- server list -----------------------------------------------------------------------
    std::vector<std::unique_ptr<Server>> servers;   // a ServerRef is the Server's address
    Server* add_server(const std::string& address, const std::string& port);
    static ServerRef ref(Server* server) { return server; }
    // The property as the plug-in reads it through slot 18: "IWAD", "NUMPWADS", "ADDRESS" and
    // "PORT" are answered from the launcher's own fields unless set explicitly.
    std::optional<std::string> server_info(const Server& server, const std::string& key) const;
    std::string server_iwad;                // the "IWAD" answer for a server without its own

    // ---- datagrams (Host_SendQuery) --------------------------------------------------------
    struct Datagram { std::string host, port; std::vector<unsigned char> data; };
    std::vector<Datagram> sent;
    // Called after a datagram is recorded in `sent`; the UDP layer puts it on the wire.
    std::function<void(const Datagram&)> on_send;

    // ---- messages ----------------------------------------------------------------------------
    struct Message { std::string text, caption; unsigned style = 0; int level = 0; };
    std::vector<Message> message_boxes;    // Host_MessageBox
    std::vector<Message> reports;          // Host_ReportMessage
    bool quiet = false;                    // true: messages are not echoed on stderr

    // ---- journal -----------------------------------------------------------------------------
    const std::vector<JournalEntry>& journal() const;
    void clear_journal();
    // Also append JSON lines to `path`, starting with the entries already in memory.
    void set_journal_file(const std::string& path);
    // Appends an entry (the command journals the exports it calls this way).
    void record(JournalEntry entry);
    HostHandle handle() const;   // the host handle given to SDLL_Init

    struct Impl;   // defined in host/launcher_impl.h, for the library's own files

private:
    friend struct LauncherAccess;   // the callbacks reach the state through it
    Launcher();
    static std::unique_ptr<Launcher> attach(std::unique_ptr<Launcher> launcher, const std::string& label,
                                            std::string* error);
    void* symbol(const char* export_name) const;
    std::unique_ptr<Impl> impl_;
};

// True for the Brannock plug-in, by the name its SDLL_Init wrote: its verification and launch
// exports take other arguments than Orvento's.
bool is_brannock(const Launcher& launcher);

// Journals an export the stand-in called, after it returned.
void record_export(Launcher& launcher, const char* name, nlohmann::json args, nlohmann::json result);

}  // namespace host
