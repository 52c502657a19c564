// fake_engine.cpp: a stand-in engine that records how it was started and exits when told.
//
// Started under an engine's file name (Brannock.exe, doom32.exe), it appends JSON lines to the
// file named by FAKE_ENGINE_LOG, each one write, each naming its process number ("pid"):
//
//   {"event":"start", ...}     at once: "program", "argv", "command_line" (the exact text the
//                              engine got: GetCommandLineA on Windows), "parameters" (that text
//                              after the program name and its one separating blank, byte for
//                              byte), "show" (the show mode it was given: wShowWindow of its
//                              start-up information, null when none was given), "priority",
//                              "cwd", "release" (its own release file) and, for an "@NAME"
//                              argument, "response_file" with the file's exact bytes (or
//                              "unreadable" when it is no plain file);
//   {"event":"priority", ...}  whenever its priority differs from the one last recorded;
//   {"event":"end", ...}       as it ends by itself, with "priority" and "released" (false when
//                              it gave up waiting). A process that is killed writes no end line.
//
// "priority" is the priority class on Windows (GetPriorityClass: 32 normal, 128 high) and the
// nice value on posix (getpriority; the platform layer's high priority is a negative nice). On
// posix there is no command line and no show mode: the platform layer hands the child the exact
// parameter text and the show mode number in SDLL_START_PARAMETERS and SDLL_START_SHOW, and the
// command line is recorded as the program, one blank and that text.
//
// It ends once its own release file exists (FAKE_ENGINE_RELEASE, "-" and its pid, as recorded in
// "release") or the common one (FAKE_ENGINE_RELEASE itself), both polled every 20 ms, or after
// FAKE_ENGINE_TIMEOUT seconds (default 30). Without FAKE_ENGINE_RELEASE it ends at once. Given
// "-record NAME" on its command line or in the response file, it leaves NAME.lmp in its working
// folder as it ends, as an engine would.
// "fake-engine --show LOG" prints the starts recorded in LOG for a person to read.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/resource.h>
#include <unistd.h>

#include "platform/posix/child_environment.h"
#endif

