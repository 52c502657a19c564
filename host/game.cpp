// game.cpp: waiting for a started game to end, and what the fake engine recorded meanwhile.
#include "host/game.h"

#include "host/udp.h"

#include <algorithm>
#include <chrono>
#include <ostream>
#include <sstream>
#include <thread>

namespace host {

namespace {

constexpr int kFinishPollMs = 100;
constexpr const char* kEngineLogVariable = "FAKE_ENGINE_LOG";
constexpr std::size_t kAddressCapacity = 255;
constexpr const char* kOwnMachine = "127.0.0.1";
constexpr const char* kWarning = "sdll-host: warning: ";
constexpr const char* kInNoWadFolder =
    " is in none of the WAD folders, so the engine starts without it; put it in one (files wad-dir FOLDER, or "
    "--wad-dir FOLDER)\n";
constexpr const char* kDoesNotExist = " does not exist, so the engine starts without it\n";
constexpr const char* kInterrupted = "sdll-host: interrupted: stopped waiting for the game\n";
constexpr const char* kGoesOn =
    "sdll-host: the game goes on without the launcher, as when the launcher is closed\n";
constexpr const char* kStillRunning = "sdll-host: still running: pid ";
constexpr const char* kHostedServer = " (the server this machine hosts: it runs until you end it)";
constexpr const char* kServersRunning = "sdll-host: the server this machine hosts runs on too, until you end it\n";
constexpr const char* kHostedServerWord = " -host ";
constexpr const char* kResponseBackup = "doomargs.tmp.bak";
constexpr const char* kBackupKept = "sdll-host: your earlier doomargs.tmp is kept as ";
constexpr const char* kBackupReturns = "; the next game that finishes puts it back\n";

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

std::vector<std::string> files_for_game(const Launcher& launcher, std::ostream& err) {
    std::vector<std::string> passed;
    for (const auto& file : launcher.files) {
        const bool bare = file.find_first_of("/\\") == std::string::npos;
        const std::optional<std::string> found =
            bare ? launcher.find_game_file(file)
                 : os::file_kind(file) == os::FileKind::file ? std::optional<std::string>(file) : std::nullopt;
        if (found) passed.push_back(*found);
        else if (bare) err << kWarning << file << kInNoWadFolder;
        else err << kWarning << "the extra game file " << file << kDoesNotExist;
    }
    return passed;
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
        err << kWarning << entry.args[0].get<std::string>() << kInNoWadFolder;
    }
}

EngineRecord::EngineRecord() {
    path_ = os::environment_variable(kEngineLogVariable).value_or("");
    mark_ = path_.empty() ? 0 : os::read_file(path_).value_or("").size();
}

std::vector<nlohmann::json> EngineRecord::new_events() const {
    std::vector<nlohmann::json> events;
    if (path_.empty()) return events;
    const std::string log = os::read_file(path_).value_or("");
    // A log emptied since the mark (the demo does that) is read from its start.
    std::istringstream in(log.size() >= mark_ ? log.substr(mark_) : log);
    for (std::string line; std::getline(in, line);) {
        auto event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_object()) events.push_back(std::move(event));
    }
    return events;
}

std::vector<nlohmann::json> EngineRecord::new_starts(const std::optional<std::vector<unsigned long>>& ids) const {
    std::vector<nlohmann::json> starts;
    for (auto& event : new_events()) {
        if (event.value("event", "") != "start") continue;
        const unsigned long pid = event.value("pid", 0ul);
        if (!ids || std::find(ids->begin(), ids->end(), pid) != ids->end()) starts.push_back(std::move(event));
    }
    return starts;
}

std::vector<nlohmann::json> EngineRecord::still_running() const {
    std::vector<nlohmann::json> running;
    for (auto& event : new_events()) {
        const std::string kind = event.value("event", "");
        if (kind == "start") running.push_back(std::move(event));
        if (kind != "end") continue;
        const auto pid = event.value("pid", 0ul);
        std::erase_if(running, [&](const nlohmann::json& start) { return start.value("pid", 0ul) == pid; });
    }
    return running;
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

namespace {

// What goes on once the stand-in stops waiting: the engines still running, and where the user's
// earlier response file is kept.
void say_game_goes_on(const Launcher& launcher, const GameStart& start, std::ostream& err) {
    err << kGoesOn;
    if (start.record().in_use()) {
        for (const auto& engine : start.record().still_running()) {
            const std::string command_line = engine.value("command_line", "");
            err << kStillRunning << engine.value("pid", 0ul) << ": " << command_line
                << (command_line.find(kHostedServerWord) != std::string::npos ? kHostedServer : "") << "\n";
        }
    } else if (start.processes() && start.processes()->count > 1) {
        err << kServersRunning;   // a host's server and its client are the launches with two engines
    }
    const std::string folder = launcher.get_value("engine", "general", "enginepath").value_or("");
    if (!folder.empty() && os::file_kind(folder + kResponseBackup) == os::FileKind::file)
        err << kBackupKept << folder + kResponseBackup << kBackupReturns;
}

}  // namespace

int wait_for_game(Launcher& launcher, const char* finish_export, const GameStart& start, const GameWait& wait,
                  std::ostream& out, std::ostream& err) {
    auto finished = launcher.get<SDLL_MultiplayerFinished_t>(finish_export);
    if (!finished) {
        err << "sdll-host: the plug-in " << launcher.name() << " lacks the export " << finish_export << "\n";
        return 2;
    }
    const auto end = start.launched_at() + std::chrono::duration<double>(wait.timeout_s);
    int answer = 0;
    while ((answer = finished()) != 1 && std::chrono::steady_clock::now() < end && !os::interruption())
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
        const int interrupted = os::interruption();
        if (interrupted) err << kInterrupted;
        else err << "sdll-host: the game did not finish within " << wait.timeout_s << " seconds: stopped waiting\n";
        say_game_goes_on(launcher, start, err);
        return interrupted ? interrupted : 1;
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
