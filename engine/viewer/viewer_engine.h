#pragma once
// The viewer object: binds one loaded panorama to one window, owns the decoded image, the
// projection, the hotspots, the avatar slots, the media player, the three semaphores and the
// render thread.
//
// Threads: every operation is for the user-interface thread that owns the window, except
// `Pause` and `RenderFrame`, which the render thread calls. The render thread and the
// user-interface thread share the view state (`ViewState`, engine/viewer/view_state.h), a
// private record reached only through the state lock's guard (waits of at most 10 s; a
// time-out is traced as "\a*" and the work goes on). The engine's other fields belong to the
// user-interface thread.
//
// Calling order: construct; OpenPanorama (load failures are thrown as LoadError with the
// user's text and leave the engine closed); set cursors and options; AttachWindow; ...;
// DetachWindow and ClosePanorama(0, 0) before another open or when the window goes; destroy.
//
// Results of the view operations (`EngineResult`): 0 done, 2 refused or bad argument, 3 no
// panorama loaded.

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/render/renderer.h"
#include "engine/viewer/avatar.h"
#include "engine/viewer/guarded_state.h"
#include "engine/viewer/hotspot.h"
#include "engine/viewer/media_player.h"
#include "engine/viewer/view_state.h"
#include "platform/geometry.h"
#include "platform/input.h"
#include "platform/semaphore.h"
#include "platform/thread.h"
#include "platform/window.h"

struct ActionCommand;

enum EngineResult : int { kEngineDone = 0, kEngineRefused = 2, kEngineNotLoaded = 3 };

// The most avatar slots a load may ask for.
inline constexpr std::int16_t kMaxAvatarSlots = 32;

// Limits in degrees: pan min, pan max, tilt min, tilt max, roll min, roll max, FOV min, max.
struct ViewerLimits {
    std::int32_t panMin, panMax, tiltMin, tiltMax, rollMin, rollMax, fovMin, fovMax;
};
// The home view in degrees.
struct HomeView {
    std::int32_t pan, tilt, roll, fov;
};
// What a window point hits.
enum HitKind : std::int16_t { kHitNothing = 0, kHitAvatar = 2, kHitHotspot = 4 };

// The builds of the engine, chosen at construction: the viewer program's full build, the
// hotspot editor's build (no media, no companion sound, no folder change), and the build
// behind the stand-alone viewer windows (the field of view of a bare image follows its
// height).
enum class EngineBuild { Full, Editor, StandAlone };

// The codes of SetOption.
enum class ViewerOption : std::int16_t {
    kClipRectangle = 1,  // const platform::Rect*, null = the whole client area
    kLimits = 2,         // const ViewerLimits*, null = the defaults; refused on a partial panorama
    kAntialias = 3,      // the level 0, 1 or 8 as the value (other values: 8)
    kHomeView = 4,       // const HomeView*, null = 0, 0, 0, 60
};

class ViewerEngine {
  public:
    explicit ViewerEngine(EngineBuild build = EngineBuild::Full);
    ~ViewerEngine();
    ViewerEngine(const ViewerEngine&) = delete;
    ViewerEngine& operator=(const ViewerEngine&) = delete;

    // --- Opening and closing (user-interface thread) ---
    // Closes what was open, loads `path` for `window` (kNoWindow: no render thread), makes the
    // file's folder current and starts the companion sound. Throws LoadError.
    void OpenPanorama(const char* path, platform::WindowHandle window, std::uint32_t notifyMsg,
                      std::int16_t frameRate, std::int16_t avatarSlots);
    void ClosePanorama(int keepMedia, int keepWindow);
    // Reads a panorama or image file and loads it, as Load does with the file's bytes. Of a
    // panorama file only the sections the load reads are read (the image record, an "INIT" of 16
    // bytes, "HSPT", and "FILE" unless it is longer than any within its bounds, which is refused
    // unread), never the whole file; a plain bitmap file, or a panorama file's image record that
    // is a plain bitmap, is read as its picture is made, never held whole. Throws LoadError.
    void OpenFile(const char* path, platform::WindowHandle window, std::uint32_t notifyMsg,
                  std::int16_t frameRate, std::int16_t avatarSlots);
    // Loads from memory; the caller keeps the buffer. Throws LoadError (engine closed).
    void Load(const std::uint8_t* buffer, std::size_t size, platform::WindowHandle window,
              std::uint32_t notifyMsg, std::int16_t frameRate, std::int16_t avatarSlots);
    // Stops the render thread (cooperatively), frees everything, deletes the extracted
    // files. Does nothing when nothing is loaded.
    void Close();
    void Unload() { Close(); }
    // Closes every engine of the process that has a panorama loaded, as Close does, so that
    // none leaves its extraction folder behind: what a program does when a signal ends it.
    // User-interface thread. It may run inside an engine operation's message box (an action's
    // failure), which then must not go on: the caller ends the process right after.
    static void CloseEveryPanorama();
    // Makes the extraction folder current; returns the directory that was current.
    std::string EnterTempDirectory();
    // The extraction folder of this engine (ends in "/").
    const std::string& TempExtractDirectory() const { return tempExtractDirectory; }

