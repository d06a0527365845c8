#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>

#include "platform/clock.h"
#include "platform/semaphore.h"
#include "platform/thread.h"

namespace platform {
namespace {

TEST(Semaphore, CountsWithinItsMaximumAndTimedWaitsGiveUp) {
    Semaphore semaphore(1, 1);
    EXPECT_TRUE(semaphore.Wait(0));
    EXPECT_FALSE(semaphore.Wait(0)) << "empty semaphore must time out";
    EXPECT_TRUE(semaphore.Release());
    EXPECT_FALSE(semaphore.Release()) << "a release beyond the maximum is refused";
    EXPECT_EQ(semaphore.Count(), 1);
    EXPECT_FALSE(semaphore.Release(0));

    Semaphore empty(0, 1);
    EXPECT_FALSE(empty.Wait(5)) << "a timed wait gives up";
    EXPECT_EQ(empty.Count(), 0);
}

TEST(Semaphore, WakesAWaiterOnAnotherThread) {
    Semaphore semaphore(0, 1);
    std::atomic<bool> woke{false};
    Thread waiter;
    ASSERT_TRUE(waiter.Start([&] { woke = semaphore.Wait(kInfinite); }));
    EXPECT_TRUE(semaphore.Release());
    waiter.Join();
    EXPECT_TRUE(woke);
    EXPECT_FALSE(waiter.Running());
}

TEST(Thread, CarriesItsPriorityHintAndRefusesASecondStart) {
    Thread thread;
    std::atomic<int> seen{99};
    Semaphore hold(0, 1);
    ASSERT_TRUE(thread.Start(
        [&] {
            seen = static_cast<int>(CurrentThreadPriority());
            hold.Wait(kInfinite);
        },
        PriorityBelow(ThreadPriority::Normal)));
    EXPECT_FALSE(thread.Start([] {}));
    hold.Release();
    thread.Join();
    EXPECT_EQ(seen, static_cast<int>(ThreadPriority::BelowNormal));
    EXPECT_EQ(PriorityBelow(ThreadPriority::Lowest), ThreadPriority::Lowest);
}

TEST(Thread, AsksTheSystemForItsPriorityAndKeepsTheHintWhenRefused) {
    const auto ownNice = [] { return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())); };
    const int normal = getpriority(PRIO_PROCESS, static_cast<id_t>(getpid()));
    for (const ThreadPriority priority : {ThreadPriority::Lowest, ThreadPriority::AboveNormal}) {
        const int level = static_cast<int>(priority);
        int started = 0, raised = 0;
        bool taken = false;
        Thread thread;
        ASSERT_TRUE(thread.Start(
            [&] {
                started = ownNice();
                taken = SetCurrentThreadPriority(ThreadPriority::Highest);
                raised = ownNice();
            },
            priority));
        thread.Join();
        // Lowering is always allowed; a refused raise leaves the creator's value.
        EXPECT_TRUE(started == normal - level || (level > 0 && started == normal)) << level;
        EXPECT_EQ(raised, taken ? normal - 2 : started) << level;
    }
}

TEST(Clock, NeverRunsBackwards) {
    const std::uint32_t before = TimeGetTime();
    Sleep(2);
    EXPECT_GE(TimeGetTime() - before, 2u);
}

}  // namespace
}  // namespace platform
