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

std::string foreign_module_hint(std::string_view first_bytes) {
    if (first_bytes.substr(0, 2) != "MZ") return "";
    return "it is a Windows DLL; this sdll-host loads the .so modules of the native build "
           "(build/native/bin/brannock.so, orvento.so), and the Windows build runs under Wine: "
           "scripts/wine32 build/win32/bin/sdll-host.exe --plugin build/win32/bin/brannock.dll ...";
}

}  // namespace host::os