    // --- Window binding (user-interface thread) ---
    // Draws two frames and waits for them, then binds the window (its messages reach this
    // engine first): 1. 0 when nothing is loaded, no window was given, the window is bound
    // already or the table is full; the window's handler chain is then as it was.
    int AttachWindow();
    // Unbinds the window (when bound), stops every motion, draws two frames and releases the
    // cursor clip: 1. 0 when nothing is loaded or no window was given.
    int DetachWindow();
    // Points the render thread at `newWindow` from the next frame on (a preview, and back),
    // under the state lock, so that no frame is handed to the old window after it returns.
    // The engine must be detached. 3 when nothing is loaded; 2 when the load was given no
    // window (no render thread) or `newWindow` is no window; else 0.
    int RedirectWindow(platform::WindowHandle newWindow);
    // Sets the cursor for what lies under the pointer, then asks for two frames.
    void UpdateHotspotCursor();
    // The cursors shown over the panorama, over a hotspot or avatar, and over a hotspot that
    // links to a panorama; null shows none. Kept across loads.
    void SetCursors(platform::CursorHandle normal, platform::CursorHandle hotspot,
                    platform::CursorHandle panoramaLink);
    // Hands each finished frame to `callback` instead of the window's surface (null: the
    // surface again), from the next frame on; under the state lock, so also from inside a
    // callback. A load sets it back to null.
    void SetDrawCallback(DrawCallback callback);
    // The handle of a hotspot or an avatar slot of the loaded panorama; null when out of
    // range or nothing is loaded. The handle's operations take the state lock; it lives as
    // long as the engine, and after a close (or a load with fewer) it reads as absent.
    Hotspot* GetHotspot(std::int16_t index);
    Avatar* GetAvatar(std::int16_t index);
    // The frame point (rows from the bottom) of world point (x, y, z) in the current view: 1,
    // or 0 when it does not project (behind the viewer) or nothing is loaded. Takes the lock.
    int ProjectPoint(double x, double y, double z, int* windowX, int* windowY) const;

    // --- View control (user-interface thread) ---
    // Each returns an EngineResult and takes the state lock.
    // SetOption: see ViewerOption; other codes are refused.
    int SetOption(ViewerOption option, const void* data);
    // The antialias level goes as the value.
    int SetOption(ViewerOption option, std::intptr_t value) {
        return SetOption(option, reinterpret_cast<const void*>(value));
    }
    // What lies under window point (x, y): avatars nearest first, then active hotspots in
    // order. The index, or 0xFFFF with kind 0 when nothing is hit.
    std::uint16_t HitTest(int x, int y, std::int16_t* kind);
    // Asks the render thread for frames (0 one redraw, n, -1 endless). Mode 1 returns at once;
    // mode 2 waits until they are drawn and the thread paused, showing each frame in the window
    // as it is drawn and handling no message meanwhile (refused on the render thread itself,
    // for endless frames, and while another waiting run is pending); mode 0 refused.
    // While frames are endless, a request for n frames changes nothing and returns done at once
    // in either mode, without waiting; 0 frames ends them after one more frame (in mode 2, once
    // that frame is drawn). 3 when nothing is loaded or no window was given.
    int Run(int frames, int mode);
    // Render thread: pauses the thread and ends a pending waiting run. Takes the lock.
    int Pause();
    // 1..50 frames a second; a negative rate marks playback reversed, 0 keeps the rate.
    int SetFrameRate(std::int16_t rate);
    int GetFrameRate(std::int16_t* rate);
    // Degrees a second for `frames` frames (0 stop, -1 endless); a non-zero mode then runs
    // those frames as Run does.
    int SetPanVelocity(double velocity, int frames, int mode);
    int SetTiltVelocity(double velocity, int frames, int mode);
    int SetRollVelocity(double velocity, int frames, int mode);
    int SetZoomVelocity(double velocity, int frames, int mode);
    int SetHeadingVelocity(double velocity, int frames, int mode);
    int GetPanVelocity(double* velocity);
    int GetTiltVelocity(double* velocity);
    int GetRollVelocity(double* velocity);
    int GetZoomVelocity(double* velocity);
    // Angles wrapped into (-180, 180]; the field of view is clamped by the next frame.
    int SetView(double panValue, double tiltValue, double rollValue, double fovValue, int mode);
    int GetView(double* panValue, double* tiltValue, double* rollValue, double* fovValue);
    // The eye's place in the space around the viewer, as the frames are drawn from it (the
    // hotspot editor projects its rectangles from the same place).
    int GetEyePosition(double* x, double* y, double* z);
    // The panorama's extent in the space around the eye: six zeros for every panorama (none
    // has an extent of its own). No lock.
    int GetPanoramaExtent(double* xMin, double* xMax, double* yMin, double* yMax, double* zMin,
                          double* zMax) const;
    // Whether a grabbed avatar is being animated by a drag. User-interface thread; no lock
    // (only that thread changes it).
    bool IsAnimating() const { return animating != 0; }
    // Ends that animation (the avatar it moved was taken away). User-interface thread.
    void StopAvatarAnimation() { animating = 0; }
    // Marks an avatar placed by the embedding program as being animated (the editor's hotspot
    // test). User-interface thread.
    void StartAvatarAnimation() { animating = 1; }

