// The two readings of bytes that may not be UTF-8: stored texts (UTF-8 when well-formed, else
// Windows-1252 with every byte kept) and file names shown to people (each stray byte escaped).

#include <gtest/gtest.h>

#include <string>

#include "platform/path_text.h"
#include "platform/stored_text.h"

namespace platform {
namespace {

TEST(StoredText, WellFormedUtf8ReadsAsUtf8AndAnythingElseAsWindows1252OrEscapes) {
    const struct {
        std::string bytes;
        std::string stored;  // read as a stored text
        std::string shown;   // shown as a file name
    } cases[] = {
        {"/t/Tour\xe9/caf\xe9.pan", "/t/Tour\xc3\xa9/caf\xc3\xa9.pan", "/t/Tour\\xe9/caf\\xe9.pan"},
        {"caf\xc3\xa9 \xf0\x9f\x8c\x8d", "caf\xc3\xa9 \xf0\x9f\x8c\x8d",
         "caf\xc3\xa9 \xf0\x9f\x8c\x8d"},
        // The euro sign and a C1 control where the code page has a gap.
        {"\x80\x81\x9f", "\xe2\x82\xac\xc2\x81\xc5\xb8", "\\x80\\x81\\x9f"},
        {"\xc0\xaf", "\xc3\x80\xc2\xaf", "\\xc0\\xaf"},                       // an overlong "/"
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac", "\\xed\\xa0\\x80"},  // a surrogate
        {"\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac",      // beyond U+10FFFF
         "\\xf4\\x90\\x80\\x80"},
        {"a\xe2\x82", "a\xc3\xa2\xe2\x80\x9a", "a\\xe2\\x82"},  // a sequence cut short
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredTextToUtf8(c.bytes), c.stored) << c.shown;
        EXPECT_EQ(PathForDisplay(c.bytes), c.shown);
    }
    std::string all;
    for (int byte = 0; byte < 256; ++byte)
        all.push_back(static_cast<char>(byte));
    EXPECT_EQ(Utf8ToWindows1252(Windows1252ToUtf8(all)), all) << "every byte comes back";
    EXPECT_FALSE(Utf8ToWindows1252("\xe2\x82\xad").has_value()) << "no byte for U+20AD";
}

}  // namespace
}  // namespace platform
