#pragma once
// The owning engine's state lock for a scope, as hotspot and avatar slots take it around what
// the render thread also reads; nothing for a slot without an owner. The thread and re-entry
// rules are those of the engine's lock.

#include <optional>

#include "engine/viewer/viewer_engine.h"

class OwnerLock {
  public:
    explicit OwnerLock(const ViewerEngine* owner) {
        if (owner != nullptr)
            guard_.emplace(owner->LockState());
    }

    // The owner's shared state; null without an owner.
    ViewState* State() const { return guard_ ? &**guard_ : nullptr; }

  private:
    std::optional<ViewStateGuard> guard_;
};
