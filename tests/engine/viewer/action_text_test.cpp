#include "engine/viewer/action_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ActionText, SplitsCommandsAndStopsAtTheFirstEmptyOne) {
    struct Case {
        const char* text;
        std::vector<std::string> targets;
    };
    const Case cases[] = {
        {"a.wav;;b.exe", {"a.wav"}},
        {";a.wav", {}},
        {"next.pan;(full window)intro.avi", {"next.pan", "intro.avi"}},
        {" \t\r\nhall.pan ; \t(repeat)  ~loop.wav\t", {"hall.pan", "~loop.wav"}},
        {"(repeat ~loop.wav;b.exe", {"b.exe"}},
        {"a.wav;   ;b.exe", {"a.wav", "b.exe"}},
        {"(maximized);b.exe", {"b.exe"}},
        {"x.exe;", {"x.exe"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> targets;
        for (const ActionCommand& command : ParseActionText(c.text)) {
            targets.push_back(command.target);
        }
        EXPECT_EQ(targets, c.targets) << c.text;
    }
}

TEST(ActionText, OnlyTheFirst2048CharactersAreRead) {
    std::string text = std::string(2044, ' ') + "ab.wav;c.exe";
    std::vector<ActionCommand> commands = ParseActionText(text);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].target, "ab.w");
    EXPECT_EQ(commands[0].kind, ActionKind::kDocument);
}

TEST(ActionText, KindsFollowTheirPrecedence) {
    struct Case {
        const char* target;
        ActionKind kind;
    };
    const Case cases[] = {
        {"a.wav", ActionKind::kSound},           {"A.WAV", ActionKind::kSound},
        {"a.Wav", ActionKind::kSound},           {"a.wAV", ActionKind::kDocument},
        {"a.avi", ActionKind::kVideo},           {"a.wav.avi", ActionKind::kVideo},
        {"walker.Avt", ActionKind::kAvatar},     {"edit.EXE x.wav", ActionKind::kProgram},
        {"tour.pan.exe", ActionKind::kPanorama}, {"#swingto(1,2,3,4,5)", ActionKind::kScript},
        {"#play.wav", ActionKind::kScript},      {"notes.txt", ActionKind::kDocument},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyTarget(c.target), c.kind) << c.target;
}

TEST(ActionText, OptionsComeFromTheGroupOnly) {
    ActionCommand a = ParseActionText("(full screen)(repeat)(preserve view)x.avi")[0];
    EXPECT_TRUE(a.options.fullScreen);
    EXPECT_TRUE(a.options.repeat);
    EXPECT_TRUE(a.options.preserveView);
    EXPECT_FALSE(a.options.fullWindow);
    EXPECT_EQ(a.target, "(repeat)(preserve view)x.avi");

    ActionCommand b = ParseActionText("x(full screen).avi")[0];
    EXPECT_FALSE(b.options.fullScreen);

    ActionCommand c = ParseActionText("(0.5,-2)~walker.avt")[0];
    ASSERT_TRUE(c.options.rates);
    EXPECT_DOUBLE_EQ(c.options.rates->first, 0.5);
    EXPECT_DOUBLE_EQ(c.options.rates->second, -2);
    EXPECT_EQ(c.target, "~walker.avt");

    EXPECT_FALSE(ParseActionText("(fast)walker.avt")[0].options.rates);

    struct Show {
        const char* text;
        int state;
    };
    for (const Show& s :
         {Show{"(maximized)(minimized)a.exe", 3}, Show{"(minimized)a.exe", 2}, Show{"a.exe", 1}}) {
        EXPECT_EQ(ShowStateFor(ParseActionText(s.text)[0].options), s.state) << s.text;
    }
}

TEST(ActionText, ExtractionFolderRules) {
    struct Case {
        const char* text;
        bool inFolder;
    };
    const Case cases[] = {
        {"~a.wav", true},     {"a~.wav", false},
        {"~clip.avi", true},  {"~w.avt", true},
        {"~notes.txt", true}, {"run.exe ~data.txt", true},
        {"~hall.pan", false}, {"#swingto(1,1,1,1,1)~", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunsInExtractionFolder(ParseActionText(c.text)[0]), c.inFolder) << c.text;
    }
}

TEST(ActionText, SwingToNeedsAllFiveValues) {
    std::optional<SwingTo> swing = ParseSwingTo("#swingto(90,0,0,60,0)");
    ASSERT_TRUE(swing);
    EXPECT_EQ(swing->pan, 90);
    EXPECT_EQ(swing->fov, 60);
    EXPECT_EQ(swing->milliseconds, 500);
    std::optional<SwingTo> negative = ParseSwingTo("#swingto(-45, -10, 5, 30, 2000)");
    ASSERT_TRUE(negative);
    EXPECT_EQ(negative->pan, -45);
    EXPECT_EQ(negative->tilt, -10);
    EXPECT_EQ(negative->milliseconds, 2000);
    for (const char* bad : {"#swingto(90,0,0,60)", "#swingto(90,0,x,60,0)", "#swingto()",
                            "#swingto(90,0,0,60,99999)", "#goto swingto(1,2,3,4,5)"}) {
        EXPECT_FALSE(ParseSwingTo(bad)) << bad;
    }
    EXPECT_TRUE(IsSwingScript("#goto swingto(1,2,3,4,5)"));
    EXPECT_FALSE(IsSwingScript("#zoom"));
}

TEST(ActionText, TailReplacement) {
    EXPECT_EQ(ReplaceTail("/t/room.PAN", 4, ".wav"), "/t/room.wav");
    EXPECT_EQ(ReplaceTail("~walker.avt", 3, "wav"), "~walker.wav");
    EXPECT_EQ(ReplaceTail("ab", 3, "wav"), "ab");
}

}  // namespace
