#pragma once
// The hotspot editor's own action runner: Test Hotspot and the tour run a hotspot's action
// text through it, never through the engine's hotspots (which stay inert in the editor). It
// reads the text with the editor's rules (editor_action_text.h) and runs each command in turn:
// videos and sounds through the frame's media player, avatars in slot 0 of the editor's
// engine, programs through the process's launcher (the suite's own programs found beside the
// editor first, then along PATH; never a shell), panoramas as a one-turn preview in a child
// window, anything else through the desktop's opener. A file a command names is looked up as
// stored, then in its other encoding (platform/stored_file_name.h).
//
// Threads: user-interface thread only; the preview waits for its turn showing frames.
// Ownership: the runner borrows everything it is given for the length of one Run.
// Failures: each failing command is reported in a plain message box captioned with the
// program's name; the commands after it still run. The current directory is the same after a
// run as before it.

#include <string>

#include "apps/linksmith/editor_action_text.h"
#include "apps/linksmith/frame_window.h"
#include "apps/linksmith/hotspot_record.h"
#include "engine/viewer/media_player.h"
#include "engine/viewer/viewer_engine.h"

class HotspotActionRunner {
  public:
    // `viewer` shows the edited panorama in `frame`; `panoramaFolder` is its file's folder,
    // current while each command runs.
    HotspotActionRunner(FrameWindow& frame, ViewerEngine& viewer, MediaPlayer& media,
                        std::string panoramaFolder);

    // Runs every command of `record`'s description; an empty text shows an empty message
    // box. Returns 1 in every case.
    int Run(const HotspotRecord& record);

  private:
    void Message(const std::string& text) const;
    void RunVideo(const EditorActionCommand& command, const HotspotRecord& record);
    void RunSound(const EditorActionCommand& command);
    void RunAvatar(const EditorActionCommand& command, const HotspotRecord& record);
    void RunProgram(const EditorActionCommand& command);
    void PreviewPanorama(const EditorActionCommand& command);
    void RunDocument(const EditorActionCommand& command);
    // Makes the engine's extraction folder current when the command asks for it.
    void EnterFolderFor(const EditorActionCommand& command);

    FrameWindow& frame_;
    ViewerEngine& viewer_;
    MediaPlayer& media_;
    std::string panoramaFolder_;
};

// Where the box of an avatar placed on a hotspot stands: the bounds of the hotspot's four
// corners on a sphere of radius 10 around the eye (the box the engine makes for a hotspot).
struct AvatarBox {
    double centre[3] = {0, 0, 0};
    double size[3] = {0, 0, 0};
};
AvatarBox AvatarBoxOf(const HotspotRecord& record);

// The program a command line starts, when its first word names one of the suite's programs
// ("Compactor.exe", "roamer", any case, no folder): the one installed beside the running
// program, else on PATH. Empty when the word names no suite program or it is not found.
std::string SuiteProgramFor(const std::string& firstWord);
