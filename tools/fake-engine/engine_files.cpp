// engine_files.cpp: the fake engine's environment variables and files, written once for both
// systems over the C++ standard library.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include "tools/fake-engine/engine_os.h"

namespace fake_engine::os {

namespace fs = std::filesystem;

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value) return std::nullopt;
    return std::string(value);
}

std::optional<std::string> read_file(const std::string& path) {
    std::error_code ec;
    // Reading a folder as a stream fails late and oddly: only plain files are read.
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool append_to_file(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return std::fclose(file) == 0 && written;
}

bool write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

void remove_file(const std::string& path) {
    std::error_code ec;
    fs::remove(path, ec);
}

std::string working_folder() {
    std::error_code ec;
    return fs::current_path(ec).string();
}

std::string full_folder(const std::string& folder) {
    std::error_code ec;
    return fs::absolute(fs::path(folder), ec).lexically_normal().string();
}

bool make_folder(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    return !ec && fs::is_directory(folder, ec);
}

std::string path_in(const std::string& folder, const std::string& name) { return (fs::path(folder) / name).string(); }

bool copy_file(const fs::path& from, const std::string& to) {
    std::error_code ec;
    fs::copy_file(from, to, ec);
    return !ec;
}

}  // namespace fake_engine::os
