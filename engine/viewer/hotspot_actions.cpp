// The hotspot action runner: a clicked hotspot's action text, read as commands and run in
// order (sound, video, avatar, panorama, swing, program, document). A file a command names is
// looked up as stored, then in its other encoding (platform/stored_file_name.h).

#include <cstring>
#include <string>
#include <string_view>

#include "engine/imaging/load_error.h"
#include "engine/viewer/action_text.h"
#include "engine/viewer/media_player.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/stored_file_name.h"

namespace {

constexpr int kEndless = -1;
constexpr int kNoRun = 0;

// Restores the current directory at the end of a command that may have entered the
// extraction folder.
class DirectoryScope {
  public:
    DirectoryScope(ViewerEngine& engine, bool enterExtractionFolder)
        : saved_(platform::GetCurrentDirectory()) {
        if (enterExtractionFolder)
            engine.EnterTempDirectory();
    }
    ~DirectoryScope() { platform::SetCurrentDirectory(saved_); }
    DirectoryScope(const DirectoryScope&) = delete;
    DirectoryScope& operator=(const DirectoryScope&) = delete;

  private:
    std::string saved_;
};

bool OpensForReading(const std::string& path) {
    platform::File file;
    return file.Open(path, platform::File::Mode::Read);
}

}  // namespace

void ViewerEngine::ShowActionMessage(const std::string& text) {
    platform::MessageBox(window, text, "Halvex", platform::MB_OK);
}

int ViewerEngine::RunHotspotAction(std::int16_t index) {
    const Hotspot* hotspot = GetHotspot(index);
    if (hotspot == nullptr)
        return 1;
    char buffer[kMaxActionText];
    hotspot->GetTarget(buffer, static_cast<std::int16_t>(kMaxActionText));
    return RunActionText(std::string_view(buffer, strnlen(buffer, sizeof buffer)), index);
}

int ViewerEngine::RunActionText(std::string_view text, std::int16_t index) {
    // Once a panorama command ran, the old hotspots no longer describe the screen.
    bool offScreen = false;
    for (const ActionCommand& command : ParseActionText(text)) {
        switch (command.kind) {
            case ActionKind::kSound:
                RunSoundCommand(command);
                break;
            case ActionKind::kVideo:
                RunVideoCommand(command, index, offScreen);
                break;
            case ActionKind::kAvatar:
                RunAvatarCommand(command, index, offScreen);
                break;
            case ActionKind::kPanorama:
                offScreen = true;
                if (!RunPanoramaCommand(command))
                    return 0;
                break;
            case ActionKind::kScript:
                RunScriptCommand(command);
                break;
            case ActionKind::kProgram:
            case ActionKind::kDocument:
                RunLaunchCommand(command);
                break;
        }
    }
    return 1;
}

void ViewerEngine::RunSoundCommand(const ActionCommand& command) {
    DirectoryScope directory(*this, RunsInExtractionFolder(command));
    const int mode =
        command.options.repeat ? MediaPlayer::kRestart | MediaPlayer::kLoop : MediaPlayer::kRestart;
    if (media.Play(platform::FindStoredFileName(command.target), mode, window, 0) !=
        MediaPlayer::kStarted) {
        ShowActionMessage("Failed to run audio");
    }
}

void ViewerEngine::RunVideoCommand(const ActionCommand& command, std::int16_t index,
                                   bool offScreen) {
    platform::WindowHandle parent = window;
    platform::Rect client;
    platform::GetClientRect(window, &client);
    platform::Rect area;
    if (command.options.fullScreen) {
        parent = platform::kNoWindow;
        const platform::Size screen = platform::GetScreenSize();
        area = {0, 0, screen.width, screen.height};
    } else if (command.options.fullWindow) {
        area = client;
    } else {
        const Hotspot* hotspot = offScreen ? nullptr : GetHotspot(index);
        int left = 0, top = 0, right = 0, bottom = 0;
        int projected = 1;
        if (hotspot != nullptr) {
            // The projection takes the lock: it reads the frame the render thread may resize.
            projected = hotspot->GetScreenRect(&left, &top, &right, &bottom);
        }
        if (projected == 1 || left < 0 || left > client.Width() || right < 0 ||
            right > client.Width() || top < 0 || top > client.Height() || bottom < 0 ||
            bottom > client.Height()) {
            ShowActionMessage("Video off screen");
            return;
        }
        area = {left, top, right, bottom};
    }

    DirectoryScope directory(*this, RunsInExtractionFolder(command));
    if (!media.PlayVideoOver(platform::FindStoredFileName(command.target), parent, area)) {
        ShowActionMessage("Failed to run Video");
        return;
    }
    playingMedia = index;
}

