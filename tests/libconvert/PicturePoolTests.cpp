// The pool of picture copies between the caller's thread and the encoding thread.
#include "PicturePool.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

namespace discforge::test {
namespace {

using convert::PicturePool;
using namespace std::chrono_literals;

TEST(PicturePool, BuffersAreReusedAndNeverMoreThanTheLimit)
{
    PicturePool pool(720 * 576, 3);
    std::set<uint32_t*> seen;
    for (int round = 0; round < 10; ++round) {
        PicturePool::Lease first, second;
        ASSERT_EQ(pool.Acquire(0ms, first), PicturePool::Outcome::Leased);
        ASSERT_EQ(pool.Acquire(0ms, second), PicturePool::Outcome::Leased);
        EXPECT_NE(first.Pixels(), second.Pixels());
        // The whole buffer is usable.
        first.Pixels()[pool.PixelsPerBuffer() - 1] = 1;
        seen.insert(first.Pixels());
        seen.insert(second.Pixels());
    }
    EXPECT_EQ(seen.size(), 2u);

    PicturePool::Lease leases[3];
    for (PicturePool::Lease& lease : leases) {
        ASSERT_EQ(pool.Acquire(0ms, lease), PicturePool::Outcome::Leased);
    }
    PicturePool::Lease fourth;
    EXPECT_EQ(pool.Acquire(1ms, fourth), PicturePool::Outcome::TimedOut);
    EXPECT_FALSE(fourth);
}

TEST(PicturePool, AMovedLeaseGoesBackOnceAndAWaitingAcquireGetsIt)
{
    PicturePool pool(16, 1);
    PicturePool::Lease held;
    ASSERT_EQ(pool.Acquire(0ms, held), PicturePool::Outcome::Leased);
    uint32_t* const buffer = held.Pixels();
    PicturePool::Lease moved(std::move(held));
    EXPECT_FALSE(held);
    held = PicturePool::Lease(); // the moved-from lease gives nothing back
    PicturePool::Lease other;
    EXPECT_EQ(pool.Acquire(0ms, other), PicturePool::Outcome::TimedOut);

    // The encoding thread hands the buffer back while the caller waits for it.
    std::thread encoder([lease = std::move(moved)]() mutable {
        std::this_thread::sleep_for(20ms);
        lease.Release();
    });
    EXPECT_EQ(pool.Acquire(10s, other), PicturePool::Outcome::Leased);
    EXPECT_EQ(other.Pixels(), buffer);
    encoder.join();
}

} // namespace
} // namespace discforge::test
