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

// The file is one end of a socket pair that keeps message bounds: a read takes at most one
// message and drops what does not fit.
class ChunkedFileTest : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends), 0);
        const int size = 4 * static_cast<int>(kChunk);
        ::setsockopt(ends[1], SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        std::iota(bytes.begin(), bytes.end(), std::uint8_t{7});
    }
    void TearDown() override {
        ::close(ends[0]);
        ::close(ends[1]);
    }
    void Send(std::size_t from, std::size_t size) const {
        EXPECT_EQ(::send(ends[1], bytes.data() + from, size, 0), static_cast<ssize_t>(size));
    }
    int ends[2] = {-1, -1};
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(3 * kChunk);
};

// A transfer of three chunks, closed while it waits for its second, ends after at most that one;
// had it asked for more than a chunk per call it would have stopped short at once, had it asked
// for less the first chunk would be cut.
TEST_F(ChunkedFileTest, ClosingDuringATransferCancelsIt) {
    ChunkedFile in(ends[0], false);
    std::vector<std::uint8_t> received(3 * kChunk);
    Send(0, kChunk);
    std::future<std::size_t> transfer =
        std::async(std::launch::async, [&] { return in.Read(received.data(), received.size()); });
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int queued = 1; ::ioctl(ends[0], FIONREAD, &queued) == 0 && queued > 0;)
        ASSERT_LT(std::chrono::steady_clock::now(), bound) << "the first chunk is never read";
    std::future<bool> closing = std::async(std::launch::async, [&] { return in.Close(); });
    while (!in.Cancelled() && std::chrono::steady_clock::now() < bound)
        std::this_thread::yield();
    EXPECT_TRUE(in.Cancelled()) << "closing raises no flag";
    Send(kChunk, kChunk);  // lets a read that already waits return
    if (transfer.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
        Send(2 * kChunk, kChunk);  // the transfer went on: it fails below instead of hanging
    const std::size_t moved = transfer.get();
    EXPECT_TRUE(closing.get());
    EXPECT_TRUE(moved == kChunk || moved == 2 * kChunk) << moved;
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.begin() + moved, received.begin()));
    EXPECT_EQ(in.Read(received.data(), 1), 0u) << "closed";
}

}  // namespace
}  // namespace platform
