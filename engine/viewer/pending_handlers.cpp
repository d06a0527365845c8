// Keyboard and mouse navigation, hotspot actions and avatar drawing arrive in their own
// files (navigation.cpp, hotspot_actions.cpp, avatar drawing); until then the window's keys,
// clicks and avatars do nothing, and this file goes when they come.

#include "engine/viewer/viewer_engine.h"

void ViewerEngine::OnKeyDown(int, std::uint32_t) {}
void ViewerEngine::OnKeyUp(int, std::uint32_t) {}
void ViewerEngine::OnMouseMove(int, int, std::uint32_t) {}
void ViewerEngine::OnLButtonDown(int, int, std::uint32_t) {}
void ViewerEngine::OnLButtonUp(int, int, std::uint32_t) {}
void ViewerEngine::SendKey(int virtualKey, int repeatCount, int flags) {
    OnKeyDown(virtualKey, (static_cast<std::uint32_t>(repeatCount) & 0xFFFFu) |
                              (static_cast<std::uint32_t>(flags) << 16));
}
int ViewerEngine::RunHotspotAction(std::int16_t) { return 1; }
void ViewerEngine::DrawAvatar(int) {}
