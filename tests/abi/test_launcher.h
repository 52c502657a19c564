// test_launcher.h: a small launcher of the tests' own that loads a plug-in DLL and drives it.
//
// It answers the plug-in's callbacks from plain maps, records every call with its arguments, and
// calls the exports through a thunk that measures how many argument bytes each one removed from
// the stack. Only the types of abi_types.h describe the interface.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "abi_types.h"

namespace abi_test {

// One callback call as it arrived.
struct Call {
    int slot = 0;
    std::vector<std::string> texts;   // text arguments, in order
    std::vector<long long> numbers;   // integer arguments, in order
    std::string bytes;                // the datagram of slot 15
};

// What the launcher answers and what it was told. Settings are keyed "group/key".
struct LauncherState {
    std::map<std::string, std::string> engine_texts, multiplayer_texts;
    std::map<std::string, int> engine_ints, multiplayer_ints;
    std::vector<std::string> chosen_files;               // slots 13 and 14
    std::map<std::string, std::string> server_info;      // slot 18, for kServer only
    std::map<std::string, std::string> known_files;      // slot 19: name -> full path
    std::set<int> allowed_slots;                         // the slots this plug-in may call

    std::vector<Call> calls;
    std::set<int> slots_seen;                            // over the whole run
    std::deque<std::u16string> answers;                  // texts handed out stay valid

    std::vector<Call> calls_to(int slot) const;
    void reset_for_test();
};

LauncherState& launcher();
HostHandle host_handle();      // what SDLL_Init receives; every callback expects it back
ServerRef listed_server();     // the server reference given to the server exports

// Calls `function` with `count` 32-bit arguments pushed right to left and stores how many bytes
// of them the callee removed. The stack is put back from the frame afterwards, so a callee that
// removes the wrong amount is measured instead of derailing the test. A fault inside the callee
// ends the call with -1 bytes removed; take_fault() then tells which.
extern "C" std::uint32_t abi_call(const void* function, const std::uint32_t* args, int count,
                                  int* removed);

struct Fault {
    unsigned long code = 0;
    std::uintptr_t address = 0;
};
Fault take_fault();

class Plugin {
public:
    // Loads the DLL, hands over all 26 slots through SDLL_InitCall, then calls SDLL_Init.
    bool open(const std::string& file);
    ~Plugin();

    std::string name;                  // as SDLL_Init wrote it
    std::uint16_t capabilities = 0;
    int init_result = -1;

    template <class R, class... A, class... V>
    R call(const Export<R, A...>& e, V... values) {
        static_assert(sizeof...(A) == sizeof...(V), "argument count of the export");
        static_assert((true && ... && (sizeof(A) == 4)), "32-bit arguments only");
        const std::uint32_t args[sizeof...(A) + 1] = {word(static_cast<A>(values))..., 0};
        int removed = -1;
        const std::uint32_t result = abi_call(address(e.name), args, sizeof...(A), &removed);
        crashed_ = removed == -1;
        if (crashed_) {
            const Fault fault = take_fault();
            ADD_FAILURE() << e.name << " crashed: exception 0x" << std::hex << fault.code
                          << " at 0x" << fault.address;
        } else {
            EXPECT_EQ(removed, static_cast<int>(4 * sizeof...(A)))
                << e.name << " removed the wrong number of argument bytes from the stack";
        }
        if constexpr (!std::is_void_v<R>) return static_cast<R>(result);
    }

    // Calls a finish export every 20 ms until it answers 1 or crashes, for at most 60 seconds.
    int poll_until_done(const Export<int>& finish);

private:
    template <class T>
    static std::uint32_t word(T value) {
        if constexpr (std::is_pointer_v<T>) return reinterpret_cast<std::uintptr_t>(value);
        else return static_cast<std::uint32_t>(value);
    }
    const void* address(const char* name);
    void* module_ = nullptr;
    bool crashed_ = false;
};

// A scratch folder for one test, removed with everything in it at the end.
struct Scratch {
    explicit Scratch(const std::string& label);
    ~Scratch();
    std::string dir;   // ends in a backslash
    std::string make_dir(const std::string& name);            // dir + name + "\\"
    std::string touch(const std::string& path, const std::string& bytes = "");
    // Copies the built fake engine to `folder` under `exe_name`, points FAKE_ENGINE_LOG at
    // dir + "engine.log" and releases every engine at once (FAKE_ENGINE_RELEASE names an existing
    // file), so each ends as soon as it has started.
    void install_engine(const std::string& folder, const std::string& exe_name);
    std::vector<nlohmann::json> engine_runs() const;
};

// The folder of the test program, ending in a backslash; the plug-ins are built beside it.
std::string bin_dir();
// The short (8.3) form of `path`, as the plug-ins pass extra files to the engines.
std::string short_path(const std::string& path);
std::string lower(std::string text);

// Builds a datagram in the raw form: header byte 255, then the bytes uncompressed.
struct Datagram {
    std::string bytes = std::string(1, '\xFF');
    Datagram& u8(unsigned value);
    Datagram& u16(unsigned value);
    Datagram& u32(std::uint32_t value);
    Datagram& text(const std::string& value);   // with its zero byte
    const unsigned char* data() const {
        return reinterpret_cast<const unsigned char*>(bytes.data());
    }
    int size() const { return static_cast<int>(bytes.size()); }
};

// The plug-in a suite drives: its DLL in the binary folder, the launcher slots it may use, what
// SDLL_Init answers, and a key its settings description declares.
struct PluginUnderTest {
    const char* dll;
    std::set<int> slots;
    const char* name;
    int capabilities;
    const char* description_key;
};

// Loads the plug-in once for its suite, answering only the slots it may use; with the whole suite
// run, every one of them must have been driven.
template <const PluginUnderTest& kPlugin>
class PluginAbi : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        launcher().allowed_slots = kPlugin.slots;
        launcher().slots_seen.clear();
        plugin = std::make_unique<Plugin>();
        ASSERT_TRUE(plugin->open(bin_dir() + kPlugin.dll));
    }
    static void TearDownTestSuite() {
        const auto* suite = ::testing::UnitTest::GetInstance()->current_test_suite();
        if (suite && suite->test_to_run_count() == suite->total_test_count()) {
            EXPECT_EQ(launcher().slots_seen, kPlugin.slots);
        }
        plugin.reset();
    }
    void SetUp() override { launcher().reset_for_test(); }

    // SDLL_Init named the plug-in and its capabilities.
    static void expect_identity() {
        EXPECT_EQ(plugin->init_result, 0);
        EXPECT_EQ(plugin->name, kPlugin.name);
        EXPECT_EQ(plugin->capabilities, kPlugin.capabilities);
    }
    // SDLL_LoadConfiguration handed slot 0 the whole description, its size counted exactly.
    static void expect_description_whole() {
        EXPECT_EQ(plugin->call(SDLL_LoadConfiguration), 0);
        const auto calls = launcher().calls_to(0);
        ASSERT_EQ(calls.size(), 1u);
        const std::string& text = calls[0].texts[0];
        EXPECT_EQ(static_cast<long long>(text.size()), calls[0].numbers[0]);
        EXPECT_EQ(text.rfind("//", 0), 0u);
        EXPECT_EQ(text.substr(text.size() - 3), "}\r\n");
        EXPECT_NE(text.find(kPlugin.description_key), std::string::npos);
    }

    static inline std::unique_ptr<Plugin> plugin;
};

}  // namespace abi_test
