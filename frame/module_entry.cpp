// module_entry.cpp: records the plug-in's own module handle when the library is loaded, so the
// settings description can be found in it. Compiled into each plug-in directly.
#include "platform/platform.h"

#ifdef _WIN32
#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) platform::set_module_handle(instance);
    return TRUE;
}
#else
#include <dlfcn.h>

namespace {
// Without a DLL entry, the handle is the base address of this shared object.
__attribute__((constructor)) void module_entry() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&module_entry), &info)) platform::set_module_handle(info.dli_fbase);
}
}  // namespace
#endif
