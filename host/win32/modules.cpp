// modules.cpp: opening a plug-in module and finding its exports, for Windows builds:
// LoadLibraryA and GetProcAddress (the plug-ins export undecorated names through their .def
// files).
#include <windows.h>

#include "host/os.h"

namespace host::os {

void* load_module(const std::string& path, std::string* error) {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module && error) *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
}

void* module_symbol(void* module, const char* name) {
    return module ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name)) : nullptr;
}

void unload_module(void* module) {
    if (module) FreeLibrary(static_cast<HMODULE>(module));
}

}  // namespace host::os
