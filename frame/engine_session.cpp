// engine_session.cpp: engine processes, the saved highlight colour and the response file, from a
// launch to its finish, through the platform layer.
#include "frame/engine_session.h"

#include "frame/engine_arguments.h"
#include "frame/files.h"
#include "frame/messages.h"

namespace frame {

void EngineSession::forget_earlier_launch() {
    forget_processes();
    highlight_.reset();
    launch_stopped_ = false;
}

void EngineSession::stop_launch() {
    put_back_in_.reset();
    launch_stopped_ = true;
}

bool EngineSession::back_up_response_file(const std::string& folder) {
    const std::string path = folder + kResponseFile;
    put_back_in_.reset();
    moved_aside_ = false;
    launch_stopped_ = false;
    std::string target = backup_path(path);
    switch (BackupFile(path)) {
        case Backup::moved_aside:
            moved_aside_ = true;
            put_back_in_ = folder;
            return true;
        case Backup::no_file:
            if (backup_exists(path)) put_back_in_ = folder;
            return true;
        case Backup::backup_there:
            if (keep_beside_backup(path, &target)) {
                put_back_in_ = folder;
                return true;
            }
            break;
        case Backup::failed: break;
    }
    launch_stopped_ = true;
    show_message(plugin_name_, not_moved_aside_message(plugin_name_, path, target).c_str());
    return false;
}

bool EngineSession::write_response_file(const std::string& folder, const std::string& text) {
    const std::string path = folder + kResponseFile;
    if (platform::create_text_file(path, text)) return true;
    // A file the backup step did not see may still be there: it was not written over.
    launch_stopped_ = true;
    show_message(plugin_name_, response_not_written_message(plugin_name_, path).c_str());
    if (moved_aside_) put_back_response_file(PutBack::beside_nothing);
    put_back_in_.reset();
    return false;
}

bool EngineSession::command_lines_fit(const std::string& folder,
                                      std::initializer_list<std::string_view> parameters) const {
    for (std::string_view text : parameters) {
        const std::size_t length = command_line_length(folder + engine_exe_, text);
        if (length >= kCommandLineMax) {
            show_message(plugin_name_, command_line_too_long_message(plugin_name_, length).c_str());
            return false;
        }
    }
    return true;
}

void EngineSession::save_highlight() { highlight_ = platform::get_highlight_color(); }

void EngineSession::start_server(const std::string& folder, const std::string& parameters) {
    server_ = platform::start_process(folder + engine_exe_, parameters, folder, platform::ShowMode::minimized);
    if (server_) platform::set_high_priority(server_);
}

void EngineSession::start_engine(const std::string& folder, const std::string& parameters) {
    engine_ = platform::start_process(folder + engine_exe_, parameters, folder, platform::ShowMode::normal);
}

bool EngineSession::engine_running() const {
    return engine_ && platform::wait_process(engine_, 1) == platform::WaitResult::running;
}

void EngineSession::finish() {
    if (server_) platform::terminate_process(server_);
    put_back_highlight();
    forget_processes();
}

void EngineSession::finish_with_response_file(const std::string& folder) {
    put_back_highlight();
    const std::string path = folder + kResponseFile;
    // No game of this session wrote the file there: it may be the user's, so it moves first.
    if (!put_back_in_ && !launch_stopped_ && backup_exists(path)) {
        std::string kept_as;
        if (!FileExists(path) || keep_beside_backup(path, &kept_as)) put_back_in_ = folder;
    }
    put_back_response_file(PutBack::over_response_file);
    forget_processes();
}

bool EngineSession::keep_beside_backup(const std::string& path, std::string* kept_as) {
    if (!move_to_free_name(path, path + ".", "", kept_as)) return false;
    show_message(plugin_name_, kept_beside_backup_message(plugin_name_, path, *kept_as).c_str());
    return true;
}

void EngineSession::put_back_response_file(PutBack how) {
    if (!put_back_in_) return;
    const std::string folder = *put_back_in_;
    const std::string path = folder + kResponseFile;
    put_back_in_.reset();
    // Beside nothing: a rename never replaces, so a file that came in the meantime stays.
    const bool moved = how == PutBack::over_response_file ? RestoreFile(folder, kResponseFile)
                                                          : platform::rename_file(backup_path(path), path);
    // A backup that is gone was put back by another launcher's finish.
    if (!moved && backup_exists(path)) show_message(plugin_name_, not_put_back_message(plugin_name_, path).c_str());
}

void EngineSession::put_back_highlight() const {
    if (highlight_) platform::set_highlight_color(*highlight_);
}

void EngineSession::forget_processes() {
    platform::close_process(engine_);
    platform::close_process(server_);
    engine_ = nullptr;
    server_ = nullptr;
}

}  // namespace frame
