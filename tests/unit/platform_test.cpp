// platform_test.cpp: the OS door's conversions, files, highlight colour and resources, with the
// effects the Windows calls have (process starts are in tests/plugin/platform_process_test.cpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/support/test_paths.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/windows_arguments.h"
#endif

namespace {

constexpr unsigned kErrorInsufficientBuffer = 122;

TEST(CodePage, SizeQueryThenExactFitThenTooSmall) {
    const char16_t wide[] = u"engine";
    EXPECT_EQ(platform::wide_to_ansi(wide, -1, nullptr, 0), 7);
    char narrow[7] = {};
    EXPECT_EQ(platform::wide_to_ansi(wide, -1, narrow, 7), 7);
    EXPECT_STREQ(narrow, "engine");
    EXPECT_EQ(platform::wide_to_ansi(wide, 3, narrow, 7), 3);   // no terminator asked for
    EXPECT_EQ(platform::wide_to_ansi(wide, -1, narrow, 6), 0);
    EXPECT_EQ(platform::last_error(), kErrorInsufficientBuffer);

    EXPECT_EQ(platform::ansi_to_wide("engine", -1, nullptr, 0), 7);
    char16_t back[7] = {};
    EXPECT_EQ(platform::ansi_to_wide("engine", -1, back, 7), 7);
    EXPECT_EQ(std::u16string(back), u"engine");
    EXPECT_EQ(platform::ansi_to_wide("engine", -1, back, 2), 0);
    EXPECT_EQ(platform::last_error(), kErrorInsufficientBuffer);
}

#ifndef _WIN32
std::string to_ansi(const std::u16string& text) {
    const int n = platform::wide_to_ansi(text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::string out(static_cast<std::size_t>(n), '\0');
    EXPECT_EQ(platform::wide_to_ansi(text.data(), static_cast<int>(text.size()), out.data(), n), n);
    return out;
}

std::u16string to_wide(const std::string& text) {
    const int n = platform::ansi_to_wide(text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(n), u'\0');
    EXPECT_EQ(platform::ansi_to_wide(text.data(), static_cast<int>(text.size()), out.data(), n), n);
    return out;
}

// The posix ANSI code page is UTF-8; what Windows cannot convert is replaced as it would be.
TEST(CodePage, Utf8WithWindowsReplacements) {
    EXPECT_EQ(to_ansi(u"\u00e9\u20ac\U0001F600"), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(to_ansi(std::u16string{0xDC00, u'x', 0xD800}), "?x?");
    EXPECT_EQ(to_ansi(std::u16string{0xD800, 0xD800, 0xDC00}), "?\xF0\x90\x80\x80");

    EXPECT_EQ(to_wide("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"\u00e9\u20ac\U0001F600");
    EXPECT_EQ(to_wide("\xC0\xAF"), u"\uFFFD\uFFFD");              // overlong form
    EXPECT_EQ(to_wide("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");    // encoded surrogate
    EXPECT_EQ(to_wide("\xE2\x82x"), u"\uFFFDx");                  // cut sequence
    EXPECT_EQ(to_wide("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");   // beyond U+10FFFF
    // A four-byte character needs two units: a one-unit area is too small.
    char16_t one[1];
    EXPECT_EQ(platform::ansi_to_wide("\xF0\x9F\x98\x80", 4, one, 1), 0);
    EXPECT_EQ(platform::last_error(), kErrorInsufficientBuffer);
}

TEST(CommandLine, SplitsAsAWindowsProgramWould) {
    using platform::detail::split_command_line;
    using Args = std::vector<std::string>;
    EXPECT_EQ(split_command_line(""), Args{});
    EXPECT_EQ(split_command_line("  \t "), Args{});
    EXPECT_EQ(split_command_line(" -host  2 \t-iwad doom2.wad "), (Args{"-host", "2", "-iwad", "doom2.wad"}));
    EXPECT_EQ(split_command_line(R"("two words" a"b c"d)"), (Args{"two words", "ab cd"}));
    EXPECT_EQ(split_command_line(R"(a\b a\\b "c:\dir\\" x)"), (Args{R"(a\b)", R"(a\\b)", R"(c:\dir\)", "x"}));
    EXPECT_EQ(split_command_line(R"(\"a \\\"b \\\\"c d")"), (Args{R"("a)", R"(\"b)", R"(\\c d)"}));
    EXPECT_EQ(split_command_line(R"("" x "")"), (Args{"", "x", ""}));
    // A doubled quote inside a quoted part is a literal quote and ends the part.
    EXPECT_EQ(split_command_line(R"("a""b c")"), (Args{R"(a"b)", "c"}));
    EXPECT_EQ(split_command_line(R"(""")"), (Args{R"(")"}));
    EXPECT_EQ(split_command_line(R"("unclosed part)"), (Args{"unclosed part"}));
}
#endif

// A name is held only where the code page has every character itself: a look-alike names another
// file. The Windows column is that of a Western code page (1252), the test prefix's.
TEST(CodePage, FileNamesWithLookAlikesOrUnpairedSurrogatesAreNotHeld) {
    struct Case {
        std::u16string name;
        bool held_posix;
        bool held_1252;
        std::string lossy_1252;   // what the plain conversion gives
    };
    const Case cases[] = {
        {u"engine", true, true, "engine"},
        {u"Caf\u00e9", true, true, "Caf\xE9"},
        {u"\u0141\u00f3d\u017a", true, false, "L\xF3" "dz"},   // Łódź: only ó is in the code page
        {u"\u03a9mega", true, false, "Omega"},                 // Ωmega
        {u"\u30b2\u30fc\u30e0", true, false, "???"},           // ゲーム
        {std::u16string{u'a', 0xD800, u'b'}, false, false, "a?b"},
    };
#ifdef _WIN32
    ASSERT_EQ(GetACP(), 1252u) << "the Windows column is that of code page 1252";
#endif
    for (const Case& c : cases) {
        std::string out;
        const bool held = platform::ansi_name(c.name.c_str(), &out);
#ifdef _WIN32
        EXPECT_EQ(held, c.held_1252) << out;
        EXPECT_EQ(out, c.lossy_1252);
#else
        EXPECT_EQ(held, c.held_posix) << out;
#endif
    }
}

class Files : public testing::Test {
protected:
    void SetUp() override { dir_ = test_support::scratch_dir("files"); }
    std::string dir_;
};

TEST_F(Files, ExistenceFollowsADirectorySearch) {
    const std::string folder = dir_ + "engine";
    std::filesystem::create_directory(folder);
    test_support::write_file(dir_ + "doom2.wad", "IWAD");

    EXPECT_FALSE(platform::file_exists(dir_ + "missing.wad"));
    EXPECT_FALSE(platform::file_exists(dir_ + "missing" + dir_.back() + "doom2.wad"));
    EXPECT_FALSE(platform::file_exists(""));
    EXPECT_TRUE(platform::file_exists(dir_ + "doom2.wad"));
    EXPECT_TRUE(platform::file_exists(folder));
    EXPECT_FALSE(platform::file_exists(folder + dir_.back()));   // a trailing separator finds nothing
    EXPECT_TRUE(platform::file_exists(dir_ + "*.wad"));
    EXPECT_TRUE(platform::file_exists(dir_ + "doom?.wad"));
    EXPECT_FALSE(platform::file_exists(dir_ + "*.pk3"));
}

TEST_F(Files, DeleteAndRename) {
    test_support::write_file(dir_ + "a", "A");
    test_support::write_file(dir_ + "b", "B");
    EXPECT_FALSE(platform::rename_file(dir_ + "a", dir_ + "b"));   // a rename never replaces
    EXPECT_EQ(test_support::read_file(dir_ + "b"), "B");
    EXPECT_TRUE(platform::rename_file(dir_ + "a", dir_ + "c"));
    EXPECT_FALSE(platform::file_exists(dir_ + "a"));
    EXPECT_EQ(test_support::read_file(dir_ + "c"), "A");
    EXPECT_FALSE(platform::rename_file(dir_ + "a", dir_ + "d"));
    EXPECT_TRUE(platform::delete_file(dir_ + "c"));
    EXPECT_FALSE(platform::file_exists(dir_ + "c"));
    EXPECT_FALSE(platform::delete_file(dir_ + "c"));
}

TEST_F(Files, MoveReplacesAnExistingTargetInAnotherFolder) {
    const std::string demos = test_support::scratch_dir("demos");
    test_support::write_file(dir_ + "tempdemo.lmp", "new demo");
    test_support::write_file(demos + "final.lmp", "older demo, longer than the new one");
    EXPECT_TRUE(platform::move_file_replace(dir_ + "tempdemo.lmp", demos + "final.lmp"));
    EXPECT_FALSE(platform::file_exists(dir_ + "tempdemo.lmp"));
    EXPECT_EQ(test_support::read_file(demos + "final.lmp"), "new demo");
    EXPECT_FALSE(platform::move_file_replace(dir_ + "tempdemo.lmp", demos + "final.lmp"));
    EXPECT_EQ(test_support::read_file(demos + "final.lmp"), "new demo");
}

#ifndef _WIN32
// Across file systems a move is a copy and a delete; shown where the machine has two.
TEST_F(Files, MoveCopiesAcrossFileSystems) {
    const std::string other = "/dev/shm/";
    struct stat a {}, b {};
    if (stat(other.c_str(), &a) != 0 || stat(dir_.c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const std::string source = other + "sdll-move-" + std::to_string(::getpid());
    const std::string content(200000, 'd');
    test_support::write_file(source, content);
    test_support::write_file(dir_ + "target.lmp", "old");
    EXPECT_TRUE(platform::move_file_replace(source, dir_ + "target.lmp"));
    EXPECT_FALSE(platform::file_exists(source));
    EXPECT_EQ(test_support::read_file(dir_ + "target.lmp"), content);
}
#endif

TEST_F(Files, TextFilesGetCrLfLineEnds) {
    const std::string path = dir_ + "doomargs.tmp";
    EXPECT_TRUE(platform::create_text_file(path, "\n-iwad doom2.wad\n-warp 01\r\n-dup 1"));
    EXPECT_EQ(test_support::read_file(path), "\r\n-iwad doom2.wad\r\n-warp 01\r\n-dup 1");
    // A file already there is never written over.
    EXPECT_FALSE(platform::create_text_file(path, "short\n"));
    EXPECT_EQ(test_support::read_file(path), "\r\n-iwad doom2.wad\r\n-warp 01\r\n-dup 1");
    EXPECT_FALSE(platform::create_text_file(dir_ + "missing" + dir_.back() + "x.tmp", "x"));
}

TEST_F(Files, ShortPathOfExistingPathsOnly) {
    const std::string path = dir_ + "a long file name.wad";
    test_support::write_file(path, "x");
    std::string short_form;
    ASSERT_TRUE(platform::short_path(path, &short_form));
    EXPECT_FALSE(short_form.empty());
    EXPECT_TRUE(platform::file_exists(short_form));
#ifdef _WIN32
    EXPECT_EQ(short_form.find(' '), std::string::npos);   // the 8.3 form has no blanks
#endif
    short_form = "kept";
    EXPECT_FALSE(platform::short_path(dir_ + "missing.wad", &short_form));
    EXPECT_EQ(short_form, "kept");
}

TEST(Resources, UnknownResourceIsNotFound) {
    platform::ResourceBytes bytes;
    EXPECT_EQ(platform::load_resource(platform::module_handle(), 4242, "NOSUCHTYPE", &bytes),
              platform::ResourceResult::not_found);
}

#ifndef _WIN32
TEST(Resources, RegisteredBytesAreFoundByIdAndType) {
    static const char text[] = "engine\r\n{\r\n}\r\n";
    platform::register_resource(4243, "TESTTEXT", text, sizeof text - 1);
    platform::ResourceBytes bytes;
    ASSERT_EQ(platform::load_resource(nullptr, 4243, "TESTTEXT", &bytes), platform::ResourceResult::ok);
    EXPECT_EQ(std::string(bytes.data, bytes.size), "engine\r\n{\r\n}\r\n");
    EXPECT_EQ(platform::load_resource(nullptr, 4243, "OTHER", &bytes), platform::ResourceResult::not_found);
    EXPECT_EQ(platform::load_resource(nullptr, 4244, "TESTTEXT", &bytes), platform::ResourceResult::not_found);
}
#endif

TEST(HighlightColor, SetColourReadsBack) {
#ifndef _WIN32
    // The colour file is what a test process reads to see what a plug-in set.
    const std::string file = test_support::scratch_dir("color") + "syscolor";
    ASSERT_EQ(setenv("SDLL_SYSCOLOR_FILE", file.c_str(), 1), 0);
    EXPECT_EQ(platform::get_highlight_color(), 14120960u);   // no file yet: the system default
    platform::set_highlight_color(0x00123456);
    EXPECT_EQ(platform::get_highlight_color(), 0x00123456u);
    EXPECT_EQ(test_support::read_file(file), "1193046\n");
    ASSERT_EQ(unsetenv("SDLL_SYSCOLOR_FILE"), 0);
#endif
    const std::uint32_t original = platform::get_highlight_color();
    const std::uint32_t other = original == 0x000000FF ? 0x0000FF00 : 0x000000FF;
    platform::set_highlight_color(other);
    EXPECT_EQ(platform::get_highlight_color(), other);
    platform::set_highlight_color(original);
    EXPECT_EQ(platform::get_highlight_color(), original);
}

}  // namespace
