// module_entry.cpp: the load-time entry of a plug-in, for posix (Linux) builds. Records the
// plug-in's own module handle when the library is loaded.
//
// A shared object has no DLL entry, so a constructor stands in for it and the handle is the base
// address of this shared object. Compiled into each plug-in itself (the sdll_module_entry target),
// not into the platform library, so the linker can never leave it out.
#include <dlfcn.h>

#include "platform/platform.h"

namespace {

__attribute__((constructor)) void module_entry() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&module_entry), &info)) platform::set_module_handle(info.dli_fbase);
}

}  // namespace
