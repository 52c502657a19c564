// host_readme_test.cpp: the README's worked session, natively and under Wine, run line by line as
// printed there, from a scratch folder, with the programs of this build. The commands come from
// README.md itself, so the text and the programs cannot drift apart. Native only: the sessions
// are a posix shell's (the Wine one drives the Windows build through scripts/wine32).
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/deadline.h"
#include "tests/support/test_paths.h"

namespace {

constexpr const char* kSessionHeading = "### A worked session";
constexpr const char* kWineSessionHeading = "### The same session under Wine";
constexpr const char* kFence = "```";
constexpr const char* kPrompt = "$ ";
constexpr const char* kLeftOut = "...";

struct Step {
    std::string command;
    std::vector<std::string> shown;   // lines printed under it in the README
    int exit_code = 0;                // "# exit N" in its comment, else 0
};

// The commands and their shown output of the first fenced block after the heading.
std::vector<Step> session_steps(const std::string& readme, const std::string& heading) {
    std::istringstream in(readme);
    std::vector<Step> steps;
    bool after_heading = false, inside = false;
    const std::regex exit_comment(R"(#\s*exit\s+(\d+))");
    for (std::string line; std::getline(in, line);) {
        if (!after_heading) {
            after_heading = line == heading;
            continue;
        }
        if (line.rfind(kFence, 0) == 0) {
            if (inside) break;
            inside = true;
            continue;
        }
        if (!inside) continue;
        if (line.rfind(kPrompt, 0) == 0) {
            Step step{line.substr(2), {}, 0};
            std::smatch match;
            if (std::regex_search(step.command, match, exit_comment)) step.exit_code = std::stoi(match[1]);
            steps.push_back(step);
        } else if (!steps.empty()) {
            steps.back().shown.push_back(line);
        }
    }
    return steps;
}

// A shown line matches an output line piece by piece, "..." standing for any text.
bool matches(const std::string& shown, const std::string& line) {
    std::vector<std::string> pieces;
    for (std::size_t from = 0;;) {
        const std::size_t at = shown.find(kLeftOut, from);
        pieces.push_back(shown.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) break;
        from = at + 3;
    }
    std::size_t at = 0;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        if (i == 0) {
            if (line.compare(0, piece.size(), piece) != 0) return false;
            at = piece.size();
        } else if (i + 1 == pieces.size() && !piece.empty()) {
            return line.size() >= at + piece.size() && line.compare(line.size() - piece.size(), piece.size(), piece) == 0;
        } else {
            const std::size_t found = line.find(piece, at);
            if (found == std::string::npos) return false;
            at = found + piece.size();
        }
    }
    return pieces.size() > 1 || at == line.size();
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();   // Windows programs end lines so
        lines.push_back(line);
    }
    return lines;
}

// The shown lines not found, in their order, among the output's lines.
std::vector<std::string> unmatched(const std::vector<std::string>& shown, const std::vector<std::string>& output) {
    std::vector<std::string> missing;
    std::size_t next = 0;
    for (const std::string& want : shown) {
        std::size_t i = next;
        while (i < output.size() && !matches(want, output[i])) ++i;
        if (i == output.size()) missing.push_back(want);
        else next = i + 1;
    }
    return missing;
}

constexpr int kStopMs = 10000;

