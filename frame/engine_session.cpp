// engine_session.cpp: engine processes, the saved highlight colour and the response file, from a
// launch to its finish, through the platform layer.
#include "frame/engine_session.h"

#include "frame/command_line.h"
#include "frame/files.h"
#include "frame/messages.h"

namespace frame {

void EngineSession::forget_earlier_launch() {
    forget_processes();
    highlight_.reset();
}

bool EngineSession::back_up_response_file(const std::string& folder) {
    const std::string path = folder + kResponseFile;
    user_file_in_place_ = false;
    if (moved_aside_in_ == folder) {
        // What lies at `path` is the response file of the game whose finish failed; the user's
        // own stays in the backup until a finish puts it back.
        platform::delete_file(path);
        return true;
    }
    moved_aside_in_.reset();
    switch (BackupFile(path)) {
        case Backup::no_file: return true;
        case Backup::moved_aside: moved_aside_in_ = folder; return true;
        case Backup::failed: break;
    }
    user_file_in_place_ = true;
    show_message(plugin_name_, not_moved_aside_message(plugin_name_, path).c_str());
    return false;
}

bool EngineSession::write_response_file(const std::string& folder, const std::string& text) {
    const std::string path = folder + kResponseFile;
    if (platform::create_text_file(path, text)) return true;
    // A file the backup step did not see may still be there: it was not written over.
    user_file_in_place_ = true;
    show_message(plugin_name_, response_not_written_message(plugin_name_, path).c_str());
    put_back_response_file();
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
    if (!moved_aside_in_ && !user_file_in_place_ && BackupExists(folder + kResponseFile)) moved_aside_in_ = folder;
    put_back_response_file();
    forget_processes();
}

void EngineSession::put_back_response_file() {
    if (!moved_aside_in_) return;
    if (RestoreFile(*moved_aside_in_, kResponseFile)) {
        moved_aside_in_.reset();
        return;
    }
    const std::string path = *moved_aside_in_ + kResponseFile;
    show_message(plugin_name_, not_put_back_message(plugin_name_, path).c_str());
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
