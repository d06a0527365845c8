#pragma once
// The hotspot editor's editing state and its operations: at most one open panorama, shown live
// by an editor-build ViewerEngine that subclasses the frame window, the editor's own hotspots,
// the selection, and the values Save writes back (initial view, angular size, details).
//
// Threads: user-interface thread only. The engine's render thread never calls in here.
// Ownership: the editor owns its engine, media player and renderer; the FrameWindow is the
// caller's and must outlive the editor. The editor installs its own procedure on the frame
// window for its lifetime (the engine's procedure sits in front of it while a panorama is
// open) and receives WM_PAINT, WM_SIZE, WM_MOVE and MM_MCINOTIFY through it.
// Failures are shown in message boxes captioned kLinksmithCaption and leave the state as
// each operation says.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/linksmith/frame_window.h"
#include "apps/linksmith/hotspot_record.h"
#include "apps/linksmith/linksmith_commands.h"
#include "engine/container/init_section.h"
#include "engine/render/renderer.h"
#include "engine/viewer/media_player.h"
#include "engine/viewer/viewer_engine.h"

// The caption of the editor's plain message boxes: the program file's base name.
inline constexpr const char* kLinksmithCaption = "linksmith";
// A new hotspot drawn when the panorama holds the most a file can count.
inline constexpr const char* kTooManyHotspotsText = "A panorama holds at most 255 hotspots.";

// The selection: an index into the hotspots, or one of these.
inline constexpr int kNoSelection = -2;
inline constexpr int kDrawingHotspot = -1;

// Where the editor stands; every field is read by the frame and the editing commands.
struct EditingState {
    std::string panoramaPath;    // full path of the open panorama; empty when none is open
    std::string panoramaFolder;  // its folder
    // Working copy of the selected hotspot or of the one being drawn; its rectangle doubles as
    // the rubber band while `currentIndex` is kDrawingHotspot.
    HotspotRecord currentCopy;
    int currentIndex = kNoSelection;
    bool modified = false;  // anything Save writes changed since the open or the last save
    // Initial view (pan, tilt, roll, field of view; field of view 0 = the default view) and
    // angular size, as INIT holds them.
    EditorInitialView initialView;
    // The details: the NOTE bytes (0x0A first), or empty for none.
    std::vector<std::uint8_t> noteData;
    // The file's NOTE does not begin with 0x0A: saving leaves it as it is, until the details
    // are edited.
    bool keepFileNote = false;
    // The file's INIT is not 16 bytes long: saving leaves it as it is while `initialView`
    // holds the defaults it was read as.
    bool keepFileInit = false;
    // The extraction folder's files right after the open (SaveContent::extractedFiles).
    std::vector<std::string> extractedFiles;
    HotspotArray hotspots;  // in file order; empty whenever no panorama is open
};

class LinksmithEditor {
  public:
    explicit LinksmithEditor(FrameWindow& frame);
    // Closes the panorama (removing its extraction folder) and gives the frame window its own
    // procedure back.
    ~LinksmithEditor();
    LinksmithEditor(const LinksmithEditor&) = delete;
    LinksmithEditor& operator=(const LinksmithEditor&) = delete;

    const EditingState& State() const { return state_; }
    // The engine of the open panorama; null when none is open.
    ViewerEngine* Viewer() const { return viewer_.get(); }
    bool HasPanorama() const { return viewer_ != nullptr; }
    bool IsCommandEnabled(int command) const;

    // --- Reading and saving ---
    // Makes `path` the edited panorama: a fresh editor engine shows it in the frame window
    // with its own hotspots inert, and the editor reads HSPT, INIT and NOTE from the file.
    // A panorama still open is closed first (without a question). A load failure is shown as
    // "Halvex Error: <text>" and leaves no panorama open.
    void OpenPanoramaForEditing(const std::string& path);
    // Writes the open panorama's sections into `target` (built from the open file as it is on
    // disk), through the suite's safe save, which refuses a target the user may not write. 1 on
    // success, also when nothing is open; 0 after the failure was shown ("File I/O Error." or
    // "Insufficient System Memory."): the target is then unchanged. Does not change `modified`.
    int SavePanorama(const std::string& target);
    // With changes, asks "Save changes?": Yes saves to the open file. False when the user
    // cancelled or the save failed (the caller stops); true for No, a good save, or no changes.
    bool PromptToSave();
    // Closes the open panorama without a question: the engine goes with its extraction folder,
    // the hotspots and the details are dropped, nothing is selected, nothing is modified.
    void ClosePanorama();
    // Closes and stops the frame's own sounds and videos.
    void StopFrameMedia();

    // --- File commands; each asks "Save changes?" where the user could lose changes ---
    // `choosePath` shows the file dialog and gives the chosen path, or nothing when cancelled.
    void OnFileOpen(const std::function<std::optional<std::string>()>& choosePath);
    void OnFileClose();
    void OnFileSave();
    // Writes to the chosen file; the open file stays the one that later saves write to.
    void OnFileSaveAs(const std::function<std::optional<std::string>()>& choosePath);
    // Whether the window may close: false when "Save changes?" was cancelled or its save
    // failed.
    bool QueryClose();

