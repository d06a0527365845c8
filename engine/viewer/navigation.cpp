// Keyboard and mouse navigation of a bound window: arrow keys turn, tilt, roll and zoom at a
// fixed speed while held; the mouse steers with a speed that grows with the square of its
// distance from the window's centre; Space swings home; Esc stops; a click runs a hotspot or
// grabs an avatar, and dragging moves or animates the grabbed avatar.

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/viewer/media_player.h"
#include "engine/viewer/viewer_engine.h"
#include "platform/input.h"

namespace {

constexpr double kKeySpeed = 60;
constexpr double kMouseGain = 13;
constexpr double kAvatarDragDivisor = 30;
constexpr double kAvatarAnimationFactor = 0.01;
constexpr double kResetCorrection = 8;
constexpr double kResetFraction = 0.125;
constexpr int kEndless = -1;
constexpr int kNoRun = 0;

// The speed law of one axis: (gain / half) x (half - at), squared with its sign. A window
// too small to have a centre gives no speed; a point far outside it saturates instead of
// overflowing.
int MouseSpeed(int half, int at) {
    if (half <= 0)
        return 0;
    const double d = (kMouseGain / half) * (half - at);
    const double speed = d * std::fabs(d);
    constexpr double kLimit = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(speed, -kLimit, kLimit));
}

}  // namespace

void ViewerEngine::OnKeyDown(int virtualKey, std::uint32_t keyData) {
    const bool ctrl = platform::IsKeyHeld(platform::VK_CONTROL);
    const bool shift = platform::IsKeyHeld(platform::VK_SHIFT);
    if ((keyData & 0xFFFFu) > 1)
        return;
    if (HasMediaPlayer() && playingMedia >= 0)
        media.Stop();

    switch (virtualKey) {
        case platform::VK_LEFT:
        case platform::VK_RIGHT: {
            const double sign = virtualKey == platform::VK_LEFT ? 1 : -1;
            if (shift && ctrl) {
                SetRollVelocity(-sign * kKeySpeed, kEndless, kNoRun);
            } else {
                SetPanVelocity(sign * kKeySpeed, kEndless, kNoRun);
            }
            Run(-1, 1);
            break;
        }
        case platform::VK_UP:
        case platform::VK_DOWN: {
            const double sign = virtualKey == platform::VK_UP ? 1 : -1;
            if (shift && ctrl) {
                // Rolls have their own keys; this combination only keeps frames coming.
            } else if (ctrl) {
                SetZoomVelocity(-sign * kKeySpeed, kEndless, kNoRun);
            } else {
                SetTiltVelocity(sign * kKeySpeed, kEndless, kNoRun);
            }
            Run(-1, 1);
            break;
        }
        case platform::VK_ESCAPE:
            if (HasMediaPlayer())
                media.Stop();
            animating = 0;
            Run(0, 1);
            break;
        case platform::VK_DELETE:
            DeleteGrabbedAvatar();
            break;
        case platform::VK_SPACE:
            SwingHome();
            break;
        default:
            break;
    }
}

void ViewerEngine::DeleteGrabbedAvatar() {
    if (grabbedAvatar < 0)
        return;
    const auto slot = static_cast<std::size_t>(grabbedAvatar);
    if (HasMediaPlayer() && slot < avatarSounds.size() && avatarSounds[slot]) {
        avatarSounds[slot].reset();
        media.Stop();
        // Another avatar that is still present takes over the looped sound.
        auto next = std::find_if(avatarSounds.begin(), avatarSounds.end(),
                                 [](const auto& name) { return name != nullptr; });
        if (next != avatarSounds.end()) {
            if (media.IsDeviceOpen())
                media.Close();
            MediaPlayer::StopWaveSound();
            MediaPlayer::StopWaveSound();
            MediaPlayer::LoopWaveSound(**next);
        }
    }
    if (Avatar* avatar = GetAvatar(static_cast<std::int16_t>(grabbedAvatar)))
        avatar->Unload();
    grabbedAvatar = -1;
}

void ViewerEngine::SetViewVelocities(double panSpeed, double tiltSpeed, double rollSpeed,
                                     double zoomSpeed) {
    SetPanVelocity(panSpeed, kEndless, kNoRun);
    SetTiltVelocity(tiltSpeed, kEndless, kNoRun);
    SetRollVelocity(rollSpeed, kEndless, kNoRun);
    SetZoomVelocity(zoomSpeed, kEndless, kNoRun);
}

void ViewerEngine::SwingHome() {
    Run(0, 1);
    double homePan = 0, homeTilt = 0, homeRoll = 0, homeFov = 0;
    {
        const ViewStateGuard state = LockState();
        homePan = state->homePan;
        homeTilt = state->homeTilt;
        homeRoll = state->homeRoll;
        homeFov = state->homeFov;
    }
    double p = 0, t = 0, r = 0, f = 0;
    GetView(&p, &t, &r, &f);
    SetViewVelocities(homePan - p, homeTilt - t, homeRoll - r, homeFov - f);
    std::int16_t rate = 0;
    GetFrameRate(&rate);
    Run(rate, 2);
    for (int pass = 0; pass < 2; ++pass) {
        GetView(&p, &t, &r, &f);
        SetViewVelocities(kResetCorrection * (homePan - p), kResetCorrection * (homeTilt - t),
                          kResetCorrection * (homeRoll - r), kResetCorrection * (homeFov - f));
        Run(static_cast<int>(rate * kResetFraction), 2);
    }
    SetViewVelocities(0, 0, 0, 0);
    SetView(homePan, homeTilt, homeRoll, homeFov, kNoRun);
    ApplyCursorRule();
    Run(2, 1);
    if (animating)
        Run(-1, 1);
}

