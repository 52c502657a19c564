// frame.h: the part of every plug-in that talks to the launcher.
//
// The callback registry (filled by SDLL_InitCall), the host handle, the typed wrappers that turn
// a launcher UTF-16 answer into an ANSI copy in task memory, the text conversions, and the two
// small readers of launcher-supplied texts, all implemented by frame.cpp. The launcher ABI itself
// is in frame/launcher.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "frame/launcher.h"
#include "frame/setting_keys.h"

namespace frame {

// ---- registry ------------------------------------------------------------------------------
void set_host_handle(HostHandle host);
HostHandle host_handle();
void set_slot(unsigned slot, void* function);   // slots 0..25; any other number is ignored
void* slot(unsigned slot);

// The launcher function in `slot`, typed. The plug-ins rely on the launcher having set every
// slot they use before calling any export other than SDLL_Init and SDLL_InitCall.
template <typename Fn>
Fn host(HostSlot s) { return reinterpret_cast<Fn>(slot(s)); }

// Shared body of SDLL_Init: records the host handle and writes name and capability value.
int init_plugin(HostHandle host, char* name, uint16_t* capabilities, const char* plugin_name,
                uint16_t capability_value);

// Body of SDLL_LoadConfiguration: hands resource 101 "CONFIGURATION" to slot 0.
int load_configuration();

// Runs an export body so that no exception (an allocation failure included) reaches the
// launcher; on one, the export answers `refuse`.
template <typename R, typename Body>
R guarded(R refuse, Body&& body) noexcept {
    try { return body(); } catch (...) { return refuse; }
}
template <typename Body>
void guarded_void(Body&& body) noexcept {
    try { body(); } catch (...) {}
}

}  // namespace frame

// ---- text conversions (HRESULT-style results) ------------------------------------------------
constexpr int32_t kResultOk = 0;
constexpr int32_t kResultOutOfMemory = static_cast<int32_t>(0x8007000E);
// The HRESULT form of a Win32 error code.
constexpr int32_t HresultFromError(unsigned error) {
    return static_cast<int32_t>(0x80070000u | (error & 0xFFFFu));
}

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
inline HostTextCopy GetEngineText(const frame::SettingKey& item) { return GetEngineText(item.group, item.key); }
inline HostTextCopy GetMultiplayerText(const frame::SettingKey& item) { return GetMultiplayerText(item.group, item.key); }
HostTextCopy GetServerText(ServerRef server, const char* key);
// Adds a server entry. The launcher's answer is its own and nobody reads it, so it is left alone:
// no copy is made, and a master list of hundreds of servers allocates nothing per server.
void AddServerEntry(const char* address, const char* port);

// Longest host or port part of an address, and longest entry of an address list, in bytes.
constexpr std::size_t kAddressPartMax = 255;

// Reads entry `index` of a counted-string list (signed 16-bit little-endian length, then the
// bytes). At most `capacity` bytes of the entry are kept. A null list or a negative length on the
// way gives false and an empty text.
bool ReadCountedString(const void* list, int index, std::string* out,
                       std::size_t capacity = kAddressPartMax);

// Splits "host:port" at the first colon; without a colon the port is `default_port`. Each part is
// cut to kAddressPartMax bytes. A null address reads as empty.
void SplitHostPort(const char* address, std::string* host, std::string* port,
                   std::string_view default_port);
