// fuzz_description.cpp: any text through the stand-in launcher's settings description parser.
//
// A plug-in's description is the plug-in's data, not the launcher's: the parser must refuse a
// malformed one with a position, never read past it, and hand out only a whole result.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/description.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    host::Description description;
    description.pages.emplace_back();   // a refused parse must leave this alone
    std::string error;
    if (!host::parse_description(text, &description, &error)) {
        if (error.empty() || description.pages.size() != 1 || !description.pages[0].name.empty()) __builtin_trap();
        return 0;
    }
    // Every item read back by its own names finds itself.
    for (const host::Page& page : description.pages) {
        for (const host::Group& group : page.groups) {
            for (const host::Item& item : group.items) {
                if (!description.item(page.name, group.name, item.key)) __builtin_trap();
                host::item_type_name(item.type);
            }
        }
    }
    return 0;
}
