// code_page.cpp: COM task memory and ANSI <-> UTF-16 conversion, for Windows builds.
//
// Conversions use the system ANSI code page (CP_ACP) with flags 0 and no default character; the
// caller asks for the size first, since an ANSI text may need more than two bytes per unit.
#include <objbase.h>

#include <string>

#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

namespace platform {

void* task_alloc(std::size_t bytes) { return CoTaskMemAlloc(bytes); }
void task_free(void* block) { CoTaskMemFree(block); }

unsigned last_error() { return GetLastError(); }

int wide_to_ansi(const char16_t* src, int src_units, char* dst, int dst_bytes) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units are wchar_t on Windows");
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const wchar_t*>(src), src_units, dst,
                               dst_bytes, nullptr, nullptr);
}

namespace {

// True when the code page held every character. A UTF-8 code page holds all and takes no
// used-default flag.
bool to_ansi(const wchar_t* text, std::string* out) {
    BOOL used_default = FALSE;
    BOOL* lost = GetACP() == CP_UTF8 ? nullptr : &used_default;
    out->clear();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, lost);
    if (needed <= 0) return false;
    std::string buffer(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), needed, nullptr, lost) <= 0) return false;
    buffer.resize(static_cast<std::size_t>(needed) - 1);
    *out = buffer;
    return !used_default;
}

bool short_form(const wchar_t* path, std::wstring* out) {
    const DWORD needed = GetShortPathNameW(path, nullptr, 0);
    if (needed == 0) return false;
    out->assign(needed, L'\0');
    const DWORD written = GetShortPathNameW(path, out->data(), needed);
    if (written == 0 || written >= needed) return false;
    out->resize(written);
    return true;
}

}  // namespace

bool ansi_path(const char16_t* path, std::string* out) {
    const auto* wide = reinterpret_cast<const wchar_t*>(path);
    if (to_ansi(wide, out)) return true;
    std::wstring short_path;
    std::string short_ansi;
    if (!short_form(wide, &short_path) || !to_ansi(short_path.c_str(), &short_ansi)) return false;
    *out = short_ansi;
    return true;
}

int ansi_to_wide(const char* src, int src_bytes, char16_t* dst, int dst_units) {
    return MultiByteToWideChar(CP_ACP, 0, src, src_bytes, reinterpret_cast<wchar_t*>(dst), dst_units);
}

}  // namespace platform
