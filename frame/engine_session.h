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

    // The launch stops before the engine for a reason of the plug-in's own, with the user's files
    // where they were: the finish leaves them so.
    void stop_launch();
    // True when the last launch stopped before its engine; its finish has no game to clean up.
    bool launch_stopped() const { return launch_stopped_; }

    // Moves a response file the user keeps in `folder` aside to its ".bak" name. A backup already
    // there was left by a game whose finish never came and holds the user's earlier file: it is
    // kept for this game's finish to put back, and the file beside it (that game's leftover or a
    // file the user wrote since) moves to the first free numbered name, which the user is told.
    // When a file cannot be moved, the user is told and the answer is false: nothing may be
    // written over it.
    bool back_up_response_file(const std::string& folder);
    // Writes the engine's response file into `folder`; it is created new, never over a file of
    // that name. When it cannot be written, nothing of it stays, a file this launch moved aside
    // goes back, the user is told, and the answer is false: the engine must not start on a stale
    // or half-written file.
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
    // for the user's own file again. Without a game of this session there (a launcher started
    // anew), a backup found there is put back the same way, after the file beside it has moved to
    // a numbered name; unless the last launch stopped short with the user's files where they
    // were. When the file cannot be put back, the user is told where it is kept; a backup another
    // launcher's finish has put back already is no news.
    void finish_with_response_file(const std::string& folder);

private:
    enum class PutBack { over_response_file, beside_nothing };
    bool keep_beside_backup(const std::string& path, std::string* kept_as);
    void put_back_highlight() const;
    void put_back_response_file(PutBack how);
    void forget_processes();

    const char* plugin_name_;
    const char* engine_exe_;
    platform::ProcessHandle engine_ = nullptr;
    platform::ProcessHandle server_ = nullptr;
    std::optional<std::uint32_t> highlight_;   // none: the system colours are left alone
    // The folder whose backup holds the user's file that this game's finish puts back: moved
    // aside by the launch, or found there, left by a game that never finished.
    std::optional<std::string> put_back_in_;
    // The launch moved the user's file aside itself: a response file it cannot write puts it back.
    bool moved_aside_ = false;
    // The last launch stopped before its engine with the user's files where they were: the
    // finish leaves them there.
    bool launch_stopped_ = false;
};

}  // namespace frame