void ViewerEngine::RunAvatarCommand(const ActionCommand& command, std::int16_t index,
                                    bool offScreen) {
    if (offScreen) {
        ShowActionMessage("Avatar Off Screen");
        return;
    }
    const auto [columnRate, rowRate] = command.options.rates.value_or(std::pair{0.0, 0.0});
    Avatar* avatar = nullptr;
    std::int16_t slot = 0;
    for (;; ++slot) {
        Avatar* candidate = GetAvatar(slot);
        if (candidate == nullptr)
            break;
        std::int16_t column = 0, row = 0;
        if (candidate->IsEmpty(&column, &row) == 1) {
            avatar = candidate;
            break;
        }
    }
    if (avatar == nullptr) {
        ShowActionMessage("Maximum number of avatars exceeded");
        return;
    }
    {
        DirectoryScope directory(*this, RunsInExtractionFolder(command));
        const Hotspot* hotspot = GetHotspot(index);
        double centre[3] = {0, 0, 0};
        double extent[3] = {0, 0, 0};
        if (hotspot != nullptr) {
            hotspot->GetCentre(&centre[0], &centre[1], &centre[2]);
            hotspot->GetSize(&extent[0], &extent[1], &extent[2]);
        }
        const std::string file = platform::FindStoredFileName(command.target);
        if (avatar->Load(file.c_str(), centre, extent, 0) != 0) {
            ShowActionMessage("Failed to load Avatar");
            return;
        }
        // The avatar's sound, kept with its full path so that it can be looped again later
        // from any current directory (a grab, the removal of another avatar).
        auto& sound = avatarSounds[static_cast<std::size_t>(slot)];
        sound.reset();
        const std::string soundName =
            platform::FindStoredFileName(ReplaceTail(command.target, 3, "wav"), OpensForReading);
        if (HasMediaPlayer() && OpensForReading(soundName)) {
            sound = std::make_unique<std::string>(platform::GetFullPathName(soundName));
            media.Stop();
            MediaPlayer::LoopWaveSound(*sound);
        }
    }
    if (columnRate != 0 || rowRate != 0) {
        avatar->SetAnimationRate(columnRate, rowRate);
        animating = 1;
        Run(-1, 1);
    }
    animating = 1;
    avatar->SetVisible(1);
}

bool ViewerEngine::RunPanoramaCommand(const ActionCommand& command) {
    double p = 0, t = 0, r = 0, f = 0;
    GetView(&p, &t, &r, &f);
    const std::string file = platform::FindStoredFileName(command.target, OpensForReading);
    if (!OpensForReading(file)) {
        ShowActionMessage("Failed to load panorama");
        return true;
    }
    std::int16_t rate = 0;
    GetFrameRate(&rate);
    const std::int16_t signedRate = rateReversed == 1 ? static_cast<std::int16_t>(-rate) : rate;
    const platform::WindowHandle target = window;
    std::uint32_t message = 0;
    std::int16_t slots = 0;
    {
        const ViewStateGuard state = LockState();
        message = state->notifyMessage;
        slots = state->avatarSlotCount;
    }

    FreeSoundNames();
    Close();
    media.Stop();
    FreeSoundNames();
    animating = 0;
    grabbedAvatar = -1;
    grabKeys = 0;
    try {
        OpenFile(file.c_str(), target, message, signedRate, slots);
    } catch (const LoadError& error) {
        ShowActionMessage(error.what());
        return false;
    }
    // The companion sound is named from the full path: the folder change below would make a
    // relative name point elsewhere.
    const std::string sound = platform::FindStoredFileName(ReplaceTail(file, 4, ".wav"));
    const std::string full = platform::GetFullPathName(file);
    const std::string fullSound = platform::GetFullPathName(sound);
    if (!full.empty())
        platform::SetCurrentDirectory(platform::ParentDirectory(full));
    if (NamesPanorama(command.target)) {
        media.Play(fullSound.empty() ? sound : fullSound,
                   MediaPlayer::kRestart | MediaPlayer::kLoop, window, 0);
    }
    playingMedia = -1;
    FreeSoundNames();
    if (command.options.preserveView)
        SetView(p, t, r, f, kNoRun);
    Run(2, 2);
    return true;
}

void ViewerEngine::RunScriptCommand(const ActionCommand& command) {
    if (!IsSwingScript(command.target))
        return;
    // A swing whose values are not all given has nowhere to go.
    const std::optional<SwingTo> swing = ParseSwingTo(command.target);
    if (!swing)
        return;

    std::int16_t rate = 0;
    GetFrameRate(&rate);
    const bool reversed = rateReversed == 1;
    // The redraw that ends running frames is waited for: drawn later, after the velocities
    // below are set, it would add a frame of motion and the swing would end past its target.
    Run(0, 2);
    const auto halfRate = static_cast<std::int16_t>(rate / 2);
    SetFrameRate(halfRate);
    const double seconds = swing->milliseconds * 0.001;
    double p = 0, t = 0, r = 0, f = 0;
    GetView(&p, &t, &r, &f);
    SetPanVelocity((swing->pan - p) / seconds, kEndless, kNoRun);
    SetTiltVelocity((swing->tilt - t) / seconds, kEndless, kNoRun);
    SetRollVelocity((swing->roll - r) / seconds, kEndless, kNoRun);
    SetZoomVelocity((swing->fov - f) / seconds, kEndless, kNoRun);
    Run(static_cast<int>(halfRate * seconds), 2);
    SetPanVelocity(0, kEndless, kNoRun);
    SetTiltVelocity(0, kEndless, kNoRun);
    SetRollVelocity(0, kEndless, kNoRun);
    SetZoomVelocity(0, kEndless, kNoRun);
    SetFrameRate(reversed ? static_cast<std::int16_t>(-rate) : rate);
    if (animating)
        Run(-1, 1);
}

void ViewerEngine::RunLaunchCommand(const ActionCommand& command) {
    const int show = ShowStateFor(command.options);
    DirectoryScope directory(*this, RunsInExtractionFolder(command));
    if (command.kind == ActionKind::kProgram) {
        if (platform::WinExec(platform::FindStoredCommandLine(command.target), show) <= 31)
            ShowActionMessage("Failed to run program");
        return;
    }
    if (platform::ShellExecute("open", platform::FindStoredFileName(command.target),
                               platform::GetCurrentDirectory(), show) <= 32) {
        ShowActionMessage(command.target);
    }
}
