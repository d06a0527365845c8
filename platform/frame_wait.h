#pragma once
// Waiting for the render thread on the user-interface thread while its frames stay visible.
//
// A window's frames reach the screen through the user-interface thread (the backend paints the
// window's surface there). A thread that blocks there until the render thread has drawn a
// number of frames would otherwise show none of them: the picture would stand still and then
// jump. This wait shows each frame as it arrives and runs nothing else on the thread.

#include <cstdint>

#include "platform/semaphore.h"

namespace platform {

// Takes one count of `done`, waiting without a time limit; meanwhile every picture handed to a
// window's surface is shown (Backend::ShowPendingFrames) within a few milliseconds. No input
// and no posted message is delivered during the wait. With no backend installed it is a plain
// wait. Meant for the user-interface thread; on another thread the frames are left to the
// user-interface thread's own painting.
void WaitShowingFrames(Semaphore& done);

// Lets `milliseconds` pass on the user-interface thread as a modal wait: every few
// milliseconds Backend::PumpModal shows the new frames and delivers posted messages while
// user input reaches no window. True as soon as `stopKey` (a virtual-key code) is pressed,
// which ends the wait; false when the time ran out. With no backend installed it is a plain
// sleep. Other key presses are dropped.
bool WaitWatchingForKey(std::uint32_t milliseconds, int stopKey);

}  // namespace platform
