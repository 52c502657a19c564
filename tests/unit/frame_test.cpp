// frame_test.cpp: the frame's text conversions, counted-string and address readers, and the
// callback registry.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "frame/address_list.h"
#include "frame/export_bodies.h"
#include "frame/launcher_text.h"
#include "frame/registry.h"
#include "platform/platform.h"

namespace {

// Runs frame::ToNarrow and returns the copy as a string, checking the result code and freeing it.
std::string narrow_copy(const char16_t* text) {
    char* out = reinterpret_cast<char*>(1);
    EXPECT_EQ(frame::ToNarrow(text, &out), frame::kResultOk);
    EXPECT_NE(out, nullptr);
    std::string copy = out ? out : "";
    frame::FreeHostText(out);
    return copy;
}

// The way back, through the platform's own conversion.
std::u16string widened(const std::string& ansi) {
    const int units = platform::ansi_to_wide(ansi.c_str(), -1, nullptr, 0);
    std::u16string wide(static_cast<std::size_t>(units > 0 ? units : 1), u'\0');
    platform::ansi_to_wide(ansi.c_str(), -1, wide.data(), units);
    wide.resize(wide.size() - 1);
    return wide;
}

TEST(TextConversion, NullTextsGiveNullCopiesAndSuccess) {
    char* narrow = reinterpret_cast<char*>(1);
    EXPECT_EQ(frame::ToNarrow(nullptr, &narrow), frame::kResultOk);
    EXPECT_EQ(narrow, nullptr);
    EXPECT_EQ(frame::FreeHostText(nullptr), 0);
    EXPECT_EQ(frame::HostTextCopy().view(), "");
}

TEST(TextConversion, EmptyTextsGiveAllocatedEmptyCopies) {
    EXPECT_EQ(narrow_copy(u""), "");
}

TEST(TextConversion, AsciiPassesUnchanged) {
    EXPECT_EQ(narrow_copy(u"C:\\Games\\Brannock\\"), "C:\\Games\\Brannock\\");
}

TEST(TextConversion, UnpairedSurrogateBecomesQuestionMark) {
    const char16_t lone_high[] = {u'a', 0xD800, u'b', 0};
    const char16_t lone_low_at_end[] = {u'a', 0xDC00, 0};
    EXPECT_EQ(narrow_copy(lone_high), "a?b");
    EXPECT_EQ(narrow_copy(lone_low_at_end), "a?");
}

#ifdef _WIN32
// The ANSI code page of a Windows system holds the Latin-1 letters used here.
TEST(TextConversion, NonAsciiRoundTripsThroughTheAnsiCodePage) {
    const std::u16string text = u"Caf\u00e9 \u00fc\u00df";
    EXPECT_EQ(widened(narrow_copy(text.c_str()).c_str()), text);
}
#else
// Here the ANSI code page is UTF-8, where one UTF-16 unit can take three bytes: the copy must
// be sized by the conversion, not by twice the unit count.
TEST(TextConversion, NonAsciiNeedingThreeBytesPerUnitIsNotCut) {
    EXPECT_EQ(narrow_copy(u"\u20ac\u20ac\u20ac"), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
    EXPECT_EQ(narrow_copy(u"\U0001F600x"), "\xF0\x9F\x98\x80x");
    EXPECT_EQ(widened("\xE2\x82\xAC \xC3\xA9"), u"\u20ac \u00e9");
}

TEST(TextConversion, MalformedAnsiBytesBecomeReplacementCharacters) {
    EXPECT_EQ(widened("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(widened("cut\xE2\x82"), u"cut\uFFFD");
}
#endif

// A counted-string list: each entry a signed 16-bit little-endian length, then the bytes.
std::vector<unsigned char> counted_list(const std::vector<std::string>& entries) {
    std::vector<unsigned char> list;
    for (const std::string& e : entries) {
        list.push_back(static_cast<unsigned char>(e.size() & 0xFF));
        list.push_back(static_cast<unsigned char>(e.size() >> 8));
        list.insert(list.end(), e.begin(), e.end());
    }
    return list;
}

TEST(ReadCountedString, ReadsEntriesByIndex) {
    const auto list = counted_list({"10.0.0.1:5029", "", "192.168.1.20"});
    std::string out = "stale";
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 0, &out));
    EXPECT_EQ(out, "10.0.0.1:5029");
    out = "stale";
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 1, &out));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 2, &out));
    EXPECT_EQ(out, "192.168.1.20");
}

TEST(ReadCountedString, LongEntryIsCutToTheCapacity) {
    const auto list = counted_list({std::string(300, 'x'), "next"});
    std::string out;
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 0, &out));
    EXPECT_EQ(out, std::string(frame::kAddressPartMax, 'x'));
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 0, &out, 10));
    EXPECT_EQ(out, std::string(10, 'x'));
    // The cut applies to the copy only: the next entry is still found after all 300 bytes.
    EXPECT_TRUE(frame::ReadCountedString(list.data(), 1, &out));
    EXPECT_EQ(out, "next");
}