void ViewerEngine::OnKeyUp(int virtualKey, std::uint32_t) {
    switch (virtualKey) {
        case platform::VK_UP:
        case platform::VK_DOWN:
            SetTiltVelocity(0, kEndless, kNoRun);
            SetZoomVelocity(0, kEndless, kNoRun);
            break;
        case platform::VK_LEFT:
        case platform::VK_RIGHT:
            SetPanVelocity(0, kEndless, kNoRun);
            SetRollVelocity(0, kEndless, kNoRun);
            break;
        default:
            return;
    }
    if (animating == 0) {
        double p = 0, t = 0, r = 0, z = 0;
        GetPanVelocity(&p);
        GetTiltVelocity(&t);
        GetRollVelocity(&r);
        GetZoomVelocity(&z);
        if (p == 0 && t == 0 && r == 0 && z == 0)
            Run(0, 1);
    }
    ApplyCursorRule();
    Run(2, 1);
}

void ViewerEngine::OnMouseMove(int x, int y, std::uint32_t) {
    platform::Rect client;
    platform::GetClientRect(window, &client);
    const int speedX = MouseSpeed(client.Width() / 2, x);
    const int speedY = MouseSpeed(client.Height() / 2, y);

    if (grabbedAvatar >= 0) {
        if (Avatar* avatar = GetAvatar(static_cast<std::int16_t>(grabbedAvatar))) {
            if (grabKeys & platform::MK_SHIFT) {
                avatar->SetAnimationRate((y - grabY) * kAvatarAnimationFactor,
                                         (x - grabX) * kAvatarAnimationFactor);
            } else if (grabKeys & platform::MK_CONTROL) {
                avatar->SetViewVelocity(0, (grabY - y) / kAvatarDragDivisor, 0);
            } else {
                avatar->SetViewVelocity((x - grabX) / kAvatarDragDivisor, 0,
                                        (grabY - y) / kAvatarDragDivisor);
            }
            return;
        }
    }

    ApplyCursorRuleAt(x, y);
    if ((grabKeys & platform::MK_LBUTTON) == 0) {
        SetPanVelocity(0, kEndless, kNoRun);
        SetHeadingVelocity(0, kEndless, kNoRun);
        SetTiltVelocity(0, kEndless, kNoRun);
        SetRollVelocity(0, kEndless, kNoRun);
        SetZoomVelocity(0, kEndless, kNoRun);
        return;
    }
    const bool shift = (grabKeys & platform::MK_SHIFT) != 0;
    const bool ctrl = (grabKeys & platform::MK_CONTROL) != 0;
    if (shift && ctrl) {
        SetRollVelocity(-speedX, kEndless, kNoRun);
    } else if (ctrl) {
        SetPanVelocity(speedX, kEndless, kNoRun);
        SetZoomVelocity(-speedY, kEndless, kNoRun);
    } else {
        SetPanVelocity(speedX, kEndless, kNoRun);
        SetTiltVelocity(speedY, kEndless, kNoRun);
    }
}

void ViewerEngine::OnLButtonDown(int x, int y, std::uint32_t keyFlags) {
    if (HasMediaPlayer() && playingMedia >= 0)
        media.Stop();
    platform::Rect client;
    platform::GetClientRect(window, &client);
    const platform::Point origin = platform::ClientToScreen(window, {0, 0});
    const platform::Rect screen{origin.x, origin.y, origin.x + client.Width(),
                                origin.y + client.Height()};
    grabKeys = keyFlags;

    std::int16_t kind = kHitNothing;
    const std::uint16_t index = HitTest(x, y, &kind);
    if (kind == kHitHotspot) {
        OnLButtonUp(x, y, keyFlags);
        RunHotspotAction(static_cast<std::int16_t>(index));
        return;
    }
    if (kind == kHitAvatar) {
        grabX = x;
        grabY = y;
        animating = 1;
        grabbedAvatar = index;
        if (HasMediaPlayer() && index < avatarSounds.size() && avatarSounds[index]) {
            if (media.IsDeviceOpen())
                media.Close();
            MediaPlayer::StopWaveSound();
            MediaPlayer::LoopWaveSound(*avatarSounds[index]);
        }
    } else if (kind != kHitNothing) {
        return;
    }
    platform::ClipCursor(&screen);
    OnMouseMove(x, y, keyFlags);
    Run(-1, 1);
}

void ViewerEngine::OnLButtonUp(int, int, std::uint32_t) {
    grabKeys = 0;
    if (grabbedAvatar >= 0) {
        if (Avatar* avatar = GetAvatar(static_cast<std::int16_t>(grabbedAvatar))) {
            avatar->SetVelocity(0, 0, 0);
            avatar->SetSizeRate(0, 0, 0);
        }
        grabbedAvatar = -1;
    }
    SetViewVelocities(0, 0, 0, 0);
    if (animating == 0)
        Run(0, 1);
    ApplyCursorRule();
    Run(2, 1);
    platform::ClipCursor(nullptr);
}

void ViewerEngine::SendKey(int virtualKey, int repeatCount, int flags) {
    OnKeyDown(virtualKey, (static_cast<std::uint32_t>(repeatCount) & 0xFFFFu) |
                              (static_cast<std::uint32_t>(flags) << 16));
}
