#include <gtest/gtest.h>

#include "plugin/scenegrab/output_name.h"

namespace {

using scenegrab::MakeOutputName;
using scenegrab::SplitOutputName;

TEST(OutputName, SplitsTheExtensionOnlyInTheFileName) {
    struct Case {
        const char* name;
        const char* base;
        const char* extension;
    };
    const Case cases[] = {
        {"/out/pano.bmp", "/out/pano", ".bmp"},
        {"/out/pano.jpeg", "/out/pano", ".jpeg"},
        {"/out/pano.p", "/out/pano", ".p"},
        {"/out/pano", "/out/pano", ""},
        {"/out/pano.tiffs", "/out/pano.tiffs", ""},
        {"/out.d/pano", "/out.d/pano", ""},
        {"/v1.2/p", "/v1.2/p", ""},
        {"/a.b/.c", "/a.b/", ".c"},
        {"pano.pan", "pano", ".pan"},
        {".pan", "", ".pan"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        const auto split = SplitOutputName(c.name);
        EXPECT_EQ(split.baseName, c.base) << c.name;
        EXPECT_EQ(split.extension, c.extension) << c.name;
    }
}

TEST(OutputName, NumbersPanoramasOfASequenceWithoutEverReusingAName) {
    const scenegrab::OutputName name{"/out/pano", ".bmp"};
    EXPECT_EQ(MakeOutputName(name, false, 0), "/out/pano.bmp");
    EXPECT_EQ(MakeOutputName(name, false, 7), "/out/pano.bmp");
    EXPECT_EQ(MakeOutputName(name, true, 0), "/out/pano000.bmp");
    EXPECT_EQ(MakeOutputName(name, true, 42), "/out/pano042.bmp");
    EXPECT_EQ(MakeOutputName(name, true, 999), "/out/pano999.bmp");
    EXPECT_EQ(MakeOutputName(name, true, 1000), "/out/pano1000.bmp");
    EXPECT_EQ(MakeOutputName(name, true, 12345), "/out/pano12345.bmp");
}

}  // namespace
