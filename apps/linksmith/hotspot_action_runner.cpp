#include "apps/linksmith/hotspot_action_runner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <new>
#include <optional>
#include <utility>

#include "apps/linksmith/hotspot_projection.h"
#include "apps/linksmith/linksmith_editor.h"
#include "engine/imaging/load_error.h"
#include "engine/viewer/avatar.h"
#include "platform/files.h"
#include "platform/input.h"
#include "platform/message_box.h"
#include "platform/program_launcher.h"
#include "platform/stored_file_name.h"
#include "platform/suite_program.h"

namespace {

constexpr int kEndless = -1;
constexpr int kRunNow = 1;
constexpr int kRunAndWait = 2;
constexpr std::int16_t kPreviewAvatarSlots = 10;
// The preview turns once around: a quarter turn a second for four seconds' worth of frames.
constexpr double kPreviewTurnSpeed = 90.0;
constexpr int kPreviewSeconds = 4;
constexpr const char* kOutOfMemory = "Resource Error: Insufficient System Memory";
constexpr std::array<const char*, 5> kSuitePrograms{"roamer", "compactor", "cubestitch",
                                                    "linksmith", "mimeo"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

AvatarBox AvatarBoxOf(const HotspotRecord& record) {
    const double d = 2 * std::acos(0.0) / 180;
    const double headings[2] = {-record.heading1 * d, -record.heading2 * d};
    const double pitches[2] = {record.pitch1 * d, record.pitch2 * d};
    double lo[3] = {0, 0, 0};
    double hi[3] = {0, 0, 0};
    bool first = true;
    for (double h : headings) {
        for (double p : pitches) {
            const double point[3] = {10 * std::sin(h) * std::cos(p), 10 * std::cos(h) * std::cos(p),
                                     10 * std::sin(p)};
            for (int axis = 0; axis < 3; ++axis) {
                lo[axis] = first ? point[axis] : std::min(lo[axis], point[axis]);
                hi[axis] = first ? point[axis] : std::max(hi[axis], point[axis]);
            }
            first = false;
        }
    }
    AvatarBox box;
    for (int axis = 0; axis < 3; ++axis) {
        box.centre[axis] = (lo[axis] + hi[axis]) / 2;
        box.size[axis] = hi[axis] - lo[axis];
    }
    return box;
}

std::string SuiteProgramFor(const std::string& firstWord) {
    if (firstWord.find('/') != std::string::npos)
        return {};
    std::string name = Lower(firstWord);
    if (name.size() > 4 && name.ends_with(".exe"))
        name.resize(name.size() - 4);
    if (std::find(kSuitePrograms.begin(), kSuitePrograms.end(), name) == kSuitePrograms.end())
        return {};
    return platform::FindSuiteProgram(name).value_or("");
}

HotspotActionRunner::HotspotActionRunner(FrameWindow& frame, ViewerEngine& viewer,
                                         MediaPlayer& media, std::string panoramaFolder)
    : frame_(frame), viewer_(viewer), media_(media), panoramaFolder_(std::move(panoramaFolder)) {}

void HotspotActionRunner::Message(const std::string& text) const {
    platform::MessageBox(frame_.Handle(), text, kLinksmithCaption, platform::MB_OK);
}

int HotspotActionRunner::Run(const HotspotRecord& record) {
    const std::vector<EditorActionCommand> commands = ReadEditorActionText(record.description);
    if (commands.empty()) {
        Message("");
        return 1;
    }
    media_.Stop();
    const std::string saved = platform::GetCurrentDirectory();
    for (const EditorActionCommand& command : commands) {
        platform::SetCurrentDirectory(panoramaFolder_);
        switch (command.command.kind) {
            case ActionKind::kVideo:
                RunVideo(command, record);
                break;
            case ActionKind::kSound:
                RunSound(command);
                break;
            case ActionKind::kAvatar:
                RunAvatar(command, record);
                break;
            case ActionKind::kProgram:
                RunProgram(command);
                break;
            case ActionKind::kPanorama:
                PreviewPanorama(command);
                break;
            case ActionKind::kScript:
            case ActionKind::kDocument:
                RunDocument(command);
                break;
        }
    }
    platform::SetCurrentDirectory(saved);
    return 1;
}

void HotspotActionRunner::EnterFolderFor(const EditorActionCommand& command) {
    if (command.entersExtractionFolder)
        viewer_.EnterTempDirectory();
}

void HotspotActionRunner::RunVideo(const EditorActionCommand& command,
                                   const HotspotRecord& record) {
    const platform::WindowHandle frameWindow = frame_.Handle();
    platform::Rect client;
    platform::GetClientRect(frameWindow, &client);
    const ActionOptions& options = command.command.options;
    platform::WindowHandle parent = frameWindow;
    platform::Rect area = client;
    if (options.fullScreen) {
        parent = platform::kNoWindow;
        const platform::Size screen = platform::GetScreenSize();
        area = {0, 0, screen.width, screen.height};
    } else if (!options.fullWindow) {
        // Where the hotspot stands in the present view: one that has been turned out of
        // sight since it was last drawn is off screen too.
        HotspotRecord placed = record;
        const std::optional<ProjectionView> view =
            CurrentProjection(viewer_, {client.Width(), client.Height()});
        const bool projected = view && ProjectHotspot(Renderer(), *view, placed) == 1;
        const auto outside = [](int value, int limit) { return value < 0 || value > limit; };
        if (!projected || outside(placed.left, client.right) ||
            outside(placed.right, client.right) || outside(placed.top, client.bottom) ||
            outside(placed.bottom, client.bottom)) {
            Message("Video off screen:\n" + command.text);
            return;
        }
        area = {placed.left, placed.top, placed.right, placed.bottom};
    }
    EnterFolderFor(command);
    if (!media_.PlayVideoOver(platform::FindStoredFileName(command.command.target), parent, area))
        Message("Failed to run video:\n" + command.command.target);
}

void HotspotActionRunner::RunSound(const EditorActionCommand& command) {
    EnterFolderFor(command);
    const int mode = command.command.options.repeat ? MediaPlayer::kRestart | MediaPlayer::kLoop
                                                    : MediaPlayer::kRestart;
    if (media_.Play(platform::FindStoredFileName(command.command.target), mode, 0, 0) !=
        MediaPlayer::kStarted)
        Message("Failed to run audio: " + command.command.target);
}

void HotspotActionRunner::RunAvatar(const EditorActionCommand& command,
                                    const HotspotRecord& record) {
    const AvatarBox box = AvatarBoxOf(record);
    Avatar* avatar = viewer_.GetAvatar(0);
    const auto [columnRate, rowRate] = command.command.options.rates.value_or(std::pair{0.0, 0.0});
    EnterFolderFor(command);
    const std::string& target = command.command.target;
    const std::string file = platform::FindStoredFileName(target);
    if (avatar == nullptr || avatar->Load(file.c_str(), box.centre, box.size, 1) != 0) {
        Message("Failed to load avatar: " + target);
        return;
    }
    if (columnRate != 0 || rowRate != 0) {
        avatar->SetAnimationRate(columnRate, rowRate);
        viewer_.Run(kEndless, kRunNow);
    }
    viewer_.Run(kEndless, kRunNow);
    viewer_.StartAvatarAnimation();
}

void HotspotActionRunner::RunProgram(const EditorActionCommand& command) {
    const int show = ShowStateFor(command.command.options);
    EnterFolderFor(command);
    const std::string& target = command.command.target;
    const std::string line = platform::FindStoredCommandLine(target);
    const std::vector<std::string> words = platform::SplitCommandLine(line);
    const std::string suiteProgram = words.empty() ? std::string{} : SuiteProgramFor(words.front());
    const int result =
        suiteProgram.empty()
            ? platform::WinExec(line, show)
            : platform::StartProgram({suiteProgram, {words.begin() + 1, words.end()}, show});
    if (result <= 31)
        Message("Failed to run program: " + target);
}

void HotspotActionRunner::PreviewPanorama(const EditorActionCommand& command) {
    const platform::WindowHandle frameWindow = frame_.Handle();
    const platform::CursorHandle arrow = platform::LoadCursor(platform::CursorShape::Arrow);
    ViewerEngine preview(EngineBuild::Editor);
    const platform::WindowHandle child = frame_.CreateChildWindow();
    viewer_.DetachWindow();
    platform::SetCursor(frameWindow, platform::LoadCursor(platform::CursorShape::Wait));
    std::optional<std::string> failure;
    try {
        const std::string file = platform::FindStoredFileName(command.text);
        preview.OpenPanorama(file.c_str(), child, 0, 0, kPreviewAvatarSlots);
        std::int16_t rate = 0;
        preview.GetFrameRate(&rate);
        preview.SetPanVelocity(kPreviewTurnSpeed, rate * kPreviewSeconds, kRunAndWait);
        preview.ClosePanorama(0, 0);
    } catch (const LoadError& error) {
        failure = error.what();
    } catch (const std::bad_alloc&) {
        failure = kOutOfMemory;
    }
    frame_.DestroyChildWindow(child);
    platform::SetCursor(frameWindow, arrow);
    viewer_.AttachWindow();
    if (failure) {
        Message(command.text + ":\n\n" + *failure);
        return;
    }
    frame_.Invalidate(false);
}

void HotspotActionRunner::RunDocument(const EditorActionCommand& command) {
    const int show = ShowStateFor(command.command.options);
    EnterFolderFor(command);
    const std::string& target = command.command.target;
    if (platform::ShellExecute("open", platform::FindStoredFileName(target),
                               platform::GetCurrentDirectory(), show) <= 32)
        Message(target);
}
