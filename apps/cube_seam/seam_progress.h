#pragma once
// What the user sees of a running seam: the "Seaming Image" progress dialog, or nothing.
//
// Threads: `Begin` and `Run` on the user-interface thread; `PostPosition` and `PostFinished`
// on the seam worker, which never waits for the user-interface thread: they only queue.
// The object must outlive the worker (RunSeam joins it before returning).

#include <atomic>
#include <condition_variable>
#include <memory>
#include <string>

#include "platform/guarded.h"

class SeamProgress {
  public:
    virtual ~SeamProgress() = default;
    // Before the worker starts: the line of text, and whether the user may cancel.
    virtual void Begin(const std::string& text, bool cancellable) = 0;
    // Worker: the progress position, 0 to 100.
    virtual void PostPosition(int position) = 0;
    // Worker: the seam has ended (done, stopped or failed); `Run` returns true soon after.
    virtual void PostFinished() = 0;
    // Waits, keeping the user-interface thread's events going where there is a dialog, until
    // the worker has posted its end (true) or the user cancels (false).
    virtual bool Run() = 0;

    // The cancel request: cleared before a seam and set after a cancelled `Run` by RunSeam on
    // the user-interface thread; read by the worker before every block.
    void SetCancelled(bool cancelled) { cancelled_.store(cancelled); }
    bool Cancelled() const { return cancelled_.load(); }

  private:
    std::atomic<bool> cancelled_{false};
};

// No window: `Run` waits until the worker has finished. Used under the headless backend and
// when no dialog can be made.
class SilentSeamProgress : public SeamProgress {
  public:
    void Begin(const std::string& text, bool cancellable) override;
    void PostPosition(int position) override;
    void PostFinished() override;
    bool Run() override;

    // The last position posted (any thread).
    int Position() const;

  protected:
    // Waits until the worker finished or `until` holds for the last position; true when the
    // worker finished.
    template <typename Predicate>
    bool WaitFor(Predicate until) {
        auto state = state_.Lock();
        state.Wait(changed_, [&](const State& now) { return now.finished || until(now.position); });
        return state->finished;
    }

  private:
    struct State {
        int position = 0;
        bool finished = false;
    };
    platform::Guarded<State> state_;
    std::condition_variable changed_;
};

// The progress dialog when the program shows windows (a Qt backend is installed and a
// QApplication runs), else SilentSeamProgress.
std::unique_ptr<SeamProgress> MakeSeamProgress();
