// registry_test.cpp: the callback registry (frame/registry.h) and the handing over of the settings
// description through slot 0 (frame/export_bodies.h).
#include <gtest/gtest.h>

#include <string>

#include "frame/export_bodies.h"
#include "frame/registry.h"
#include "platform/platform.h"

namespace {

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
