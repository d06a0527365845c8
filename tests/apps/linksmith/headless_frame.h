#pragma once
// The hotspot editor over a headless window: a FrameWindow whose repaints are WM_PAINT messages
// (queued for Invalidate, sent at once for UpdateNow), and panoramas made as Compactor makes
// them.

#include <string>

#include "apps/linksmith/frame_window.h"
#include "platform/headless/headless_backend.h"
#include "tests/engine/files/container_test_support.h"

class HeadlessFrame : public FrameWindow {
  public:
    explicit HeadlessFrame(platform::HeadlessBackend& backend, platform::Size client = {512, 256})
        : window_(backend.CreateWindow(client)) {}

    platform::WindowHandle Handle() const override { return window_; }
    void Invalidate(bool) override { platform::PostMessage(window_, platform::WM_PAINT); }
    void UpdateNow() override { platform::SendMessage(window_, platform::WM_PAINT); }
    void UpdateCommandStates() override { ++commandUpdates; }

    int commandUpdates = 0;

  private:
    platform::WindowHandle window_;
};

// The file Compactor writes for a 256 x 128 picture: INIT of sixteen zeros, then the JPEG BTMP.
Bytes CompactorPanorama();
