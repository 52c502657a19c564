// fake_engine.cpp: a stand-in engine that records how it was started and exits when told.
//
// Started under an engine's file name (Brannock.exe, doom32.exe), it appends one JSON line to
// the file named by FAKE_ENGINE_LOG: program, arguments, raw command line, working folder and,
// for an "@NAME" argument, the response file's exact content. It then waits until the file named
// by FAKE_ENGINE_RELEASE exists (polled every 20 ms) or FAKE_ENGINE_TIMEOUT seconds (default 30)
// pass; without FAKE_ENGINE_RELEASE it ends at once. Given "-record NAME" on its command line or
// in the response file, it leaves NAME.lmp in its working folder as it ends, as an engine would.
// "fake-engine --show LOG" prints the runs recorded in LOG for a person to read.
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
#endif

namespace {

constexpr int kPollMs = 20;
constexpr int kDefaultTimeoutSeconds = 30;
constexpr const char kDemoBytes[] = "fake demo recorded by the test engine\n";

std::string read_whole(const std::string& path) {
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

std::string raw_command_line(const std::vector<std::string>& args, const char* program) {
#ifdef _WIN32
    (void)args;
    (void)program;
    return GetCommandLineA();
#else
    std::string line = program;
    for (const auto& arg : args) line += " " + arg;
    return line;
#endif
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

void append_line(const char* log_path, const std::string& line) {
    // One write per line, so the lines of engines started side by side do not interleave.
    if (FILE* log = std::fopen(log_path, "ab")) {
        const std::string text = line + "\n";
        std::fwrite(text.data(), 1, text.size(), log);
        std::fclose(log);
    }
}

void wait_for_release() {
    const char* release = std::getenv("FAKE_ENGINE_RELEASE");
    if (!release || !*release) return;
    int timeout = kDefaultTimeoutSeconds;
    if (const char* text = std::getenv("FAKE_ENGINE_TIMEOUT")) timeout = std::atoi(text);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(timeout);
    std::error_code ec;
    while (!std::filesystem::exists(release, ec) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
}

}  // namespace

// Prints each recorded run: the command line, the working folder and any response file.
int show_log(const std::string& log) {
    std::ifstream in(log);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        const auto run = nlohmann::json::parse(line, nullptr, false);
        if (run.is_discarded()) continue;
        std::printf("engine start %d\n  command line: %s\n  folder:       %s\n", ++number,
                    run.value("command_line", "").c_str(), run.value("cwd", "").c_str());
        if (run.contains("response_file")) {
            std::printf("  response file %s:\n", run["response_file"].value("name", "").c_str());
            std::istringstream lines(run["response_file"].value("bytes", ""));
            for (std::string text; std::getline(lines, text);) {
                if (!text.empty() && text.back() == '\r') text.pop_back();
                std::printf("    %s\n", text.c_str());
            }
        }
    }
    return number > 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--show") return show_log(argv[2]);
    std::vector<std::string> args(argv + 1, argv + argc);
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path(ec).string();

    nlohmann::json run = {{"program", argv[0]}, {"argv", args},
                          {"command_line", raw_command_line(args, argv[0])}, {"cwd", cwd}};
    std::vector<std::string> words = args;
    for (const auto& arg : args) {
        if (arg.size() < 2 || arg[0] != '@') continue;
        const std::string name = arg.substr(1);
        const std::string bytes = read_whole(name);
        run["response_file"] = {{"name", name}, {"bytes", bytes}, {"hex", hex_of(bytes)}};
        const auto more = words_of(bytes);
        words.insert(words.end(), more.begin(), more.end());
        break;
    }
    if (const char* log = std::getenv("FAKE_ENGINE_LOG"); log && *log)
        append_line(log, run.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));

    wait_for_release();

    if (const auto demo = record_name(words)) {
        std::ofstream out(*demo + ".lmp", std::ios::binary | std::ios::trunc);
        out << kDemoBytes;
    }
    return 0;
}
