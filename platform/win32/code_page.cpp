// code_page.cpp: COM task memory and ANSI <-> UTF-16 conversion, for Windows builds.
//
// Conversions use the system ANSI code page (CP_ACP) with flags 0 and no default character; the
// caller asks for the size first, since an ANSI text may need more than two bytes per unit.
#include <objbase.h>

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

int ansi_to_wide(const char* src, int src_bytes, char16_t* dst, int dst_units) {
    return MultiByteToWideChar(CP_ACP, 0, src, src_bytes, reinterpret_cast<wchar_t*>(dst), dst_units);
}

}  // namespace platform
