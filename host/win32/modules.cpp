// modules.cpp: opening a plug-in module and finding its exports, for Windows builds:
// LoadLibraryW (the path given in UTF-8) and GetProcAddress (the plug-ins export undecorated
// names through their .def files).
#include <windows.h>

#include "host/os.h"
#include "host/utf.h"

namespace host::os {

void* load_module(const std::string& path, std::string* error) {
    const std::u16string wide = utf8_to_utf16(path);
    HMODULE module = LoadLibraryW(reinterpret_cast<const wchar_t*>(wide.c_str()));
    if (!module && error) *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
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
