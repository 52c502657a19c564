// code_page.cpp: COM task memory and ANSI <-> UTF-16 conversion, for Windows builds.
//
// Conversions use the system ANSI code page (CP_ACP) with flags 0 and no default character; the
// caller asks for the size first, since an ANSI text may need more than two bytes per unit. Names
// of files and folders are also checked for what the conversion lost.
#include <objbase.h>

#include <string>
#include <string_view>

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

// True when `ansi` (its zero included) converts back to exactly `text`. This catches the default
// character and best-fit look-alikes alike, in every code page; WC_NO_BEST_FIT_CHARS would be
// refused by some (UTF-8 among them).
bool converts_back(const std::string& ansi, const wchar_t* text) {
    const int size = static_cast<int>(ansi.size());
    const int units = MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, nullptr, 0);
    if (units <= 0) return false;
    std::wstring back(static_cast<std::size_t>(units), L'\0');
    return MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, back.data(), units) == units &&
           std::wstring_view(back.c_str()) == text;
}

// The plain conversion (flags 0), true when it held every character.
bool to_ansi(const wchar_t* text, std::string* out) {
    out->clear();
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    std::string buffer(static_cast<std::size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer.data(), needed, nullptr, nullptr) <= 0) return false;
    const bool held = converts_back(buffer, text);
    buffer.resize(static_cast<std::size_t>(needed) - 1);
    *out = buffer;
    return held;
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

bool ansi_name(const char16_t* name, std::string* out) {
    return to_ansi(reinterpret_cast<const wchar_t*>(name), out);
}

bool ansi_path(const char16_t* path, std::string* out) {
    const auto* wide = reinterpret_cast<const wchar_t*>(path);
    if (to_ansi(wide, out)) return true;
    std::wstring short_path;
    std::string short_ansi;
    if (!short_form(wide, &short_path) || !to_ansi(short_path.c_str(), &short_ansi)) return false;
    *out = short_ansi;
    return true;
}

bool is_lead_byte(unsigned char byte) { return IsDBCSLeadByteEx(CP_ACP, byte) != 0; }

int ansi_to_wide(const char* src, int src_bytes, char16_t* dst, int dst_units) {
    return MultiByteToWideChar(CP_ACP, 0, src, src_bytes, reinterpret_cast<wchar_t*>(dst), dst_units);
}

}  // namespace platform
