#include "platform/trace/trace_monitor_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/guarded.h"
#include "platform/program_launcher.h"

namespace platform {
namespace {

constexpr const char* kMonitorProgram = "tracemon";
constexpr int kSendPatienceMs = 100;

Guarded<std::string> pathOverride;

std::string DefaultSocketPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/tracemon.sock";
    }
    return GetTempPath() + "tracemon-" + std::to_string(getuid()) + ".sock";
}

std::optional<sockaddr_un> MonitorAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path))
        return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

enum class SendOutcome { Taken, NoListener, Dropped };

struct SendResult {
    SendOutcome outcome;
    int bytes;
};

// Connects a fresh socket to the monitor and sends. A connected datagram socket can wait for room
// in the monitor's queue; a busy monitor gets kSendPatienceMs to make room, then the text is
// dropped.
SendResult SendOnce(const sockaddr_un& address, std::span<const char> datagram) {
    const int socketFd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0)
        return {SendOutcome::Dropped, 0};
    SendResult result{SendOutcome::Dropped, 0};
    if (connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED)
            result.outcome = SendOutcome::NoListener;
        close(socketFd);
        return result;
    }
    ssize_t sent = send(socketFd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (sent < 0 && errno == EAGAIN) {
        pollfd room{socketFd, POLLOUT, 0};
        if (poll(&room, 1, kSendPatienceMs) == 1) {
            sent = send(socketFd, datagram.data(), datagram.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        }
    }
    if (sent >= 0)
        result = {SendOutcome::Taken, static_cast<int>(sent)};
    close(socketFd);
    return result;
}

}  // namespace

std::string TraceMonitorSocketPath() {
    {
        const auto path = pathOverride.Lock();
        if (!path->empty())
            return *path;
    }
    return DefaultSocketPath();
}

void SetTraceMonitorSocketPath(const std::string& path) {
    *pathOverride.Lock() = path;
}

int SendToTraceMonitor(std::span<const char> datagram) noexcept {
    try {
        const std::optional<sockaddr_un> address = MonitorAddress(TraceMonitorSocketPath());
        if (!address || datagram.empty())
            return 0;
        SendResult result = SendOnce(*address, datagram);
        if (result.outcome == SendOutcome::NoListener) {
            WinExec(kMonitorProgram, kShowNormal);
            result = SendOnce(*address, datagram);
        }
        return result.bytes;
    } catch (...) {
        return 0;
    }
}

}  // namespace platform
