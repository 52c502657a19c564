// resources.cpp: module handle and embedded resources, for Windows builds.
//
// The settings description is compiled into the DLL as a resource (a .rc file and windres) and
// found with FindResourceA / LoadResource / LockResource / SizeofResource.
#include "platform/platform.h"
#include "platform/win32/windows_headers.h"

namespace platform {
namespace {
ModuleHandle g_module = nullptr;
}  // namespace

void set_module_handle(ModuleHandle module) { g_module = module; }
ModuleHandle module_handle() { return g_module; }

// The resource section is built in; nothing registers at run time here.
void register_resource(int, const char*, const char*, std::size_t) {}

ResourceResult load_resource(ModuleHandle module, int id, const char* type, ResourceBytes* out) {
    if (!type || !out) return ResourceResult::not_found;
    const HMODULE instance = static_cast<HMODULE>(module);
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), type);
    if (!found) return ResourceResult::not_found;
    HGLOBAL loaded = LoadResource(instance, found);
    if (!loaded) return ResourceResult::load_failed;
    const void* data = LockResource(loaded);
    if (!data) return ResourceResult::load_failed;
    out->data = static_cast<const char*>(data);
    out->size = SizeofResource(instance, found);
    return ResourceResult::ok;
}

}  // namespace platform
