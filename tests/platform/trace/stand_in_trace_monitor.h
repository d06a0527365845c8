#pragma once
// A stand-in trace monitor for tests: a datagram socket bound in a fresh temporary folder, made
// the link's socket path for its lifetime (the path before is restored afterwards), so that no
// test reaches or starts a real monitor.

#include <cstdlib>
#include <optional>
#include <string>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/trace/trace_monitor_link.h"

class StandInTraceMonitor {
  public:
    StandInTraceMonitor() : previousPath_(platform::TraceMonitorSocketPath()) {
        char folder[] = "/tmp/tracemon-test-XXXXXX";
        if (mkdtemp(folder) == nullptr)
            std::abort();
        folder_ = folder;
        path_ = folder_ + "/tracemon.sock";
        socket_ = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path_.copy(address.sun_path, sizeof address.sun_path - 1);
        if (socket_ < 0 ||
            bind(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            std::abort();
        }
        platform::SetTraceMonitorSocketPath(path_);
    }
    ~StandInTraceMonitor() {
        platform::SetTraceMonitorSocketPath(previousPath_);
        close(socket_);
        unlink(path_.c_str());
        rmdir(folder_.c_str());
    }
    StandInTraceMonitor(const StandInTraceMonitor&) = delete;
    StandInTraceMonitor& operator=(const StandInTraceMonitor&) = delete;

    // The next datagram as it arrived (text and NUL), or nothing when none is waiting.
    std::optional<std::string> Receive() const {
        pollfd ready{socket_, POLLIN, 0};
        if (poll(&ready, 1, 0) != 1)
            return std::nullopt;
        char buffer[65536];
        const ssize_t size = recv(socket_, buffer, sizeof buffer, 0);
        if (size < 0)
            return std::nullopt;
        return std::string(buffer, static_cast<std::size_t>(size));
    }

    const std::string& Path() const { return path_; }
    const std::string& Folder() const { return folder_; }

  private:
    std::string previousPath_;
    std::string folder_;
    std::string path_;
    int socket_ = -1;
};
