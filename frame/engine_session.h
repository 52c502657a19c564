// engine_session.h: what a plug-in keeps from starting an engine to the finish that notices its
// end.
//
// The engine the player plays in, a hosting machine's own server, the highlight colour read just
// before the first start, and the response file: a file of that name the user keeps in the engine
// folder is moved aside for the game and put back by the finish. Each export calls these steps in
// the order its launcher calls need; what goes into the response file and onto the command lines
// is the plug-ins' own logic.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace frame {

// The engine reads its options from this file in its folder, named on the command line with '@'.
constexpr const char* kResponseFile = "doomargs.tmp";
constexpr const char* kResponseArgument = "@doomargs.tmp";

class EngineSession {
public:
    // `plugin_name` captions the messages; `engine_exe` is appended to the engine folder.
    constexpr EngineSession(const char* plugin_name, const char* engine_exe)
        : plugin_name_(plugin_name), engine_exe_(engine_exe) {}
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    // ---- the launch ------------------------------------------------------------------------

    // A launch before the last game's finish replaces what was kept: the old handles are closed,
    // never terminated, and no colour is put back until this launch has saved one.
    void forget_earlier_launch();

    // Moves a response file the user keeps in `folder` aside to its ".bak" name, replacing an
    // older backup. When it cannot be moved, the user is told and the answer is false: nothing
    // may be written over it. A backup an earlier finish could not put back stays where it is,
    // and the file in its place (this plug-in's own) makes way.
    bool back_up_response_file(const std::string& folder);
    // Writes the engine's response file into `folder`; it is created new, never over a file of
    // that name. When it cannot be written, nothing of it stays, the user's own file is put back,
    // the user is told, and the answer is false: the engine must not start on a stale or
    // half-written file.
    bool write_response_file(const std::string& folder, const std::string& text);

    // True when every engine start of this launch, one per parameter text, fits Windows' command
    // line. Otherwise the user is told and nothing may start.
    bool command_lines_fit(const std::string& folder, std::initializer_list<std::string_view> parameters) const;

    // Reads the highlight colour the finish puts back; just before the first engine start.
    void save_highlight();
    // Starts a hosting machine's own server from `folder`: minimised, at high priority.
    void start_server(const std::string& folder, const std::string& parameters);
    // Starts the engine the player plays in; the finish waits for it. A failed start keeps no
    // handle, so the next finish cleans up at once.
    void start_engine(const std::string& folder, const std::string& parameters);

    // ---- the finish ------------------------------------------------------------------------

    // True while the player's engine runs; waits one millisecond at most, as the launcher's
    // thread polls. A handle the system can no longer wait on counts as ended, so the polling
    // always comes to an end.
    bool engine_running() const;
    // Once the engine has ended: stops the server (never while the client still plays on it),
    // puts the highlight colour back and forgets the processes.
    void finish();
    // The same for a game started through the response file in `folder`, which then makes way
    // for the user's own file again; a backup there that no launch of this session made (left by
    // a game whose finish never came) is put back too, unless the last launch stopped short and
    // left the user's file in place. When the file cannot be put back, the user is told where it
    // is kept.
    void finish_with_response_file(const std::string& folder);

private:
    void put_back_highlight() const;
    void put_back_response_file();
    void forget_processes();

    const char* plugin_name_;
    const char* engine_exe_;
    platform::ProcessHandle engine_ = nullptr;
    platform::ProcessHandle server_ = nullptr;
    std::optional<std::uint32_t> highlight_;   // none: the system colours are left alone
    // The folder whose response file the user's version lies at the ".bak" name of until it is
    // put back; kept past a finish that could not put it back, so no later launch backs up over it.
    std::optional<std::string> moved_aside_in_;
    // The last launch stopped before its engine with the user's file where it was: the finish
    // must not put an older backup over it.
    bool user_file_in_place_ = false;
};

}  // namespace frame
