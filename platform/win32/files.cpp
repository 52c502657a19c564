// files.cpp: file system operations, for Windows builds.
//
// Existence is a directory search (FindFirstFileA, closed at once); delete, rename and move are
// DeleteFileA, MoveFileA and MoveFileExA; text files are created new (CreateFileA with CREATE_NEW) and written with WriteFile
// after their line ends are made CR LF.
#include <algorithm>
#include <string>

#include "platform/line_ends.h"
#include "platform/platform.h"
#include "platform/system_calls.h"
#include "platform/win32/windows_headers.h"

namespace platform {

bool system::short_path(const std::string& path, std::string* out) {
    std::string buffer;
    DWORD needed = GetShortPathNameA(path.c_str(), nullptr, 0);
    // The needed size includes the terminator; ask again if the path changed in between.
    while (needed > 0) {
        buffer.assign(needed, '\0');
        const DWORD written = GetShortPathNameA(path.c_str(), buffer.data(), needed);
        if (written == 0) return false;
        if (written < needed) {
            buffer.resize(written);
            *out = buffer;
            return true;
        }
        needed = written;
    }
    return false;
}

bool system::file_exists(const std::string& path) {
    WIN32_FIND_DATAA data;
    const HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

bool system::delete_file(const std::string& path) { return DeleteFileA(path.c_str()) != 0; }

bool system::rename_file(const std::string& from, const std::string& to) {
    return MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool system::move_file_replace(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

bool system::create_text_file(const std::string& path, const std::string& text) {
    const std::string bytes = detail::with_crlf_line_ends(text);
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        ok = WriteFile(file, bytes.data() + done, chunk, &written, nullptr) != 0 && written > 0;
        done += written;
    }
    if (CloseHandle(file) != 0 && ok) return true;
    DeleteFileA(path.c_str());   // created here just now: nobody else's file
    return false;
}

}  // namespace platform
