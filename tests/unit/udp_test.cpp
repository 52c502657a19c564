// udp_test.cpp: the stand-in launcher's port texts (host/udp.h).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "host/udp.h"

namespace {

TEST(HostPortText, OnlyDecimalOneToMaxIsAPort) {
    EXPECT_EQ(host::port_number("1"), 1);
    EXPECT_EQ(host::port_number("65535"), 65535);
    for (const char* bad : {"0", "65536", "99999", "", "-1", "80x", " 80", "4294967377"})
        EXPECT_FALSE(host::port_number(bad)) << bad;
    EXPECT_EQ(host::split_host_port("master.example:15300"), std::make_pair(std::string("master.example"), uint16_t{15300}));
    EXPECT_FALSE(host::split_host_port("master.example"));
    EXPECT_FALSE(host::split_host_port(":15300"));
}

}  // namespace
