// launcher_text.h: the launcher's UTF-16 answers as ANSI copies in task memory, and the typed
// wrappers over the launcher's text callbacks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "frame/launcher.h"
#include "frame/setting_keys.h"

namespace frame {

// The conversions' HRESULT-style results: 0, E_OUTOFMEMORY, or 0x80070000 with a Win32 error's low
// 16 bits.
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultOutOfMemory = static_cast<int32_t>(0x8007000E);

// UTF-16 to an ANSI copy in task memory; *out is null for a null text or on failure.
int32_t ToNarrow(const char16_t* text, char** out);
// Releases a copy made by ToNarrow; null is allowed. Returns 0.
int FreeHostText(void* copy);

// An owned launcher text copy, released when it goes out of scope. A null copy (the launcher
// returned nothing, or the conversion failed) reads as the empty text.
class HostTextCopy {
public:
    HostTextCopy() = default;
    explicit HostTextCopy(char* copy) : copy_(copy) {}
    HostTextCopy(HostTextCopy&& other) noexcept : copy_(other.copy_) { other.copy_ = nullptr; }
    HostTextCopy& operator=(HostTextCopy&& other) noexcept;
    HostTextCopy(const HostTextCopy&) = delete;
    HostTextCopy& operator=(const HostTextCopy&) = delete;
    ~HostTextCopy() { FreeHostText(copy_); }

    const char* c_str() const { return copy_ ? copy_ : ""; }
    std::string_view view() const { return copy_ ? std::string_view(copy_) : std::string_view(); }
    std::string str() const { return std::string(view()); }

private:
    char* copy_ = nullptr;
};

// Typed wrappers: call one launcher function, convert its UTF-16 answer to an ANSI copy.
HostTextCopy GetEngineText(const char* group, const char* key);
HostTextCopy GetMultiplayerText(const char* group, const char* key);
inline HostTextCopy GetEngineText(const SettingKey& item) { return GetEngineText(item.group, item.key); }
inline HostTextCopy GetMultiplayerText(const SettingKey& item) { return GetMultiplayerText(item.group, item.key); }
HostTextCopy GetServerText(ServerRef server, const char* key);
// Adds a server entry. The launcher's answer is its own and nobody reads it, so it is left alone:
// no copy is made, and a master list of hundreds of servers allocates nothing per server.
void AddServerEntry(const char* address, const char* port);

}  // namespace frame
