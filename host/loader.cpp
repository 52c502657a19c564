// loader.cpp: opening a plug-in module and finding its exports by unadorned name.
//
// Windows: LoadLibraryA / GetProcAddress (the plug-ins export undecorated names through their
// .def files). Elsewhere: dlopen / dlsym.
#include "host/launcher_impl.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace host {

void* load_module(const std::string& path, std::string* error) {
#ifdef _WIN32
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module && error) *error = "LoadLibrary failed with error " + std::to_string(GetLastError());
    return reinterpret_cast<void*>(module);
#else
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module && error) {
        const char* reason = dlerror();
        *error = reason ? reason : "dlopen failed";
    }
    return module;
#endif
}

void* module_symbol(void* module, const char* name) {
    if (!module) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
#else
    return dlsym(module, name);
#endif
}

void unload_module(void* module) {
    if (!module) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(module));
#else
    dlclose(module);
#endif
}

}  // namespace host
