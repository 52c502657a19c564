// game.cpp: waiting for a started game to end, and what the fake engine recorded meanwhile.
#include "host/game.h"

#include "host/udp.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <thread>

namespace host {

namespace {

constexpr int kFinishPollMs = 100;
constexpr const char* kEngineLogVariable = "FAKE_ENGINE_LOG";
constexpr std::size_t kAddressCapacity = 255;
constexpr const char* kOwnMachine = "127.0.0.1";

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

void warn_missing_extra_files(const Launcher& launcher, std::ostream& err) {
    for (const auto& path : launcher.files)
        if (os::file_kind(path) != os::FileKind::file)
            err << "sdll-host: warning: the extra game file " << path << " does not exist; the engine starts "
                << "without it"
                << (path.find_first_of("/\\") == std::string::npos
                        ? " (a server's file, copied by name, is looked for in the WAD folders: files wad-dir FOLDER)"
                        : "")
                << "\n";
}

void warn_missing_wad_dirs(const Launcher& launcher, std::ostream& err) {
    for (const auto* folders : {&launcher.wad_dirs, &launcher.run_wad_dirs})
        for (const auto& folder : *folders)
            if (os::file_kind(folder) != os::FileKind::folder)
                err << "sdll-host: warning: the WAD folder " << folder << " does not exist; no game file is "
                    << "looked for there\n";
}

void warn_unfound_files(const Launcher& launcher, std::size_t first, std::ostream& err) {
    const auto& journal = launcher.journal();
    for (std::size_t i = first; i < journal.size(); ++i) {
        const JournalEntry& entry = journal[i];
        if (entry.slot != kSlotFindFile || !entry.result.is_null() || !entry.args[0].is_string()) continue;
        err << "sdll-host: warning: " << entry.args[0].get<std::string>() << " is in none of the WAD folders, so the "
            << "engine starts without it; put it in one (files wad-dir FOLDER, or --wad-dir FOLDER)\n";
    }
}

EngineRecord::EngineRecord() {
    if (const char* path = std::getenv(kEngineLogVariable)) path_ = path;
    mark_ = path_.empty() ? 0 : os::read_file(path_).value_or("").size();
}

std::vector<nlohmann::json> EngineRecord::new_starts(const std::optional<std::vector<unsigned long>>& ids) const {
    std::vector<nlohmann::json> starts;
    if (path_.empty()) return starts;
    const std::string log = os::read_file(path_).value_or("");
    // A log emptied since the mark (the demo does that) is read from its start.
    std::istringstream in(log.size() >= mark_ ? log.substr(mark_) : log);
    for (std::string line; std::getline(in, line);) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        if (!event.is_object() || event.value("event", "") != "start") continue;
        const unsigned long pid = event.value("pid", 0ul);
        if (!ids || std::find(ids->begin(), ids->end(), pid) != ids->end()) starts.push_back(std::move(event));
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

GameStart::GameStart(const Launcher& launcher)
    : mark_(os::mark_processes()), first_message_(launcher.message_boxes.size()) {}

void GameStart::launched() {
    launched_at_ = std::chrono::steady_clock::now();
    processes_ = os::processes_started_since(mark_);
}

std::string plugin_said(const Launcher& launcher, std::size_t first) {
    std::string said;
    for (std::size_t i = first; i < launcher.message_boxes.size(); ++i)
        said += (said.empty() ? "" : "; ") + ("\"" + launcher.message_boxes[i].text + "\"");
    return said.empty() ? "it showed no message" : "it said " + said;
}

int wait_for_game(Launcher& launcher, const char* finish_export, const GameStart& start, const GameWait& wait,
                  std::ostream& out, std::ostream& err) {
    auto finished = launcher.get<SDLL_MultiplayerFinished_t>(finish_export);
    if (!finished) {
        err << "sdll-host: the plug-in " << launcher.name() << " lacks the export " << finish_export << "\n";
        return 2;
    }
    const auto end = start.launched_at() + std::chrono::duration<double>(wait.timeout_s);
    int answer = 0;
    while ((answer = finished()) != 1 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(kFinishPollMs));
    const double lasted = std::chrono::duration<double>(std::chrono::steady_clock::now() - start.launched_at()).count();
    record_export(launcher, finish_export, nlohmann::json::array(), answer);

    const auto& processes = start.processes();
    const auto starts = start.record().new_starts(processes ? processes->ids : std::nullopt);
    print_starts(starts, out);
    // Counted processes decide; where the system counts none, the fake engine's record, and
    // failing both, a finish that was over at once.
    const bool created = processes ? processes->count > 0 || !starts.empty()
                         : start.record().in_use() ? !starts.empty()
                                                   : answer != 1 || lasted >= wait.at_once_s;
    if (!created) {
        err << "sdll-host: the engine did not start: no engine process was created, and the plug-in "
            << plugin_said(launcher, start.first_message()) << "; check the engine folder with 'check'\n";
        return 1;
    }
    if (answer != 1) {
        err << "sdll-host: the game did not finish within " << wait.timeout_s << " seconds\n";
        return 1;
    }
    if (lasted < wait.at_once_s) {
        err << "sdll-host: the engine ended at once (within " << wait.at_once_s << " s of its start); a real engine "
            << "does that when its command line is wrong" << (starts.empty() ? "" : ": see what it was started with above")
            << "\n";
        return 1;
    }
    out << "game finished\n";
    return 0;
}

}  // namespace host
