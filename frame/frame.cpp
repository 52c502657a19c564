// frame.cpp: the callback registry and host handle, SDLL_Init's shared body, the handing over of
// the settings description, the conversions between the launcher's UTF-16 and the plug-ins' ANSI
// texts, the typed wrappers over the launcher's text callbacks, and the readers of address texts.
#include "frame/frame.h"

#include <cstring>

#include "platform/platform.h"

namespace frame {
namespace {
HostHandle g_host = nullptr;
void* g_slots[kSlotCount] = {};
constexpr int kDescriptionResource = 101;
constexpr const char* kDescriptionType = "CONFIGURATION";
}  // namespace

void set_host_handle(HostHandle host) { g_host = host; }
HostHandle host_handle() { return g_host; }

void set_slot(unsigned slot, void* function) {
    if (slot < kSlotCount) g_slots[slot] = function;
}

void* slot(unsigned s) { return s < kSlotCount ? g_slots[s] : nullptr; }

int init_plugin(HostHandle host, char* name, uint16_t* capabilities, const char* plugin_name,
                uint16_t capability_value) {
    set_host_handle(host);
    if (name) std::memcpy(name, plugin_name, std::strlen(plugin_name) + 1);
    if (capabilities) *capabilities = capability_value;
    return 0;
}

int load_configuration() {
    platform::ResourceBytes bytes;
    switch (platform::load_resource(platform::module_handle(), kDescriptionResource, kDescriptionType, &bytes)) {
        case platform::ResourceResult::not_found: return kDescriptionNotFound;
        case platform::ResourceResult::load_failed: return kDescriptionNotLoaded;
        case platform::ResourceResult::ok: break;
    }
    host<Host_SetConfiguration_t>(kSlotSetConfiguration)(bytes.data, static_cast<int>(bytes.size));
    return kDescriptionHandedOver;
}

}  // namespace frame

namespace {

template <typename Char>
int units_with_terminator(const Char* text) {
    int n = 0;
    while (text[n] != 0) ++n;
    return n + 1;
}

// Ask the converter for the size, allocate, convert.
template <typename From, typename To, typename Convert>
int32_t convert_copy(const From* text, To** out, Convert convert) {
    *out = nullptr;
    if (!text) return kResultOk;
    const int n = units_with_terminator(text);
    const int needed = convert(text, n, nullptr, 0);
    if (needed <= 0) {
        const unsigned error = platform::last_error();
        return error == 0 ? kResultOk : HresultFromError(error);
    }
    auto* block = static_cast<To*>(platform::task_alloc(static_cast<std::size_t>(needed) * sizeof(To)));
    if (!block) return kResultOutOfMemory;
    if (convert(text, n, block, needed) == 0) {
        const unsigned error = platform::last_error();
        platform::task_free(block);
        return error == 0 ? kResultOk : HresultFromError(error);
    }
    *out = block;
    return kResultOk;
}

HostTextCopy narrow(HostText text) {
    char* copy = nullptr;
    ToNarrow(text, &copy);
    return HostTextCopy(copy);
}

}  // namespace

int32_t ToNarrow(const char16_t* text, char** out) {
    return convert_copy(text, out, platform::wide_to_ansi);
}

int FreeHostText(void* copy) {
    if (copy) platform::task_free(copy);
    return 0;
}

HostTextCopy& HostTextCopy::operator=(HostTextCopy&& other) noexcept {
    if (this != &other) {
        FreeHostText(copy_);
        copy_ = other.copy_;
        other.copy_ = nullptr;
    }
    return *this;
}

using frame::host;
using frame::host_handle;

HostTextCopy GetEngineText(const char* group, const char* key) {
    return narrow(host<Host_GetEngineString_t>(kSlotGetEngineString)(host_handle(), group, key));
}
HostTextCopy GetMultiplayerText(const char* group, const char* key) {
    return narrow(host<Host_GetMultiplayerString_t>(kSlotGetMultiplayerString)(host_handle(), group, key));
}
HostTextCopy GetServerText(ServerRef server, const char* key) {
    return narrow(host<Host_GetServerInfo_t>(kSlotGetServerInfo)(server, key));
}
void AddServerEntry(const char* address, const char* port) {
    host<Host_AddServer_t>(kSlotAddServer)(host_handle(), address, port);
}

bool ReadCountedString(const void* list, int index, std::string* out, std::size_t capacity) {
    out->clear();
    if (!list || index < 0) return false;
    const auto* bytes = static_cast<const unsigned char*>(list);
    auto length_at = [](const unsigned char* p) {
        return static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    };
    for (int i = 0; i < index; ++i) {
        const int16_t length = length_at(bytes);
        if (length < 0) return false;
        bytes += 2 + length;
    }
    const int16_t length = length_at(bytes);
    if (length < 0) return false;
    const std::size_t kept = std::min<std::size_t>(static_cast<std::size_t>(length), capacity);
    out->assign(reinterpret_cast<const char*>(bytes + 2), kept);
    return true;
}

void SplitHostPort(const char* address, std::string* host_part, std::string* port_part,
                   std::string_view default_port) {
    const std::string_view text = address ? std::string_view(address) : std::string_view();
    const std::size_t colon = text.find(':');
    const std::string_view h = colon == std::string_view::npos ? text : text.substr(0, colon);
    const std::string_view p = colon == std::string_view::npos ? default_port : text.substr(colon + 1);
    host_part->assign(h.substr(0, kAddressPartMax));
    port_part->assign(p.substr(0, kAddressPartMax));
}
