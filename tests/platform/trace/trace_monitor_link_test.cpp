#include "platform/trace/trace_monitor_link.h"

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/program_launcher.h"
#include "tests/platform/trace/stand_in_trace_monitor.h"

namespace {

using namespace std::string_literals;

// Restores an environment variable when the test ends.
class ScopedEnvironment {
  public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// Any thread may send; what a send reports as taken is what the monitor got. (The texts
// themselves are checked through the trace link of the decoders.)
TEST(TraceMonitorLink, ConcurrentSendsReportWhatArrived) {
    const StandInTraceMonitor monitor;
    constexpr int kThreads = 4;
    constexpr int kTexts = 50;
    const std::string text = std::string("line") + '\0';
    std::atomic<int> taken{0};
    std::atomic<int> wrongCounts{0};
    std::atomic<bool> sending{true};
    int received = 0;
    std::thread drainer([&] {
        while (sending.load()) {
            while (monitor.Receive())
                ++received;
            std::this_thread::yield();
        }
    });
    std::vector<std::thread> senders;
    for (int t = 0; t < kThreads; ++t) {
        senders.emplace_back([&] {
            for (int i = 0; i < kTexts; ++i) {
                const int bytes = platform::SendToTraceMonitor(text);
                if (bytes == 5)
                    ++taken;
                if (bytes != 5 && bytes != 0)
                    ++wrongCounts;
            }
        });
    }
    for (std::thread& sender : senders)
        sender.join();
    sending.store(false);
    drainer.join();
    while (monitor.Receive())
        ++received;
    EXPECT_EQ(wrongCounts.load(), 0);
    EXPECT_GT(taken.load(), 0);
    EXPECT_EQ(received, taken.load());
}

TEST(TraceMonitorLink, TooLongSocketPathDropsTheText) {
    platform::SetTraceMonitorSocketPath("/tmp/" + std::string(200, 'x'));
    EXPECT_EQ(platform::SendToTraceMonitor("text"), 0);
    platform::SetTraceMonitorSocketPath("");
}

// When nothing listens, a program named tracemon is started from PATH (through the launcher,
// recording here), and the send itself does not wait for it: the text is dropped.
TEST(TraceMonitorLink, StartsTheMonitorProgramWhenNothingListens) {
    const StandInTraceMonitor unrelated;
    platform::SetTraceMonitorSocketPath(unrelated.Folder() + "/nobody.sock");
    const ScopedEnvironment path("PATH", unrelated.Folder().c_str());
    const auto launcher = std::make_shared<platform::RecordingLauncher>();
    const auto previous = platform::InstallProgramLauncher(launcher);

    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(platform::SendToTraceMonitor("text"), 0);
    EXPECT_TRUE(launcher->Log().empty()) << "no tracemon on PATH: nothing is started";

    const std::string program = unrelated.Folder() + "/tracemon";
    std::ofstream(program) << "#!/bin/sh\n";
    chmod(program.c_str(), 0755);
    EXPECT_EQ(platform::SendToTraceMonitor("text"), 0);
    EXPECT_EQ(launcher->Log(), std::vector<std::string>{"run " + program + " show 1"});
    platform::InstallProgramLauncher(previous);
    unlink(program.c_str());
}

struct DefaultPathCase {
    const char* name;
    const char* runtimeDir;
    const char* tempDir;
    std::string expected;
};

TEST(TraceMonitorLink, DefaultPathIsPerUserAndNamedAfterTheMonitor) {
    const std::string uid = std::to_string(getuid());
    const DefaultPathCase cases[] = {
        {"runtime folder", "/run/user/77", "/var/tmp", "/run/user/77/tracemon.sock"},
        {"temporary folder", nullptr, "/var/tmp", "/var/tmp/tracemon-" + uid + ".sock"},
        {"empty runtime folder", "", "/var/tmp", "/var/tmp/tracemon-" + uid + ".sock"},
        {"neither", nullptr, nullptr, "/tmp/tracemon-" + uid + ".sock"},
    };
    platform::SetTraceMonitorSocketPath("");
    for (const DefaultPathCase& c : cases) {
        const ScopedEnvironment runtime("XDG_RUNTIME_DIR", c.runtimeDir);
        const ScopedEnvironment temp("TMPDIR", c.tempDir);
        EXPECT_EQ(platform::TraceMonitorSocketPath(), c.expected) << c.name;
    }
}

}  // namespace
