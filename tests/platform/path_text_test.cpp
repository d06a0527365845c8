#include <gtest/gtest.h>

#include "platform/path_text.h"

namespace platform {
namespace {

TEST(PathText, BytesThatAreNotUtf8ShowAsEscapesAndTheRestAsItStands) {
    const struct {
        const char* name;
        std::string path;
        std::string shown;
    } cases[] = {
        {"Windows-1252", "/t/Tour\xe9/caf\xe9.pan", "/t/Tour\\xe9/caf\\xe9.pan"},
        {"UTF-8", "/t/caf\xc3\xa9 \xf0\x9f\x98\x80.pan", "/t/caf\xc3\xa9 \xf0\x9f\x98\x80.pan"},
        {"overlong", "\xc0\xaf", "\\xc0\\xaf"},
        {"surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"cut short at the end", "a\xe2\x82", "a\\xe2\\x82"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PathForDisplay(c.path), c.shown) << c.name;
        EXPECT_EQ(IsUtf8(c.path), c.path == c.shown) << c.name;
    }
}

}  // namespace
}  // namespace platform
