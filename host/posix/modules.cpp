// modules.cpp: opening a plug-in module and finding its exports, for posix (Linux) builds:
// dlopen and dlsym.
#include <dlfcn.h>

#include "host/os.h"

namespace host::os {

void* load_module(const std::string& path, std::string* error) {
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module && error) {
        const char* reason = dlerror();
        *error = reason ? reason : "dlopen failed";
    }
    return module;
}

void* module_symbol(void* module, const char* name) { return module ? dlsym(module, name) : nullptr; }

void unload_module(void* module) {
    if (module) dlclose(module);
}

}  // namespace host::os
