#include "apps/roamer/roamer_profile.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace {

// A profile read from an INI file holding `text`.
class ProfileFile {
  public:
    explicit ProfileFile(const char* text) : path_(dir_.filePath(QStringLiteral("Roamer.ini"))) {
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    const QString& Path() const { return path_; }

  private:
    QTemporaryDir dir_;
    QString path_;
};

TEST(RoamerProfile, ReadsValidSettingsAndFallsBackOnDamagedOnes) {
    const struct {
        const char* name;
        const char* text;
        int antialias;
        int freedoms;
    } cases[] = {
        {"missing file section", "", 8, 11},
        {"valid", "[RESTORE]\nAliasing=1\nFreedoms=31\n", 1, 31},
        {"zeros", "[RESTORE]\nAliasing=0\nFreedoms=0\n", 0, 0},
        {"level outside 0, 1, 8", "[RESTORE]\nAliasing=5\nFreedoms=32\n", 8, 11},
        {"negative", "[RESTORE]\nAliasing=-1\nFreedoms=-1\n", 8, 11},
        {"not numbers", "[RESTORE]\nAliasing=high\nFreedoms=0x1F\n", 8, 11},
        {"empty values", "[RESTORE]\nAliasing=\nFreedoms=\n", 8, 11},
        {"huge", "[RESTORE]\nAliasing=99999999999\nFreedoms=4294967307\n", 8, 11},
    };
    for (const auto& c : cases) {
        ProfileFile file(c.text);
        const RoamerProfile profile(file.Path());
        EXPECT_EQ(profile.Antialias(), c.antialias) << c.name;
        EXPECT_EQ(profile.Freedoms(), c.freedoms) << c.name;
    }
}

TEST(RoamerProfile, KeepsAPlacementOnlyWhenAllFourValuesMakeARectangle) {
    const struct {
        const char* name;
        const char* text;
        StoredPlacement expected;
    } cases[] = {
        {"valid",
         "[RESTORE]\nleft=977\ntop=652\nright=7227\nbottom=6902\n",
         {977, 652, 7227, 6902}},
        {"none", "", {}},
        {"all zero", "[RESTORE]\nleft=0\ntop=0\nright=0\nbottom=0\n", {}},
        {"beyond the screen", "[RESTORE]\nleft=0\ntop=0\nright=10001\nbottom=9000\n", {}},
        {"inverted", "[RESTORE]\nleft=7000\ntop=0\nright=3000\nbottom=9000\n", {}},
        {"negative", "[RESTORE]\nleft=-500\ntop=0\nright=3000\nbottom=9000\n", {}},
        {"one missing", "[RESTORE]\nleft=100\ntop=100\nright=3000\n", {}},
        {"garbage", "[RESTORE]\nleft=a\ntop=b\nright=c\nbottom=d\n", {}},
    };
    for (const auto& c : cases) {
        ProfileFile file(c.text);
        EXPECT_EQ(RoamerProfile(file.Path()).Placement(), c.expected) << c.name;
    }
}

TEST(RoamerProfile, WritesWhatItReadsBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("config/Roamer.ini"));
    {
        RoamerProfile profile(path);
        profile.SetAntialias(1);
        profile.SetFreedoms(27);
        profile.SetPlacement({10, 20, 3000, 4000}, 3);
        profile.SetRecentFiles({"/tmp/a.pan", "/tmp/b b.pan"});
        profile.SetBarState(QByteArray("\x00\x01state", 7), false);
        EXPECT_TRUE(profile.Sync());
    }
    const RoamerProfile reread(path);
    EXPECT_EQ(reread.Antialias(), 1);
    EXPECT_EQ(reread.Freedoms(), 27);
    EXPECT_EQ(reread.Placement(), (StoredPlacement{10, 20, 3000, 4000}));
    EXPECT_EQ(reread.RecentFiles(), (std::vector<std::string>{"/tmp/a.pan", "/tmp/b b.pan"}));
    EXPECT_EQ(reread.BarState(), QByteArray("\x00\x01state", 7));
    EXPECT_FALSE(reread.StatusBarVisible());
}

TEST(RoamerProfile, AShorterRecentListLeavesNoStaleEntries) {
    ProfileFile file(
        "[Recent%20File%20List]\nFile1=/a.pan\nFile2=/b.pan\nFile3=/c.pan\nFile4=/d.pan\n");
    {
        RoamerProfile profile(file.Path());
        EXPECT_EQ(profile.RecentFiles().size(), 4u);
        profile.SetRecentFiles({"/z.pan"});
    }
    EXPECT_EQ(RoamerProfile(file.Path()).RecentFiles(), (std::vector<std::string>{"/z.pan"}));
}

TEST(RoamerProfile, RecentFilesComeBackAsTheirBytesAndUtf8OnesAreStoredAsBefore) {
    // As earlier runs wrote it: a UTF-8 path as text.
    ProfileFile file("[Recent%20File%20List]\nFile1=/t/caf\xc3\xa9.pan\n");
    const std::vector<std::string> paths{"/t/caf\xc3\xa9.pan", "/t/Tour\xe9/caf\xe9.pan"};
    {
        RoamerProfile profile(file.Path());
        EXPECT_EQ(profile.RecentFiles(), (std::vector<std::string>{paths[0]}));
        profile.SetRecentFiles(paths);
    }
    EXPECT_EQ(RoamerProfile(file.Path()).RecentFiles(), paths);
    QFile stored(file.Path());
    ASSERT_TRUE(stored.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stored.readAll().contains("\nFile1=/t/caf\xc3\xa9.pan\n"));
}

TEST(RoamerProfile, DamagedBarStateIsIgnored) {
    ProfileFile file("[BarState]\nBars=not a byte array\nStatusBar=maybe\n");
    const RoamerProfile profile(file.Path());
    EXPECT_TRUE(profile.BarState().isEmpty());
    EXPECT_TRUE(profile.StatusBarVisible());
}

}  // namespace
