// resources.cpp: module handle and embedded resources, for posix (Linux) builds.
//
// A shared object has no resource section, so the build turns each settings description into a
// source that registers its bytes here when the plug-in loads (cmake/embed.cmake). The platform
// library is linked into each plug-in with hidden symbols, so every plug-in has its own table and
// the module handle passed to load_resource need not pick one.
#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {
namespace {

struct Resource {
    int id;
    std::string type;
    const char* data;
    std::size_t size;
};

// A function-local table: registration runs from static constructors of other sources, whose
// order against this file's statics is not fixed.
std::vector<Resource>& resources() {
    static std::vector<Resource> table;
    return table;
}

ModuleHandle g_module = nullptr;

}  // namespace

void set_module_handle(ModuleHandle module) { g_module = module; }
ModuleHandle module_handle() { return g_module; }

void register_resource(int id, const char* type, const char* data, std::size_t size) {
    for (Resource& r : resources()) {
        if (r.id == id && r.type == type) {   // registered again: the last bytes win
            r.data = data;
            r.size = size;
            return;
        }
    }
    resources().push_back(Resource{id, type, data, size});
}

ResourceResult load_resource(ModuleHandle, int id, const char* type, ResourceBytes* out) {
    if (!type || !out) return ResourceResult::not_found;
    for (const Resource& r : resources()) {
        if (r.id == id && r.type == type) {
            if (!r.data) return ResourceResult::load_failed;
            out->data = r.data;
            out->size = r.size;
            return ResourceResult::ok;
        }
    }
    return ResourceResult::not_found;
}

}  // namespace platform
