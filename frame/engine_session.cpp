// engine_session.cpp: engine processes, the saved highlight colour and the response file, from a
// launch to its finish, through the platform layer.
#include "frame/engine_session.h"

#include "frame/helpers.h"
#include "frame/messages.h"

namespace frame {

void EngineSession::forget_earlier_launch() {
    forget_processes();
    highlight_.reset();
}

void EngineSession::back_up_response_file(const std::string& folder) const {
    BackupFile(folder + kResponseFile);
}

bool EngineSession::write_response_file(const std::string& folder, const std::string& text) const {
    const std::string path = folder + kResponseFile;
    if (platform::write_text_file(path, text)) return true;
    platform::delete_file(path);
    RestoreFile(folder, kResponseFile);
    show_message(plugin_name_, response_not_written_message(plugin_name_, path).c_str());
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
    RestoreFile(folder, kResponseFile);
    forget_processes();
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
