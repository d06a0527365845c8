#include "platform/chunked_file.h"

#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <numeric>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kChunk = ChunkedFile::kChunkSize;

// A transfer of three chunks, closed while it waits for its second, ends after at most that one.
// The file is a socket that keeps message bounds, a chunk a message (a read takes one message and
// drops what does not fit): asking for more than a chunk a call stops short, less cuts the first.
TEST(ChunkedFile, ClosingDuringATransferCancelsIt) {
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
    const int bufferSize = 4 * static_cast<int>(kChunk);
    ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &bufferSize, sizeof bufferSize);
    std::vector<std::uint8_t> bytes(3 * kChunk), received(3 * kChunk);
    std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
    // Once the transfer has stopped, Close shuts the reading end and a later send fails: only
    // the first one must arrive.
    const auto send = [&](std::size_t chunk) {
        return ::send(ends[1], &bytes[chunk * kChunk], kChunk, MSG_NOSIGNAL);
    };
    ChunkedFile in(ends[0], true);
    ASSERT_EQ(send(0), ssize_t{kChunk});
    std::future<std::size_t> transfer =
        std::async(std::launch::async, [&] { return in.Read(received.data(), received.size()); });
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int queued = 1; ::ioctl(ends[0], FIONREAD, &queued) == 0 && queued > 0;)
        ASSERT_LT(std::chrono::steady_clock::now(), bound) << "the first chunk is never read";
    std::future<bool> closing = std::async(std::launch::async, [&] { return in.Close(); });
    while (!in.Cancelled() && std::chrono::steady_clock::now() < bound)
        std::this_thread::yield();
    EXPECT_TRUE(in.Cancelled()) << "closing raises no flag";
    send(1);  // lets a read that already waits return
    if (transfer.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
        send(2);  // the transfer went on: it fails below instead of hanging
    const std::size_t moved = transfer.get();
    EXPECT_TRUE(closing.get());
    EXPECT_TRUE(moved == kChunk || moved == 2 * kChunk) << moved;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + moved, received.begin()));
    EXPECT_EQ(in.Read(received.data(), 1), 0u) << "closed";
    ::close(ends[1]);
}

}  // namespace
}  // namespace platform
