// files.cpp: file system operations with Windows effects, for posix (Linux) builds.
//
// Existence follows a Windows directory search (find-first): a path ending in a separator finds
// nothing, and '*' or '?' in the last component match entries of its folder. A rename refuses an
// existing target like MoveFileA; a move replaces it like MoveFileExA with
// MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED, copying when the target is on another file
// system. Text files are created new, never over an existing file, with CR LF line ends.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/line_ends.h"
#include "platform/platform.h"
#include "platform/system_calls.h"

namespace platform {
namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

bool write_all(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool matches_in_folder(const std::string& folder, const std::string& pattern) {
    DIR* dir = opendir(folder.c_str());
    if (!dir) return false;
    bool found = false;
    while (const dirent* entry = readdir(dir)) {
        if (fnmatch(pattern.c_str(), entry->d_name, FNM_NOESCAPE) == 0) {
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Copies a regular file to a temporary name beside `to`, then renames it over `to`, so a failed
// copy never leaves a cut target behind.
bool copy_file_over(const std::string& from, const std::string& to) {
    const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return false;
    struct stat st {};
    if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(in);
        return false;
    }
    std::string temp = to + ".XXXXXX";
    const int out = mkostemp(temp.data(), O_CLOEXEC);
    if (out < 0) {
        close(in);
        return false;
    }
    bool ok = true;
    char buffer[kCopyChunk];
    for (;;) {
        const ssize_t n = read(in, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            ok = false;
            break;
        }
        if (!write_all(out, buffer, static_cast<std::size_t>(n))) {
            ok = false;
            break;
        }
    }
    ok = fchmod(out, st.st_mode & 07777) == 0 && ok;
    ok = close(out) == 0 && ok;
    close(in);
    ok = ok && std::rename(temp.c_str(), to.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

// rename(2), falling back to copy and delete across file systems; replaces an existing target.
bool move_over(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    if (errno != EXDEV) return false;
    return copy_file_over(from, to) && unlink(from.c_str()) == 0;
}

bool entry_exists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

}  // namespace

bool system::short_path(const std::string& path, std::string* out) {
    struct stat st {};
    if (path.empty() || (stat(path.c_str(), &st) != 0 && lstat(path.c_str(), &st) != 0)) return false;
    *out = path;
    return true;
}

bool system::file_exists(const std::string& path) {
    if (path.empty() || path.back() == '/') return false;
    const std::size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.find_first_of("*?") != std::string::npos) {
        const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        return matches_in_folder(folder, name);
    }
    return entry_exists(path);
}

bool system::delete_file(const std::string& path) { return unlink(path.c_str()) == 0; }

bool system::rename_file(const std::string& from, const std::string& to) {
    if (entry_exists(to)) return false;
    return move_over(from, to);
}

bool system::move_file_replace(const std::string& from, const std::string& to) { return move_over(from, to); }

bool system::create_text_file(const std::string& path, const std::string& text) {
    const std::string bytes = detail::with_crlf_line_ends(text);
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written = write_all(fd, bytes.data(), bytes.size());
    if (close(fd) == 0 && written) return true;
    unlink(path.c_str());   // created here just now: nobody else's file
    return false;
}

}  // namespace platform
