// host_os_test.cpp: the stand-in's door to the OS where the stand-in and the simulator rely on it
// beyond what the command tests reach: environment variables of any length, and the simulator's
// folders. (A variable set empty is not asked: on Windows the C runtime's setting removes it.)
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "host/os.h"
#include "tests/support/environment.h"
#include "tests/support/test_paths.h"

namespace {

struct VariableCase {
    const char* name;
    std::optional<std::string> set_to;   // nothing: never set
    const char* why;
};

TEST(HostOs, EnvironmentVariablesArriveWholeAndUnsetOnesAreNone) {
    const VariableCase cases[] = {
        {"SDLL_OS_TEST_PLAIN", "C:/games/engine log.jsonl", "a path with a blank"},
        {"SDLL_OS_TEST_LONG", std::string(1000, 'x') + "end", "longer than a path, so the first read is too short"},
        {"SDLL_OS_TEST_NEVER_SET", std::nullopt, "never set"},
    };
    for (const VariableCase& c : cases) {
        if (c.set_to) test_support::set_env(c.name, *c.set_to);
        const std::optional<std::string> got = host::os::environment_variable(c.name);
        EXPECT_EQ(got.value_or("(none)"), c.set_to.value_or("(none)")) << c.why;
    }
}

TEST(HostOs, FoldersAreMadeWithTheirParentsAndNeverOverAFile) {
    const std::string scratch = test_support::scratch_dir("host-os-folders");
    const std::string nested = host::os::path_in(host::os::path_in(scratch, "corpus"), "master_response");
    ASSERT_TRUE(host::os::make_folder(nested));
    EXPECT_EQ(host::os::file_kind(nested), host::os::FileKind::folder);
    EXPECT_TRUE(host::os::make_folder(nested)) << "a folder already there is fine";

    const std::string file = host::os::path_in(nested, "master0_0");
    ASSERT_TRUE(host::os::replace_file(file, "datagram", nullptr)) << "path_in joins a folder and a name";
    EXPECT_EQ(host::os::read_file(file).value_or(""), "datagram");
    EXPECT_FALSE(host::os::make_folder(file)) << "a plain file is no folder";
    EXPECT_FALSE(host::os::make_folder(host::os::path_in(file, "below"))) << "nothing is made below a plain file";
    EXPECT_EQ(host::os::read_file(file).value_or(""), "datagram");
}

}  // namespace
