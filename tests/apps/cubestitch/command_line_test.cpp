#include "apps/cubestitch/seam_command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cubestitch {
namespace {

using Op = FaceOperation;

TEST(SeamCommandLine, FlagWordsAndTheirShortForms) {
    const struct {
        const char* flag;
        Op operation;
    } cases[] = {
        {"r90", Op::Rotate90},
        {"ROTATE90", Op::Rotate90},
        {"r180", Op::Rotate180},
        {"Rotate180", Op::Rotate180},
        {"r270", Op::Rotate270},
        {"rotate270", Op::Rotate270},
        {"FV", Op::FlipVertical},
        {"flipVertical", Op::FlipVertical},
        {"fh", Op::FlipHorizontal},
        {"FlipHorizontal", Op::FlipHorizontal},
        {" R90 ", Op::Rotate90},
        {"\tfh\t", Op::FlipHorizontal},
        {"r45", Op::None},
        {"r 90", Op::None},
        {"", Op::None},
        {"rotate", Op::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FaceOperationFromFlag(c.flag), c.operation) << '"' << c.flag << '"';
}

struct ParsedSlot {
    std::string name;
    std::vector<Op> operations;
};

std::vector<ParsedSlot> Parse(const std::vector<std::string>& args, CSeamCommandLineInfo& info) {
    ParseSeamCommandLine(args, info);
    std::vector<ParsedSlot> slots;
    for (int k = 0; k <= info.m_lastSlot; ++k) {
        const CommandSlot& slot = info.m_slots[static_cast<std::size_t>(k)];
        slots.push_back({slot.name, {slot.operations.begin(), slot.operations.end()}});
    }
    return slots;
}

TEST(SeamCommandLine, NamesTakeSlotsAndFlagsFollowTheLastName) {
    const std::vector<std::string> faces = {"b.bmp", "c.bmp", "d.bmp", "e.bmp", "f.bmp"};
    struct Case {
        const char* name;
        std::vector<std::string> args;
        std::vector<ParsedSlot> slots;
    };
    const Case cases[] = {
        {"flags in order, upper case",
         {"a.bmp", "-r90", "-FH", "b.bmp"},
         {{"a.bmp", {Op::Rotate90, Op::FlipHorizontal}}, {"b.bmp", {}}}},
        {"flag before the first name is ignored",
         {"-r90", "/fv", "A.BMP", "-r180"},
         {{"A.BMP", {Op::Rotate180}}}},
        {"slash flag words, absolute paths are names",
         {"/faces/left.bmp", "/rotate90", "/R270", "/r45"},
         {{"/faces/left.bmp", {Op::Rotate90, Op::Rotate270}}, {"/r45", {}}}},
        {"quoted flag with blanks, unknown flag kept as None",
         {"x.bmp", "- R90 ", "-r45", "-"},
         {{"x.bmp", {Op::Rotate90, Op::None, Op::None}}}},
        {"names keep blanks and case",
         {"My Faces/Left Side.BMP"},
         {{"My Faces/Left Side.BMP", {}}}},
    };
    for (const Case& c : cases) {
        CSeamCommandLineInfo info;
        const std::vector<ParsedSlot> slots = Parse(c.args, info);
        ASSERT_EQ(slots.size(), c.slots.size()) << c.name;
        for (std::size_t k = 0; k < slots.size(); ++k) {
            EXPECT_EQ(slots[k].name, c.slots[k].name) << c.name;
            EXPECT_EQ(slots[k].operations, c.slots[k].operations) << c.name << " slot " << k;
        }
        EXPECT_FALSE(info.NamesOutput()) << c.name;
    }
}

TEST(SeamCommandLine, SevenNamesAndBeyond) {
    CSeamCommandLineInfo seven;
    Parse({"l", "f", "r", "b", "t", "d", "out.pan", "-r90"}, seven);
    EXPECT_TRUE(seven.NamesOutput());
    EXPECT_EQ(seven.m_slots[6].name, "out.pan");
    // A flag after the output is stored with it and never replayed.
    EXPECT_EQ(seven.m_slots[6].operations.size(), 1u);
    EXPECT_FALSE(seven.extraName.has_value());

    CSeamCommandLineInfo eight;
    Parse({"l", "f", "r", "b", "t", "d", "out.pan", "extra.pan", "-r90", "more"}, eight);
    EXPECT_EQ(eight.m_lastSlot, 6);
    EXPECT_EQ(eight.m_slots[6].name, "out.pan");
    EXPECT_TRUE(eight.m_slots[6].operations.empty());
    EXPECT_EQ(eight.extraName.value_or(""), "extra.pan");

    CSeamCommandLineInfo none;
    Parse({"-r90", "-fh"}, none);
    EXPECT_FALSE(none.NamesAnyFile());
}

TEST(SeamCommandLine, OperationsMapToPaneCommands) {
    const int expected[] = {40014, 40015, 40016, 40018, 40019, 0};
    for (int code = 0; code <= 5; ++code)
        EXPECT_EQ(PaneCommandOf(static_cast<Op>(code)), expected[code]) << code;
}

}  // namespace
}  // namespace cubestitch
