// os.h: the stand-in launcher's only door to the operating system.
//
// Its command-line words, environment variables, files, loading a plug-in module and finding its
// exports by unadorned name, the processes it starts, carrying on in the background (the
// simulator), and UDP sockets for the server browser and the simulator. Every path and text here
// is UTF-8, as the launcher keeps every text. host/posix/ and host/win32/ hold what differs
// between the systems and are chosen whole by the build; what both offer alike is written once:
// the files in os_files.cpp over the C++ standard library, the socket calls (the BSD calls, which
// Winsock has too) in os_sockets.cpp over the folder's socket_api.h. Code-page conversion is the
// platform layer's (platform/platform.h), the same the plug-ins use.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace host::os {

// ---- the command line ----------------------------------------------------------------------
// The words after the program name, in UTF-8 (Windows: as the wide command line has them, so a
// name outside the ANSI code page arrives whole).
std::vector<std::string> arguments(int argc, char** argv);

// ---- the environment -----------------------------------------------------------------------
// The value of the environment variable `name` in UTF-8; nothing when it is not set.
std::optional<std::string> environment_variable(const std::string& name);

// ---- files ---------------------------------------------------------------------------------
// `other`: anything else, or a path the system will not say anything about.
enum class FileKind { none, file, folder, other };
FileKind file_kind(const std::string& path);
std::string full_path(const std::string& path);     // absolute; the path itself when it cannot be
constexpr std::size_t kWholeFile = static_cast<std::size_t>(-1);
// The first `most` bytes of a plain file; nothing when it cannot be read.
std::optional<std::string> read_file(const std::string& path, std::size_t most = kWholeFile);
// The plain files in a folder: each name and full path; none when it cannot be listed.
std::vector<std::pair<std::string, std::string>> files_in(const std::string& folder);
// Writes `bytes` to PATH.tmp and renames it over `path`, so a failed write leaves the old file
// whole; false with `error` (and no PATH.tmp left) when it cannot.
bool replace_file(const std::string& path, const std::string& bytes, std::string* error);
// A stream that appends to the file, or null when it cannot be opened.
std::unique_ptr<std::ostream> open_for_appending(const std::string& path);
// Makes the folder and any missing parents; true when it is a folder afterwards.
bool make_folder(const std::string& path);
// `name` in `folder`, joined with the system's separator.
std::string path_in(const std::string& folder, const std::string& name);

// ---- modules -------------------------------------------------------------------------------
// Null, with the system's reason in `error`, when the module cannot be loaded.
void* load_module(const std::string& path, std::string* error);
void* module_symbol(void* module, const char* name);   // null module or missing name: null
void unload_module(void* module);                        // null is allowed
// What to tell a person whose module, by its first bytes, is of the other system's kind (a
// Windows DLL given to the posix build, a Linux module to the Windows one); empty otherwise.
std::string foreign_module_hint(std::string_view first_bytes);

// ---- processes this program starts -------------------------------------------------------
// This program's children as the system lists them now (the tests look at them too): on posix
// also those that have ended but are not yet reaped (zombies), marked `ended`; on Windows the
// running ones only.
struct ChildProcess {
    unsigned long pid = 0;
    std::string name;     // the program's file name, e.g. "Brannock.exe" (posix: its first 15 bytes)
    bool ended = false;
};
std::vector<ChildProcess> child_processes();

// What a later count compares with: on posix the children then (ended ones not yet reaped
// included), on Windows how many processes have ever been in the job this program puts itself
// into at its first mark.
struct ProcessMark {
    std::vector<unsigned long> children;
    unsigned long total = 0;
    bool countable = false;   // false: the system would not count them (no job object)
};
ProcessMark mark_processes();
// The processes this program has started since a mark, ended ones included: how many, and on
// posix their process numbers (a Windows job gives a count only).
struct StartedProcesses {
    std::size_t count = 0;
    std::optional<std::vector<unsigned long>> ids;
};
// Nothing when they cannot be counted.
std::optional<StartedProcesses> processes_started_since(const ProcessMark& mark);

// ---- being interrupted ---------------------------------------------------------------------
// From now on SIGINT and SIGTERM (posix), a console's Ctrl-C, Ctrl-Break or close (Windows) are
// noted instead of ending the program, for its waits to look at.
void watch_interrupts();
// The exit code the interruption asks for, as a shell gives a program its signal ended: 130
// (SIGINT, Ctrl-C) or 143 (SIGTERM, Ctrl-Break, close); 0 while none came.
constexpr int kExitInterrupted = 130;
constexpr int kExitTerminated = 143;
int interruption();

// ---- carrying on in the background ---------------------------------------------------------
enum class Detached { parent, child, failed };
// Splits this program in two so that the shell that started it goes on: the parent, told the
// child's process number, is to exit at once; the child carries on alone, in a session of its
// own, its standard streams on the null device. Flush what was printed first. posix only: on
// Windows `failed`, with `error` saying what to do instead.
Detached detach(unsigned long* child, std::string* error);
// Why detach cannot work on this system, empty where it can: asked before anything is opened.
std::string background_refusal();

// ---- UDP sockets ---------------------------------------------------------------------------
using Socket = std::intptr_t;
constexpr Socket kNoSocket = -1;

// A socket bound to `address` ("127.0.0.1", "0.0.0.0") and `port` (0: any free port);
// kNoSocket with `error` set when it cannot be opened.
Socket open_udp(const std::string& address, uint16_t port, std::string* error);
void close_socket(Socket socket);
uint16_t local_port(Socket socket);   // 0 when unknown

// The start of the error text of a send whose host name cannot be resolved.
constexpr const char* kUnresolved = "cannot resolve ";

// `host` is a dotted address or a name, `port` decimal text. False, with `error`, when the whole
// datagram cannot be sent.
bool send_datagram(Socket socket, const std::string& host, const std::string& port,
                   std::span<const unsigned char> data, std::string* error);
// Reads one waiting datagram: its bytes and the sender's dotted address and port.
bool receive_datagram(Socket socket, std::vector<unsigned char>* data, std::string* from_host,
                      uint16_t* from_port);
// Waits up to `timeout_ms` until one of `sockets` (kNoSocket entries are passed over) has a
// datagram; its index, or -1.
int wait_readable(std::span<const Socket> sockets, int timeout_ms);

}  // namespace host::os
