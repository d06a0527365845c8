// How the hotspot editor's runner reads action texts: commands, kinds, options at the start
// only, stripped targets and the extraction folder.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "apps/linksmith/editor_action_text.h"

namespace {

using K = ActionKind;

struct Expected {
    K kind;
    std::string target;
    bool inFolder = false;
    std::string text = "";  // empty: the same as the target
};

struct Case {
    const char* description;
    std::vector<Expected> commands;
};

const Case kTexts[] = {
    {"", {}},
    {" \r\n\t ", {}},
    {"a.wav;  b.avi", {{K::kSound, "a.wav"}, {K::kVideo, "b.avi"}}},
    // A ";" at the end adds nothing; an empty command in between is kept (a document).
    {"a.wav;", {{K::kSound, "a.wav"}}},
    {"a.wav; ;b.pan", {{K::kSound, "a.wav"}, {K::kDocument, ""}, {K::kPanorama, "b.pan"}}},
    {";", {{K::kDocument, ""}}},
    // Kinds from the last four characters, in lower case.
    {"CLIP.AVI", {{K::kVideo, "CLIP.AVI"}}},
    {"Walk.Avt", {{K::kAvatar, "Walk.Avt"}}},
    {"room.PAN", {{K::kPanorama, "room.PAN"}}},
    {"#swingto(1,2,3,4,5)", {{K::kDocument, "", false, "#swingto(1,2,3,4,5)"}}},
    // ".exe" after the first character makes a program; at the start it does not count.
    {"edit.EXE notes.txt", {{K::kProgram, "edit.EXE notes.txt"}}},
    {"tool.Exe", {{K::kProgram, "tool.Exe"}}},
    {".exe notes.txt", {{K::kDocument, ".exe notes.txt"}}},
    {"tool.eXe", {{K::kProgram, "tool.eXe"}}},
    {"tool.eXe x", {{K::kDocument, "tool.eXe x"}}},
    // A video with "(full screen)" behind it is a document with everything up to ")" gone.
    {"clip.avi (full screen)", {{K::kDocument, "", false, "clip.avi (full screen)"}}},
    // Options stripped up to the first ")", then leading blanks; panoramas keep theirs.
    {"(full window)  ~clip.avi", {{K::kVideo, "~clip.avi", true, "(full window)  ~clip.avi"}}},
    {"(preserve view)next.pan", {{K::kPanorama, "(preserve view)next.pan"}}},
    {"(repeat)~loop.wav", {{K::kSound, "~loop.wav", true, "(repeat)~loop.wav"}}},
    {"a)b.wav", {{K::kSound, "b.wav", false, "a)b.wav"}}},
    // The folder: "~" first for media and avatars, anywhere for programs and documents.
    {"music/~a.wav", {{K::kSound, "music/~a.wav"}}},
    {"edit.exe ~notes.txt", {{K::kProgram, "edit.exe ~notes.txt", true}}},
    {"read ~me.txt", {{K::kDocument, "read ~me.txt", true}}},
    {"~next.pan", {{K::kPanorama, "~next.pan"}}},
};

TEST(EditorActionText, CommandsKindsTargetsAndFolder) {
    for (const Case& c : kTexts) {
        const std::vector<EditorActionCommand> read = ReadEditorActionText(c.description);
        ASSERT_EQ(read.size(), c.commands.size()) << c.description;
        for (std::size_t i = 0; i < read.size(); ++i) {
            const Expected& e = c.commands[i];
            EXPECT_EQ(read[i].command.kind, e.kind) << c.description << " #" << i;
            EXPECT_EQ(read[i].command.target, e.target) << c.description << " #" << i;
            EXPECT_EQ(read[i].entersExtractionFolder, e.inFolder) << c.description << " #" << i;
            EXPECT_EQ(read[i].text, e.text.empty() ? e.target : e.text) << c.description;
        }
    }
}

TEST(EditorActionText, OptionsCountOnlyAtTheStartAndForTheirKind) {
    struct OptionCase {
        const char* command;
        int showState;
        bool fullScreen, fullWindow, repeat;
        std::optional<std::pair<double, double>> rates;
    };
    const OptionCase cases[] = {
        {"(maximized)edit.exe", 3, false, false, false, std::nullopt},
        {"(minimized) notes.txt", 2, false, false, false, std::nullopt},
        {"x(maximized)edit.exe", 1, false, false, false, std::nullopt},
        {"(full screen)clip.avi", 1, true, false, false, std::nullopt},
        {"(full window)clip.avi", 1, false, true, false, std::nullopt},
        {"(repeat)clip.avi", 1, false, false, false, std::nullopt},
        {"(full screen)a.wav", 1, false, false, false, std::nullopt},
        {"(repeat) a.wav", 1, false, false, true, std::nullopt},
        {"(2.5,-1)~walk.avt", 1, false, false, false, std::pair{2.5, -1.0}},
        {"(3)walk.avt", 1, false, false, false, std::pair{3.0, 0.0}},
        {"(fast)walk.avt", 1, false, false, false, std::pair{0.0, 0.0}},
        {"walk.avt", 1, false, false, false, std::nullopt},
    };
    for (const OptionCase& c : cases) {
        const std::vector<EditorActionCommand> read = ReadEditorActionText(c.command);
        ASSERT_EQ(read.size(), 1u) << c.command;
        const ActionOptions& options = read[0].command.options;
        EXPECT_EQ(ShowStateFor(options), c.showState) << c.command;
        EXPECT_EQ(options.fullScreen, c.fullScreen) << c.command;
        EXPECT_EQ(options.fullWindow, c.fullWindow) << c.command;
        EXPECT_EQ(options.repeat, c.repeat) << c.command;
        EXPECT_EQ(options.rates, c.rates) << c.command;
    }
}

}  // namespace
