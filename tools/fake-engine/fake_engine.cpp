// fake_engine.cpp: a stand-in engine that records how it was started and exits when told.
//
// Started under an engine's file name (Brannock.exe, doom32.exe), it appends JSON lines to the
// file named by FAKE_ENGINE_LOG, each one write, each naming its process number ("pid"):
//
//   {"event":"start", ...}     at once: "program", "argv", "command_line" (the exact text the
//                              engine got: GetCommandLineA on Windows), "parameters" (that text
//                              after the program name and its one separating blank, byte for
//                              byte; "parameters_hex" the same in hexadecimal, for the bytes of
//                              a code page other than UTF-8), "show" (the show mode it was
//                              given: wShowWindow of its start-up information, null when none
//                              was given), "priority", "cwd", "release" (its own release
//                              file) and, for an "@NAME" argument, "response_file" with the
//                              file's exact bytes ("bytes", and "hex" for other code pages) or
//                              "unreadable" when it is no plain file;
//   {"event":"priority", ...}  whenever its priority differs from the one last recorded;
//   {"event":"end", ...}       as it ends by itself, with "priority" and "released" (false when
//                              it played its time out). A process that is killed writes no end line.
//
// What it learns of its own process and start, its variables and its files come through its door
// to the OS (engine_os.h):
// "priority" is the priority class on Windows and the nice value on posix; on posix, which has
// no command line and no show mode, the platform layer's start hands both over in variables.
//
// It plays for FAKE_ENGINE_TIMEOUT seconds (default 2; 0 ends at once, as a real engine does on a
// wrong command line) and ends earlier once its own release file exists (FAKE_ENGINE_RELEASE, "-"
// and its pid, as recorded in "release") or the common one (FAKE_ENGINE_RELEASE itself), both
// polled every 20 ms. Given "-record NAME" on its command line or in the response file, it leaves
// NAME.lmp in its working folder as it ends, as an engine would, naming its process number.
//
// Under its own name (fake-engine) it is a tool, never an engine, so a slip does not quietly
// "play": "--show LOG" prints the starts recorded in LOG for a person to read, "--install FOLDER
// brannock|orvento" makes a try-out engine folder, "--version" and "--help" say what it is, and
// anything else is refused (exit 2). Under any other name it takes every word, as an engine must.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

#include "brannock/names.h"
#include "frame/iwads.h"
#include "host/suggest.h"
#include "orvento/names.h"
#include "tools/fake-engine/engine_os.h"

