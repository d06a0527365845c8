#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "plugin/scenegrab/module_state.h"
#include "plugin/scenegrab/servers.h"

namespace {

void* FakeGlobal(const char*, int) {
    return nullptr;
}

template <typename Record>
bool AllNull(const Record& record) {
    Record empty{};
    return std::memcmp(&record, &empty, sizeof record) == 0;
}

TEST(Servers, ActivationFillsTheSlotsOfTheVersionOnly) {
    struct Case {
        int version;
        int result;
        bool filled;
        bool description;
    };
    const Case cases[] = {
        {2, 0, true, true},   {1, 0, true, false},   {3, 1, false, false},
        {0, 1, false, false}, {-1, 1, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        scenegrab::Module() = {};
        for (auto activate :
             {scenegrab::CameraControllerActivate, scenegrab::ObjectControllerActivate}) {
            ItemMotionHandler record{};
            EXPECT_EQ(activate(c.version, FakeGlobal, &record, nullptr), c.result);
            EXPECT_EQ(AllNull(record), !c.filled);
            EXPECT_EQ(record.description != nullptr, c.description);
            if (c.filled) {
                EXPECT_NE(record.create(nullptr, nullptr), nullptr);
                EXPECT_EQ(c.version == 2 ? record.copy.version2(nullptr, nullptr)
                                         : record.copy.version1(nullptr),
                          0);
                EXPECT_EQ(record.load(nullptr, nullptr), 0);
                EXPECT_EQ(record.save(nullptr, nullptr), 0);
                EXPECT_NE(record.evaluate, nullptr);
            }
        }
        AnimSaverHandler saver{};
        EXPECT_EQ(scenegrab::SaverActivate(c.version, FakeGlobal, &saver, nullptr), c.result);
        EXPECT_EQ(AllNull(saver), !c.filled);
        EXPECT_EQ(saver.description != nullptr, c.description);
        EXPECT_EQ(scenegrab::Module().global == FakeGlobal, c.filled);
        EXPECT_EQ(scenegrab::Module().cameraControllerActive, c.filled);
    }
}

TEST(Servers, DescriptionsNameTheServers) {
    ItemMotionHandler camera{}, object{};
    AnimSaverHandler saver{};
    ASSERT_EQ(scenegrab::CameraControllerActivate(2, FakeGlobal, &camera, nullptr), 0);
    ASSERT_EQ(scenegrab::ObjectControllerActivate(2, FakeGlobal, &object, nullptr), 0);
    ASSERT_EQ(scenegrab::SaverActivate(2, FakeGlobal, &saver, nullptr), 0);
    EXPECT_STREQ(camera.description(nullptr), "CVNCameraController");
    EXPECT_STREQ(object.description(nullptr), "CVNObjectController");
    EXPECT_STREQ(saver.description(nullptr), "CVNSaver");
}

TEST(Servers, EachSaverInstanceHasItsOwnState) {
    AnimSaverHandler saver{};
    ASSERT_EQ(scenegrab::SaverActivate(2, FakeGlobal, &saver, nullptr), 0);
    void* first = saver.create(nullptr, nullptr);
    void* second = saver.create(nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    // A write before any begin is refused, not taken into face -1.
    const std::uint8_t line[16] = {};
    EXPECT_NE(saver.write(first, line, line, line), 0);
    saver.destroy(first);
    saver.destroy(second);
}

}  // namespace
