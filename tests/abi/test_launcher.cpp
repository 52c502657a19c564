// test_launcher.cpp: the tests' own launcher: its 26 callbacks, the export thunk, scratch folders.
#include "test_launcher.h"

#include <windows.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

namespace abi_test {

// The export thunk. ebx is callee-saved in both 32-bit conventions, so it still holds the stack
// top with the arguments on it when the export returns; the frame then restores the stack. While
// an export runs, abi_active_frame holds the thunk's frame, so a fault inside the plug-in can be
// turned into a return through abi_call_fault with -1 bytes removed.
extern "C" {
volatile std::uintptr_t abi_active_frame = 0;
void abi_call_fault();
}
// A naked function keeps the thunk in the compiler's own text section; the PE assembler has no
// section stack to push and pop.
extern "C" __attribute__((naked)) std::uint32_t abi_call(const void*, const std::uint32_t*, int, int*) {
    asm(R"(
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  %ebp, _abi_active_frame
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  movl  %esp, %ebx
    call  *8(%ebp)
    movl  %esp, %ecx
    subl  %ebx, %ecx
3:  movl  $0, _abi_active_frame
    movl  20(%ebp), %edx
    movl  %ecx, (%edx)
    leal  -12(%ebp), %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
    .globl _abi_call_fault
_abi_call_fault:
    movl  $-1, %ecx
    xorl  %eax, %eax
    jmp   3b
)");
}

namespace {

LauncherState g_state;
Fault g_fault;
char g_host_marker;     // their addresses are the host handle and the server reference
char g_server_marker;

// Datagrams and the settings description are far smaller; a bigger count is a garbled argument.
constexpr int kMostBytes = 1 << 20;

std::string text_of(int slot, const char* text) {
    EXPECT_NE(text, nullptr) << "slot " << slot << " got a null text";
    return text ? text : "";
}

void record(Call call) {
    EXPECT_TRUE(g_state.allowed_slots.count(call.slot))
        << "slot " << call.slot << " called by a plug-in that never uses it";
    g_state.slots_seen.insert(call.slot);
    g_state.calls.push_back(std::move(call));
}

void expect_host(int slot, HostHandle handle) {
    EXPECT_EQ(handle, host_handle()) << "slot " << slot << " got a wrong host handle";
}

// Hands out a UTF-16 copy that stays valid until the next test; null for a missing value.
HostText answer(const std::map<std::string, std::string>& values, const std::string& key) {
    const auto found = values.find(key);
    if (found == values.end()) return nullptr;
    g_state.answers.emplace_back(found->second.begin(), found->second.end());
    return g_state.answers.back().c_str();
}

int number(const std::map<std::string, int>& values, const std::string& key) {
    const auto found = values.find(key);
    return found == values.end() ? 0 : found->second;
}

// A settings read or write: handle check, record, and the "group/key" it names.
std::string setting(int slot, HostHandle handle, const char* group, const char* key,
                    std::vector<std::string> more_texts = {}, std::vector<long long> numbers = {}) {
    expect_host(slot, handle);
    std::vector<std::string> texts{text_of(slot, group), text_of(slot, key)};
    texts.insert(texts.end(), more_texts.begin(), more_texts.end());
    const std::string address = texts[0] + "/" + texts[1];
    record({slot, std::move(texts), std::move(numbers), {}});
    return address;
}

void ABI_CALL set_configuration(const char* text, int byte_count) {
    const bool sane = text && byte_count >= 0 && byte_count <= kMostBytes;
    EXPECT_TRUE(sane) << "slot 0 got text " << static_cast<const void*>(text) << ", "
                      << byte_count << " bytes";
    record({0, {sane ? std::string(text, byte_count) : ""}, {byte_count}, {}});
}

int ABI_CALL get_engine_int(HostHandle handle, const char* group, const char* key) {
    return number(g_state.engine_ints, setting(1, handle, group, key));
}

HostText ABI_CALL get_engine_string(HostHandle handle, const char* group, const char* key) {
    return answer(g_state.engine_texts, setting(2, handle, group, key));
}

int ABI_CALL message_box(const char* text, const char* caption, unsigned style) {
    record({5, {text_of(5, text), text_of(5, caption)}, {style}, {}});
    return IDOK;
}

int ABI_CALL get_multiplayer_int(HostHandle handle, const char* group, const char* key) {
    return number(g_state.multiplayer_ints, setting(6, handle, group, key));
}

HostText ABI_CALL get_multiplayer_string(HostHandle handle, const char* group, const char* key) {
    return answer(g_state.multiplayer_texts, setting(7, handle, group, key));
}

void ABI_CALL set_multiplayer_int(HostHandle handle, const char* group, const char* key,
                                  int value) {
    setting(8, handle, group, key, {}, {value});
}

void ABI_CALL set_multiplayer_string(HostHandle handle, const char* group, const char* key,
                                     const char* text) {
    setting(9, handle, group, key, {text_of(9, text)});
}

void ABI_CALL report_message(const char* text, int level) {
    record({10, {text_of(10, text)}, {level}, {}});
}

void ABI_CALL require_file(const char* folder, const char* file_name) {
    record({11, {text_of(11, folder), text_of(11, file_name)}, {}, {}});
}

void ABI_CALL set_iwad_mask(HostHandle handle, unsigned mask) {
    expect_host(12, handle);
    record({12, {}, {mask}, {}});
}

int ABI_CALL get_file_count(HostHandle handle) {
    expect_host(13, handle);
    record({13, {}, {}, {}});
    return static_cast<int>(g_state.chosen_files.size());
}

HostText ABI_CALL get_file(HostHandle handle, int index) {
    expect_host(14, handle);
    record({14, {}, {index}, {}});
    const bool inside = index >= 0 && index < static_cast<int>(g_state.chosen_files.size());
    EXPECT_TRUE(inside) << "slot 14 asked for file " << index;
    if (!inside) return nullptr;
    const std::string& path = g_state.chosen_files[index];
    g_state.answers.emplace_back(path.begin(), path.end());
    return g_state.answers.back().c_str();
}

void ABI_CALL send_query(HostHandle handle, const char* host, const char* port,
                         const unsigned char* data, int length, int zero) {
    expect_host(15, handle);
    const bool sane = data && length >= 0 && length <= kMostBytes;
    EXPECT_TRUE(sane) << "slot 15 got datagram " << static_cast<const void*>(data) << ", "
                      << length << " bytes";
    record({15, {text_of(15, host), text_of(15, port)}, {length, zero},
            sane ? std::string(reinterpret_cast<const char*>(data), length) : ""});
}

HostText ABI_CALL add_server(HostHandle handle, const char* address, const char* port) {
    expect_host(16, handle);
    record({16, {text_of(16, address), text_of(16, port)}, {}, {}});
    g_state.answers.push_back(u"server entry");
    return g_state.answers.back().c_str();
}

void ABI_CALL set_server_info(ServerRef server, const char* key, const char* value) {
    EXPECT_EQ(server, listed_server()) << "slot 17 got a wrong server reference";
    record({17, {text_of(17, key), text_of(17, value)}, {}, {}});
}

HostText ABI_CALL get_server_info(ServerRef server, const char* key) {
    EXPECT_EQ(server, listed_server()) << "slot 18 got a wrong server reference";
    const std::string name = text_of(18, key);
    record({18, {name}, {}, {}});
    return answer(g_state.server_info, name);
}

HostText ABI_CALL find_file(const char* file_name) {
    const std::string name = text_of(19, file_name);
    record({19, {name}, {}, {}});
    return answer(g_state.known_files, name);
}

void ABI_CALL add_file(const char* file_name) { record({20, {text_of(20, file_name)}, {}, {}}); }

void ABI_CALL set_iwad(HostHandle handle, int iwad) {
    expect_host(21, handle);
    record({21, {}, {iwad}, {}});
}

void ABI_CALL set_map(HostHandle handle, const char* map) {
    expect_host(22, handle);
    record({22, {text_of(22, map)}, {}, {}});
}

void ABI_CALL add_player(const char* name) { record({23, {text_of(23, name)}, {}, {}}); }

void ABI_CALL set_engine_ready(HostHandle handle, int flag) {
    expect_host(24, handle);
    record({24, {}, {flag}, {}});
}

// A fault inside an export (a callback that left the plug-in's stack wrong ends that way) resumes
// in the thunk, which reports it; faults elsewhere are left to the system.
LONG WINAPI contain_fault(EXCEPTION_POINTERS* info) {
    const std::uintptr_t frame = abi_active_frame;
    if (!frame) return EXCEPTION_CONTINUE_SEARCH;
    abi_active_frame = 0;
    g_fault = {info->ExceptionRecord->ExceptionCode,
               reinterpret_cast<std::uintptr_t>(info->ExceptionRecord->ExceptionAddress)};
    info->ContextRecord->Ebp = frame;
    info->ContextRecord->Esp = frame - 12;
    info->ContextRecord->Eip = reinterpret_cast<std::uintptr_t>(&abi_call_fault);
    return EXCEPTION_CONTINUE_EXECUTION;
}

template <int Slot>
void ABI_CALL never_called() {
    ADD_FAILURE() << "slot " << Slot << " has no use and was called";
    g_state.slots_seen.insert(Slot);
}

// Naming the slot type converts each function to it, so a callback that does not match its
// declared type does not compile.
template <class Slot>
void* slot(Slot function) {
    return reinterpret_cast<void*>(function);
}

void* const kSlots[kSlotCount] = {
    slot<Host_SetConfiguration>(set_configuration),
    slot<Host_GetEngineInt>(get_engine_int),
    slot<Host_GetEngineString>(get_engine_string),
    slot<Host_NeverCalled>(never_called<3>),
    slot<Host_NeverCalled>(never_called<4>),
    slot<Host_MessageBox>(message_box),
    slot<Host_GetMultiplayerInt>(get_multiplayer_int),
    slot<Host_GetMultiplayerString>(get_multiplayer_string),
    slot<Host_SetMultiplayerInt>(set_multiplayer_int),
    slot<Host_SetMultiplayerString>(set_multiplayer_string),
    slot<Host_ReportMessage>(report_message),
    slot<Host_RequireFile>(require_file),
    slot<Host_SetIwadMask>(set_iwad_mask),
    slot<Host_GetFileCount>(get_file_count),
    slot<Host_GetFile>(get_file),
    slot<Host_SendQuery>(send_query),
    slot<Host_AddServer>(add_server),
    slot<Host_SetServerInfo>(set_server_info),
    slot<Host_GetServerInfo>(get_server_info),
    slot<Host_FindFile>(find_file),
    slot<Host_AddFile>(add_file),
    slot<Host_SetIwad>(set_iwad),
    slot<Host_SetMap>(set_map),
    slot<Host_AddPlayer>(add_player),
    slot<Host_SetEngineReady>(set_engine_ready),
    slot<Host_NeverCalled>(never_called<25>),
};

}  // namespace

LauncherState& launcher() { return g_state; }
HostHandle host_handle() { return &g_host_marker; }
ServerRef listed_server() { return &g_server_marker; }

std::vector<Call> LauncherState::calls_to(int slot) const {
    std::vector<Call> found;
    for (const Call& call : calls)
        if (call.slot == slot) found.push_back(call);
    return found;
}

void LauncherState::reset_for_test() {
    engine_texts.clear();
    multiplayer_texts.clear();
    engine_ints.clear();
    multiplayer_ints.clear();
    chosen_files.clear();
    server_info.clear();
    known_files.clear();
    calls.clear();
    answers.clear();
}

Fault take_fault() {
    const Fault fault = g_fault;
    g_fault = {};
    return fault;
}

bool Plugin::open(const std::string& file) {
    SetUnhandledExceptionFilter(contain_fault);
    module_ = LoadLibraryA(file.c_str());
    if (!module_) return false;
    for (unsigned number = 0; number < kSlotCount; ++number)
        call(SDLL_InitCall, number, kSlots[number]);
    char buffer[64];
    std::memset(buffer, 0x7F, sizeof buffer);
    capabilities = 0xFFFF;
    init_result = call(SDLL_Init, host_handle(), buffer, &capabilities);
    name.assign(buffer, strnlen(buffer, sizeof buffer));
    return true;
}

Plugin::~Plugin() {
    if (module_) FreeLibrary(static_cast<HMODULE>(module_));
}

const void* Plugin::address(const char* name) {
    const auto found = GetProcAddress(static_cast<HMODULE>(module_), name);
    EXPECT_NE(found, nullptr) << name << " is not exported";
    return reinterpret_cast<const void*>(found);
}

int Plugin::poll_until_done(const Export<int>& finish) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int result = call(finish);
    while (result != 1 && !crashed_ && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        result = call(finish);
    }
    return result;
}

