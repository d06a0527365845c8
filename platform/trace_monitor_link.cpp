#include "platform/trace_monitor_link.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr const char* kMonitorProgram = "tracemon";
constexpr int kSendPatienceMs = 100;

std::mutex pathMutex;
std::string pathOverride;

std::string DefaultSocketPath() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/tracemon.sock";
    }
    const char* temp = std::getenv("TMPDIR");
    const std::string folder = (temp != nullptr && *temp != '\0') ? temp : "/tmp";
    return folder + "/tracemon-" + std::to_string(getuid()) + ".sock";
}

std::optional<sockaddr_un> MonitorAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof(address.sun_path)) return std::nullopt;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return address;
}

enum class SendOutcome { Taken, NoListener, Dropped };

struct SendResult {
    SendOutcome outcome;
    int bytes;
};

// Connects a fresh socket to the monitor and sends. A connected datagram socket can wait for room
// in the monitor's queue; a busy monitor gets kSendPatience, then the text is dropped.
SendResult SendOnce(const sockaddr_un& address, std::span<const char> datagram) {
    const int socketFd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socketFd < 0) return {SendOutcome::Dropped, 0};
    SendResult result{SendOutcome::Dropped, 0};
    if (connect(socketFd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
        if (errno == ENOENT || errno == ECONNREFUSED) result.outcome = SendOutcome::NoListener;
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
    if (sent >= 0) result = {SendOutcome::Taken, static_cast<int>(sent)};
    close(socketFd);
    return result;
}

// The monitor's full path from PATH, resolved before forking so that the child only execs.
std::optional<std::string> FindMonitorProgram() {
    const char* searchPath = std::getenv("PATH");
    if (searchPath == nullptr) return std::nullopt;
    std::string_view rest(searchPath);
    while (true) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        const std::string candidate = std::string(folder.empty() ? "." : folder) + "/" + kMonitorProgram;
        if (access(candidate.c_str(), X_OK) == 0) return candidate;
        if (colon == std::string_view::npos) return std::nullopt;
        rest.remove_prefix(colon + 1);
    }
}

// Starts the monitor detached: an intermediate child starts it in a new session and exits at
// once, so the monitor is never our child and never needs reaping. Between fork and exec only
// async-signal-safe calls are made.
void StartMonitor() {
    const std::optional<std::string> program = FindMonitorProgram();
    if (!program) return;
    const char* const argv[] = {kMonitorProgram, nullptr};
    const pid_t intermediate = fork();
    if (intermediate < 0) return;
    if (intermediate == 0) {
        setsid();
        if (fork() == 0) {
            const int devNull = open("/dev/null", O_RDWR);
            if (devNull >= 0) {
                dup2(devNull, STDIN_FILENO);
                dup2(devNull, STDOUT_FILENO);
            }
            syscall(SYS_close_range, 3U, ~0U, 0U);
            execv(program->c_str(), const_cast<char* const*>(argv));
        }
        _exit(0);
    }
    int status = 0;
    while (waitpid(intermediate, &status, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace

std::string TraceMonitorSocketPath() {
    {
        const std::lock_guard lock(pathMutex);
        if (!pathOverride.empty()) return pathOverride;
    }
    return DefaultSocketPath();
}

void SetTraceMonitorSocketPath(const std::string& path) {
    const std::lock_guard lock(pathMutex);
    pathOverride = path;
}

int SendToTraceMonitor(std::span<const char> datagram) noexcept {
    try {
        const std::optional<sockaddr_un> address = MonitorAddress(TraceMonitorSocketPath());
        if (!address || datagram.empty()) return 0;
        SendResult result = SendOnce(*address, datagram);
        if (result.outcome == SendOutcome::NoListener) {
            StartMonitor();
            result = SendOnce(*address, datagram);
        }
        return result.bytes;
    } catch (...) {
        return 0;
    }
}

}  // namespace platform
