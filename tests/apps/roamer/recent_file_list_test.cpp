#include "apps/roamer/recent_file_list.h"

#include <gtest/gtest.h>

namespace {

using Paths = std::vector<std::string>;

TEST(RecentFileList, KeepsTheFourMostRecentFilesNewestFirst) {
    RecentFileList list(4);
    for (const char* path : {"/a.pan", "/b.pan", "/c.pan", "/d.pan", "/e.pan"})
        list.Add(path);
    EXPECT_EQ(list.Paths(), (Paths{"/e.pan", "/d.pan", "/c.pan", "/b.pan"}));

    list.Add("/c.pan");
    EXPECT_EQ(list.Paths(), (Paths{"/c.pan", "/e.pan", "/d.pan", "/b.pan"}));

    list.Add("");
    list.Remove("/e.pan");
    list.Remove("/not-there.pan");
    EXPECT_EQ(list.Paths(), (Paths{"/c.pan", "/d.pan", "/b.pan"}));
}

TEST(RecentFileList, AssignDropsEmptyRepeatedAndExcessEntries) {
    RecentFileList list(4);
    list.Assign({"/a.pan", "", "/b.pan", "/a.pan", "/c.pan", "/d.pan", "/e.pan"});
    EXPECT_EQ(list.Paths(), (Paths{"/a.pan", "/b.pan", "/c.pan", "/d.pan"}));
}

}  // namespace