    // --- Hotspots on the live view ---
    // Appends a hotspot and marks the panorama modified; its index, or nothing (the list
    // unchanged) when no panorama is open or the list holds 255 hotspots already.
    std::optional<int> AddHotspot(const HotspotRecord& record);
    // Sets the record's window rectangle from the present view: 1 when it is on screen, else
    // 0 with the record untouched. 0 when nothing is open.
    int ProjectHotspot(HotspotRecord& record) const;
    // The index of a hotspot whose rectangle holds the window point (edges included), or
    // kNoSelection. Successive calls scan alternately from the first and from the last hotspot,
    // so overlapping hotspots under one point are found in turn; the first call scans from
    // the first.
    int HitTestHotspots(int x, int y);
    // Waits for the engine to finish a fresh frame, then draws every hotspot that is on screen
    // as a 1-pixel rectangle over it (the selected one green, the others red) and the rubber
    // band while a hotspot is being drawn. The next engine frame paints over them. Nothing
    // while no panorama is open or avatars are being animated.
    void DrawHotspotRects();

    // --- Mouse and keys: the frame's messages, after the engine's own handling ---
    // A right-button drag draws a new hotspot (its corners through the renderer's inverse
    // projection) and opens the define dialog on it; a right click selects the hotspot under
    // the pointer and shows the Edit popup on it, or the File popup elsewhere.
    void OnRButtonDown(int x, int y);
    void OnMouseMove(int x, int y, std::uint32_t keyFlags);
    void OnRButtonUp(int x, int y);
    // The engine's navigation drag: the four-way arrow while the left button is held.
    void OnLButtonDown();
    void OnLButtonUp();
    // F1 opens the help; with a panorama, every other key stops the frame's media and avatar
    // first. Tab selects the next hotspot and swings the view to it (one second), Escape
    // redraws, Delete removes the selected hotspot.
    void OnKeyDown(int virtualKey);
    // Space and the arrows: the rectangles come back once the engine's key motion has ended.
    void OnKeyUp(int virtualKey);

    // --- Edit commands ---
    // The engine's animated return to its home view; nothing selected afterwards.
    void OnResetPanorama();
    // The define dialog on the selected hotspot.
    void OnEditHotspotDescription();
    // Posts Delete to the frame: the selected hotspot goes.
    void OnDeleteHotspot();
    // Shows the define dialog on `currentCopy`'s text with `paths` added, each on a line of its
    // own, as far as they fit in a description (AppendCommands). On OK the text is stored (";  "
    // between commands; a text left as it was stored keeps its bytes) and the hotspot at
    // `currentIndex` takes `currentCopy`; true then.
    // False, nothing changed, otherwise.
    bool RunDefineHotspotDialog(std::span<const std::string> paths = {});

    // --- Trying hotspots out ---
    // Runs the action text of `record` through the editor's own runner
    // (hotspot_action_runner.h): 1 in every case, failures shown in message boxes. Nothing
    // without a panorama.
    int RunHotspotAction(const HotspotRecord& record);
    // Runs the selected hotspot's action; nothing without a selection.
    void OnTestHotspot();
    // Visits every hotspot in turn: selects it and swings the view to it (as Tab does), runs
    // its action and stays there a while, showing frames, then stops what it started. Escape
    // ends the tour at once. After a whole tour the first hotspot is selected again. Blocks
    // until the tour ends; user input meanwhile reaches no window (platform/frame_wait.h).
    void OnTourAllHotspots();
    // How long the tour stays at each hotspot: three pauses of `pauseMs` (1000 by default).
    void SetTourPause(std::uint32_t pauseMs) { tourPauseMs_ = pauseMs; }

    // --- Dropped files ---
    // Files dropped at window point `at`: on a hotspot (one on screen), their paths are
    // appended to its description through the define dialog; elsewhere exactly one file is
    // opened as the edited panorama, after "Save changes?" (Cancel, or a save that failed,
    // keeps the open panorama as it was). Other drops do nothing.
    void OnDropFiles(const std::vector<std::string>& paths, platform::Point at);

    // --- Initial view, angular size, embedded files and details; nothing without a panorama ---
    // The present view, in whole degrees (halves away from zero), becomes the initial view and
    // the engine's home view.
    void OnSetInitialViewCurrent();
    // Back to the default initial view; the view swings to the engine's default home view.
    void OnSetInitialViewDefault();
    // The angular-size dialog; OK stores both values and marks the panorama modified.
    void OnDefineDimensions();
    // The embedded-files dialog; after OK the extraction folder holds exactly the listed
    // files (a file that cannot be copied in is reported as "File I/O Error.").
    void OnEmbeddedFiles();
    // The details dialog; OK keeps its texts as the NOTE bytes (none when all are empty) and
    // marks the panorama modified.
    void OnPanoramaDetails();

    // Which popup the last right click showed.
    std::optional<ContextPopup> LastContextPopup() const { return lastPopup_; }

  private:
    static std::intptr_t FrameProc(platform::WindowHandle window, std::uint32_t message,
                                   std::uintptr_t wParam, std::intptr_t lParam);
    void OnFramePaint();
    void OnFrameSizeOrMove();
    // The sections of the file just opened, into the state.
    void ReadSectionsOf(const std::string& path);
    void DestroyViewer();
    void ShowError(const std::string& text) const;
    // Unloads the avatar a hotspot test placed and ends its animation.
    void ClearAvatars();
    void SwingToHotspot(const HotspotRecord& record);
    void ShowContextMenu(int x, int y);

    FrameWindow& frame_;
    platform::WindowProc previousProc_ = nullptr;
    std::unique_ptr<ViewerEngine> viewer_;
    MediaPlayer mediaPlayer_;
    Renderer renderer_;
    EditingState state_;
    // The scan direction of the hit test, flipped by every test.
    int hitDirection_ = -1;
    std::optional<ContextPopup> lastPopup_;
    std::uint32_t tourPauseMs_ = 1000;
};