TEST(ReadCountedString, NegativeLengthOrNullListGivesEmptyAndFalse) {
    const unsigned char negative[] = {0xFF, 0xFF, 'a', 'b'};   // length -1
    const unsigned char negative_second[] = {0x01, 0x00, 'a', 0x00, 0x80};   // 1, then -32768
    std::string out = "stale";
    EXPECT_FALSE(frame::ReadCountedString(negative, 0, &out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(frame::ReadCountedString(negative, 1, &out));
    EXPECT_FALSE(frame::ReadCountedString(negative_second, 1, &out));
    EXPECT_FALSE(frame::ReadCountedString(negative_second, 2, &out));
    out = "stale";
    EXPECT_FALSE(frame::ReadCountedString(nullptr, 0, &out));
    EXPECT_EQ(out, "");
}

TEST(SplitHostPort, SplitsAtTheFirstColon) {
    std::string host, port;
    frame::SplitHostPort("10.0.0.1:5029", &host, &port, "15300");
    EXPECT_EQ(host, "10.0.0.1");
    EXPECT_EQ(port, "5029");
    frame::SplitHostPort("master.example.net", &host, &port, "15300");
    EXPECT_EQ(host, "master.example.net");
    EXPECT_EQ(port, "15300");
    frame::SplitHostPort("10.0.0.1:", &host, &port, "15300");
    EXPECT_EQ(host, "10.0.0.1");
    EXPECT_EQ(port, "");
    frame::SplitHostPort("a:b:c", &host, &port, "15300");
    EXPECT_EQ(host, "a");
    EXPECT_EQ(port, "b:c");
    frame::SplitHostPort(nullptr, &host, &port, "15300");
    EXPECT_EQ(host, "");
    EXPECT_EQ(port, "15300");
}

TEST(SplitHostPort, CutsEachPartToItsArea) {
    const std::string address = std::string(300, 'h') + ":" + std::string(300, '7');
    std::string host, port;
    frame::SplitHostPort(address.c_str(), &host, &port, "15300");
    EXPECT_EQ(host, std::string(frame::kAddressPartMax, 'h'));
    EXPECT_EQ(port, std::string(frame::kAddressPartMax, '7'));
    const std::string long_default(400, '9');
    frame::SplitHostPort("host", &host, &port, long_default);
    EXPECT_EQ(port, std::string(frame::kAddressPartMax, '9'));
}

// The registry is process-wide; these tests put every slot back as they found it.
class Registry : public testing::Test {
protected:
    void SetUp() override {
        for (unsigned s = 0; s < kSlotCount; ++s) saved_[s] = frame::slot(s);
    }
    void TearDown() override {
        for (unsigned s = 0; s < kSlotCount; ++s) frame::set_slot(s, saved_[s]);
    }
    void* saved_[kSlotCount] = {};
};

TEST_F(Registry, SlotsBeyondTheTableAreIgnored) {
    int marker = 0;
    for (unsigned s = 0; s < kSlotCount; ++s) frame::set_slot(s, nullptr);
    frame::set_slot(kSlotCount, &marker);
    frame::set_slot(1000, &marker);
    frame::set_slot(0xFFFFFFFFu, &marker);
    for (unsigned s = 0; s < kSlotCount; ++s) EXPECT_EQ(frame::slot(s), nullptr) << "slot " << s;
    EXPECT_EQ(frame::slot(kSlotCount), nullptr);
    EXPECT_EQ(frame::slot(1000), nullptr);
}

std::string g_handed_over;
int g_handed_calls = 0;
void SDLL_CALL take_description(const char* text, int byte_count) {
    ++g_handed_calls;
    g_handed_over.assign(text, static_cast<std::size_t>(byte_count));
}

// SDLL_LoadConfiguration's answers: 1 while the module holds no description, 2 when it is there
// but cannot be loaded, 0 once slot 0 has been handed its exact bytes, no terminator counted.
TEST_F(Registry, LoadConfigurationAnswersAndHandsOverTheExactBytes) {
    frame::set_slot(kSlotSetConfiguration, reinterpret_cast<void*>(&take_description));
    EXPECT_EQ(frame::load_configuration(), 1);
    EXPECT_EQ(g_handed_calls, 0);
#ifdef _WIN32
    // A Windows module's resources are built in: this program holds none, and one that is found
    // but cannot be loaded cannot be made. The plug-in tests load the real descriptions.
#else
    platform::register_resource(101, "CONFIGURATION", nullptr, 0);
    EXPECT_EQ(frame::load_configuration(), 2);
    EXPECT_EQ(g_handed_calls, 0);
    static const char text[] = "engine\r\n{\r\n}\r\n";
    platform::register_resource(101, "CONFIGURATION", text, sizeof text - 1);
    EXPECT_EQ(frame::load_configuration(), 0);
    EXPECT_EQ(g_handed_calls, 1);
    EXPECT_EQ(g_handed_over, "engine\r\n{\r\n}\r\n");
    platform::register_resource(101, "CONFIGURATION", nullptr, 0);
#endif
}

TEST_F(Registry, LastValueWins) {
    int first = 0, second = 0;
    frame::set_slot(kSlotSetIwad, &first);
    frame::set_slot(kSlotSetIwad, &second);
    EXPECT_EQ(frame::slot(kSlotSetIwad), &second);
    frame::set_slot(kSlotUnused25, &first);
    EXPECT_EQ(frame::slot(kSlotUnused25), &first);
}

}  // namespace
