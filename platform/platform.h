// platform.h: the only door from the plug-ins to the operating system.
//
// Two implementations define exactly these functions: platform/win32/ (the product, real Win32
// calls) and platform/posix/ (the Linux workbench, chosen so that tests observe the same effects).
// The build picks one whole. Nothing outside platform/ includes an OS header in plug-in code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

using ModuleHandle = void*;
using ProcessHandle = void*;   // null means "no process"

// ---- module and embedded resources -------------------------------------------------------
void set_module_handle(ModuleHandle module);
ModuleHandle module_handle();

enum class ResourceResult { ok, not_found, load_failed };
struct ResourceBytes {
    const char* data = nullptr;
    std::size_t size = 0;
};
// Finds resource `id` of type `type` (e.g. 101, "CONFIGURATION") in `module`.
ResourceResult load_resource(ModuleHandle module, int id, const char* type, ResourceBytes* out);
// posix only has no resource section: each plug-in registers its embedded texts at load.
void register_resource(int id, const char* type, const char* data, std::size_t size);

// ---- task memory (COM task memory on Windows) -------------------------------------------
void* task_alloc(std::size_t bytes);
void task_free(void* block);

// ---- code-page conversion (the ANSI code page; UTF-8 on posix) ----------------------------
// Same contract as WideCharToMultiByte / MultiByteToWideChar with CP_ACP and flags 0: returns
// the number of bytes (units) written, or with a zero capacity the number needed; 0 on failure,
// with the reason in last_error().
int wide_to_ansi(const char16_t* src, int src_units, char* dst, int dst_bytes);
int ansi_to_wide(const char* src, int src_bytes, char16_t* dst, int dst_units);
unsigned last_error();
// The ANSI form of a file name or path, true when the code page holds every character of it. A
// character the conversion turns into a look-alike (Ł into L, Ω into O) counts as not held: the
// name would stand for another file. On false `out` has the lossy form (as wide_to_ansi gives it).
bool ansi_name(const char16_t* name, std::string* out);
// The ANSI form of a path from the launcher. When the code page cannot hold every character of it
// (ansi_name), its short (8.3) form, plain ASCII where the volume keeps short names. False when
// neither form holds the path; `out` then has its lossy form, to name it to the user.
bool ansi_path(const char16_t* path, std::string* out);
// True when `byte` starts a two-byte character in the ANSI code page (the double-byte code pages
// of East Asian systems, where the second byte may be a backslash or an ASCII letter). Never on
// posix, whose ANSI code page is UTF-8.
bool is_lead_byte(unsigned char byte);

// ---- processes ----------------------------------------------------------------------------
enum class ShowMode { normal, minimized };
enum class WaitResult { ended, running, failed };
// start_process and wait_process are among the calls that can fail, below.
void set_high_priority(ProcessHandle process);           // best effort
void terminate_process(ProcessHandle process);
void close_process(ProcessHandle process);               // null is allowed
void sleep_ms(unsigned milliseconds);

// ---- system highlight colour (COLOR_HIGHLIGHT) --------------------------------------------
std::uint32_t get_highlight_color();
void set_highlight_color(std::uint32_t color);

// ---- the calls that can fail (file system, process start and wait) -------------------------
// Every OS call whose failure a plug-in must survive goes through one table, and so does every
// look-up of a path. The system's table is the default; a test puts its own in front to make any
// call of a kind fail, or to see which paths were looked up. The calls are listed once, in
// fallible_calls.inc, with what each does.
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) result name parameters;
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL

struct FallibleCalls {
#define PLATFORM_FALLIBLE_CALL(result, name, parameters, arguments, failed, words) result(*name) parameters;
#include "platform/fallible_calls.inc"
#undef PLATFORM_FALLIBLE_CALL
};
// The real calls of this system.
const FallibleCalls& system_calls();
// Routes the calls through `calls` from now on; null goes back to the system's.
void set_fallible_calls(const FallibleCalls* calls);

}  // namespace platform
