// The one reading of stored texts: UTF-8 when well-formed, else Windows-1252 with every byte
// kept.

#include <gtest/gtest.h>

#include <string>

#include "platform/stored_text.h"

namespace platform {
namespace {

TEST(StoredText, WellFormedUtf8ReadsAsUtf8AndAnythingElseAsWindows1252) {
    const struct {
        std::string stored;
        std::string shown;
    } cases[] = {
        {"caf\xc3\xa9.pan", "caf\xc3\xa9.pan"},
        {"\xf0\x9f\x8c\x8d", "\xf0\x9f\x8c\x8d"},
        {"\x80\x81\x9f", "\xe2\x82\xac\xc2\x81\xc5\xb8"},  // euro, a gap's C1 control
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                  // overlong "/"
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},  // a surrogate
        {"\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac"},  // beyond U+10FFFF
        {"a\xc3", "a\xc3\x83"},                                            // a sequence cut short
    };
    for (const auto& c : cases)
        EXPECT_EQ(StoredTextToUtf8(c.stored), c.shown) << c.stored;
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all) << "every byte comes back";
    EXPECT_FALSE(Utf8ToWindows1252("\xe2\x82\xad").has_value()) << "no byte for U+20AD";
}

}  // namespace
}  // namespace platform