    // --- Render thread ---
    // One frame step under the state lock (taken here unless this thread holds it). Returns
    // 0, or the set of 1 (nothing could be drawn) and 8 (a value was clamped to a limit).
    std::int16_t RenderFrame();

    // --- Navigation and actions (window procedure, user-interface thread) ---
    void OnKeyDown(int virtualKey, std::uint32_t keyData);
    void OnKeyUp(int virtualKey, std::uint32_t keyData);
    void OnMouseMove(int x, int y, std::uint32_t keyFlags);
    void OnLButtonDown(int x, int y, std::uint32_t keyFlags);
    void OnLButtonUp(int x, int y, std::uint32_t keyFlags);
    void SendKey(int virtualKey, int repeatCount, int flags);
    int RunHotspotAction(std::int16_t index);
    // Runs `text` as the action of hotspot `index`, whose place the video and avatar commands
    // use; with no such hotspot (or no panorama loaded) a video needs "(full screen)" or
    // "(full window)" and an avatar has no free slot, each reported as when off screen or
    // full. Needs no loaded panorama: programs, documents, sounds and panoramas run as they
    // would from a hotspot. 0 when a panorama command failed to load (the engine is then
    // closed), else 1. User-interface thread.
    int RunActionText(std::string_view text, std::int16_t index);

    // Whether a panorama is loaded. Any thread.
    bool IsLoaded() const { return loaded; }
    EngineBuild Build() const { return build; }

  private:
    friend class OwnerLock;
    friend struct ViewerEngineTestAccess;
    friend void RenderThreadProc(ViewerEngine* engine);
    friend std::intptr_t ViewerWindowProc(platform::WindowHandle window, std::uint32_t message,
                                          std::uintptr_t wParam, std::intptr_t lParam);

    // The shared view state under the state lock.
    ViewStateGuard LockState() const { return shared.Lock(); }

    void ResetForLoad(platform::WindowHandle newWindow, std::int16_t avatarSlots);
    // What a load reads: a panorama or image file's bytes, or what OpenFile read of them in their
    // place, which loads as they do: `bytes` as the sniffing and the section lookups see them; a
    // `picture` decoded already, taken instead of decoding the image record; and whether the
    // file's "FILE" section was left unread as longer than any within its bounds.
    struct LoadSource {
        std::span<const std::uint8_t> bytes;
        GlobalDib* picture = nullptr;
        bool embeddedFilesTooLarge = false;
    };
    // Loads `source` as Load loads a file's bytes.
    void LoadFrom(const LoadSource& source, platform::WindowHandle newWindow,
                  std::uint32_t notifyMsg, std::int16_t frameRate, std::int16_t avatarSlots);
    void DecodeImage(ViewState& state, const std::uint8_t* buffer, std::size_t size,
                     GlobalDib* picture);
    void ApplyInitSection(ViewState& state, const std::uint8_t* buffer, std::size_t size);
    void EnlargePartialImage(ViewState& state, int headingSpan, int pitchSpan);
    void BuildHotspots(ViewState& state, const std::uint8_t* buffer, std::size_t size);
    void ExtractFiles(const std::uint8_t* buffer, std::size_t size);
    void DeleteExtractedFiles();
    void StopRenderThread();
    void FreeSoundNames();
    void ApplyCursorRule();
    void ApplyCursorRuleAt(int x, int y);
    int SetAxisVelocity(double ViewState::*velocityField, std::int32_t ViewState::*framesField,
                        double velocity, int frames, int mode);
    int GetAxisVelocity(double ViewState::*velocityField, std::int32_t ViewState::*framesField,
                        double* velocity);
    // The frame step and its parts; the caller holds the lock and passes the state.
    std::int16_t RenderFrame(ViewState& state);
    int Pause(ViewState& state);
    bool EnsureFrameBuffers(ViewState& state, int width, int height);
    static void MoveAvatars(ViewState& state);
    static void DrawAvatars(ViewState& state);
    // The slots of the visible avatars that hold an image, by their distance from the eye:
    // farthest first when `farthestFirst` (drawing order), else nearest first (hit order);
    // equal distances keep slot order.
    static std::vector<int> VisibleAvatarsByDistance(const ViewState& state, bool farthestFirst);
    // Draws the avatar of `slot` into the view frame.
    static void DrawAvatar(ViewState& state, int slot);
    // Hands the view frame to the draw callback, or its rows to the window's surface (the view
    // frame then holds an older frame's rows).
    static void Present(ViewState& state, int width, int height);
    static std::uint16_t HitAvatar(const ViewState& state, int x, int frameY);
    static std::uint16_t HitHotspot(const ViewState& state, int x, int frameY);

