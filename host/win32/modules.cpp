// modules.cpp: opening a plug-in module and finding its exports, for Windows builds:
// LoadLibraryW (the path given in UTF-8) and GetProcAddress (the plug-ins export undecorated
// names through their .def files).
#include <windows.h>

#include "host/os.h"
#include "host/utf.h"

namespace host::os {
namespace {

// The system's own words for an error code, `file` put in for the "%1" they may hold, with the
// number after them for a search ("The specified module could not be found. (error 126)").
std::string system_message(DWORD code, const std::string& file) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string words = length ? utf16_to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(text), length)) : "";
    if (text) LocalFree(text);
    while (!words.empty() && (words.back() == '\n' || words.back() == '\r' || words.back() == ' ')) words.pop_back();
    // "%1 is not a valid Win32 application."
    for (std::size_t at; (at = words.find("%1")) != std::string::npos;) words.replace(at, 2, file);
    return (words.empty() ? "LoadLibrary failed" : words) + " (error " + std::to_string(code) + ")";
}

}  // namespace

void* load_module(const std::string& path, std::string* error) {
    const std::u16string wide = utf8_to_utf16(path);
    HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    if (!module && error) *error = system_message(GetLastError(), path);
    return reinterpret_cast<void*>(module);
}

void* module_symbol(void* module, const char* name) {
    return module ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

void unload_module(void* module) {
    if (module) FreeLibrary(static_cast<HMODULE>(module));
}

std::string foreign_module_hint(std::string_view first_bytes) {
    if (first_bytes.substr(0, 4) != "\x7f" "ELF") return "";
    return "it is a Linux module; this sdll-host.exe loads the DLLs of the Windows build "
           "(build/win32/bin/brannock.dll, orvento.dll)";
}

}  // namespace host::os
