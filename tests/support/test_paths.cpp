// test_paths.cpp: artefact and scratch locations for the tests, natively and under Wine.
#include "tests/support/test_paths.h"

#include <atomic>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

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

std::string scratch_dir(const std::string& label) {
    static std::atomic<int> counter{0};
#ifdef _WIN32
    const std::string pid = std::to_string(GetCurrentProcessId());
    const char separator = '\\';
#else
    const std::string pid = std::to_string(getpid());
    const char separator = '/';
#endif
    const fs::path root = fs::temp_directory_path() / ("sdll-" + pid);
    // Process numbers come round again (under Wine they are small and reused at once), so the
    // first folder of a run clears whatever an earlier run of the same number left.
    static const bool cleared = (fs::remove_all(root), true);
    (void)cleared;
    fs::path dir = root / (label + "-" + std::to_string(counter++));
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

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

}  // namespace test_support