namespace {

namespace os = fake_engine::os;
using nlohmann::json;

constexpr int kPollMs = 20;
constexpr double kDefaultPlaySeconds = 2;
constexpr double kMostPlaySeconds = 86400;
constexpr const char* kPlayVariable = "FAKE_ENGINE_TIMEOUT";
constexpr const char* kLogVariable = "FAKE_ENGINE_LOG";
constexpr const char* kReleaseVariable = "FAKE_ENGINE_RELEASE";
constexpr const char kDemoBytes[] = "fake demo recorded by the test engine, process ";
constexpr const char kOwnName[] = "fake-engine";
constexpr const char kHelp[] =
    "usage: ENGINE [engine arguments]     (this program copied in as Brannock.exe or doom32.exe)\n"
    "       fake-engine --install FOLDER brannock|orvento\n"
    "       fake-engine --show LOG\n"
    "       fake-engine --help | --version\n"
    "\n"
    "Under its own name it is this tool and takes only the options above; under any other\n"
    "name it is an engine and takes any words. Started as an engine, it plays a game of $FAKE_ENGINE_TIMEOUT seconds (default 2; 0 ends\n"
    "at once, as a real engine does when its command line is wrong) and ends earlier once\n"
    "released: when the file $FAKE_ENGINE_RELEASE exists (every engine's release) or that name\n"
    "followed by -PID (this engine's own), both looked for every 20 ms. With $FAKE_ENGINE_LOG\n"
    "set it appends one JSON line per event to that file: \"start\" at once (command line,\n"
    "show mode, priority, folder, response file), \"priority\" on every change, \"end\" as it\n"
    "ends by itself (\"released\": false when it played its time out). \"-record NAME\" on its\n"
    "command line or in its response file leaves NAME.lmp in its working folder as it ends,\n"
    "its bytes naming the engine's process number.\n"
    "\n"
    "--install FOLDER brannock|orvento  makes a try-out engine folder (made when missing): this\n"
    "    program copied in as Brannock.exe with an empty Brannock.pk3, or as doom32.exe with\n"
    "    empty IWADs; a file already there is left as it is.\n"
    "--show LOG  prints the engine starts recorded in LOG.\n";

std::string hex_of(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
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
    const std::string log = os::variable(kLogVariable).value_or("");
    if (log.empty()) return;
    os::append_to_file(log, event.dump(-1, ' ', false, json::error_handler_t::replace) + "\n");
}

// Leaves NAME.lmp in the working folder, over a file of that name as an engine does. Its bytes
// name the game that wrote it (the engine's process number), so a recording written over shows.
void write_recording(const std::string& name) {
    os::write_file(name + ".lmp", kDemoBytes + std::to_string(os::process_id()) + "\n");
}

// How long a game lasts unless released: $FAKE_ENGINE_TIMEOUT seconds, or the default when it is
// unset or no number of seconds (said on stderr, where a person starting it sees it).
double play_seconds() {
    const std::optional<std::string> text = os::variable(kPlayVariable);
    if (!text) return kDefaultPlaySeconds;
    char* end = nullptr;
    const double seconds = std::strtod(text->c_str(), &end);
    if (!text->empty() && *end == '\0' && seconds >= 0 && seconds <= kMostPlaySeconds) return seconds;
    std::fprintf(stderr, "fake-engine: %s='%s' is no number of seconds from 0 to %g; playing %g\n", kPlayVariable,
                 text->c_str(), kMostPlaySeconds, kDefaultPlaySeconds);
    return kDefaultPlaySeconds;
}

// Plays until released or out of time, recording every change of priority; true when released.
bool play(const std::string& common, const std::string& own, long* priority) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(play_seconds());
    for (;;) {
        const long now = os::priority();
        if (now != *priority) {
            *priority = now;
            append_event({{"event", "priority"}, {"pid", os::process_id()}, {"priority", now}});
        }
        if ((!own.empty() && os::exists(own)) || (!common.empty() && os::exists(common))) return true;
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
    const std::optional<std::string> bytes = os::read_file(log);
    if (!bytes) {
        std::fprintf(stderr, "fake-engine: cannot read the log %s (no such file, or not a plain file)\n", log.c_str());
        return 1;
    }
    std::istringstream in(*bytes);
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
    if (number == 0) std::fprintf(stderr, "fake-engine: %s records no engine start\n", log.c_str());
    return number > 0 ? 0 : 1;
}

// The files a try-out engine folder holds: the engine program and its game files, left empty.
struct EngineFiles {
    const char* plugin;
    const char* program;
    std::vector<std::string> game_files;
};

std::vector<EngineFiles> engine_kinds() {
    std::vector<std::string> iwads;
    for (const frame::IwadRow& row : frame::iwad_table())
        if (row.orvento) iwads.push_back(row.file);
    return {{"brannock", brannock::kEngineExe, {brannock::kEngineData}}, {"orvento", orvento::kEngineExe, iwads}};
}

// Makes `folder` a try-out engine folder; a file already there is never written over, so a real
// engine's folder loses nothing.
int install(const std::string& folder, const std::string& plugin) {
    const auto kinds = engine_kinds();
    const auto kind = std::find_if(kinds.begin(), kinds.end(), [&](const EngineFiles& k) { return plugin == k.plugin; });
    if (kind == kinds.end()) {
        std::fprintf(stderr, "fake-engine: --install wants brannock or orvento after the folder, not '%s'\n",
                     plugin.c_str());
        return 2;
    }
    const std::string root = os::full_folder(folder);
    if (!os::make_folder(root)) {
        std::fprintf(stderr, "fake-engine: cannot make the folder %s\n", root.c_str());
        return 1;
    }
    auto make = [&](const std::string& name, bool program) {
        const std::string target = os::path_in(root, name);
        if (os::exists(target)) return std::printf("kept %s (already there)\n", target.c_str()), true;
        const bool made = program ? os::copy_file(os::own_program(), target) : os::write_file(target, "");
        if (!made || !os::exists(target)) {
            std::fprintf(stderr, "fake-engine: cannot write %s\n", target.c_str());
            return false;
        }
        std::printf("made %s%s\n", target.c_str(), program ? " (the fake engine)" : " (empty)");
        return true;
    };
    if (!make(kind->program, true)) return 1;
    for (const std::string& name : kind->game_files)
        if (!make(name, false)) return 1;
    // The plug-ins put file names straight after the folder text: it must end in a separator.
    std::printf("engine folder: %s\n", os::path_in(root, "").c_str());
    return 0;
}

// The tool's options and the words each takes.
struct ToolOption {
    const char* name;
    int words;
    const char* words_help;
};

constexpr ToolOption kToolOptions[] = {
    {"--show", 1, "LOG"}, {"--install", 2, "FOLDER brannock|orvento"}, {"--help", 0, ""}, {"--version", 0, ""}};

// Runs the tool under its own name; the exit code.
int run_tool(const std::vector<std::string>& args) {
    const std::string first = args.empty() ? "--help" : args[0];
    const auto option = std::find_if(std::begin(kToolOptions), std::end(kToolOptions),
                                      [&](const ToolOption& o) { return first == o.name; });
    if (option == std::end(kToolOptions)) {
        std::vector<std::string> names;
        std::string listed;
        for (const ToolOption& o : kToolOptions) names.push_back(o.name), listed += std::string(" ") + o.name;
        std::fprintf(stderr,
                     "fake-engine: unknown option '%s'%s; under its own name this program takes only%s (to start "
                     "it as an engine, copy it in under an engine's name: --install)\n",
                     first.c_str(), host::did_you_mean(first, names).c_str(), listed.c_str());
        return 2;
    }
    if (args.size() != static_cast<std::size_t>(option->words) + 1) {
        std::fprintf(stderr, "fake-engine: %s %s\n\n%s", option->name,
                     option->words ? (std::string("wants ") + option->words_help + " after it").c_str()
                                   : "takes nothing after it",
                     kHelp);
        return 2;
    }
    if (first == "--show") return show_log(args[1]);
    if (first == "--install") return install(args[1], args[2]);
    if (first == "--version") return std::printf("fake-engine %s\n", SDLL_VERSION), 0;
    std::fputs(kHelp, stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (os::own_program().stem() == kOwnName) return run_tool(std::vector<std::string>(argv + 1, argv + argc));
    os::ignore_console_interrupt();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const std::string cwd = os::working_folder();
    const std::string common_release = os::variable(kReleaseVariable).value_or("");
    const std::string own_release =
        common_release.empty() ? std::string() : common_release + "-" + std::to_string(os::process_id());
    // A process number can come round again: a release left for an earlier engine is not ours.
    if (!own_release.empty()) os::remove_file(own_release);

    long priority = os::priority();
    const std::string command_line = os::command_line(argv[0]);
    const std::optional<int> show = os::show_mode();
    json start = {{"event", "start"},
                  {"pid", os::process_id()},
                  {"program", argv[0]},
                  {"argv", args},
                  {"command_line", command_line},
                  {"parameters", parameters_of(command_line)},
                  {"parameters_hex", hex_of(parameters_of(command_line))},
                  {"show", show ? json(*show) : json()},
                  {"priority", priority},
                  {"cwd", cwd},
                  {"release", own_release}};
    std::vector<std::string> words = args;
    for (const auto& arg : args) {
        if (arg.size() < 2 || arg[0] != '@') continue;
        const std::string name = arg.substr(1);
        const auto bytes = os::read_file(name);
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

    const bool released = play(common_release, own_release, &priority);

    if (const auto demo = record_name(words)) write_recording(*demo);
    append_event({{"event", "end"}, {"pid", os::process_id()}, {"priority", os::priority()}, {"released", released}});
    return 0;
}
