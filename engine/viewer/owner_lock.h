#pragma once
// The owning engine's state lock for a scope, as hotspot and avatar slots take it around what
// the render thread also reads; nothing for a slot without an owner. The thread and re-entry
// rules are those of the engine's lock.

#include "engine/viewer/viewer_engine.h"

class OwnerLock {
  public:
    explicit OwnerLock(const ViewerEngine* owner)
        : guard_(owner != nullptr ? owner->LockState() : ViewStateGuard()) {}

    // The owner's shared state; null without an owner.
    ViewState* State() const { return guard_.operator->(); }

  private:
    ViewStateGuard guard_;
};