namespace {

using nlohmann::json;

constexpr int kPollMs = 20;
constexpr int kDefaultTimeoutSeconds = 30;
constexpr const char kDemoBytes[] = "fake demo recorded by the test engine\n";
constexpr const char kHelp[] =
    "usage: fake-engine [engine arguments]   (installed as Brannock.exe or doom32.exe)\n"
    "       fake-engine --show LOG            print the engine starts recorded in LOG\n"
    "\n"
    "Records how it was started as JSON lines in $FAKE_ENGINE_LOG (\"start\" at once,\n"
    "\"priority\" on every change, \"end\" as it ends by itself), then waits until\n"
    "$FAKE_ENGINE_RELEASE-<pid> (its own) or $FAKE_ENGINE_RELEASE (every engine's) exists,\n"
    "or $FAKE_ENGINE_TIMEOUT seconds (default 30) pass. \"-record NAME\" leaves NAME.lmp.\n";

// The file's bytes; nothing for a missing file or anything that is not a plain file (reading a
// folder throws).
std::optional<std::string> read_whole(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string hex_of(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

unsigned long process_id() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

long current_priority() {
#ifdef _WIN32
    return static_cast<long>(GetPriorityClass(GetCurrentProcess()));
#else
    return getpriority(PRIO_PROCESS, 0);
#endif
}

json show_mode() {
#ifdef _WIN32
    STARTUPINFOA info{};
    info.cb = sizeof info;
    GetStartupInfoA(&info);
    if (!(info.dwFlags & STARTF_USESHOWWINDOW)) return nullptr;
    return info.wShowWindow;
#else
    const char* text = std::getenv(platform::detail::kShowVariable);
    if (!text || !*text) return nullptr;
    return std::atoi(text);
#endif
}

// The command line as one text. Windows hands it over whole; on posix the parameters come whole
// from the starter and the program name is put before them as Windows would.
std::string raw_command_line(const char* program) {
#ifdef _WIN32
    (void)program;
    return GetCommandLineA();
#else
    const char* parameters = std::getenv(platform::detail::kParametersVariable);
    return std::string(program) + " " + (parameters ? parameters : "");
#endif
}

// The command line after the program name and the one blank that follows it. The program name
// ends at its closing quote when it starts with one, else at the first blank or tab.
std::string parameters_of(const std::string& command_line) {
    std::size_t end = 0;
    if (!command_line.empty() && command_line[0] == '"') {
        end = command_line.find('"', 1);
        end = end == std::string::npos ? command_line.size() : end + 1;
    } else {
        end = command_line.find_first_of(" \t");
        if (end == std::string::npos) end = command_line.size();
    }
    if (end < command_line.size() && (command_line[end] == ' ' || command_line[end] == '\t')) ++end;
    return command_line.substr(end);
}

// The name after "-record" among `words`, if any.
std::optional<std::string> record_name(const std::vector<std::string>& words) {
    for (size_t i = 0; i + 1 < words.size(); ++i)
        if (words[i] == "-record") return words[i + 1];
    return std::nullopt;
}

std::vector<std::string> words_of(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

void append_event(const json& event) {
    const char* log_path = std::getenv("FAKE_ENGINE_LOG");
    if (!log_path || !*log_path) return;
    // One write per line, so the lines of engines running side by side do not interleave.
    if (FILE* log = std::fopen(log_path, "ab")) {
        const std::string text = event.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
        std::fwrite(text.data(), 1, text.size(), log);
        std::fclose(log);
    }
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Waits for a release while recording every change of priority; true when released.
bool wait_for_release(const std::string& common, const std::string& own, long* priority) {
    int timeout = kDefaultTimeoutSeconds;
    if (const char* text = std::getenv("FAKE_ENGINE_TIMEOUT")) timeout = std::atoi(text);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    for (;;) {
        const long now = current_priority();
        if (now != *priority) {
            *priority = now;
            append_event({{"event", "priority"}, {"pid", process_id()}, {"priority", now}});
        }
        if (exists(own) || exists(common)) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
    }
}

// The priority the engine of events[first] recorded last, before a later start took its number.
long last_priority(const std::vector<json>& events, std::size_t first) {
    const auto pid = events[first].value("pid", 0ul);
    long priority = events[first].value("priority", 0l);
    for (std::size_t i = first + 1; i < events.size(); ++i) {
        if (events[i].value("pid", 0ul) != pid) continue;
        if (events[i].value("event", "") == "start") break;
        priority = events[i].value("priority", priority);
    }
    return priority;
}

// Prints each recorded start: the command line, how it was shown, its priority, the folder and
// any response file.
int show_log(const std::string& log) {
    std::ifstream in(log);
    std::vector<json> events;
    for (std::string line; std::getline(in, line);) {
        auto event = json::parse(line, nullptr, false);
        if (!event.is_discarded()) events.push_back(std::move(event));
    }
    int number = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const json& event = events[i];
        if (event.value("event", "") != "start") continue;
        std::printf("engine start %d (pid %lu)\n  command line: %s\n  show mode:    %s\n  priority:     %ld\n"
                    "  folder:       %s\n",
                    ++number, event.value("pid", 0ul), event.value("command_line", "").c_str(),
                    event["show"].dump().c_str(), last_priority(events, i), event.value("cwd", "").c_str());
        if (event.contains("response_file")) {
            std::printf("  response file %s:\n", event["response_file"].value("name", "").c_str());
            std::istringstream lines(event["response_file"].value("bytes", ""));
            for (std::string text; std::getline(lines, text);) {
                if (!text.empty() && text.back() == '\r') text.pop_back();
                std::printf("    %s\n", text.c_str());
            }
        }
    }
    return number > 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--show") return show_log(argv[2]);
    if (argc == 2 && std::string(argv[1]) == "--help") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();
    const char* release_text = std::getenv("FAKE_ENGINE_RELEASE");
    const std::string common_release = release_text ? release_text : "";
    const std::string own_release =
        common_release.empty() ? std::string() : common_release + "-" + std::to_string(process_id());
    // A process number can come round again: a release left for an earlier engine is not ours.
    if (!own_release.empty()) std::filesystem::remove(own_release, ec);

    long priority = current_priority();
    const std::string command_line = raw_command_line(argv[0]);
    json start = {{"event", "start"},
                  {"pid", process_id()},
                  {"program", argv[0]},
                  {"argv", args},
                  {"command_line", command_line},
                  {"parameters", parameters_of(command_line)},
                  {"show", show_mode()},
                  {"priority", priority},
                  {"cwd", cwd},
                  {"release", own_release}};
    std::vector<std::string> words = args;
    for (const auto& arg : args) {
        if (arg.size() < 2 || arg[0] != '@') continue;
        const std::string name = arg.substr(1);
        const auto bytes = read_whole(name);
        if (!bytes) {
            start["response_file"] = {{"name", name}, {"unreadable", true}};
            break;
        }
        start["response_file"] = {{"name", name}, {"bytes", *bytes}, {"hex", hex_of(*bytes)}};
        const auto more = words_of(*bytes);
        words.insert(words.end(), more.begin(), more.end());
        break;
    }
    append_event(start);

    const bool released = common_release.empty() || wait_for_release(common_release, own_release, &priority);

    if (const auto demo = record_name(words)) {
        std::ofstream out(*demo + ".lmp", std::ios::binary | std::ios::trunc);
        out << kDemoBytes;
    }
    append_event({{"event", "end"}, {"pid", process_id()}, {"priority", current_priority()}, {"released", released}});
    return 0;
}
