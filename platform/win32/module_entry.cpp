// module_entry.cpp: the DLL entry of a plug-in, for Windows builds. Records the plug-in's own
// module handle when the launcher loads it, so its settings description can be found in it.
//
// Compiled into each plug-in itself (the sdll_module_entry target), not into the platform
// library, so the linker can never leave it out.
#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) platform::set_module_handle(instance);
    return TRUE;
}
