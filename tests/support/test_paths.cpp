// test_paths.cpp: artefact and scratch locations for the tests, natively and under Wine.
//
// Each test program run keeps its scratch folders under one root, "sdll-<pid>" in the temporary
// folder, removed when the run ends; roots of runs that no longer exist are removed when the next
// run makes its own.
#include "tests/support/test_paths.h"

#include <atomic>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tests/support/deadline.h"
#include "tests/support/processes.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace test_support {
namespace fs = std::filesystem;

std::string bin_dir() {
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    std::string path(buffer);
    return path.substr(0, path.find_last_of("\\/") + 1);
#else
    std::string path = fs::read_symlink("/proc/self/exe").string();
    return path.substr(0, path.find_last_of('/') + 1);
#endif
}

std::string short_form(const std::string& path) {
#ifdef _WIN32
    char buffer[MAX_PATH] = {};
    const DWORD n = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::string(buffer, n) : path;
#else
    return path;
#endif
}

std::string plugin_path(const std::string& name) {
#ifdef _WIN32
    return bin_dir() + name + ".dll";
#else
    return bin_dir() + name + ".so";
#endif
}

std::string fake_engine_path() {
#ifdef _WIN32
    return bin_dir() + "fake-engine.exe";
#else
    return bin_dir() + "fake-engine";
#endif
}

namespace {

constexpr const char* kScratchPrefix = "sdll-";
constexpr int kRemovalDeadlineMs = 10000;

unsigned long own_pid() {
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// The process number in a scratch root's name ("sdll-1234"), or 0 for any other name.
unsigned long pid_in_name(const std::string& name) {
    if (name.rfind(kScratchPrefix, 0) != 0) return 0;
    const std::string digits = name.substr(std::char_traits<char>::length(kScratchPrefix));
    if (digits.empty() || digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::stoul(digits);
}

// The folder that holds every scratch folder of this test program run. Made on first use, after
// removing the roots that runs which no longer exist left behind (a crashed run, or one whose
// number this run now has); removed whole when the program ends.
class ScratchRoot {
public:
    ScratchRoot() : path_(fs::temp_directory_path() / (kScratchPrefix + std::to_string(own_pid()))) {
        std::error_code ec;
        std::vector<fs::path> leftovers;
        for (const auto& entry : fs::directory_iterator(fs::temp_directory_path(), ec)) {
            const unsigned long pid = pid_in_name(entry.path().filename().string());
            if (pid != 0 && (pid == own_pid() || !process_exists(pid))) leftovers.push_back(entry.path());
        }
        // Another user's leftovers may not be ours to remove; they are left alone.
        for (const fs::path& leftover : leftovers) fs::remove_all(leftover, ec);
        fs::create_directories(path_, ec);
    }
    ~ScratchRoot() {
        // Under Wine an engine's program file can stay locked for a moment after the engine has
        // ended, so the removal is tried again until it succeeds or the deadline passes.
        std::error_code ec;
        wait_until([&] { return fs::remove_all(path_, ec), !ec; }, kRemovalDeadlineMs);
        if (ec) std::fprintf(stderr, "cannot remove the scratch folder %s: %s\n", path_.string().c_str(),
                             ec.message().c_str());
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

}  // namespace

std::string scratch_dir(const std::string& label) {
    static std::atomic<int> counter{0};
    static const ScratchRoot root;
#ifdef _WIN32
    const char separator = '\\';
#else
    const char separator = '/';
#endif
    fs::path dir = root.path() / (label + "-" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    std::string text = dir.string();
    if (text.back() != separator) text += separator;
    return text;
}

bool same_folder(const std::string& a, const std::string& b) {
    auto normal = [](const std::string& text) {
        std::string out = fs::path(text).lexically_normal().make_preferred().string();
        while (out.size() > 1 && (out.back() == '/' || out.back() == '\\')) out.pop_back();
#ifdef _WIN32
        for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
#endif
        return out;
    };
    return normal(a) == normal(b);
}

std::string source_file(const std::string& relative) {
#ifdef _WIN32
    return std::string("Z:") + SDLL_SOURCE_DIR + "/" + relative;   // the source tree, seen from Wine
#else
    return std::string(SDLL_SOURCE_DIR) + "/" + relative;
#endif
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string kept_as_path(const std::string& message) {
    const std::string marker = " is kept as ";
    const std::size_t at = message.rfind(marker);
    if (at == std::string::npos || message.size() < at + marker.size() + 1) return "";
    return message.substr(at + marker.size(), message.size() - at - marker.size() - 1);
}

}  // namespace test_support
