// os_files.cpp: the files of the launcher's OS door, written once for both systems over the C++
// standard library; paths are UTF-8 texts, which std::filesystem takes through u8path (UTF-16 on
// Windows).
#include "host/os.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace host::os {
namespace {

namespace fs = std::filesystem;

fs::path path_of(const std::string& text) { return fs::u8path(text); }

std::string text_of(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

}  // namespace

FileKind file_kind(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path_of(path), ec);
    if (status.type() == fs::file_type::not_found) return FileKind::none;
    if (ec) return FileKind::other;   // there, but the system will not say what
    if (status.type() == fs::file_type::regular) return FileKind::file;
    return status.type() == fs::file_type::directory ? FileKind::folder : FileKind::other;
}

std::string full_path(const std::string& path) {
    std::error_code ec;
    const fs::path full = fs::absolute(path_of(path), ec);
    return ec ? path : text_of(full);
}

std::optional<std::string> read_file(const std::string& path, std::size_t most) {
    // Reading a folder as a stream fails late and oddly: only plain files are read.
    if (file_kind(path) != FileKind::file) return std::nullopt;
    std::ifstream in(path_of(path), std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    if (most == kWholeFile) {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else {
        bytes.resize(most);
        in.read(bytes.data(), static_cast<std::streamsize>(most));
        bytes.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

std::vector<std::pair<std::string, std::string>> files_in(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> found;
    std::error_code ec;
    for (fs::directory_iterator it(path_of(folder), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        found.emplace_back(text_of(it->path().filename()), text_of(fs::absolute(it->path(), ec)));
    }
    return found;
}

bool replace_file(const std::string& path, const std::string& bytes, std::string* error) {
    const fs::path target = path_of(path);
    const fs::path temporary = path_of(path + ".tmp");
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    std::error_code ec;
    if (!out) {
        fs::remove(temporary, ec);
        if (error) *error = "cannot write " + path + ".tmp";
        return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        if (error) *error = "cannot replace " + path + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

std::unique_ptr<std::ostream> open_for_appending(const std::string& path) {
    auto out = std::make_unique<std::ofstream>(path_of(path), std::ios::binary | std::ios::app);
    if (!*out) return nullptr;
    return out;
}

bool make_folder(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path_of(path), ec);
    return !ec && fs::is_directory(path_of(path), ec);
}

std::string path_in(const std::string& folder, const std::string& name) {
    return text_of(path_of(folder) / path_of(name));
}

}  // namespace host::os