// Whether the process still runs; an ended one waiting to be reaped by whoever adopted it does not.
bool serving(const std::string& pid) {
    const std::string stat = test_support::read_file("/proc/" + pid + "/stat");
    const std::size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

TEST(HostReadme, LineMatchingTakesLeftOutTextAsAnything) {
    EXPECT_TRUE(matches("made ...engine/Brannock.exe (the fake engine)", "made /t/engine/Brannock.exe (the fake engine)"));
    EXPECT_TRUE(matches("1  answered ...Fragfest Central ...", "1  answered   Fragfest Central  MAP01"));
    EXPECT_FALSE(matches("game finished", "game finished late"));
    EXPECT_FALSE(matches("...engineBrannock.exe)", "/t/engine/Brannock.exe)"));
    EXPECT_EQ(unmatched({"a", "c"}, {"a", "b", "c"}).size(), 0u);
    EXPECT_EQ(unmatched({"c", "a"}, {"a", "b", "c"}), std::vector<std::string>{"a"});
}

// Runs the session of the README under `heading` in a scratch folder, as a person's shell would
// (nothing of the tests' own engine settings), `variables` set first, and checks every step's
// exit code and shown lines.
void run_session(const std::string& heading, const std::string& label, const std::string& variables) {
    const std::vector<Step> steps =
        session_steps(test_support::read_file(std::string(SDLL_SOURCE_DIR) + "/README.md"), heading);
    ASSERT_GE(steps.size(), 12u) << "the README's " << heading << " is missing or cut short";

    const std::string scratch = test_support::scratch_dir(label);
    const std::string session = scratch + "session/";
    const std::string results = scratch + "steps/";
    std::filesystem::create_directories(session);
    std::filesystem::create_directories(results);
    std::string bin = test_support::bin_dir();
    bin.pop_back();
    std::ostringstream script;
    script << "bin='" << bin << "'\n" << variables << "cd '" << session << "' || exit 99\n";
    for (std::size_t i = 0; i < steps.size(); ++i)
        script << "{ " << steps[i].command << "\n} > '" << results << i << ".out' 2>&1; echo $? > '" << results << i
               << ".rc'\n";
    test_support::write_file(scratch + "session.sh", script.str());
    const std::string run = "env -i PATH=\"$PATH\" HOME='" + session + "' bash --noprofile --norc '" + scratch +
                            "session.sh' > '" + scratch + "bash.out' 2>&1";
    ASSERT_EQ(std::system(run.c_str()), 0) << test_support::read_file(scratch + "bash.out");

    for (std::size_t i = 0; i < steps.size(); ++i) {
        const std::string output = test_support::read_file(results + std::to_string(i) + ".out");
        const std::string rc = test_support::read_file(results + std::to_string(i) + ".rc");
        EXPECT_EQ(rc, std::to_string(steps[i].exit_code) + "\n") << "$ " << steps[i].command << "\n" << output;
        for (const std::string& line : unmatched(steps[i].shown, lines_of(output)))
            ADD_FAILURE() << "$ " << steps[i].command << "\nshown in the README but not printed: " << line
                          << "\nprinted:\n" << output;
    }
    // A simulator the session failed to stop would serve on for ever.
    std::smatch pid;
    const std::string sim = test_support::read_file(session + "sim.txt");
    if (std::regex_search(sim, pid, std::regex(R"(pid (\d+))")) &&
        !test_support::wait_until([&] { return !serving(pid[1]); }, kStopMs)) {
        ADD_FAILURE() << "the session left the simulator running";
        kill(static_cast<pid_t>(std::stoul(pid[1])), SIGTERM);
    }
}

// The first line a command prints, without its line end.
std::string first_line_of(const std::string& command) {
    std::string line;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[512];
        if (std::fgets(buffer, sizeof buffer, pipe)) line = buffer;
        pclose(pipe);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

TEST(HostReadme, WorkedSessionRunsAsPrinted) { run_session(kSessionHeading, "readme", ""); }

// One session, not many: under qemu each Windows program takes seconds to start.
TEST(HostReadme, WineSessionRunsAsPrinted) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the Wine session runs in the native build's suite: the sanitizers watch none of its Windows "
                    "programs";
#endif
    const std::string top = SDLL_SOURCE_DIR;
    const std::string route = first_line_of("bash -c '. \"" + top + "/scripts/wine-env\" && echo \"$SDLL_WINE_ROUTE: "
                                            "$SDLL_WINE_WHY\"'");
    if (route.rfind("win64", 0) == 0 || route.empty())
        GTEST_SKIP() << "the README's Wine session needs 32-bit Wine, which this machine lacks (" << route << ")";
    ASSERT_TRUE(std::filesystem::exists(top + "/build/win32/bin/sdll-host.exe"))
        << "the Wine session runs the win32 build: scripts/build win32";
    run_session(kWineSessionHeading, "readme-wine", "top='" + top + "'\n");
}

}  // namespace