Scratch::Scratch(const std::string& label) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    dir = std::string(temp) + "abi_tests_" + std::to_string(GetCurrentProcessId()) + "_" + label +
          "\\";
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
    CreateDirectoryA(dir.c_str(), nullptr);
}

// An engine that has just ended may still hold its working folder for a moment, so the removal
// is tried again for a while.
Scratch::~Scratch() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::error_code ec;
    while (std::filesystem::remove_all(dir, ec), std::filesystem::exists(dir) &&
                                                     std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(std::filesystem::exists(dir)) << "cannot remove the scratch folder " << dir;
}

std::string Scratch::make_dir(const std::string& name) {
    const std::string path = dir + name + "\\";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

std::string Scratch::touch(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

void Scratch::install_engine(const std::string& folder, const std::string& exe_name) {
    const std::string engine = bin_dir() + "fake-engine.exe";
    EXPECT_TRUE(CopyFileA(engine.c_str(), (folder + exe_name).c_str(), FALSE))
        << "cannot copy " << engine;
    SetEnvironmentVariableA("FAKE_ENGINE_LOG", (dir + "engine.log").c_str());
    // Released before it starts: each engine ends at once instead of playing its game out.
    const std::string release = touch(dir + "release");
    SetEnvironmentVariableA("FAKE_ENGINE_RELEASE", release.c_str());
}

std::vector<nlohmann::json> Scratch::engine_runs() const {
    std::vector<nlohmann::json> runs;
    std::ifstream log(dir + "engine.log");
    // The fake engine also records priority changes and its end; a run is its start record.
    for (std::string line; std::getline(log, line);) {
        nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        if (event.is_object() && event.value("event", "") == "start") runs.push_back(std::move(event));
    }
    return runs;
}

std::string bin_dir() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length);
    return text.substr(0, text.find_last_of("\\/") + 1);
}

std::string short_path(const std::string& path) {
    char buffer[MAX_PATH];
    const DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "";
}

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

Datagram& Datagram::u8(unsigned value) {
    bytes += static_cast<char>(value & 0xFF);
    return *this;
}

Datagram& Datagram::u16(unsigned value) { return u8(value).u8(value >> 8); }

Datagram& Datagram::u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }

Datagram& Datagram::text(const std::string& value) {
    bytes += value;
    return u8(0);
}

}  // namespace abi_test
