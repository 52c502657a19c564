// launcher_text.cpp: the conversions between the launcher's UTF-16 and the plug-ins' ANSI texts,
// and the typed wrappers over the launcher's text callbacks.
#include "frame/launcher_text.h"

#include "frame/registry.h"
#include "platform/platform.h"

namespace frame {
namespace {

// The HRESULT form of a Win32 error code.
constexpr int32_t hresult_from_error(unsigned error) {
    return static_cast<int32_t>(0x80070000u | (error & 0xFFFFu));
}

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
        return error == 0 ? kResultOk : hresult_from_error(error);
    }
    auto* block = static_cast<To*>(platform::task_alloc(static_cast<std::size_t>(needed) * sizeof(To)));
    if (!block) return kResultOutOfMemory;
    if (convert(text, n, block, needed) == 0) {
        const unsigned error = platform::last_error();
        platform::task_free(block);
        return error == 0 ? kResultOk : hresult_from_error(error);
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

}  // namespace frame