    // Navigation and the action runner (navigation.cpp, hotspot_actions.cpp).
    bool HasMediaPlayer() const { return build != EngineBuild::Editor; }
    void DeleteGrabbedAvatar();
    void SwingHome();
    // The four view velocities at once, endless, without a run.
    void SetViewVelocities(double panSpeed, double tiltSpeed, double rollSpeed, double zoomSpeed);
    void ShowActionMessage(const std::string& text);
    void RunSoundCommand(const ActionCommand& command);
    void RunVideoCommand(const ActionCommand& command, std::int16_t index, bool offScreen);
    void RunAvatarCommand(const ActionCommand& command, std::int16_t index, bool offScreen);
    // False when the load threw (the run ends).
    bool RunPanoramaCommand(const ActionCommand& command);
    void RunScriptCommand(const ActionCommand& command);
    void RunLaunchCommand(const ActionCommand& command);

    // Shared with the render thread: under the lock only.
    GuardedState<ViewState> shared;

    // Set once per load before the render thread starts, read by it afterwards; the thread and
    // its semaphores are made by the load and dropped by Close after the thread is joined.
    std::unique_ptr<platform::Thread> renderThread;
    std::unique_ptr<platform::Semaphore> wakeSemaphore;
    std::unique_ptr<platform::Semaphore> doneSemaphore;
    // The render thread's pause and stop request, read by it without the lock.
    std::atomic<std::int16_t> paused{0};
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> loaded{false};

    // User-interface thread only.
    const EngineBuild build;
    std::string tempExtractDirectory;
    // The window the engine is bound to (the render thread's own copy lives in the state).
    platform::WindowHandle window = platform::kNoWindow;
    std::int16_t rateReversed = 0;
    std::int32_t animating = 0;
    platform::CursorHandle cursorNormal = nullptr;
    platform::CursorHandle cursorHotspot = nullptr;
    platform::CursorHandle cursorPanoramaLink = nullptr;
    std::int32_t grabbedAvatar = -1;
    std::int32_t grabX = 0, grabY = 0;
    std::uint32_t grabKeys = 0;
    MediaPlayer media;
    std::int16_t playingMedia = -1;
    std::array<std::unique_ptr<std::string>, kMaxAvatarSlots> avatarSounds;
    // The handles GetHotspot and GetAvatar give: one per slot a load may have, and one per
    // hotspot the largest load had (added by loads, never moved or removed).
    std::vector<Avatar> avatarHandles;
    std::deque<Hotspot> hotspotHandles;
};

// The render thread's procedure: runs frames while requested, pauses otherwise, returns when
// the engine asks it to stop.
void RenderThreadProc(ViewerEngine* engine);

// The subclass procedure that routes a bound window's messages to its engine.
std::intptr_t ViewerWindowProc(platform::WindowHandle window, std::uint32_t message,
                               std::uintptr_t wParam, std::intptr_t lParam);
// Unbinds `window`: restores its procedure and frees its table entry (0); 32 when the window
// has no entry.
int UnsubclassViewerWindow(platform::WindowHandle window);
// Unbinds every window still bound to `engine`, restoring their procedures; the engine's
// destructor calls it, so that no entry outlives its engine (a panorama closed while its
// window stays bound, as a failed reload from a hotspot leaves it).
void UnsubclassEngineWindows(const ViewerEngine* engine);

// The process-wide binding of windows to engines (user-interface thread).
struct SubclassEntry {
    platform::WindowHandle window = platform::kNoWindow;
    ViewerEngine* engine = nullptr;
    platform::WindowProc previous = nullptr;
};
inline constexpr int kSubclassTableSize = 32;
extern std::array<SubclassEntry, kSubclassTableSize> SubclassTable;
