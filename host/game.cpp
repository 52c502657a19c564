// game.cpp: waiting for a started game to end, and what the fake engine recorded meanwhile.
#include "host/game.h"

#include "host/udp.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <thread>

namespace host {

namespace {

constexpr int kFinishPollMs = 100;
constexpr const char* kEngineLogVariable = "FAKE_ENGINE_LOG";
constexpr std::size_t kAddressCapacity = 255;
constexpr const char* kOwnMachine = "127.0.0.1";

std::uintmax_t size_of(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

std::string address_fault(const std::string& entry) {
    if (entry.empty() || entry.size() > kAddressCapacity)
        return "--address '" + entry + "' must be 1.." + std::to_string(kAddressCapacity) + " characters";
    for (const unsigned char c : entry)
        if (c <= ' ') return "--address '" + entry + "' holds a blank or control character";
    const size_t colon = entry.rfind(':');
    if (colon != std::string::npos && !port_number(entry.substr(colon + 1)))
        return "--address '" + entry + "' has a port outside 1..65535";
    return "";
}

}  // namespace

bool launch_addresses(std::vector<std::string>* entries, int host_entry, int own_entry, std::string* error) {
    if (entries->empty()) entries->push_back(kOwnMachine);
    for (const auto& entry : *entries)
        if (std::string why = address_fault(entry); !why.empty()) return *error = why, false;
    const int last = static_cast<int>(entries->size()) - 1;
    for (const auto& [name, entry] : {std::pair{"--host-entry", host_entry}, {"--own-entry", own_entry}})
        if (entry < 0 || entry > last) {
            *error = std::string(name) + " " + std::to_string(entry) + " is outside the address list (0.." +
                     std::to_string(last) + "; one --address per player)";
            return false;
        }
    return true;
}

EngineRecord::EngineRecord() {
    if (const char* path = std::getenv(kEngineLogVariable)) path_ = path;
    mark_ = path_.empty() ? 0 : size_of(path_);
}

std::vector<nlohmann::json> EngineRecord::new_starts() const {
    std::vector<nlohmann::json> starts;
    if (path_.empty()) return starts;
    std::ifstream in(path_, std::ios::binary);
    // A log emptied since the mark (the demo does that) is read from its start.
    if (size_of(path_) >= mark_) in.seekg(static_cast<std::streamoff>(mark_));
    for (std::string line; std::getline(in, line);) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_object() && event.value("event", "") == "start") starts.push_back(std::move(event));
    }
    return starts;
}

void print_starts(const std::vector<nlohmann::json>& starts, std::ostream& out) {
    for (const auto& start : starts) {
        out << "engine started: " << start.value("command_line", "") << "\n";
        if (!start.contains("response_file")) continue;
        const auto& file = start["response_file"];
        out << "  response file " << file.value("name", "") << ":\n";
        std::istringstream lines(file.value("bytes", ""));
        for (std::string text; std::getline(lines, text);) {
            if (!text.empty() && text.back() == '\r') text.pop_back();
            out << "    " << text << "\n";
        }
    }
}

int wait_for_game(Launcher& launcher, const char* finish_export, double timeout_s, const EngineRecord& record,
                  std::ostream& out, std::ostream& err) {
    auto finished = launcher.get<SDLL_MultiplayerFinished_t>(finish_export);
    if (!finished) {
        err << "sdll-host: the plug-in " << launcher.name() << " lacks the export " << finish_export << "\n";
        return 2;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
    for (int poll = 0;; ++poll) {
        const int answer = finished();
        const bool out_of_time = std::chrono::steady_clock::now() >= end;
        if (answer != 1 && !out_of_time) {
            std::this_thread::sleep_for(std::chrono::milliseconds(kFinishPollMs));
            continue;
        }
        record_export(launcher, finish_export, nlohmann::json::array(), answer);
        const auto starts = record.new_starts();
        print_starts(starts, out);
        if (answer != 1) {
            err << "sdll-host: the game did not finish within " << timeout_s << " seconds\n";
            return 1;
        }
        // Done at the first poll: nothing ran, unless the fake engine says it started and ended.
        if (poll == 0 && (!record.in_use() || starts.empty())) {
            err << "sdll-host: the engine did not start (" << finish_export
                << " answered 1 at once" << (record.in_use() ? " and the fake engine recorded no start" : "")
                << "); check the engine folder with 'check' and the plug-in's messages above\n";
            return 1;
        }
        out << "game finished\n";
        return 0;
    }
}

}  // namespace host
