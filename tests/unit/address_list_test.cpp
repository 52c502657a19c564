// address_list_test.cpp: the counted-string list and "host:port" readers (frame/address_list.h).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frame/address_list.h"
#include "tests/support/expected_tables.h"

namespace {

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
    EXPECT_EQ(out, std::string(expected::kAddressPartBytes, 'x'));
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
    EXPECT_FALSE(frame::ReadCountedString(negative_second, -1, &out));
    out = "stale";
    EXPECT_FALSE(frame::ReadCountedString(nullptr, 0, &out));
    EXPECT_EQ(out, "");
}

TEST(SplitHostPort, SplitsAtTheFirstColon) {
    struct Case {
        const char* text;
        const char* host;
        const char* port;
    };
    const Case cases[] = {
        {"10.0.0.1:5029", "10.0.0.1", "5029"},
        {"master.example.net", "master.example.net", "15300"},  // no colon: the default port
        {"10.0.0.1:", "10.0.0.1", ""},
        {"a:b:c", "a", "b:c"},
        {nullptr, "", "15300"},
    };
    for (const Case& c : cases) {
        std::string host = "stale", port = "stale";
        frame::SplitHostPort(c.text, &host, &port, "15300");
        EXPECT_EQ(host, c.host) << (c.text ? c.text : "(null)");
        EXPECT_EQ(port, c.port) << (c.text ? c.text : "(null)");
    }
}

TEST(SplitHostPort, CutsEachPartToItsArea) {
    const std::string address = std::string(300, 'h') + ":" + std::string(300, '7');
    std::string host, port;
    frame::SplitHostPort(address.c_str(), &host, &port, "15300");
    EXPECT_EQ(host, std::string(expected::kAddressPartBytes, 'h'));
    EXPECT_EQ(port, std::string(expected::kAddressPartBytes, '7'));
    const std::string long_default(400, '9');
    frame::SplitHostPort("host", &host, &port, long_default);
    EXPECT_EQ(port, std::string(expected::kAddressPartBytes, '9'));
}

}  // namespace
